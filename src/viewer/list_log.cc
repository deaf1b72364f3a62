#include "viewer/list_log.h"

#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "base/date_parse.h"
#include "base/numbers.h"
#include "base/runtime_error.h"
#include "logread/log_file_read.h"
#include "logread/log_naming.h"
#include "util/account.h"
#include "viewer/file_walk.h"
#include "viewer/html_listing.h"

namespace kvo {
namespace {

// Decides what becomes of each line read: the title, a selected line passed
// over by the offset, shown, or beyond the limit; and counts them.
class RowCounter {
 public:
  RowCounter(const ListingRequest& request, RowSink& sink,
             ListingOutcome& outcome)
      : request_(request),
        sink_(sink),
        outcome_(outcome),
        limit_(std::max<int64_t>(request.max_lines, 0)),
        date_order_(LocaleDayMonthOrder()) {}

  void Title(const ListedLine& line) {
    if (request_.max_lines >= 0) sink_.Title(line);
  }

  // A selected line; false once the listing needs no more lines.
  bool Selected(const ListedLine& line, const ColumnMap& map) {
    ++outcome_.total;
    if (request_.count_all) CountDay(line, map);
    if (outcome_.total <= request_.offset) return true;
    if (outcome_.shown < limit_) {
      sink_.Row(line);
      ++outcome_.shown;
      return true;
    }
    outcome_.truncated = true;
    return request_.count_all;
  }

  // The days counted, in order.
  std::vector<DayCount> Days() const {
    std::vector<DayCount> days;
    for (const auto& [day, count] : days_) days.push_back(count);
    return days;
  }

 private:
  void CountDay(const ListedLine& line, const ColumnMap& map) {
    std::optional<Date> date =
        ParseDateTime(ColumnOf(line.columns, map.date), date_order_);
    if (!date) return;
    const Date day = std::floor(*date);
    DayCount& count = days_[day];
    count.day = day;
    ++count.count;
    count.bytes += SizeBytes(ColumnOf(line.columns, map.size));
  }

  // The Size column as a byte count: its prefix reading, 0 when it is none.
  static int64_t SizeBytes(std::string_view size) {
    NumberOr<double> bytes = ConvertPrefix(size);
    if (!bytes.ok() || !(std::fabs(bytes.value()) < 9e18)) return 0;
    return std::llround(bytes.value());
  }

