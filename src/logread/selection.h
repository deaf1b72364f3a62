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

// Decides whether one line passes compiled criteria. Keeps only a buffer for
// joining two columns, reused from line to line, and the locale's date order.
class Selection {
 public:
  explicit Selection(DayMonthOrder date_order = DayMonthOrder::kMonthFirst)
      : date_order_(date_order) {}

  // Whether `columns` pass every criterion, in the order of the criteria:
  // the interval, POP3 account, From, To and Cc, Routed to, Subject, size,
  // address. A line whose Date column is no date is taken only when it is
  // the `title` line, and then without testing anything else. `known`: the
  // Date column's verdict when the caller has already tested it.
  bool Decide(const Criteria& criteria, const LogLineColumns& columns,
              bool title, std::optional<DateVerdict> known = std::nullopt);

  // The date test of Decide alone, on the text of a Date column.
  DateVerdict TestDate(const Criteria& criteria,
                       std::string_view date_text) const;

 private:
  bool PassesTexts(const Criteria& criteria, const LogLineColumns& columns);
  // first + separator + second in joined_.
  std::string_view Join(std::string_view first, std::string_view separator,
                        std::string_view second);

  DayMonthOrder date_order_;
  std::string joined_;  // To and Cc, or Routed to and Subject, of one line
};

// The size test: the prefix reading of the Size column in kilobytes against
// the bounds (0 or less: none); a size beyond 32 bits is not tested.
bool PassesSize(const CriteriaTexts& texts, std::string_view size);

// The address test of a line whose other criteria passed.
bool PassesAddress(const CriteriaTexts& texts, std::string_view address);

}  // namespace kvo

#endif  // KVO_LOGREAD_SELECTION_H_
