#ifndef KVO_VIEWER_FILE_WALK_H_
#define KVO_VIEWER_FILE_WALK_H_

// The order in which a listing tries the log files of its interval: the
// monthly file of each month, and where that is missing (or cannot be
// opened) the daily file of each of that month's days in the interval.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/date.h"
#include "logread/log_folder.h"
#include "logread/log_type.h"

namespace kvo {

// A log file by its period and a day of it.
struct LogFileRef {
  E_LogPeriod period = PeriodMonthly;
  Date day = 0;  // the reference date; any day of the month for a monthly file
};

// One step of the walk: a file to read, one that failed, or a run of files
// tried one after the other that all failed the same way (mostly: missing).
struct WalkStep {
  enum class Kind { kRead, kFailed };
  Kind kind = Kind::kRead;
  LogFileRef first;
  LogFileRef last;   // the run's last file; == first for a single file
  OpenError error;   // kFailed only
  std::optional<uint64_t> size;  // kRead: the plain file's size, where known
};

struct WalkPlan {
  std::vector<WalkStep> steps;
  bool stopped = false;  // the deadline passed before the plan was complete
};

// The steps of the interval first..last (whole days) of `type` in `folder`.
// Where the folder can be listed, only files that exist are read and runs of
// missing files cost nothing per file, so that even an interval of centuries
// is planned at once; a monthly file is opened once to see whether it can be
// read. Where it cannot be listed, every name is tried by opening it.
WalkPlan PlanWalk(E_LogType type, Date first, Date last,
                  const LogFolder& folder, const Deadline& deadline);

}  // namespace kvo

#endif  // KVO_VIEWER_FILE_WALK_H_
