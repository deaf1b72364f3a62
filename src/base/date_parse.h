#ifndef KVO_BASE_DATE_PARSE_H_
#define KVO_BASE_DATE_PARSE_H_

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

}  // namespace kvo

#endif  // KVO_BASE_DATE_PARSE_H_
