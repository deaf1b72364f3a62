#include "viewer/list_log.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <thread>

#include "base/date_parse.h"
#include "base/numbers.h"
#include "base/runtime_error.h"
#include "logread/log_file_read.h"
#include "logread/log_naming.h"
#include "util/account.h"
#include "viewer/file_scan.h"
#include "viewer/file_walk.h"
#include "viewer/file_workers.h"
#include "viewer/html_listing.h"
#include "viewer/ordered_rows.h"

namespace kvo {
namespace {

// The table begins when the first file opens, before its first row.
void NoteOpened(ListingOutcome& outcome, RowSink& sink) {
  if (outcome.any_opened) return;
  outcome.any_opened = true;
  sink.FileOpened();
}

// Decides what becomes of each line the files give: the title, a selected
// line passed over by the offset, shown, or beyond the limit.
class RowCounter final : public FileLineSink {
 public:
  RowCounter(const ListingRequest& request, RowSink& sink,
             ListingOutcome& outcome)
      : request_(request),
        sink_(sink),
        outcome_(outcome),
        layout_(LayoutOf(request.log_type)),
        limit_(std::max<int64_t>(request.max_lines, 0)),
        counter_(request.log_type) {}

  void First(std::string_view text, bool taken) override {
    if (!title_taken_) {
      title_taken_ = true;
      Title(text);
      return;
    }
    if (!taken) return;
    if (request_.count_all) counter_.Count(text);
    if (WantsLines()) Selected(text);
  }

  void Selected(std::string_view text) override {
    if (++seen_ <= request_.offset) return;
    if (outcome_.shown < limit_) {
      NoteOpened(outcome_, sink_);
      const LogLineColumns columns = CutColumns(layout_, text);
      sink_.Row({columns, text});
      ++outcome_.shown;
      return;
    }
    if (outcome_.truncated) return;
    outcome_.truncated = true;
    sink_.RowsDone();
    if (lines_over_) lines_over_();
  }

  // Called once no more lines are wanted, to tell those who read them.
  void OnLinesOver(std::function<void()> lines_over) {
    lines_over_ = std::move(lines_over);
  }

  bool WantsLines() const override { return !outcome_.truncated; }
  bool Done() const override {
    return outcome_.truncated && !request_.count_all;
  }

  // The counter of the lines this object saw counted itself.
  LineCounter& counter() { return counter_; }

 private:
  void Title(std::string_view text) {
    NoteOpened(outcome_, sink_);
    LogLineColumns columns = CutColumns(layout_, text);
    NameAddressHeading(request_.log_type, layout_, columns);
    sink_.Title({columns, text});
  }

