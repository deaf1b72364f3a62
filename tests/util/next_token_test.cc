#include "util/next_token.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace kvo {
namespace {

using namespace std::string_literals;

struct Case {
  const char* name;
  std::string text;
  std::string delimiter;
  std::vector<std::string> tokens;  // the first calls' results, in order
};

// After the listed tokens one more call gives the empty text.
const Case kCases[] = {
    {"three fields", "a\tb\tc", "\t", {"a", "b", "c"}},
    {"ends with the delimiter", "a\tb\t", "\t", {"a", "b"}},
    {"begins with the delimiter", "\ta", "\t", {"", "a"}},
    {"adjacent delimiters", "a\t\tb", "\t", {"a", "", "b"}},
    {"no delimiter", "whole text", "\t", {"whole text"}},
    {"empty text", "", "\t", {}},
    {"several characters", "a<>b<>c", "<>", {"a", "b", "c"}},
    {"partial delimiter is text", "a<b<>c", "<>", {"a<b", "c"}},
    {"case-sensitive", "aXbxc", "x", {"aXb", "c"}},
    {"NUL delimiter", "name\0    "s, "\0"s, {"name", "    "}},
};

TEST(NextTokenTest, StringCutsFieldsFromTheLeft) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    for (const std::string& token : c.tokens) {
      EXPECT_EQ(NextToken(text, c.delimiter), token);
    }
    EXPECT_EQ(text, "");
    EXPECT_EQ(NextToken(text, c.delimiter), "");
    EXPECT_EQ(text, "");
  }
}

TEST(NextTokenTest, ViewCutsTheSameFields) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string_view text = c.text;
    for (const std::string& token : c.tokens) {
      EXPECT_EQ(NextToken(text, c.delimiter), token);
    }
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(NextToken(text, c.delimiter), "");
  }
}

TEST(NextTokenTest, RemainderFollowsTheDelimiter) {
  std::string text = "ab::cd::ef";
  EXPECT_EQ(NextToken(text, "::"), "ab");
  EXPECT_EQ(text, "cd::ef");
}

}  // namespace
}  // namespace kvo
