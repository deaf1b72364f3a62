// The viewer page through the built program: criteria block, IP criterion,
// line limit, closing line, and whole responses against golden files.

#include <sys/stat.h>

#include <filesystem>

#include "e2e/e2e_support.h"

namespace kvo::test {
namespace {

class PageTest : public ::testing::Test {
 protected:
  PageTest() { WriteIncomingMarch(logs_.str()); }

  std::string Show(const Params& extra) {
    ProgramResult result = Get(MarchRequest(logs_.str(), extra));
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.starts_with("HTTP/1.0 200 OK\r\n"));
    return result.out;
  }

  TempDir logs_;
};

TEST_F(PageTest, GoldenResponses) {
  Params incoming = {{"DateHiDay", "5"},
                     {"FromSelection", "alice"},
                     {"SizeMini", "1"},
                     {"IpAddress", "192.168.1.0"},
                     {"GrpSubnetOrIpRange", "range"},
                     {"IpAddress2OrSubnetMask", "192.168.1.255"},
                     {"MaxLines", "50"}};
  ExpectGolden(Get(MarchRequest(logs_.str(), incoming)).out,
               "incoming_listing.txt", logs_.str());

  TempDir empty;
  Params ip_error = {{"IpAddress", "10.0.0.9"},
                     {"IpAddress2OrSubnetMask", "10.0.0.1"}};
  ExpectGolden(Post(MarchRequest(empty.str(), ip_error)).out,
               "missing_log_file.txt", empty.str());

  WriteFile(empty / "Outgoing2024-03-02.txt",
            "Date\tFrom\tTo\tSubject\tSize\r\n"
            "02.03.2024 10:00:00\tme@example.com\ty@example.org\tHi\t2048\r\n"
            "02.03.2024 11:00:00\tme@example.com\tz@example.org\tHo\t10\r\n");
  Params outgoing = {
      {"Log", "outgoing"},        {"DateLoDay", "2"},  {"DateLoYear", "24"},
      {"DateHiDay", ""},          {"DateHiMonth", ""}, {"DateHiYear", ""},
      {"ToSelection", "example"}, {"SizeMaxi", "9"},   {"MaxLines", "1"}};
  ExpectGolden(Get(MarchRequest(empty.str(), outgoing)).out,
               "outgoing_limit.txt", empty.str());
}

TEST_F(PageTest, SelectionAndSizeLines) {
  struct Case {
    const char* name;
    Params extra;
    std::vector<std::string> lines;  // after the two date lines
  };
  const Case cases[] = {
      {"none", {}, {}},
      {"selections in order",
       {{"SubjectSelection", "s"},
        {"RoutedSelection", "r"},
        {"ToSelection", "t"},
        {"FromSelection", "f"},
        {"POP3AccountSelection", "p"}},
       {"POP3 account selection: p <br>", "'From' address selection: f <br>",
        "'To' and 'Cc' address selection: t <br>",
        "'Routed to' selection: r <br>", "Message subject selection: s <br>"}},
      {"POP3 NONE", {{"POP3AccountSelection", "NONE"}}, {}},
      {"minimum only",
       {{"SizeMini", "10"}, {"SizeMaxi", "0"}},
       {"Message size selection: greater than 10 kb <br>"}},
      {"maximum only",
       {{"SizeMaxi", "5"}},
       {"Message size selection: less than 5kb <br>"}},
      {"both",
       {{"SizeMini", "3"}, {"SizeMaxi", " 7 "}},
       {"Message size selection: between 3 and 7 kb <br>"}},
      {"negative minimum", {{"SizeMini", "-3"}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string page = Show(c.extra);
    std::vector<std::string> expected = {"First date: 2024-03-01, ",
                                         "Last date: 2024-03-31<br>"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(CriteriaLines(page), expected);
    EXPECT_EQ(CountLines(page, "<P class=\"Criteria\">"), 1u);
  }
}

TEST_F(PageTest, NoneAsPop3AccountListsEveryAccount) {
  std::string page = Show({{"POP3AccountSelection", "NONE"}});
  EXPECT_EQ(CountLines(page, "  <TR>"), 5u);  // title and four lines
}

TEST_F(PageTest, IpCriterion) {
  struct Case {
    const char* ip1;
    const char* group;
    const char* ip2;
    const char* line;     // criteria line before "<br>"; "" for none
    const char* message;  // of the error block; "" for none
    size_t rows;          // table rows, the title included
  };
  const Case cases[] = {
      {"10.0.0.5", "subnet", "", "IP Address selection: 10.0.0.5", "", 2},
      {"10.0.0.9", "range", "10.0.0.1", "", "IP Address range: Invalid.", 5},
      {"300.1.1.1", "", "", "",
       "IP Address selection: You did not enter a valid IP Address.", 5},
      {"192.168.1.0", "Subnet", "255.255.255.0",
       "IP Subnet selection: 192.168.1.0, subnet mask: 255.255.255.0", "", 4},
      {"10.0.0.1", "range", "10.0.0.9",
       "IP Address range: 10.0.0.1 to 10.0.0.9", "", 2},
      {"10.0.0.1", "subnet", "300.0.0.0", "",
       "IP subnet: You did not enter a valid subnet mask.", 5},
      {"10.0.0.1", "", "x", "",
       "IP Address range: You did not enter a valid 2nd IP Address.", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ip1) + " " + c.group + " " + c.ip2);
    std::string page = Show({{"IpAddress", c.ip1},
                             {"GrpSubnetOrIpRange", c.group},
                             {"IpAddress2OrSubnetMask", c.ip2}});
    std::vector<std::string> criteria = CriteriaLines(page);
    std::vector<std::string> tail = {"<br>"};
    if (*c.line) tail.insert(tail.begin(), c.line);
    ASSERT_GE(criteria.size(), tail.size());
    EXPECT_EQ(
        std::vector<std::string>(criteria.end() - tail.size(), criteria.end()),
        tail);
    std::vector<std::string> block = ErrorBlockLines(page);
    EXPECT_EQ(block, *c.message ? std::vector<std::string>{c.message}
                                : std::vector<std::string>{});
    EXPECT_EQ(CountLines(page, "  <TR>"), c.rows);
  }
}

TEST_F(PageTest, SecondAddressAloneIsIgnored) {
  std::string page = Show({{"IpAddress2OrSubnetMask", "10.0.0.1"}});
  EXPECT_EQ(CriteriaLines(page).size(), 2u);
  EXPECT_EQ(page.find("CriteriaError"), std::string::npos);
}

TEST_F(PageTest, EmptyUpperDateIsTheFirstDate) {
  for (const char* blank : {"", " "}) {
    SCOPED_TRACE(std::string("'") + blank + "'");
    Params params = MarchRequest(logs_.str());
    for (auto& [name, value] : params) {
      if (name.starts_with("DateHi")) value = blank;
    }
    std::string page = Get(params).out;
    EXPECT_EQ(CriteriaLines(page),
              (std::vector<std::string>{"First date: 2024-03-01, ",
                                        "Last date: 2024-03-01<br>"}));
    EXPECT_EQ(CountLines(page, "  <TR>"), 2u);
  }
}

TEST(MaxLinesTest, UnusableLimitsBecomeAHundred) {
  TempDir logs;
  RunGenerator({"--folder", logs.str(), "--log", "incoming", "--period",
                "monthly", "--first", "2024-03-01", "--last", "2024-03-31",
                "--lines-per-day", "5", "--seed", "7"});
  struct Case {
    const char* max_lines;  // nullptr: not sent
    size_t rows;
    const char* limit;
  };
  const Case cases[] = {
      {nullptr, 101, "100"}, {"", 101, "100"},
      {"abc", 101, "100"},   {"99999999999", 101, "100"},
      {" 7 ", 8, "7"},       {"2.5", 3, "2"},
      {"0", 1, "0"},         {"-1", 0, "-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.max_lines ? c.max_lines : "(missing)");
    Params extra;
    if (c.max_lines) extra.emplace_back("MaxLines", c.max_lines);
    std::string page = Get(MarchRequest(logs.str(), extra)).out;
    EXPECT_EQ(CountLines(page, "  <TR>"), c.rows);
    EXPECT_EQ(CountLines(page, std::string("<H4>Incomplete listing. Maximum "
                                           "line count of ") +
                                   c.limit + " exceeded.</H4>"),
              1u);
  }
}

TEST(AboutLineTest, NamesTheExecutableAsInstalled) {
  TempDir dir;
  std::string copy = dir / "Viewer.cgi";
  std::filesystem::copy_file(ViewerExecutable(), copy);
  chmod(copy.c_str(), 0755);
  TempDir logs;
  for (const auto& [program, about] :
       {std::pair{ViewerExecutable(), "kvoviewlog"}, {copy, "viewer"}}) {
    SCOPED_TRACE(program);
    Env env = CgiEnv();
    env["QUERY_STRING"] = FormEncode(MarchRequest(logs.str()));
    std::string page = RunProgram(program, env).out;
    std::vector<std::string> lines = SplitCrLf(page);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), std::string("<P class=\"About\">") + about +
                                ".exe version 1.20</p>");
    EXPECT_TRUE(page.ends_with("</p>\r\n"));
  }
}

}  // namespace
}  // namespace kvo::test