  const ListingRequest& request_;
  RowSink& sink_;
  ListingOutcome& outcome_;
  const int64_t limit_;
  const DayMonthOrder date_order_;
  std::map<Date, DayCount> days_;
};

// Hands the lines of the open file of `reader` to `rows`; false once the
// listing needs no more lines.
bool ListFileLines(C_LogFileRead& reader, RowCounter& rows,
                   const ColumnMap& map) {
  bool eof = false;
  while (!eof) {
    const std::optional<LogLineColumns> line = reader.NextCandidateLine(eof);
    if (!line) break;
    const ListedLine listed{*line, reader.LineText()};
    if (reader.P_fTitle) {
      // Only the very first line of the listing is its title.
      rows.Title(listed);
      reader.P_fTitle = false;
    } else if (reader.P_fTakeIt() && !rows.Selected(listed, map)) {
      return false;
    }
  }
  return true;
}

std::string NameOf(E_LogType type, const LogFileRef& file) {
  return LogFileName(type, file.period, file.day);
}

FileStatus StatusOf(const OpenError& error) {
  return error.number == kErrFileNotFound || error.number == kErrPathNotFound
             ? FileStatus::kMissing
             : FileStatus::kError;
}

// Notes a file (or a run of files) that failed; the first failure of the
// listing is the one the page names when nothing opened.
void ReportFailure(ListingOutcome& outcome, const ListingRequest& request,
                   std::string name, std::string last_name,
                   const OpenError& error) {
  if (outcome.files.empty()) {
    outcome.first_failure_file = request.folder + "/" + name;
    outcome.first_failure = error;
  }
  if (last_name == name) last_name.clear();
  outcome.files.push_back(
      {std::move(name), std::move(last_name), StatusOf(error), error});
}

std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

void ConfigureReader(C_LogFileRead& reader, const ListingRequest& request) {
  const CriteriaTexts& criteria = request.criteria;
  reader.P_strPathName = request.folder;
  reader.P_LogType(request.log_type);
  reader.P_datStart = request.first_day;
  reader.P_datEnd = request.last_day;
  reader.P_strPOP3AccountSel = criteria.pop3_account;
  reader.P_strFromSel = criteria.from;
  reader.P_strToSel = criteria.to;
  reader.P_strRoutedSel = criteria.routed;
  reader.P_strSubjectSel = criteria.subject;
  reader.P_lngSizeMini = criteria.size_mini;
  reader.P_lngSizeMaxi = criteria.size_maxi;
  reader.P_strIpAddr1 = criteria.ip_address1;
  reader.P_fSubnet = criteria.subnet;
  reader.P_strIpAddr2 = criteria.ip_address2;
  // The first line read becomes the table's header row.
  reader.P_fTitle = true;
}

// Reads the file of `step`; false once the listing needs no more lines.
bool ListFile(C_LogFileRead& reader, const WalkStep& step,
              const ListingRequest& request, RowSink& sink, RowCounter& rows,
              ListingOutcome& outcome) {
  reader.P_LogPeriod = step.first.period;
  reader.P_datRef = step.first.day;
  reader.P_Open(true);
  if (!reader.P_Open()) {
    ReportFailure(outcome, request, BaseName(reader.P_strFileName), "",
                  {reader.P_lngErrOpen, reader.P_strErrOpen});
    return true;
  }
  if (!outcome.any_opened) {
    outcome.any_opened = true;
    sink.FileOpened();
  }
  const bool more =
      ListFileLines(reader, rows, LayoutOf(request.log_type).map);
  FileReport report{BaseName(reader.P_strFileName), "",
                    FileStatus::kRead, {}};
  if (reader.ReadFailed()) {
    report.status = FileStatus::kError;
    report.error = {kErrPathFileAccess, reader.ReadError()};
    outcome.damaged.push_back(report);
  }
  outcome.files.push_back(std::move(report));
  reader.P_Open(false);
  return more;
}

}  // namespace

ListingOutcome ListLog(const ListingRequest& request, RowSink& sink) {
  if (LogTypeName(request.log_type).empty()) {
    throw RuntimeError(kErrInvalidArgument, "Log type not set", "");
  }
  ListingOutcome outcome;
  const Deadline deadline =
      request.clock != nullptr
          ? Deadline(*request.clock, request.time_limit_seconds)
          : Deadline();
  auto folder = std::make_shared<const LogFolder>(request.folder, request.root);
  auto criteria = std::make_shared<const Criteria>(
      request.criteria, LayoutOf(request.log_type));
  const WalkPlan plan = PlanWalk(request.log_type, request.first_day,
                                 request.last_day, *folder, deadline);
  RowCounter rows(request, sink, outcome);
  C_LogFileRead reader;
  ConfigureReader(reader, request);
  reader.UseFolder(folder);
  reader.UseCriteria(criteria);
  reader.UseDeadline(&deadline);
  try {
    for (const WalkStep& step : plan.steps) {
      if (step.kind == WalkStep::Kind::kFailed) {
        ReportFailure(outcome, request, NameOf(request.log_type, step.first),
                      NameOf(request.log_type, step.last), step.error);
        continue;
      }
      const bool more = ListFile(reader, step, request, sink, rows, outcome);
      if (deadline.Passed()) {
        outcome.stopped = ListingStop::kTimeLimit;
        break;
      }
      if (!more) break;
    }
  } catch (const RuntimeError&) {
    // What was listed stays; the listing ends here.
  }
  if (plan.stopped) outcome.stopped = ListingStop::kTimeLimit;
  outcome.days = rows.Days();
  return outcome;
}

std::string ListLog(E_LogType log_type, const std::string& log_folder,
                    Date first_date, Date last_date,
                    const std::string& pop3_account, const std::string& from,
                    const std::string& to, const std::string& routed,
                    const std::string& subject, int32_t size_mini,
                    int32_t size_maxi, const std::string& ip_address1,
                    bool subnet, const std::string& ip_address2,
                    int32_t max_lines) {
  ListingRequest request;
  request.log_type = log_type;
  request.folder = log_folder;
  request.first_day = first_date;
  request.last_day = last_date;
  request.criteria = {first_date, AddDays(last_date, 1), pop3_account, from,
                      to,         routed,                subject,      size_mini,
                      size_maxi,  ip_address1,           subnet,       ip_address2};
  request.max_lines = max_lines;
  HtmlListing html(log_type, nullptr);
  const ListingOutcome outcome = ListLog(request, html);
  html.Finish(outcome, request, GetAccountName);
  return html.TakeText();
}

}  // namespace kvo
