#ifndef KVO_LOGREAD_LOG_NAMING_H_
#define KVO_LOGREAD_LOG_NAMING_H_

// How the gateway names its log files: the log's name, the period's date and
// ".txt" ("Incoming2024-03.txt" for a month, "Outgoing2024-03-05.txt" for a
// day); logrotate may have compressed one to "<name>.gz".

#include <optional>
#include <string>
#include <string_view>

#include "base/date.h"
#include "logread/log_type.h"

namespace kvo {

inline constexpr std::string_view kLogSuffix = ".txt";
inline constexpr std::string_view kGzipSuffix = ".gz";

// "Incoming", "Outgoing" or "Connect"; empty for any other value.
std::string_view LogTypeName(E_LogType type);

// The file name, without folder, of the `period` file of `type` that holds
// the given day; empty for an unknown type or period.
std::string LogFileName(E_LogType type, E_LogPeriod period, int year,
                        int month, int day);
std::string LogFileName(E_LogType type, E_LogPeriod period, Date day);

// What a file name says about itself, when it is a log file name of `type`:
// the period and its first day, and whether it is gzipped.
struct LogFileNameParts {
  E_LogPeriod period;
  Date day;  // the first of the month for a monthly file
  bool gzipped;
};
std::optional<LogFileNameParts> ParseLogFileName(E_LogType type,
                                                 std::string_view name);

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_NAMING_H_
