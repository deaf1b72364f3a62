#include "base/rare_literal.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace kvo {
namespace {

TEST(RareLiteralTest, PrefersLettersToWhatEveryLogLineHas) {
  struct Case {
    std::vector<std::string_view> literals;
    std::string_view expected;
  };
  const Case cases[] = {
      {{"agenda", "webinar"}, "webinar"},
      {{"a", "ic", "@", ".com"}, ".com"},
      {{"2024-03-05", "bob"}, "bob"},
      {{"@", "x"}, "x"},
      {{"1234567", "\xE4\xE4"}, "\xE4\xE4"},
      {{"same", "size"}, "same"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.literals.size() << " literals, " << c.expected);
    EXPECT_EQ(RarestLiteral(c.literals), c.expected);
  }
}

}  // namespace
}  // namespace kvo
