#include "viewer/validate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "logread/log_folder.h"
#include "support/test_support.h"

namespace kvo {
namespace {

struct DateCase {
  const char* day;
  const char* month;
  const char* year;
  std::optional<CivilDate> expected;  // null: rejected
  const char* message;                // appended to the error text
};

TEST(ValidateDateTest, DatesAndMessages) {
  const DateCase cases[] = {
      {"1", "2", "85", CivilDate{1985, 2, 1}, ""},
      {"1", "2", "99", CivilDate{1999, 2, 1}, ""},
      {"1", "2", "0", CivilDate{2000, 2, 1}, ""},
      {"1", "2", "5", CivilDate{2005, 2, 1}, ""},
      {"1", "2", "21", CivilDate{2021, 2, 1}, ""},
      {"1", "2", "79", CivilDate{2079, 2, 1}, ""},
      {" 1 ", " 2", "2024 ", CivilDate{2024, 2, 1}, ""},
      {"31", "2", "2005", CivilDate{2005, 3, 3}, ""},
      {"31", "12", "9999", CivilDate{9999, 12, 31}, ""},
      {"1.5", "2", "2024", CivilDate{2024, 2, 2}, ""},
      {"1", "2", "1979", std::nullopt, "Invalid date (1/2/1979)<br>\r\n"},
      {"1", "2", "10000", std::nullopt, "Invalid date (1/2/10000)<br>\r\n"},
      {"32", "1", "85", std::nullopt, "Invalid date (32/1/1985)<br>\r\n"},
      {"0", "1", "2024", std::nullopt, "Invalid date (0/1/2024)<br>\r\n"},
      {"1", "13", "2024", std::nullopt, "Invalid date (1/13/2024)<br>\r\n"},
      {"1", "2", "-5", std::nullopt, "Invalid date (1/2/-5)<br>\r\n"},
      {"<b>", " 1", "2024", std::nullopt,
       "Invalid date (&lt;b&gt;/ 1/2024)<br>\r\n"},
      {"1", "2", "85x", std::nullopt,
       "Date conversion (1/2/85x), unexpected error (13) Type "
       "mismatch<br>\r\n"},
      {"1", "2", "8 5", std::nullopt,
       "Date conversion (1/2/8 5), unexpected error (13) Type "
       "mismatch<br>\r\n"},
      {"1", "2", "", std::nullopt,
       "Date conversion (1/2/), unexpected error (13) Type mismatch<br>\r\n"},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(std::string(c.day) + "/" + c.month + "/" + c.year);
    bool empty = true;
    std::string errors = "before<br>\r\n";
    std::optional<Date> date =
        ValidateDate(c.day, c.month, c.year, empty, errors);
    EXPECT_FALSE(empty);
    EXPECT_EQ(errors, std::string("before<br>\r\n") + c.message);
    ASSERT_EQ(date.has_value(), c.expected.has_value());
    if (date) {
      EXPECT_EQ(*date,
                MakeDate(c.expected->year, c.expected->month, c.expected->day));
    }
  }
}

TEST(ValidateDateTest, BlankFieldsGiveNoDateAndNoMessage) {
  const char* blanks[][3] = {{"", "", ""}, {" ", "  ", ""}, {"", "", " "}};
  for (const auto& b : blanks) {
    SCOPED_TRACE(std::string("'") + b[0] + "' '" + b[1] + "' '" + b[2] + "'");
    bool empty = false;
    std::string errors;
    EXPECT_FALSE(ValidateDate(b[0], b[1], b[2], empty, errors));
    EXPECT_TRUE(empty);
    EXPECT_EQ(errors, "");
  }
}

class ValidateParametersTest : public ::testing::Test {
 protected:

  struct Request {
    std::string log = "Incoming";
    std::string folder = "/var/log/kvo";
    std::optional<Date> first = MakeDate(2024, 3, 1);
    std::optional<Date> last = MakeDate(2024, 3, 2);
    std::string mini;
    std::string maxi;
    std::string date_errors;
  };

