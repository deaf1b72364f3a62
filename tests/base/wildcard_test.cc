#include "base/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace kvo {
namespace {

struct Case {
  const char* pattern;
  const char* text;
};

TEST(WildcardPatternTest, Matches) {
  const Case cases[] = {
      {"", ""},
      {"*", ""},
      {"*", "anything"},
      {"abc", "abc"},
      {"abc", "ABC"},
      {"a?c", "abc"},
      {"a*c", "ac"},
      {"a*c", "abbbc"},
      {"a**c", "abc"},
      {"*@example.com", "bob@Example.COM"},
      {"#", "7"},
      {"##-##", "12-34"},
      {"[abc]", "B"},
      {"[a-z]x", "Qx"},
      {"[!a-z]", "5"},
      {"[!]", "x"},
      {"[*?#]", "#"},
      {"a[]b", "ab"},
      {"[-a]", "-"},
      {"[a-]", "-"},
      {"]", "]"},
      {"!", "!"},
      {"\xC4rger", "\xE4RGER"},
      {"[\xC0-\xC4]", "\xE2"},
      {"\x8A*", "\x9A"},
      {"*a*a*b", "aaaab"},
      {"?*?", "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << " ~ " << c.text);
    EXPECT_TRUE(WildcardPattern(c.pattern).Matches(c.text));
  }
}

TEST(WildcardPatternTest, DoesNotMatch) {
  const Case cases[] = {
      {"", "a"},          {"abc", "abcd"}, {"abc", "ab"},   {"a?c", "ac"},
      {"?", ""},          {"#", "x"},      {"[abc]", "d"},  {"[!a-z]", "Q"},
      {"[!]", ""},        {"[*]", "x"},    {"a*c", "abcb"}, {"\xD7", "\xF7"},
      {"*a*a*b", "aaaa"}, {"?*?", "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << " ~ " << c.text);
    EXPECT_FALSE(WildcardPattern(c.pattern).Matches(c.text));
  }
}

TEST(WildcardPatternTest, RejectsMalformedPatterns) {
  for (const char* pattern : {"[", "abc[", "[a-z", "*[!", "[z-a]", "[Z-a]"}) {
    SCOPED_TRACE(pattern);
    EXPECT_RUNTIME_ERROR(WildcardPattern{pattern}, 93);
    try {
      WildcardPattern{pattern};
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.description(), "Invalid pattern string");
    }
  }
}

TEST(WildcardPatternTest, ContainingFindsTheCriterionAnywhere) {
  const Case matches[] = {
      {"alice", "Alice@example.com"},
      {"EXAMPLE", "alice@example.com"},
      {".com", "alice@example.com"},
      {"ali?e", "alice@example.com"},
      {"#", "invoice 42"},
      {"[xyz]", "lazy"},
      {"a*e", "cave"},
      {"", "anything"},
      {"", ""},
      {"aab", "aaab"},
      {"AAB", "aAaB"},
      {"\xE4", "Gr\xC4TZ"},
  };
  for (const Case& c : matches) {
    SCOPED_TRACE(testing::Message() << c.pattern << " in " << c.text);
    EXPECT_TRUE(WildcardPattern::Containing(c.pattern).Matches(c.text));
  }
  const Case misses[] = {
      {"bob", "alice@example.com"}, {"alice", "alic"}, {"alice", ""},
      {"#", "no digits"},           {"aab", "aaAa"},   {"mom", "om"},
  };
  for (const Case& c : misses) {
    SCOPED_TRACE(testing::Message() << c.pattern << " in " << c.text);
    EXPECT_FALSE(WildcardPattern::Containing(c.pattern).Matches(c.text));
  }
  EXPECT_RUNTIME_ERROR(WildcardPattern::Containing("[abc"), 93);
  // An empty view may carry no data pointer at all (found by fuzzing).
  EXPECT_TRUE(WildcardPattern::Containing(std::string_view())
                  .Matches(std::string_view()));
}

// The runs between "*" are found one after the other: by a literal search,
// by a plain run among classes, or position by position.
TEST(WildcardPatternTest, FindsTheRunsBetweenStarsInOrder) {
  struct SegmentCase {
    const char* name;
    std::string pattern;
    std::string text;
    bool containing;  // WildcardPattern::Containing(pattern) when true
    bool expected;
  };
  std::string five_hundred;
  for (int i = 0; i < 500; ++i) five_hundred += "*a";
  const SegmentCase cases[] = {
      {"two runs", "agenda*webinar", "Re: AGENDA of the Webinar", true, true},
      {"runs out of order", "agenda*webinar", "webinar agenda", true, false},
      {"runs may not overlap", "aba*aba", "xababax", true, false},
      {"runs side by side", "aba*aba", "abaaba", true, true},
      {"head and tail may not overlap", "ab*ba", "aba", false, false},
      {"head and tail touching", "ab*ba", "abba", false, true},
      {"middle run before the tail", "a*bc*c", "abc", false, false},
      {"middle run and tail", "a*bc*c", "abcc", false, true},
      {"tail at the very end", "*.com", "x.com.org", false, false},
      {"run with classes", "a?ic[d-f]@*.com", "To: ALICE@x.com", true, true},
      {"class rejects", "a?ic[d-f]@*.com", "alicx@x.com", true, false},
      {"first place fails, a later fits", "q?ab", "qxxab qyab", true, true},
      {"no plain character", "[a-c]##", "x d12 b3x b45", true, true},
      {"no plain character, no fit", "[a-c]##", "d12 b3x", true, false},
      {"empty list inside a run", "ab[]cd", "xxABCDxx", true, true},
      {"empty lists only", "[][]", "", true, true},
      {"plain ] and !", "]!*!", "a]!b!", true, true},
      {"a thousand characters, short text", five_hundred, "banana", true,
       false},
      {"a thousand characters, long enough", five_hundred,
       std::string(500, 'A'), true, true},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.name);
    WildcardPattern pattern = c.containing
                                  ? WildcardPattern::Containing(c.pattern)
                                  : WildcardPattern(c.pattern);
    EXPECT_EQ(pattern.Matches(c.text), c.expected);
  }
}

TEST(WildcardPatternTest, RequiredLiteralsAreThePlainRuns) {
  struct LiteralsCase {
    const char* criterion;
    std::vector<std::string_view> expected;
  };
  const LiteralsCase cases[] = {
      {"agenda*webinar", {"agenda", "webinar"}},
      {"a?ic[d-f]@*.com", {"a", "ic", "@", ".com"}},
      {"lindqvist@nordhafen", {"lindqvist@nordhafen"}},
      {"**Bob**", {"Bob"}},
      {"ab[]cd", {"abcd"}},
      {"[!x]y]#", {"y]"}},
      {"", {}},
      {"*", {}},
      {"?", {}},
      {"#[a-z]*[!]", {}},
  };
  for (const LiteralsCase& c : cases) {
    SCOPED_TRACE(c.criterion);
    EXPECT_EQ(WildcardPattern::Containing(c.criterion).RequiredLiterals(),
              c.expected);
  }
}

TEST(WildcardPatternTest, CopiesKeepTheirPattern) {
  WildcardPattern literal = WildcardPattern::Containing("Bob");
  WildcardPattern wild("b?b");
  WildcardPattern copy = literal;
  copy = wild;
  WildcardPattern moved = std::move(literal);
  EXPECT_TRUE(copy.Matches("BOB"));
  EXPECT_FALSE(copy.Matches("xbob"));
  EXPECT_TRUE(moved.Matches("xbob"));
}

TEST(WildcardPatternTest, NeverBacktracksExponentially) {
  WildcardPattern pattern("*a*a*a*a*a*a*a*a*b");
  const std::string text(10000, 'a');
  auto start = std::chrono::steady_clock::now();
  bool matched = pattern.Matches(text);
  auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  std::cout << "10,000 characters against 17 tokens: " << elapsed.count()
            << " us\n";
  EXPECT_FALSE(matched);
  EXPECT_LT(elapsed.count(), 50000);
}

}  // namespace
}  // namespace kvo
