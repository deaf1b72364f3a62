#include "viewer/list_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "html/html.h"
#include "logread/log_file_read.h"
#include "support/test_support.h"
#include "util/account.h"
#include "viewer/html_listing.h"

namespace kvo {
namespace {

// A fixture log file of the outgoing log: a title line whose subject heading
// names the file, then one line per date whose subject is "<tag>:<dd.mm>", so
// the result shows which files were read.
struct LogFile {
  std::string name;
  std::string tag;
  std::vector<std::string> dates;  // "dd.mm.yyyy hh:mm:ss"
};

std::string Contents(const LogFile& file) {
  std::string text = "Date\tFrom\tTo\tTitle " + file.tag + "\tSize\r\n";
  for (const std::string& date : file.dates) {
    text += date + "\tsender@a.test\trcpt@b.test\t" + file.tag + ":" +
            date.substr(0, 5) + "\t2048\r\n";
  }
  return text;
}

// The texts of all cells with the class `class_name` (e.g. "OutColumn4").
std::vector<std::string> CellTexts(const std::string& html,
                                   const std::string& class_name) {
  std::vector<std::string> texts;
  const std::string marker = "class=\"" + class_name + "\">";
  for (size_t at = html.find(marker); at != std::string::npos;
       at = html.find(marker, at)) {
    at += marker.size();
    texts.push_back(html.substr(at, html.find('<', at) - at));
  }
  return texts;
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

LogLineColumns Row(std::initializer_list<std::string_view> cells) {
  LogLineColumns row(static_cast<int16_t>(cells.size()));
  int i = 1;
  for (std::string_view cell : cells) row[i++] = cell;
  return row;
}

std::string LimitNotice(int32_t n) {
  return "<H4>Incomplete listing. Maximum line count of " + std::to_string(n) +
         " exceeded.</H4>\r\n";
}

std::string ListOutgoing(const std::string& folder, Date first, Date last,
                         int32_t max_lines) {
  return ListLog(LogOutgoing, folder, first, last, "", "", "", "", "", 0, 0, "",
                 false, "", max_lines);
}

const std::vector<LogFile> kTwoMonths = {
    {"Outgoing2024-03.txt",
     "m03",
     {"01.03.2024 08:00:00", "02.03.2024 08:00:00", "03.03.2024 08:00:00"}},
    {"Outgoing2024-04.txt", "m04", {"01.04.2024 08:00:00"}},
};

TEST(ListLogTest, WalksTheFilesOfTheInterval) {
  struct Case {
    const char* name;
    std::vector<LogFile> files;
    Date first;
    Date last;
    int32_t max_lines;
    std::string header;  // subject heading of the header row; "" for none
    std::vector<std::string> subjects;
    std::string notice;  // after the table
  };
  const Case cases[] = {
      {"one month, monthly file present: its daily file is not read",
       {{"Outgoing2024-03.txt",
         "m03",
         {"01.03.2024 00:00:00", "05.03.2024 12:00:00", "10.03.2024 23:59:59",
          "11.03.2024 00:00:00"}},
        {"Outgoing2024-03-05.txt", "d05", {"05.03.2024 09:00:00"}}},
       MakeDate(2024, 3, 1),
       MakeDate(2024, 3, 10),
       1000,
       "Title m03",
       {"m03:01.03", "m03:05.03", "m03:10.03"},
       ""},
      {"monthly file missing: one daily file per day, later titles not shown",
       {{"Outgoing2024-03-02.txt", "d02", {"02.03.2024 08:00:00"}},
        {"Outgoing2024-03-04.txt", "d04", {"04.03.2024 08:00:00"}},
        {"Outgoing2024-03-06.txt", "d06", {"06.03.2024 08:00:00"}}},
       MakeDate(2024, 3, 1),
       MakeDate(2024, 3, 5),
       1000,
       "Title d02",
       {"d02:02.03", "d04:04.03"},
       ""},
      {"15th to the next month: both monthly files, no daily file",
       {{"Outgoing2024-03.txt",
         "m03",
         {"10.03.2024 08:00:00", "20.03.2024 08:00:00"}},
        {"Outgoing2024-04.txt",
         "m04",
         {"05.04.2024 08:00:00", "25.04.2024 08:00:00"}},
        {"Outgoing2024-03-20.txt", "d20", {"20.03.2024 08:00:00"}},
        {"Outgoing2024-04-05.txt", "d05", {"05.04.2024 08:00:00"}}},
       MakeDate(2024, 3, 15),
       MakeDate(2024, 4, 10),
       1000,
       "Title m03",
       {"m03:20.03", "m04:05.04"},
       ""},
      {"daily walk goes back to the monthly file at the first of a month",
       {{"Outgoing2024-03-30.txt", "d30", {"30.03.2024 08:00:00"}},
        {"Outgoing2024-03-31.txt", "d31", {"31.03.2024 08:00:00"}},
        {"Outgoing2024-04.txt",
         "m04",
         {"01.04.2024 08:00:00", "02.04.2024 08:00:00", "03.04.2024 08:00:00"}},
        {"Outgoing2024-04-01.txt", "d01", {"01.04.2024 08:00:00"}}},
       MakeDate(2024, 3, 29),
       MakeDate(2024, 4, 2),
       1000,
       "Title d30",
       {"d30:30.03", "d31:31.03", "m04:01.04", "m04:02.04"},
       ""},
      {"only the daily file of the last day exists",
       {{"Outgoing2024-03-10.txt", "d10", {"10.03.2024 08:00:00"}}},
       MakeDate(2024, 3, 1),
       MakeDate(2024, 3, 10),
       1000,
       "Title d10",
       {"d10:10.03"},
       ""},
      {"files without selected lines still give a table",
       {{"Outgoing2024-05.txt", "m05", {"01.05.2024 08:00:00"}}},
       MakeDate(2024, 5, 2),
       MakeDate(2024, 5, 3),
       1000,
       "Title m05",
       {},
       ""},
      {"limit above the line count",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       10,
       "Title m03",
       {"m03:01.03", "m03:02.03", "m03:03.03", "m04:01.04"},
       ""},
      {"limit 2 cuts the first file",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       2,
       "Title m03",
       {"m03:01.03", "m03:02.03"},
       LimitNotice(2)},
      {"limit equal to the selected lines: no notice",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       4,
       "Title m03",
       {"m03:01.03", "m03:02.03", "m03:03.03", "m04:01.04"},
       ""},
      {"limit 3 reached at the end of the first file",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       3,
       "Title m03",
       {"m03:01.03", "m03:02.03", "m03:03.03"},
       LimitNotice(3)},
      {"limit 0: the header alone",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       0,
       "Title m03",
       {},
       LimitNotice(0)},
      {"limit -5: an empty table",
       kTwoMonths,
       MakeDate(2024, 3, 1),
       MakeDate(2024, 4, 30),
       -5,
       "",
       {},
       LimitNotice(-5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    for (const LogFile& file : c.files) {
      test::WriteFile(dir / file.name, Contents(file));
    }
    const std::string html =
        ListOutgoing(dir.str(), c.first, c.last, c.max_lines);
    const std::string ending = std::string(kTableClosing) + c.notice;
    ASSERT_EQ(html.rfind(kTableOpening, 0), 0u) << html;
    ASSERT_GE(html.size(), ending.size());
    EXPECT_EQ(html.substr(html.size() - ending.size()), ending) << html;
    const std::vector<std::string> headers = CellTexts(html, "OutColumnH4");
    EXPECT_EQ(headers, c.header.empty() ? std::vector<std::string>{}
                                        : std::vector<std::string>{c.header});
    EXPECT_EQ(CellTexts(html, "OutColumn4"), c.subjects);
    EXPECT_EQ(CountOf(html, "<TR>"), headers.size() + c.subjects.size());
  }
}

TEST(ListLogTest, TableIsTheRenderedRowsWrapped) {
  test::TempDir dir;
  const LogFile file = {"Outgoing2024-03.txt", "m03", {"02.03.2024 08:00:00"}};
  test::WriteFile(dir / file.name, Contents(file));
  const LogLineColumns title = Row({"Date", "From", "To", "Title m03", "Size"});
  const LogLineColumns line = Row({"02.03.2024 08:00:00", "sender@a.test",
                                   "rcpt@b.test", "m03:02.03", "2048"});
  const std::string rows = MakeTableRow(LogOutgoing, title, true) +
                           MakeTableRow(LogOutgoing, line, false);
  EXPECT_EQ(
      ListOutgoing(dir.str(), MakeDate(2024, 3, 1), MakeDate(2024, 3, 31), 100),
      MakeTable(rows));
}

TEST(ListLogTest, NoFileOpensGivesTheFirstFailure) {
  struct Case {
    const char* name;
    std::string folder;  // below the temporary folder
    std::string shown_file;
    std::string error;
  };
  const Case cases[] = {
      {"folder exists", "", "/Incoming2024-03.txt", "File not found (53)"},
      {"folder missing, its name encoded", "/a<b&c",
       "/a&lt;b&amp;c/Incoming2024-03.txt", "Path not found (76)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    // Daily files of other months do not count.
    test::WriteFile(dir / "Incoming2024-05-01.txt", "Date\r\n");
    const std::string html = ListLog(
        LogIncoming, dir.str() + c.folder, MakeDate(2024, 3, 15),
        MakeDate(2024, 4, 10), "", "", "", "", "", 0, 0, "", false, "", 1000);
    EXPECT_EQ(html, "<H4>Error accessing log file: " + dir.str() +
                        c.shown_file + "<br>\r\nError: " + c.error +
                        ".<br>\r\nCGI program Logged in as: " +
                        GetAccountName() + "</H4>\r\n");
  }
}

TEST(ListLogTest, ReaderErrorReachesTheCaller) {
  test::TempDir dir;
  EXPECT_RUNTIME_ERROR(ListLog(static_cast<E_LogType>(0), dir.str(),
                               MakeDate(2024, 3, 1), MakeDate(2024, 3, 2), "",
                               "", "", "", "", 0, 0, "", false, "", 10),
                       5);
}

// A clock that moves on by one second each time it is read.
class SteppingClock final : public Clock {
 public:
  TimePoint Now() const override {
    return TimePoint(std::chrono::seconds(++ticks_));
  }

 private:
  mutable std::atomic<int> ticks_{0};
};

TEST(ListLogTest, TimeLimitEndsTheListingWithItsNotice) {
  struct Case {
    const char* name;
    int32_t max_lines;
    std::string from;
  };
  const Case cases[] = {
      {"while rows are listed", 1000, ""},
      // The second match lies in the last file: time runs out while the
      // listing reads on to learn whether the limit cut anything.
      {"while reading on past the limit", 1, "first-or-last"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    for (int day = 1; day <= 20; ++day) {
      char name[40];
      std::snprintf(name, sizeof name, "Outgoing2024-03-%02d.txt", day);
      std::string from = day == 1 || day == 20 ? "first-or-last" : "other";
      test::WriteFile(dir / name,
                      "Date\tFrom\tTo\tSubject\tSize\r\n" +
                          std::to_string(day) + ".03.2024 08:00:00\t" + from +
                          "\tb\tday " + std::to_string(day) + "\t1\r\n");
    }
    SteppingClock clock;
    ListingRequest request;
    request.log_type = LogOutgoing;
    request.folder = dir.str();
    request.first_day = MakeDate(2024, 3, 1);
    request.last_day = MakeDate(2024, 3, 20);
    request.criteria.start = request.first_day;
    request.criteria.end = MakeDate(2024, 3, 21);
    request.criteria.from = c.from;
    request.max_lines = c.max_lines;
    request.clock = &clock;
    request.time_limit_seconds = 5;
    HtmlListing html(LogOutgoing, nullptr, true);
    const ListingOutcome outcome = ListLog(request, html);
    html.Finish(outcome, request, [] { return std::string(); });
    const std::string text = html.TakeText();
    EXPECT_EQ(outcome.stopped, ListingStop::kTimeLimit);
    EXPECT_LT(CellTexts(text, "OutColumn4").size(), 19u);
    EXPECT_TRUE(text.ends_with(
        "</table>\r\n<H4>Listing stopped after 5 seconds. Narrow the date "
        "interval or the selection.</H4>\r\n"))
        << text;
  }
}

// Runs the generator and returns its standard output.
std::string RunGeneratorForOutput(const std::string& args) {
  const std::string command = test::GeneratorExecutable() + " " + args;
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

TEST(ListLogTest, GeneratedMonthWithASender) {
  test::TempDir dir;
  const std::string out = RunGeneratorForOutput(
      "--folder '" + dir.str() +
      "' --log incoming --period monthly --first 2024-03-01 --last "
      "2024-03-31 --lines-per-day 200 --seed 7 --sender probe@sentinel.test "
      "--sender-share 0.01");
  std::istringstream fields(out);
  std::string path;
  size_t data_lines = 0;
  size_t sender_lines = 0;
  ASSERT_TRUE(fields >> path >> data_lines >> sender_lines) << out;
  EXPECT_EQ(path, dir / "Incoming2024-03.txt");
  ASSERT_GT(sender_lines, 0u);

  const Date first = MakeDate(2024, 3, 1);
  const Date last = MakeDate(2024, 3, 31);
  const std::string selected =
      ListLog(LogIncoming, dir.str(), first, last, "", "probe@sentinel.test",
              "", "", "", 0, 0, "", false, "", 100000);
  EXPECT_EQ(CountOf(selected, "<TR>"), sender_lines + 1);
  EXPECT_EQ(CountOf(selected, "<TH "), 9u);
  EXPECT_EQ(CountOf(selected, "<H4>"), 0u);

  const std::string all = ListLog(LogIncoming, dir.str(), first, last, "", "",
                                  "", "", "", 0, 0, "", false, "", 100000);
  EXPECT_EQ(CountOf(all, "<TR>"), data_lines + 1);
}

}  // namespace
}  // namespace kvo
