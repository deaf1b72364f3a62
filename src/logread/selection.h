#ifndef KVO_LOGREAD_SELECTION_H_
#define KVO_LOGREAD_SELECTION_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_parse.h"
#include "base/literal_finder.h"
#include "base/wildcard.h"
#include "logread/log_line_columns.h"

namespace kvo {

class C_LogFileRead;

// For each column role, its 1-based element in a parsed line; 0 where the
// log has no such column.
struct ColumnMap {
  int16_t date = 0;
  int16_t pop3_account = 0;
  int16_t from = 0;
  int16_t to = 0;
  int16_t cc = 0;
  int16_t routed = 0;
  int16_t subject = 0;
  int16_t size = 0;
  int16_t ip_address = 0;
};

// A criterion compiled as a "contains" pattern, compiled again only when the
// criterion's text changes.
class CachedPattern {
 public:
  // The pattern of `criterion`, or null when the criterion is malformed.
  const WildcardPattern* For(const std::string& criterion);

 private:
  std::string source_;
  std::optional<WildcardPattern> pattern_;
  bool compiled_ = false;  // pattern_ (or its absence) belongs to source_
};

// How a Date column stands to the reader's interval.
enum class DateVerdict { kNotADate, kOutside, kInside };

// Decides whether a line passes the criteria of a reader. Keeps the compiled
// patterns and a joining buffer from line to line; holds no line.
class Selection {
 public:
  // The date order of the locale, for the Date column of the lines to come.
  void SetDateOrder(DayMonthOrder order) { date_order_ = order; }

  // Whether `columns` pass every criterion that `reader` holds, in the order
  // of the criteria; a criterion whose test fails with a RuntimeError does
  // not exclude the line.
  // `known`: the Date column's verdict when the caller has already tested it.
  bool Decide(const C_LogFileRead& reader, const ColumnMap& map,
              const LogLineColumns& columns,
              std::optional<DateVerdict> known = std::nullopt);

  // The date test of Decide alone, on the text of a Date column.
  DateVerdict TestDate(const C_LogFileRead& reader,
                       std::string_view date_text) const;

  // A literal that every line that the text criteria of `reader` take
  // contains, ignoring case; null when no criterion promises one. Prepared
  // again only when the criteria texts change.
  const LiteralFinder* RequiredLiteral(const C_LogFileRead& reader,
                                       const ColumnMap& map);

 private:
  bool PassesTexts(const C_LogFileRead& reader, const ColumnMap& map,
                   const LogLineColumns& columns, bool taken);
  // first + separator + second in joined_, reused from line to line.
  std::string_view Join(std::string_view first, std::string_view separator,
                        std::string_view second);
  bool Matches(CachedPattern& cache, const std::string& criterion,
               std::string_view text, bool taken);
  static bool PassesSize(const C_LogFileRead& reader, std::string_view size,
                         bool taken);
  static bool PassesAddress(const C_LogFileRead& reader,
                            std::string_view address, bool taken);

  DayMonthOrder date_order_ = DayMonthOrder::kMonthFirst;
  CachedPattern from_;
  CachedPattern to_;
  CachedPattern routed_;
  CachedPattern subject_;
  std::string joined_;  // To and Cc, or Routed to and Subject, of one line
  // RequiredLiteral's finder and what it was chosen from.
  struct LiteralSource {
    std::string pop3_account, from, to, subject;
    ColumnMap map;
  };
  bool SameLiteralSource(const C_LogFileRead& reader,
                         const ColumnMap& map) const;
  std::optional<LiteralSource> required_source_;
  std::optional<LiteralFinder> required_;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_SELECTION_H_