  // Validates `r`; an invalid one leaves its invalid-parameters text in
  // texts_.
  bool Validate(const Request& r) {
    PageRequest page;
    page.log = r.log;
    page.log_file_path = r.folder;
    page.first_date = r.first;
    page.last_date = r.last;
    page.size_mini = r.mini;
    page.size_maxi = r.maxi;
    page.error_text = r.date_errors;
    Validation v = ValidateParameters(page, log_root_);
    if (!v.ok()) {
      texts_.push_back(InvalidParametersText(script_name_, page, v) + "\r\n");
      return false;
    }
    log_type_ = v.log_type;
    mini_ = v.size_mini;
    maxi_ = v.size_maxi;
    return true;
  }

  // The messages inside <PRE> of the one text written.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    if (texts_.size() != 1)
      return {"written " + std::to_string(texts_.size())};
    for (const std::string& line : test::SplitCrLf(texts_[0])) {
      if (line.starts_with("<PRE>") && line.ends_with("</PRE>")) {
        messages.push_back(line.substr(5, line.size() - 11));
      }
    }
    return messages;
  }

  std::vector<std::string> texts_;
  std::string script_name_ = "/cgi-bin/KvoViewLog";
  std::string log_root_ = "/";
  E_LogType log_type_ = LogConnect;
  std::optional<int32_t> mini_;
  std::optional<int32_t> maxi_;
};

TEST_F(ValidateParametersTest, ValidRequestsSetTypeAndSizes) {
  struct Case {
    const char* log;
    const char* mini;
    const char* maxi;
    E_LogType type;
    int32_t mini_value;
    int32_t maxi_value;
  };
  const Case cases[] = {
      {"Incoming", "", "", LogIncoming, 0, 0},
      {"incoming", "10", "0", LogIncoming, 10, 0},
      {"OUTGOING", " 5 ", "7", LogOutgoing, 5, 7},
      {"Outgoing", "-3", "2", LogOutgoing, -3, 2},
      {"Incoming", "4", "4", LogIncoming, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.log) + " " + c.mini + ".." + c.maxi);
    Request r;
    r.log = c.log;
    r.mini = c.mini;
    r.maxi = c.maxi;
    EXPECT_TRUE(Validate(r));
    EXPECT_EQ(log_type_, c.type);
    EXPECT_EQ(mini_, c.mini_value);
    EXPECT_EQ(maxi_, c.maxi_value);
    EXPECT_TRUE(texts_.empty());
  }
}