  const ListingRequest& request_;
  RowSink& sink_;
  ListingOutcome& outcome_;
  const LogLayout layout_;
  const int64_t limit_;
  LineCounter counter_;
  std::function<void()> lines_over_;
  bool title_taken_ = false;
  int64_t seen_ = 0;  // selected lines handed on so far
};

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

// Notes how reading a file of the walk went.
void Report(ListingOutcome& outcome, const ListingRequest& request,
            RowSink& sink, const FileRead& read) {
  if (!read.opened) {
    ReportFailure(outcome, request, read.name, "", read.error);
    return;
  }
  NoteOpened(outcome, sink);
  FileReport report{read.name, "", FileStatus::kRead, {}};
  if (read.read_failed) {
    report.status = FileStatus::kError;
    report.error = {kErrPathFileAccess, read.error.text};
    outcome.damaged.push_back(report);
  }
  outcome.files.push_back(std::move(report));
}

// Reads one file of the walk in this thread.
FileRead ReadHere(C_LogFileRead& reader, const FilePart& part,
                  const ListingRequest& request, RowCounter& rows) {
  FileRead read;
  read.opened = OpenStep(reader, part.file);
  read.name = OpenedName(reader);
  if (!read.opened) {
    read.error = {reader.P_lngErrOpen, reader.P_strErrOpen};
    return read;
  }
  ScanFile(reader, part, rows, request.count_all ? &rows.counter() : nullptr);
  read.read_failed = reader.ReadFailed();
  if (read.read_failed) read.error.text = reader.ReadError();
  reader.P_Open(false);
  return read;
}

size_t Cores() {
  return std::max<size_t>(std::thread::hardware_concurrency(), 1);
}

// How the files of `plan` are read: each file whole, but one of at least
// `request.split_bytes` in as many parts as there are cores; and by how many
// threads. `parts_per_file` tells how many parts each file has.
struct ReadingPlan {
  std::vector<FilePart> parts;
  std::vector<size_t> parts_per_file;
  size_t threads = 1;
};

ReadingPlan PlanReading(const WalkPlan& plan, const LogFolder& folder,
                        const ListingRequest& request) {
  ReadingPlan reading;
  size_t cores = 0;  // asked for only where it matters
  for (const WalkStep& step : plan.steps) {
    if (step.kind != WalkStep::Kind::kRead) continue;
    std::optional<uint64_t> size = step.size;
    if (!size && request.split_bytes > 0) {
      size = folder.RegularFileSize(NameOf(request.log_type, step.first));
    }
    size_t count = 1;
    if (size && *size >= request.split_bytes) {
      if (cores == 0) cores = Cores();
      count = cores;
    }
    for (size_t k = 0; k < count; ++k) {
      FilePart part{step.first, 0, std::nullopt};
      if (count > 1) {
        part.start = *size / count * k;
        if (k + 1 < count) part.stop = *size / count * (k + 1);
      }
      reading.parts.push_back(part);
    }
    reading.parts_per_file.push_back(count);
  }
  if (reading.parts.size() >= 2) {
    if (cores == 0) cores = Cores();
    reading.threads = std::min(reading.parts.size(), cores);
  }
  return reading;
}

// Takes what a part gives and throws it away: the part of a file whose
// beginning did not open.
class DiscardedLines final : public FileLineSink {
 public:
  void First(std::string_view, bool) override {}
  void Selected(std::string_view) override {}
  bool WantsLines() const override { return false; }
  bool Done() const override { return true; }
};

// The lines of the parts of one file from `workers`, in order, as one read.
FileRead TakeFile(FileWorkers& workers, size_t first_part, size_t parts,
                  RowCounter& rows, LineCounter& counts) {
  FileRead read = workers.Take(first_part, rows, &counts);
  DiscardedLines discarded;
  for (size_t k = 1; k < parts; ++k) {
    if (!read.opened) {
      workers.Take(first_part + k, discarded, nullptr);
      continue;
    }
    FileRead rest = workers.Take(first_part + k, rows, &counts);
    if (rest.read_failed && !read.read_failed) {
      read.read_failed = true;
      read.error = rest.error;
    }
  }
  return read;
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
  const ReadingPlan reading = PlanReading(plan, *folder, request);
  RowCounter rows(request, sink, outcome);
  std::optional<FileWorkers> workers;
  C_LogFileRead reader;
  if (reading.threads >= 2) {
    workers.emplace(request, folder, criteria, deadline, reading.parts,
                    reading.threads);
    rows.OnLinesOver([&workers] { workers->StopLines(); });
  } else {
    ConfigureReader(reader, request, folder, criteria, &deadline);
  }
  LineCounter file_counts(request.log_type);
  size_t file_index = 0;
  size_t part_index = 0;
  try {
    for (const WalkStep& step : plan.steps) {
      if (step.kind == WalkStep::Kind::kFailed) {
        ReportFailure(outcome, request, NameOf(request.log_type, step.first),
                      NameOf(request.log_type, step.last), step.error);
        continue;
      }
      const size_t parts = reading.parts_per_file[file_index++];
      const FileRead read =
          workers ? TakeFile(*workers, part_index, parts, rows, file_counts)
                  : ReadHere(reader, reading.parts[part_index], request, rows);
      part_index += parts;
      Report(outcome, request, sink, read);
      if (deadline.Passed()) {
        outcome.stopped = ListingStop::kTimeLimit;
        break;
      }
      if (rows.Done()) break;
    }
  } catch (const RuntimeError&) {
    // What was listed stays; the listing ends here.
  }
  workers.reset();
  if (plan.stopped) outcome.stopped = ListingStop::kTimeLimit;
  rows.counter().Add(file_counts);
  outcome.total = rows.counter().total();
  for (const auto& [day, tally] : rows.counter().days()) {
    outcome.days.push_back(
        {static_cast<Date>(day), tally.count, tally.bytes});
  }
  return outcome;
}

ListingOutcome ListLog(const ListingRequest& request, RowOrder order,
                       RowSink& sink) {
  if (order == RowOrder::kDate) return ListLog(request, sink);
  // Every selected line is a candidate: the whole interval is read.
  ListingRequest every_line = request;
  every_line.offset = 0;
  every_line.max_lines = std::numeric_limits<int32_t>::max();
  every_line.count_all = true;
  const int64_t limit = std::max<int64_t>(request.max_lines, 0);
  OrderedRows ordered(sink, request.log_type, order, request.offset, limit);
  ListingOutcome outcome = ListLog(every_line, ordered);
  outcome.shown = ordered.Finish();
  outcome.truncated = outcome.total > request.offset + limit;
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
  HtmlListing html(log_type, nullptr, max_lines >= 0);
  const ListingOutcome outcome = ListLog(request, html);
  html.Finish(outcome, request, GetAccountName);
  return html.TakeText();
}

}  // namespace kvo
