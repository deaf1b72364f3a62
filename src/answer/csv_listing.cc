#include "answer/csv_listing.h"

#include "answer/csv.h"

namespace kvo {
namespace {


// Why the listing ended early, or nothing.
std::string EndNote(const ListingOutcome& outcome,
                    const ListingRequest& request) {
  if (!outcome.any_opened) {
    return "Error accessing log file: " + outcome.first_failure_file + ": " +
           outcome.first_failure.text + " (" +
           std::to_string(outcome.first_failure.number) + ").";
  }
  if (outcome.stopped == ListingStop::kTimeLimit) {
    return "Listing stopped after " +
           std::to_string(request.time_limit_seconds) + " seconds.";
  }
  if (!outcome.damaged.empty()) {
    const FileReport& file = outcome.damaged.front();
    return "Log file damaged: " + file.name + " (" + file.error.text + ").";
  }
  if (outcome.truncated) {
    return "Incomplete listing. Maximum line count of " +
           std::to_string(request.max_lines) + " exceeded.";
  }
  return {};
}

}  // namespace

CsvListing::CsvListing(ByteSink& out, E_LogType log_type)
    : out_(&out), log_type_(log_type) {}

void CsvListing::Title(const ListedLine& line) {
  AppendCsvRecord(out_.text(), TitleFields(log_type_, line.text));
}

void CsvListing::Row(const ListedLine& line) {
  AppendCsvRecord(out_.text(), SplitFields(line.text));
  out_.FlushWhenFull();
}

void CsvListing::Finish(const ListingOutcome& outcome,
                        const ListingRequest& request) {
  std::string note = EndNote(outcome, request);
  if (!note.empty()) {
    out_.text() += "# ";
    AppendCsvRecord(out_.text(), {note});
  }
  out_.Flush();
}

}  // namespace kvo
