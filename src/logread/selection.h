#ifndef KVO_LOGREAD_SELECTION_H_
#define KVO_LOGREAD_SELECTION_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/date_parse.h"
#include "logread/criteria.h"
#include "logread/log_line_columns.h"

namespace kvo {

// How a Date column stands to the interval of the criteria.
enum class DateVerdict { kNotADate, kOutside, kInside };

// Decides whether one line passes compiled criteria. Keeps only what serves
// the next line: a buffer for joining two columns, and the day of the last
// Date column read.
class Selection {
 public:
  explicit Selection(DayMonthOrder date_order = DayMonthOrder::kMonthFirst)
      : dates_(date_order) {}

  // Whether the line of `fields` passes every criterion, in the order of the
  // criteria: the interval, POP3 account, From, To and Cc, Routed to,
  // Subject, size, address; columns are cut only as far as needed. A line
  // whose Date column is no date is taken only when it is the `title` line,
  // and then without testing anything else. `known`: the Date column's
  // verdict when the caller has already tested it.
  bool Decide(const Criteria& criteria, LineFields& fields, bool title,
              std::optional<DateVerdict> known = std::nullopt);

  // The date test of Decide alone, on the text of a Date column.
  DateVerdict TestDate(const Criteria& criteria, std::string_view date_text);

  // The moment (seconds since day 0) of the Date column tested last; null
  // when it was no date.
  std::optional<int64_t> last_second() const { return last_second_; }

  // Whether the Date column tested last lies, in the usual layout, on a day
  // wholly outside the interval; then the lines that follow it and start
  // with a Date column of that day (StartsOnLastDay) are not taken either.
  bool LastDayOutside(const Criteria& criteria) const {
    const std::optional<int64_t> day = dates_.LastUsualDay();
    return last_second_ && day && criteria.DayOutside(*day);
  }
  // Whether a line that starts with `head` has a first column, ended by a
  // TAB, in the usual layout of the day tested last.
  bool StartsOnLastDay(std::string_view head) const {
    return dates_.IsUsualColumnOfLastDay(head, '\t');
  }

 private:
  bool PassesTexts(const Criteria& criteria, LineFields& fields);

  DateColumnReader dates_;
  std::optional<int64_t> last_second_;
  std::string joined_;  // To and Cc, or Routed to and Subject, of one line
};

// The size test: the prefix reading of the Size column in kilobytes against
// the bounds (0 or less: none); a size beyond 32 bits is not tested.
bool PassesSize(const CriteriaTexts& texts, std::string_view size);

}  // namespace kvo

#endif  // KVO_LOGREAD_SELECTION_H_
