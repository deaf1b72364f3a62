#ifndef KVO_VIEWER_FILE_SCAN_H_
#define KVO_VIEWER_FILE_SCAN_H_

// Reading one open log file for a listing: its first line, which may become
// the listing's title, and its selected lines, counted by day.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_parse.h"
#include "logread/log_file_read.h"
#include "viewer/file_walk.h"
#include "logread/listing.h"

namespace kvo {

// Where the lines of one file go, in order.
class FileLineSink {
 public:
  virtual ~FileLineSink() = default;
  // The file's first line, the listing's title if it has none yet; `taken`
  // tells whether it is a selected line otherwise.
  virtual void First(std::string_view text, bool taken) = 0;
  // A selected line after the first.
  virtual void Selected(std::string_view text) = 0;
  // Whether lines are still wanted: false when the listing only counts.
  virtual bool WantsLines() const = 0;
  // Whether the listing needs nothing more from this file.
  virtual bool Done() const = 0;
};

// Selected lines and their Size column, by day (days since day 0).
struct DayTally {
  int64_t count = 0;
  int64_t bytes = 0;
};
using DayTallies = std::map<int64_t, DayTally>;

// Counts selected lines, and by their day and size (a line without a date,
// taken while nothing selects, counts in the total only).
class LineCounter {
 public:
  explicit LineCounter(E_LogType log_type);
  // Counts the line `text`; `tabs`: the offsets of its first TABs, and
  // `second`: its moment, where they are known already.
  void Count(std::string_view text, const uint32_t* tabs = nullptr,
             size_t tab_count = 0, std::optional<int64_t> second = {});

  int64_t total() const { return total_; }
  const DayTallies& days() const { return days_; }
  // Adds what `other` counted.
  void Add(const LineCounter& other);

 private:
  LogLayout layout_;
  DateColumnReader dates_;
  int64_t total_ = 0;
  DayTallies days_;
};

// The Size column as a byte count: its prefix reading, 0 when it is none.
int64_t SizeColumnBytes(std::string_view size);

// Sets `reader` up for `request`'s listing: its fields, and the folder,
// criteria and deadline that the readers of one listing share.
void ConfigureReader(C_LogFileRead& reader, const ListingRequest& request,
                     std::shared_ptr<const LogFolder> folder,
                     std::shared_ptr<const Criteria> criteria,
                     const Deadline* deadline);

// Opens the file of a read step; false when it could not be opened.
bool OpenStep(C_LogFileRead& reader, const LogFileRef& file);

// The file name of the reader's last open attempt, without its folder.
std::string OpenedName(const C_LogFileRead& reader);

// A file of the walk, or a part of one: large files are read in parts on
// several threads. Only the part at offset 0 holds the file's first line.
struct FilePart {
  LogFileRef file;
  uint64_t start = 0;
  std::optional<uint64_t> stop;  // null: to the end of the file
  bool whole() const { return start == 0 && !stop; }
};

// Reads the open file of `reader` (its P_fTitle false) into `sink`, or the
// lines of `part` where it is not the whole file; the selected lines after
// the first are also counted into `counter` when it is not null. False when
// the part could not be read (a gzipped file cannot be read in parts).
bool ScanFile(C_LogFileRead& reader, const FilePart& part, FileLineSink& sink,
              LineCounter* counter);

}  // namespace kvo

#endif  // KVO_VIEWER_FILE_SCAN_H_
