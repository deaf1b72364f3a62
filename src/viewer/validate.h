#ifndef KVO_VIEWER_VALIDATE_H_
#define KVO_VIEWER_VALIDATE_H_

// Validation of the request's parameters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date.h"
#include "gateway/cgi_context.h"
#include "logread/log_file_read.h"

namespace kvo {

// The date of the day, month and year texts, or null. `fEmpty` tells whether
// the three texts together were blank (then null and no message). An invalid
// date appends "Invalid date (d/m/y)<br>" CR LF to `error_text`; the texts in
// it are HTML-encoded. Never throws.
std::optional<Date> ValidateDate(std::string_view day, std::string_view month,
                                 std::string_view year, bool& fEmpty,
                                 std::string& error_text);

// Checks the log name, the log folder, the date interval and the size bounds.
// On success sets `log_type` and both sizes (0 for an empty text) and returns
// true. Otherwise writes the invalid-parameters text with one SendLine, the
// date messages of `date_errors` included (as a CriteriaErrorBlock after the
// H3 line), and returns false. A non-empty
// `context.log_root` admits only a `log_file_path` inside it
// (IsPathInsideRoot).
bool ValidateParameters(
    const CgiContext& context, std::string_view log, E_LogType& log_type,
    std::string_view log_file_path, std::optional<Date> first_date,
    std::optional<Date> last_date, std::string_view size_mini_text,
    std::string_view size_maxi_text, std::optional<int32_t>& size_mini,
    std::optional<int32_t>& size_maxi, std::string_view date_errors);

// True when `path` resolves (realpath: links and ".." followed) to the folder
// `root` resolves to, or to a folder below it. False when either cannot be
// resolved, a path that does not exist included.
bool IsPathInsideRoot(const std::string& path, const std::string& root);

// The block that shows the messages of `error_text` (each ending in "<br>"
// CR LF) on a page: "<P class=\"CriteriaError\">" CR LF, the messages without
// the last "<br>" CR LF, CR LF, "</p>" CR LF. Empty when `error_text` is no
// longer than "<br>" CR LF.
std::string CriteriaErrorBlock(std::string_view error_text);

}  // namespace kvo

#endif  // KVO_VIEWER_VALIDATE_H_
