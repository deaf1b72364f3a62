#ifndef KVO_VIEWER_VALIDATE_H_
#define KVO_VIEWER_VALIDATE_H_

// Validation of the request's parameters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "logread/log_type.h"
#include "viewer/page_request.h"

namespace kvo {

// Selection texts longer than this are refused.
inline constexpr size_t kMaxSelectionLength = 1000;

// The date of the day, month and year texts, or null. `fEmpty` tells whether
// the three texts together were blank (then null and no message). An invalid
// date appends "Invalid date (d/m/y)<br>" CR LF to `error_text`; the texts in
// it are HTML-encoded. Never throws.
std::optional<Date> ValidateDate(std::string_view day, std::string_view month,
                                 std::string_view year, bool& fEmpty,
                                 std::string& error_text);

// The message ValidateDate gives for the three texts, in plain text (not
// HTML); empty when they make a date or are all blank.
std::string DateMessage(std::string_view day, std::string_view month,
                        std::string_view year);

// A problem found in the request: the request parameter it is about (""
// where no one parameter is at fault) and the message.
struct Finding {
  std::string field;
  std::string message;
};

// The forms of an answer: the page, or the listing for programs.
enum class AnswerFormat { kHtml, kJson, kCsv };
// The order of the listed lines: as in the files, newest first, largest
// first (ties in file order).
enum class RowOrder { kDate, kNewest, kLargest };
// A listing in another order holds at most this many rows to sort them.
inline constexpr int64_t kMostOrderedRows = 100000;

// The format that the Format parameter names (any case; empty is the page);
// null for any other text.
std::optional<AnswerFormat> AnswerFormatOf(std::string_view text);

// What validation makes of a request.
struct Validation {
  std::vector<Finding> findings;  // in the order the page lists them
  E_LogType log_type = LogIncoming;
  int32_t size_mini = 0;  // kilobytes, 0 for no bound
  int32_t size_maxi = 0;
  int32_t max_lines = 100;
  AnswerFormat format = AnswerFormat::kHtml;
  RowOrder order = RowOrder::kDate;
  int64_t offset = 0;
  // Where the interval starts on its first day and ends (inclusive) on its
  // last, in seconds of the day; null for the whole day.
  std::optional<int32_t> time_lo;
  std::optional<int32_t> time_hi;

  bool ok() const { return findings.empty(); }
};

// Checks the log name, the log folder (it must lie in `log_root`; an empty
// root refuses every folder), the date interval, the size bounds, the
// length of the selection texts, and the answer's format, offset, order and
// times of day. Every problem is found, none stops the others.
Validation ValidateParameters(const PageRequest& request,
                              const std::string& log_root);

// What the page makes of the IP criterion: the criteria line that shows it
// (its request texts HTML-encoded), or, when it is unusable, the message why
// and the field at fault (the page then lists without it).
struct IpCriterionCheck {
  std::string shown;
  Finding rejected;  // empty message when the criterion is usable
};
// Nothing is checked when `ip_address` is empty.
IpCriterionCheck CheckIpCriterion(const PageRequest& request);

// The invalid-parameters text of the page: the heading, the date messages
// of `request` (as a CriteriaErrorBlock) and one "<PRE>" line per finding.
std::string InvalidParametersText(std::string_view script_name,
                                  const PageRequest& request,
                                  const Validation& validation);

// The block that shows the messages of `error_text` (each ending in "<br>"
// CR LF) on a page: "<P class=\"CriteriaError\">" CR LF, the messages without
// the last "<br>" CR LF, CR LF, "</p>" CR LF. Empty when `error_text` is no
// longer than "<br>" CR LF.
std::string CriteriaErrorBlock(std::string_view error_text);

}  // namespace kvo

#endif  // KVO_VIEWER_VALIDATE_H_
