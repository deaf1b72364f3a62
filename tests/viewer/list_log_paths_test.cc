// The listing passes over lines that cannot be taken without reading them
// as columns; its pages must be the ones that reading every line gives.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "html/html.h"
#include "logread/log_file_read.h"
#include "support/test_support.h"
#include "viewer/list_log.h"

namespace kvo::test {
namespace {

struct Request {
  const char* name;
  int first_day;
  int last_day;
  std::string pop3_account, from, to, routed, subject;
  int32_t size_mini;
  std::string ip_address;
  int32_t max_lines;
};

void SetUp(C_LogFileRead& reader, const std::string& folder,
           const Request& r) {
  reader.P_strPathName = folder;
  reader.P_LogType(LogIncoming);
  reader.P_LogPeriod = PeriodMonthly;
  reader.P_datRef = MakeDate(2024, 3, r.first_day);
  reader.P_datStart = MakeDate(2024, 3, r.first_day);
  reader.P_datEnd = MakeDate(2024, 3, r.last_day);
  reader.P_strPOP3AccountSel = r.pop3_account;
  reader.P_strFromSel = r.from;
  reader.P_strToSel = r.to;
  reader.P_strRoutedSel = r.routed;
  reader.P_strSubjectSel = r.subject;
  reader.P_lngSizeMini = r.size_mini;
  reader.P_strIpAddr1 = r.ip_address;
  reader.P_fTitle = true;
}

// The listing of the one monthly file of March, every line read with
// M_GetNextLine.
std::string ReadingEveryLine(const std::string& folder, const Request& r) {
  C_LogFileRead reader;
  SetUp(reader, folder, r);
  reader.P_Open(true);
  EXPECT_TRUE(reader.P_Open());
  std::string rows;
  int32_t remaining = r.max_lines;
  bool eof = false;
  while (!eof) {
    std::optional<LogLineColumns> line = reader.M_GetNextLine(eof);
    if (!line) break;
    if (reader.P_fTakeIt() || reader.P_fTitle) {
      if (remaining < 0) break;
      AppendTableRow(rows, LogIncoming, *line, reader.P_fTitle);
      --remaining;
    }
    reader.P_fTitle = false;
  }
  std::string page = MakeTable(rows);
  if (remaining < 0) {
    page += "<H4>Incomplete listing. Maximum line count of " +
            std::to_string(r.max_lines) + " exceeded.</H4>\r\n";
  }
  return page;
}

TEST(ListLogPathsTest, PagesEqualThoseOfReadingEveryLine) {
  TempDir dir;
  RunGenerator({"--folder", dir.str(), "--log", "incoming", "--period",
                "monthly", "--first", "2024-03-01", "--last", "2024-03-31",
                "--lines", "20000", "--seed", "3", "--sender",
                "Bench.Sender@Sentinel.test", "--sender-share", "0.01"});
  const Request requests[] = {
      {"sender, whole month", 1, 31, "", "bench.sender@sentinel.test", "", "",
       "", 0, "", 100000},
      {"sender, limit reached", 1, 31, "", "BENCH.SENDER", "", "", "", 0, "",
       20},
      {"days in the middle, limit", 11, 20, "", "", "", "", "", 0, "", 100},
      {"whole month, no criterion", 1, 31, "", "", "", "", "", 0, "", 100000},
      {"account, size and address", 3, 29, "pop.example.com/jdoe", "", "", "",
       "", 1024, "", 100000},
      {"subject and recipient", 1, 31, "", "", "mmeier", "", "M\xDCnchen", 0,
       "", 100000},
      {"routed", 1, 31, "", "", "", "jdoe@corp.localre:", "", 0, "", 100000},
      {"nothing taken", 1, 31, "", "nobody@nowhere.test", "", "", "", 0, "",
       100000},
  };
  for (const Request& r : requests) {
    SCOPED_TRACE(r.name);
    const std::string page =
        ListLog(LogIncoming, dir.str(), MakeDate(2024, 3, r.first_day),
                MakeDate(2024, 3, r.last_day), r.pop3_account, r.from, r.to,
                r.routed, r.subject, r.size_mini, 0, r.ip_address, false, "",
                r.max_lines);
    EXPECT_EQ(page, ReadingEveryLine(dir.str(), r));
  }
}

}  // namespace
}  // namespace kvo::test
