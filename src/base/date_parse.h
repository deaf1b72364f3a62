#ifndef KVO_BASE_DATE_PARSE_H_
#define KVO_BASE_DATE_PARSE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/date.h"

namespace kvo {

// Which of day and month comes first in a numeric date with "/" or "-".
enum class DayMonthOrder { kMonthFirst, kDayFirst };

// The order of the locale's date format (nl_langinfo(D_FMT) under LC_TIME):
// day first when "%d" stands before "%m"; the C locale is month first.
DayMonthOrder LocaleDayMonthOrder();

// The Date column of a log line as a date and time. Reads, with blanks
// around: yyyy-mm-dd, yyyy/mm/dd, dd.mm.yyyy, and numeric dates with "/" or
// "-" in `order` (a two-digit year read by ExpandTwoDigitYear); when that
// order gives no valid date but the swapped day and month do, the swapped one.
// An optional time h:mm or h:mm:ss may follow, with an optional AM or PM in
// any case. Anything else is no date: std::nullopt.
std::optional<Date> ParseDateTime(std::string_view text, DayMonthOrder order);

// A moment as whole seconds since day 0 (the Date column and the interval's
// bounds hold whole seconds).
int64_t SecondsOf(Date date);

// The length of a Date column in the gateway's usual layout,
// "dd.mm.yyyy hh:mm:ss".
inline constexpr size_t kUsualDateLength = 19;

// Reads the Date columns of a log's lines one after the other, as
// ParseDateTime does. Consecutive lines of the same day in the gateway's
// usual layout ("dd.mm.yyyy hh:mm:ss") convert their day only once.
class DateColumnReader {
 public:
  explicit DateColumnReader(DayMonthOrder order) : order_(order) {}

  // The moment of `text` in seconds since day 0; null when it is no date.
  std::optional<int64_t> Seconds(std::string_view text);

  // The first second of the day of the text read last, when it had the
  // usual layout; null otherwise.
  std::optional<int64_t> LastUsualDay() const {
    return last_usual_ ? std::optional<int64_t>(day_seconds_) : std::nullopt;
  }
  // Whether `head`, the start of a line, begins with a column in the usual
  // layout of that same day, ended by `end`: Seconds gives such a column a
  // moment of that day, or no date when its time is invalid.
  bool IsUsualColumnOfLastDay(std::string_view head, char end) const;

 private:
  DayMonthOrder order_;
  bool last_usual_ = false;  // the text read last had the usual layout
  char day_text_[10] = {};  // the "dd.mm.yyyy" that day_seconds_ belongs to
  bool day_known_ = false;
  int64_t day_seconds_ = 0;
};

}  // namespace kvo

#endif  // KVO_BASE_DATE_PARSE_H_
