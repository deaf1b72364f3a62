// The listing passes over lines that cannot be taken without reading them
// as columns, and reads the files of an interval on several threads; its
// pages must be the ones that reading every line, one file after the other,
// gives.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "html/html.h"
#include "logread/log_file_read.h"
#include "support/test_support.h"
#include "viewer/html_listing.h"
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
  int32_t size_maxi = 0;
  std::string ip_address2 = "";
  bool subnet = false;
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
  reader.P_lngSizeMaxi = r.size_maxi;
  reader.P_strIpAddr1 = r.ip_address;
  reader.P_strIpAddr2 = r.ip_address2;
  reader.P_fSubnet = r.subnet;
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
  bool cut = false;  // a selected line did not fit
  bool eof = false;
  while (!eof) {
    std::optional<LogLineColumns> line = reader.M_GetNextLine(eof);
    if (!line) break;
    if (reader.P_fTakeIt() || reader.P_fTitle) {
      if (remaining < 0) {
        cut = true;
        break;
      }
      AppendTableRow(rows, LogIncoming, *line, reader.P_fTitle);
      --remaining;
    }
    reader.P_fTitle = false;
  }
  std::string page = MakeTable(rows);
  if (cut) {
    page += "<H4>Incomplete listing. Maximum line count of " +
            std::to_string(r.max_lines) + " exceeded.</H4>\r\n";
  }
  return page;
}

// The listing of `folder` with every file of at least 64 KiB read in parts
// on several threads.
std::string ListingInParts(const std::string& folder, const Request& r) {
  ListingRequest request;
  request.log_type = LogIncoming;
  request.folder = folder;
  request.first_day = MakeDate(2024, 3, r.first_day);
  request.last_day = MakeDate(2024, 3, r.last_day);
  request.criteria = {request.first_day, MakeDate(2024, 3, r.last_day + 1),
                      r.pop3_account, r.from, r.to, r.routed, r.subject,
                      r.size_mini, r.size_maxi, r.ip_address, r.subnet,
                      r.ip_address2};
  request.max_lines = r.max_lines;
  request.split_bytes = 64 << 10;
  HtmlListing html(LogIncoming, nullptr, r.max_lines >= 0);
  html.Finish(ListLog(request, html), request, [] { return std::string(); });
  return html.TakeText();
}

TEST(ListLogPathsTest, PagesEqualThoseOfReadingEveryLine) {
  // The same lines as one monthly file and as one file per day.
  TempDir dir;
  TempDir days;
  for (const TempDir* folder : {&dir, &days}) {
    RunGenerator({"--folder", folder->str(), "--log", "incoming", "--period",
                  folder == &dir ? "monthly" : "daily", "--first",
                  "2024-03-01", "--last", "2024-03-31", "--lines", "20000",
                  "--seed", "3", "--sender", "Bench.Sender@Sentinel.test",
                  "--sender-share", "0.01"});
  }
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
      {"wildcard runs in From", 1, 31, "", "*bench*sentinel.test", "", "", "",
       0, "", 100000},
      {"wildcards with classes", 2, 30, "", "b?nch.s[a-f]nder", "", "",
       "M[!a]nchen", 0, "", 100000},
      {"To and Cc with a blank", 1, 31, "", "", "corp.local mm*", "", "", 0,
       "", 100000},
      {"routed across its joint", 1, 31, "", "", "", "corp.localrech", "", 0,
       "", 100000},
      {"size window", 1, 31, "", "", "", "", "", 100, "", 100000, 5000},
      {"address range", 1, 31, "", "", "", "", "", 0, "100.0.0.0", 100000, 0,
       "160.255.255.255"},
      {"subnet", 1, 31, "", "", "", "", "", 0, "128.0.0.0", 100000, 0,
       "128.0.0.0", true},
      {"limit equal to the lines taken", 1, 31, "", "", "", "", "", 0,
       "100.0.0.0", 101, 0, "100.255.255.255"},
  };
  for (const Request& r : requests) {
    SCOPED_TRACE(r.name);
    const std::string expected = ReadingEveryLine(dir.str(), r);
    for (const TempDir* folder : {&dir, &days}) {
      const std::string page = ListLog(
          LogIncoming, folder->str(), MakeDate(2024, 3, r.first_day),
          MakeDate(2024, 3, r.last_day), r.pop3_account, r.from, r.to,
          r.routed, r.subject, r.size_mini, r.size_maxi, r.ip_address,
          r.subnet, r.ip_address2, r.max_lines);
      EXPECT_EQ(page, expected) << (folder == &dir ? "monthly" : "daily");
    }
    EXPECT_EQ(ListingInParts(dir.str(), r), expected) << "in parts";
  }
}

}  // namespace
}  // namespace kvo::test
