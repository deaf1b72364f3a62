#ifndef KVO_LOGREAD_CRITERIA_H_
#define KVO_LOGREAD_CRITERIA_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date.h"
#include "base/literal_finder.h"
#include "base/wildcard.h"
#include "logread/log_line_columns.h"
#include "net/ip_criterion.h"

namespace kvo {

// What a listing selects lines by, as the request (or the reader's fields)
// state it, before anything is compiled.
struct CriteriaTexts {
  std::optional<Date> start;  // first moment taken; null: nothing selects
  std::optional<Date> end;    // first moment no longer taken; null: no bound
  std::string pop3_account;
  std::string from;
  std::string to;
  std::string routed;
  std::string subject;
  int32_t size_mini = 0;  // kilobytes; 0 or less: no bound
  int32_t size_maxi = 0;
  std::string ip_address1;
  bool subnet = false;
  std::string ip_address2;

  bool operator==(const CriteriaTexts&) const = default;
};

// The criteria compiled once for the lines of one layout: patterns, the
// interval in whole seconds, the literal that every taken line holds. Never
// changes once built, so the readers of one listing share it.
class Criteria {
 public:
  Criteria(const CriteriaTexts& texts, const LogLayout& layout);

  const CriteriaTexts& texts() const { return texts_; }
  const ColumnMap& map() const { return map_; }

  // False while there is no interval: then every line is taken.
  bool selects() const { return texts_.start.has_value(); }
  // Whether the moment `second` (seconds since day 0) lies in the interval.
  bool InInterval(int64_t second) const {
    return !selects() || (second >= start_second_ &&
                          (!end_second_ || second < *end_second_));
  }
  // Whether the whole day that begins at `day_start` lies outside it.
  bool DayOutside(int64_t day_start) const {
    constexpr int64_t kDaySeconds = 86400;
    return selects() && (day_start + kDaySeconds <= start_second_ ||
                         (end_second_ && day_start >= *end_second_));
  }

  // The compiled "contains" pattern of a text criterion; null when the
  // criterion is empty or malformed (a malformed one excludes nothing).
  const WildcardPattern* from() const { return Pattern(from_); }
  const WildcardPattern* to() const { return Pattern(to_); }
  const WildcardPattern* routed() const { return Pattern(routed_); }
  const WildcardPattern* subject() const { return Pattern(subject_); }

  // The address criterion; inactive where the log has no address column.
  const IpCriterion& ip() const { return ip_; }

  // A literal that every line the text criteria take contains, ignoring
  // case; null when no criterion promises one.
  const LiteralFinder* required_literal() const {
    return required_ ? &*required_ : nullptr;
  }

 private:
  static const WildcardPattern* Pattern(
      const std::optional<WildcardPattern>& pattern) {
    return pattern ? &*pattern : nullptr;
  }

  CriteriaTexts texts_;
  ColumnMap map_;
  int64_t start_second_ = 0;
  std::optional<int64_t> end_second_;
  std::optional<WildcardPattern> from_;
  std::optional<WildcardPattern> to_;
  std::optional<WildcardPattern> routed_;
  std::optional<WildcardPattern> subject_;
  IpCriterion ip_;
  std::optional<LiteralFinder> required_;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_CRITERIA_H_
