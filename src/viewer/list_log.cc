#include "viewer/list_log.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/runtime_error.h"
#include "html/html.h"
#include "logread/log_file_read.h"
#include "util/account.h"

namespace kvo {
namespace {

// The error of the first file that could not be opened.
struct OpenFailure {
  bool kept = false;
  int32_t number = 0;
  std::string text;
  std::string file;
};

void SetUpReader(C_LogFileRead& reader, E_LogType log_type,
                 const std::string& log_folder, Date first_date, Date last_date,
                 const std::string& pop3_account, const std::string& from,
                 const std::string& to, const std::string& routed,
                 const std::string& subject, int32_t size_mini,
                 int32_t size_maxi, const std::string& ip_address1, bool subnet,
                 const std::string& ip_address2) {
  reader.P_strPathName = log_folder;
  reader.P_LogType(log_type);
  reader.P_LogPeriod = PeriodMonthly;
  reader.P_datRef = first_date;
  reader.P_datStart = first_date;
  reader.P_datEnd = last_date;
  reader.P_strPOP3AccountSel = pop3_account;
  reader.P_strFromSel = from;
  reader.P_strToSel = to;
  reader.P_strRoutedSel = routed;
  reader.P_strSubjectSel = subject;
  reader.P_lngSizeMini = size_mini;
  reader.P_lngSizeMaxi = size_maxi;
  reader.P_strIpAddr1 = ip_address1;
  reader.P_fSubnet = subnet;
  reader.P_strIpAddr2 = ip_address2;
  // The first line read becomes the table's header row.
  reader.P_fTitle = true;
}

// The folder comes from the request, so the file name is encoded like every
// request text the page shows.
std::string ErrorNotice(const OpenFailure& failure) {
  return "<H4>Error accessing log file: " + EncodeHtml(failure.file) +
         "<br>\r\nError: " + EncodeHtml(failure.text) + " (" +
         std::to_string(failure.number) +
         ").<br>\r\nCGI program Logged in as: " + GetAccountName() +
         "</H4>\r\n";
}

// Room for the rows that the line limit allows, so that a long listing is
// not copied each time the text doubles. Only address space until rows are
// written; a request that cannot have it grows the text as it goes.
void ReserveRows(std::string& table, int32_t max_lines) {
  constexpr size_t kRowEstimate = 640;  // an incoming row of the usual log
  constexpr size_t kMostReserved = size_t{128} << 20;
  const size_t rows = static_cast<size_t>(std::max(max_lines, 0)) + 1;
  try {
    table.reserve(std::min(rows * kRowEstimate, kMostReserved));
  } catch (const std::bad_alloc&) {
  }
}

std::string LimitNotice(int32_t max_lines) {
  return "<H4>Incomplete listing. Maximum line count of " +
         std::to_string(max_lines) + " exceeded.</H4>\r\n";
}

}  // namespace

std::string ListLog(E_LogType log_type, const std::string& log_folder,
                    Date first_date, Date last_date,
                    const std::string& pop3_account, const std::string& from,
                    const std::string& to, const std::string& routed,
                    const std::string& subject, int32_t size_mini,
                    int32_t size_maxi, const std::string& ip_address1,
                    bool subnet, const std::string& ip_address2,
                    int32_t max_lines) {
  const std::string limit_notice = LimitNotice(max_lines);
  C_LogFileRead reader;
  SetUpReader(reader, log_type, log_folder, first_date, last_date, pop3_account,
              from, to, routed, subject, size_mini, size_maxi, ip_address1,
              subnet, ip_address2);

  // The table grows in place: its opening line first, then every row.
  std::string table;
  ReserveRows(table, max_lines);
  table += kTableOpening;
  int32_t remaining = max_lines;
  bool any_opened = false;
  OpenFailure failure;
  for (;;) {
    reader.P_Open(true);
    if (reader.P_Open()) {
      any_opened = true;
      ListFileLines(reader, table, remaining);
      reader.P_Open(false);
      if (remaining < 0 || !NextPeriod(reader)) break;
      continue;
    }
    if (!failure.kept) {
      failure = {true, reader.P_lngErrOpen, reader.P_strErrOpen,
                 reader.P_strFileName};
    }
    if (reader.P_LogPeriod == PeriodMonthly) {
      reader.P_LogPeriod = PeriodDaily;  // the same day's daily file next
    } else if (!NextPeriod(reader)) {
      break;
    }
  }

  if (!any_opened) return ErrorNotice(failure);
  table += kTableClosing;
  if (remaining < 0) table += limit_notice;
  return table;
}

void ListFileLines(C_LogFileRead& reader, std::string& rows,
                   int32_t& remaining) {
  bool eof = false;
  for (;;) {
    const std::optional<LogLineColumns> line = reader.NextCandidateLine(eof);
    if (!line) return;
    if (reader.P_fTakeIt() || reader.P_fTitle) {
      if (remaining < 0) return;
      AppendTableRow(rows, reader.P_LogType(), *line, reader.P_fTitle);
      --remaining;
    }
    // Only the very first line of the listing is its header.
    reader.P_fTitle = false;
    if (eof) return;
  }
}

bool NextPeriod(C_LogFileRead& reader) {
  const std::optional<Date> last_day = reader.P_datLastDayInLog();
  if (!last_day) {
    throw RuntimeError(kErrInvalidArgument, "Log",
                       "Invalid log period parameter");
  }
  reader.P_datRef = AddDays(*last_day, 1);
  // Without a last date there is no end to walk to.
  if (!reader.P_datEnd || reader.P_datRef > *reader.P_datEnd) return false;
  if (DayOfMonth(reader.P_datRef) == 1) reader.P_LogPeriod = PeriodMonthly;
  return true;
}

}  // namespace kvo
