#include "testform/read_listing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/runtime_error.h"
#include "html/html.h"
#include "support/test_support.h"

namespace kvo {
namespace {

constexpr char kTitleLine[] =
    "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject\tSize\t"
    "IP address\r\n";
constexpr char kLimitNotice[] =
    "<H4>Incomplete listing. Maximum line count of 100 exceeded.</H4>\r\n";

// One line of the incoming log on `day` (dd.mm.yyyy) with `subject`.
std::string LogLine(const std::string& day, const std::string& subject) {
  return day + " 10:00:00\tpop.example.com/a\tfrom@x\tto@y\t\trouted\trule\t" +
         subject + "\t1234\t10.0.0.1\r\n";
}

// `count` lines on 2 April 1999, subjects "Mail 1" to "Mail <count>".
std::string AprilLines(int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i) {
    lines += LogLine("02.04.1999", "Mail " + std::to_string(i));
  }
  return lines;
}

int CountOf(std::string_view text, std::string_view part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

class ReadListingTest : public ::testing::Test {
 protected:
  void WriteMonthly(const std::string& body) {
    test::WriteFile(logs_ / "Incoming1999-04.txt", kTitleLine + body);
  }

  test::TempDir logs_;
};

TEST_F(ReadListingTest, ListsTheIncomingLogOfTheFirstFiveDaysOfApril1999) {
  WriteMonthly(
      LogLine("01.04.1999", "First day") + LogLine("05.04.1999", "Last day") +
      LogLine("06.04.1999", "Day after") + LogLine("30.04.1999", "Month end"));
  const std::string text = ReadListing(logs_.str());

  EXPECT_TRUE(text.starts_with(kTableOpening)) << text;
  EXPECT_TRUE(text.ends_with(kTableClosing)) << text;
  EXPECT_NE(text.find("IncColumnH"), std::string::npos) << "header row";
  EXPECT_NE(text.find("POP3 account"), std::string::npos) << "title line";
  EXPECT_NE(text.find("First day"), std::string::npos);
  EXPECT_NE(text.find("Last day"), std::string::npos);
  EXPECT_EQ(text.find("Day after"), std::string::npos);
  EXPECT_EQ(text.find("Month end"), std::string::npos);
  EXPECT_EQ(CountOf(text, "<TR>"), 3) << text;
}

TEST_F(ReadListingTest, ReadsDailyFilesWhenTheMonthlyOneIsMissing) {
  test::WriteFile(logs_ / "Incoming1999-04-03.txt",
                  kTitleLine + LogLine("03.04.1999", "Daily mail"));
  const std::string text = ReadListing(logs_.str());
  EXPECT_TRUE(text.starts_with(kTableOpening)) << text;
  EXPECT_NE(text.find("Daily mail"), std::string::npos) << text;
}

TEST_F(ReadListingTest, StopsAfterOneHundredLines) {
  struct Case {
    int lines;
    bool notice;
  };
  for (const Case& c : {Case{99, false}, Case{101, true}, Case{250, true}}) {
    SCOPED_TRACE(std::to_string(c.lines) + " matching lines");
    WriteMonthly(AprilLines(c.lines));
    const std::string text = ReadListing(logs_.str());
    EXPECT_TRUE(text.starts_with(kTableOpening));
    EXPECT_EQ(text.ends_with(kLimitNotice), c.notice);
    EXPECT_EQ(CountOf(text, "<TR>"), 1 + (c.notice ? 100 : c.lines));
    EXPECT_NE(text.find("Mail 99<"), std::string::npos);
    EXPECT_EQ(text.find("Mail 101<"), std::string::npos);
  }
}

TEST_F(ReadListingTest, EmptyFolderGivesTheErrorOfTheAprilFile) {
  const std::string text = ReadListing(logs_.str());
  const std::string expected_start =
      "<H4>Error accessing log file: " + logs_.str() +
      "/Incoming1999-04.txt<br>\r\n"
      "Error: File not found (53).<br>\r\n"
      "CGI program Logged in as: ";
  EXPECT_TRUE(text.starts_with(expected_start)) << text;
  EXPECT_TRUE(text.ends_with("</H4>\r\n")) << text;
}

TEST_F(ReadListingTest, SampleFolderOfTheGenerator) {
  test::RunGenerator({"--folder", logs_.str(), "--log", "incoming", "--period",
                      "daily", "--first", "1999-04-01", "--last", "1999-04-05",
                      "--lines-per-day", "30"});
  const std::string text = ReadListing(logs_.str());
  EXPECT_TRUE(text.starts_with(kTableOpening)) << text.substr(0, 300);
  EXPECT_TRUE(text.ends_with(kLimitNotice)) << "150 lines in the interval";
  EXPECT_EQ(CountOf(text, "<TR>"), 101);
}

std::string Succeeds(const std::string& folder) {
  return "listing of " + folder;
}

std::string Fails(const std::string& /*folder*/) {
  throw RuntimeError(kErrOverflow);
}

TEST(ReadIntoTextTest, ReplacesTheTextOrKeepsItOnAnError) {
  std::string text = "Text1";
  EXPECT_EQ(ReadIntoText("logs", text, Succeeds), std::nullopt);
  EXPECT_EQ(text, "listing of logs");

  const std::optional<RuntimeError> error = ReadIntoText("logs", text, Fails);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), kErrOverflow);
  EXPECT_EQ(text, "listing of logs");
}

TEST(ReadIntoTextTest, UsesTheFixedListingByDefault) {
  test::TempDir logs;
  test::WriteFile(logs / "Incoming1999-04.txt",
                  kTitleLine + LogLine("04.04.1999", "Default"));
  std::string text = "Text1";
  EXPECT_EQ(ReadIntoText(logs.str(), text), std::nullopt);
  EXPECT_EQ(text, ReadListing(logs.str()));
}

TEST(TestFormFolderTest, ArgumentThenVariableThenDefault) {
  struct Case {
    const char* argument;
    const char* variable;
    std::string expected;
  };
  const Case cases[] = {
      {"/srv/logs", "/env/logs", "/srv/logs"},
      {nullptr, "/env/logs", "/env/logs"},
      {"", "/env/logs", "/env/logs"},
      {nullptr, nullptr, "build/sample-logs"},
      {"", "", "build/sample-logs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.argument ? c.argument : "(none)") + " / " +
                 (c.variable ? c.variable : "(none)"));
    EXPECT_EQ(TestFormFolder(c.argument, c.variable), c.expected);
  }
}

TEST(TextBoxTextTest, LineFeedsAndUtf8) {
  struct Case {
    std::string listing;
    std::string expected;
  };
  const Case cases[] = {
      {"<TR>\r\n  <TD>a</TD>\r\n", "<TR>\n  <TD>a</TD>\n"},
      {"a\rb\r", "a\rb\r"},
      {"a\n", "a\n"},
      {"M\xFCller \x80 5", "M\xC3\xBCller \xE2\x82\xAC 5"},
      {"\x84quoted\x93 \x81", "\xE2\x80\x9Equoted\xE2\x80\x9C \xC2\x81"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listing);
    EXPECT_EQ(TextBoxText(c.listing), c.expected);
  }
}

}  // namespace
}  // namespace kvo
