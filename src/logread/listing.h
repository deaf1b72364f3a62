#ifndef KVO_LOGREAD_LISTING_H_
#define KVO_LOGREAD_LISTING_H_

// What a listing is asked for, where its rows go, and what it tells when it
// is done.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/date.h"
#include "logread/criteria.h"
#include "logread/log_folder.h"
#include "logread/log_line_columns.h"
#include "logread/log_type.h"

namespace kvo {

// One listing: the log, its folder, the days of the interval, the criteria
// and how many selected lines to skip and to show.
struct ListingRequest {
  E_LogType log_type = LogIncoming;
  std::string folder;
  std::string root;  // the folder a linked log file must stay in; "" = folder
  Date first_day = 0;
  Date last_day = 0;
  CriteriaTexts criteria;  // its interval: first_day to the end of last_day
  int64_t offset = 0;      // selected lines passed over first
  int32_t max_lines = 100;
  // Read on to the end of the interval, past the limit, to count every
  // selected line (total and days); otherwise reading stops as soon as the
  // limit is known to be exceeded.
  bool count_all = false;
  const Clock* clock = nullptr;  // null: no time limit
  int time_limit_seconds = 0;    // 0 or less: no time limit
  // A plain file at least this large is read in parts on several cores;
  // 0 reads every file whole.
  uint64_t split_bytes = uint64_t{32} << 20;
};

// The line of the log as a sink receives it: its columns, and the whole
// text for formats that show every field.
struct ListedLine {
  const LogLineColumns& columns;
  std::string_view text;
};

// Where the rows of a listing go, in the order of the files and lines.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // A file of the interval was opened; before any Title or Row.
  virtual void FileOpened() = 0;
  // The listing's title line (the first line read), when the limit allows it.
  virtual void Title(const ListedLine& line) = 0;
  // A selected line inside the offset and the limit.
  virtual void Row(const ListedLine& line) = 0;
  // No more rows come, though the listing may go on counting: a sink may
  // hand on what it has.
  virtual void RowsDone() {}
};

// The selected lines and their Size column summed for one day.
struct DayCount {
  Date day = 0;
  int64_t count = 0;
  int64_t bytes = 0;
};

enum class FileStatus { kRead, kMissing, kError };

// A file the listing tried, or a run of missing files tried one after
// another (`name` the first, `last_name` the last).
struct FileReport {
  std::string name;
  std::string last_name;  // empty unless a run
  FileStatus status = FileStatus::kRead;
  OpenError error;  // for kMissing and kError; a damaged file's text
};

enum class ListingStop { kNone, kTimeLimit };

// How a listing went.
struct ListingOutcome {
  bool any_opened = false;
  // The first file that failed, when none opened: its name and error.
  std::string first_failure_file;
  OpenError first_failure;
  int64_t shown = 0;   // rows handed to the sink, the title not counted
  int64_t total = 0;   // selected lines met (all of them with count_all)
  bool truncated = false;  // a selected line beyond offset + limit exists
  ListingStop stopped = ListingStop::kNone;
  std::vector<DayCount> days;  // with count_all: days with selected lines
  std::vector<FileReport> files;
  // Files that could not be read to their end, with why.
  std::vector<FileReport> damaged;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LISTING_H_
