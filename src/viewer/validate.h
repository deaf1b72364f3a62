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

// A problem found in the request: the request parameter it is about (""
// where no one parameter is at fault) and the message.
struct Finding {
  std::string field;
  std::string message;
};

// What validation makes of a request.
struct Validation {
  std::vector<Finding> findings;  // in the order the page lists them
  E_LogType log_type = LogIncoming;
  int32_t size_mini = 0;  // kilobytes, 0 for no bound
  int32_t size_maxi = 0;

  bool ok() const { return findings.empty(); }
};

// Checks the log name, the log folder (it must lie in `log_root`; an empty
// root refuses every folder), the date interval, the size bounds and the
// length of the selection texts. Every problem is found, none stops the
// others.
Validation ValidateParameters(const PageRequest& request,
                              const std::string& log_root);

// What the page makes of the IP criterion: the criteria line that shows it,
// or, when it is unusable, the message why (the page then lists without it).
// Texts from the request are HTML-encoded in both.
struct IpCriterionCheck {
  std::string shown;
  std::string rejected;
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
