#ifndef KVO_ANSWER_ANSWER_SUMMARY_H_
#define KVO_ANSWER_ANSWER_SUMMARY_H_

#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "logread/criteria.h"
#include "logread/log_type.h"

namespace kvo {

// What a listing was asked for, as the answers for programs repeat it.
struct AnswerSummary {
  E_LogType log_type = LogIncoming;
  std::string log;  // "Incoming" or "Outgoing"
  Date first_day = 0;
  Date last_day = 0;
  std::optional<int32_t> time_lo;  // seconds of the day
  std::optional<int32_t> time_hi;
  CriteriaTexts criteria;
  int64_t offset = 0;
  int32_t limit = 100;
  std::string order;  // "date", "newest" or "largest"
};

// "hh:mm:ss" of seconds of the day.
std::string TimeOfDayText(int32_t seconds);

}  // namespace kvo

#endif  // KVO_ANSWER_ANSWER_SUMMARY_H_
