#include "base/literal_finder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "base/text_case.h"

namespace kvo {
namespace {

// The offset of the first occurrence, or -1.
long FindIn(std::string_view literal, std::string_view text) {
  LiteralFinder finder(literal);
  const char* hit = finder.Find(text.data(), text.data() + text.size());
  return hit == nullptr ? -1 : hit - text.data();
}

// The same by folding both texts and searching byte by byte.
long NaiveFind(std::string_view literal, std::string_view text) {
  size_t at = FoldCase(text).find(FoldCase(literal));
  return at == std::string::npos ? -1 : static_cast<long>(at);
}

struct FindCase {
  const char* name;
  std::string literal;
  std::string text;
  long expected;
};

TEST(LiteralFinderTest, FindsTheFirstOccurrenceInAnyCase) {
  const std::string pad(40, '.');
  const FindCase cases[] = {
      {"same case", "sender@x.test", "from sender@x.test", 5},
      {"upper text", "sender@x.test", "FROM SENDER@X.TEST", 5},
      {"upper literal", "SENDER", "a sender", 2},
      {"mixed", "SeNdEr", "sEnDeR", 0},
      {"first of two", "ab", "xxabxxAB", 2},
      {"one byte", "q", pad + "Q", 40},
      {"at the very end", "end", pad + pad + "END", 80},
      {"at the start", "start", "START" + pad, 0},
      {"whole text", "whole", "whole", 0},
      {"text shorter", "longer", "long", -1},
      {"absent", "missing", pad + pad, -1},
      {"prefix only at the end", "abcd", pad + "abc", -1},
      {"across a 16-byte block", "needle", std::string(13, '.') + "NEEDLE", 13},
      {"across a 32-byte block", "needle", std::string(29, '.') + "needle", 29},
      {"anchors right, middle wrong", "abcd", "axxd abxd ABCD", 10},
      {"blank at the anchors", " to ", "into to me", 4},
      {"letters 0xC0-0xDE", "gr\xFC\xDF", "GR\xDC\xDF" + pad, 0},
      {"0xDF has no upper case", "\xDF", "SS\xFF\xDF", 3},
      {"0x8A and 0x9A", "\x9A" "a", pad + "\x8A" "A", 40},
      {"0x8C and 0x9C", "x\x8C", pad + "X\x9C", 40},
      {"0x8E and 0x9E", "\x9E", pad + "\x8E", 40},
      {"0x9F and 0xFF", "\xFF" "y\xFF", pad + "\x9F" "Y\x9F", 40},
      {"0xD7 is no letter", "\xD7", "\xF7\xD7", 1},
      {"@ is not `", "@", "`@", 1},
      {"[ is not {", "a[", "A{a[", 2},
      {"empty literal", "", "text", 0},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindIn(c.literal, c.text), c.expected);
  }
}

TEST(LiteralFinderTest, StopsAtTheEndOfTheRangeNotOfTheText) {
  const std::string text = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxneedle";
  LiteralFinder finder("needle");
  EXPECT_EQ(finder.Find(text.data(), text.data() + text.size() - 1), nullptr);
  EXPECT_EQ(finder.Find(text.data() + 41, text.data() + text.size()), nullptr);
  EXPECT_EQ(finder.Find(text.data() + 40, text.data() + text.size()),
            text.data() + 40);
}

// Random texts over a small alphabet with both cases of every letter kind,
// so that anchors and partial matches are frequent.
TEST(LiteralFinderTest, AgreesWithANaiveSearchOnRandomTexts) {
  const std::string alphabet = "aAbB.@ \t\r\n\x8A\x9A\x9F\xFF\xC9\xE9\xDF";
  std::mt19937 random(20240301);
  auto pick = [&](size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) {
      text += alphabet[random() % alphabet.size()];
    }
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string literal = pick(1 + random() % 5);
    std::string text = pick(random() % 200);
    if (round % 3 == 0) {
      // Make sure there is an occurrence, in some other case.
      std::string copy = literal;
      for (char& c : copy) {
        if (c == 'a') c = 'A';
        if (c == '\x9A') c = '\x8A';
        if (c == '\xFF') c = '\x9F';
      }
      text.insert(random() % (text.size() + 1), copy);
    }
    SCOPED_TRACE("literal \"" + literal + "\" in \"" + text + "\"");
    ASSERT_EQ(FindIn(literal, text), NaiveFind(literal, text));
  }
}

}  // namespace
}  // namespace kvo