TEST_F(ValidateParametersTest, EachFailedCheckIsListedInOrder) {
  const std::string kLog =
      "Neither 'Incoming' nor 'Outgoing' log specified. Contact the "
      "administrator of the web page.";
  struct Case {
    const char* name;
    Request request;
    std::vector<std::string> messages;
  };
  Request bad_log, connect, no_folder, no_first, out_of_order, bad_mini,
      bad_maxi, interval, three, both_sizes;
  bad_log.log = "";
  connect.log = "Connect";
  no_folder.folder = "";
  no_first.first = std::nullopt;
  out_of_order.first = MakeDate(2024, 3, 3);
  bad_mini.mini = "  ";
  bad_maxi.maxi = "3000000000";
  interval.mini = "10";
  interval.maxi = "5";
  three.log = "Incomings";
  three.folder = "";
  three.mini = "5kb";
  both_sizes.mini = "x";
  both_sizes.maxi = "1.5.";
  const Case cases[] = {
      {"empty log", bad_log, {kLog}},
      {"connect log", connect, {kLog}},
      {"no folder", no_folder, {"No path for logfiles specified."}},
      {"no first date",
       no_first,
       {"Invalid date interval (missing or invalid)."}},
      {"out of order", out_of_order, {"Invalid date interval (out of order)."}},
      {"blank minimum", bad_mini, {"Invalid minimum message size given."}},
      {"huge maximum", bad_maxi, {"Invalid maximum message size given."}},
      {"size interval", interval, {"Invalid message size interval given."}},
      {"three at once",
       three,
       {kLog, "No path for logfiles specified.",
        "Invalid minimum message size given."}},
      {"both sizes",
       both_sizes,
       {"Invalid minimum message size given.",
        "Invalid maximum message size given."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    texts_.clear();
    EXPECT_FALSE(Validate(c.request));
    EXPECT_EQ(Messages(), c.messages);
  }
}

TEST_F(ValidateParametersTest, InvalidParametersText) {
  script_name_ = "/cgi-bin/<x>";
  Request r;
  r.log = "outgoing";
  r.first = std::nullopt;
  r.date_errors =
      "Invalid date (32/1/2024)<br>\r\nInvalid date (1/13/2024)<br>\r\n";
  EXPECT_FALSE(Validate(r));
  ASSERT_EQ(texts_.size(), 1u);
  EXPECT_EQ(texts_[0],
            "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - Outgoing "
            "mail</H2></Center>\r\n"
            "<hr>\r\n"
            "<H3>Invalid parameter(s) for /cgi-bin/&lt;x&gt;</H3>\r\n"
            "<P class=\"CriteriaError\">\r\n"
            "Invalid date (32/1/2024)<br>\r\n"
            "Invalid date (1/13/2024)\r\n"
            "</p>\r\n"
            "\r\n"
            "<PRE>Invalid date interval (missing or invalid).</PRE>\r\n"
            "\r\n");
}

TEST_F(ValidateParametersTest, HeadingNamesIncomingForAnyOtherLog) {
  for (const char* log : {"Incoming", "Connect", " Outgoing"}) {
    SCOPED_TRACE(log);
    texts_.clear();
    Request r;
    r.log = log;
    r.folder = "";
    EXPECT_FALSE(Validate(r));
    ASSERT_EQ(texts_.size(), 1u);
    EXPECT_TRUE(texts_[0].starts_with(
        "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - Incoming "
        "mail</H2></Center>\r\n"));
  }
}

class LogRootTest : public ValidateParametersTest {
 protected:
  LogRootTest() {
    std::filesystem::create_directories(dir_ / "root/sub");
    std::filesystem::create_directories(dir_ / "root2");
    std::filesystem::create_directory_symlink(dir_ / "root2",
                                              dir_ / "root/out");
    std::filesystem::create_directory_symlink(dir_ / "root/sub", dir_ / "in");
  }
  test::TempDir dir_;
};

TEST_F(LogRootTest, PathMustResolveInsideTheRoot) {
  struct Case {
    std::string path;
    bool inside;
  };
  const Case cases[] = {
      {dir_ / "root", true},
      {dir_ / "root/", true},
      {dir_ / "root/sub", true},
      {dir_ / "root/sub/../sub", true},
      {dir_ / "in", true},
      {dir_ / "root/..", false},
      {dir_ / "root/sub/../../root2", false},
      {dir_ / "root2", false},
      {dir_ / "root/out", false},
      {dir_ / "root/missing", true},
      {dir_ / "root/missing/../sub/new", true},
      {dir_ / "root/missing/../../root2", false},
      {dir_ / "root/out/missing", false},
      {"/", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsPathInsideRoot(c.path, dir_ / "root"), c.inside);
    EXPECT_EQ(IsPathInsideRoot(c.path, dir_ / "root/../root/"), c.inside);
  }
  EXPECT_FALSE(IsPathInsideRoot(dir_ / "root", dir_ / "gone"));
  EXPECT_TRUE(IsPathInsideRoot(dir_ / "root2", "/"));
}

TEST_F(LogRootTest, RejectedPathIsReportedAfterTheFolderCheck) {
  log_root_ = dir_ / "root";
  Request r;
  r.folder = dir_ / "root/sub";
  EXPECT_TRUE(Validate(r));
  r.folder = dir_ / "root2";
  r.mini = "x";
  EXPECT_FALSE(Validate(r));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Log file path not allowed.",
                                      "Invalid minimum message size given."}));
  texts_.clear();
  r.folder = "";
  r.mini = "";
  EXPECT_FALSE(Validate(r));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"No path for logfiles specified."});
  // Without a root every folder is refused.
  texts_.clear();
  log_root_ = "";
  r.folder = dir_ / "root/sub";
  EXPECT_FALSE(Validate(r));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Log file path not allowed."});
}

}  // namespace
}  // namespace kvo
