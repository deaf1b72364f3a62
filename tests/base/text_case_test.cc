#include "base/text_case.h"

#include <gtest/gtest.h>

#include <string>

namespace kvo {
namespace {

TEST(TextCaseTest, FoldsWindows1252Letters) {
  struct Case {
    unsigned char in;
    unsigned char out;
  } cases[] = {
      {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},
      {'0', '0'},   {0xC0, 0xE0}, {0xC4, 0xE4}, {0xDE, 0xFE}, {0xD7, 0xD7},
      {0xDF, 0xDF}, {0xF7, 0xF7}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E},
      {0x9F, 0xFF}, {0xFF, 0xFF}, {0x80, 0x80}, {0xE4, 0xE4}, {0x00, 0x00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.in));
    EXPECT_EQ(FoldCase(c.in), c.out);
  }
  // Every byte folds to a byte that folds to itself.
  for (int c = 0; c < 256; ++c) {
    unsigned char folded = FoldCase(static_cast<unsigned char>(c));
    EXPECT_EQ(FoldCase(folded), folded) << c;
  }
}

TEST(TextCaseTest, ComparesWithoutRegardToCase) {
  EXPECT_EQ(FoldCase(std::string("MiXed \xC4\x8A")), "mixed \xE4\x9A");
  EXPECT_TRUE(EqualsIgnoreCase("Alice@Example.COM", "alice@example.com"));
  EXPECT_TRUE(EqualsIgnoreCase("\xC4gypten", "\xE4GYPTEN"));
  EXPECT_TRUE(EqualsIgnoreCase("", ""));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abcd"));
  EXPECT_FALSE(EqualsIgnoreCase("\xD7", "\xF7"));
  EXPECT_FALSE(EqualsIgnoreCase("a", "b"));
}

}  // namespace
}  // namespace kvo
