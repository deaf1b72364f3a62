#ifndef KVO_VIEWER_PAGE_REQUEST_H_
#define KVO_VIEWER_PAGE_REQUEST_H_

#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "gateway/cgi_context.h"

namespace kvo {

// The request's parameters as the page reads them, before validation.
struct PageRequest {
  std::string log;
  std::string log_file_path;
  std::optional<Date> first_date;
  std::optional<Date> last_date;
  bool last_date_empty = false;  // the three last-date fields were blank
  std::string pop3_account;      // "none" read as empty
  std::string from;
  std::string to;
  std::string routed;
  std::string subject;
  std::string size_mini;
  std::string size_maxi;
  std::string ip_address;
  bool subnet = false;
  std::string ip_address2;
  std::string max_lines;
  // Messages for the page, each ending in "<br>" CR LF: the dates' first.
  std::string error_text;
};

// Reads every parameter of the page with GetFieldValue, the dates through
// ValidateDate; a RuntimeError (too many form fields) leaves it.
PageRequest ReadPageRequest(const CgiContext& context);

// The line limit of the page: the strict conversion of `text`, 100 when it
// is not a 32-bit number.
int32_t LineLimitOf(const std::string& text);

}  // namespace kvo

#endif  // KVO_VIEWER_PAGE_REQUEST_H_
