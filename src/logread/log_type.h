#ifndef KVO_LOGREAD_LOG_TYPE_H_
#define KVO_LOGREAD_LOG_TYPE_H_

#include <cstdint>

namespace kvo {

// Which log a reader reads; 0 means none is set. The names are the system's
// own vocabulary.
enum E_LogType : int32_t {
  LogIncoming = 10,
  LogOutgoing = 11,
  LogConnect = 12,
};

// Whether a log file holds one day or one month.
enum E_LogPeriod : int32_t {
  PeriodDaily = 0,
  PeriodMonthly = 1,
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_TYPE_H_
