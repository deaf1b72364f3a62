#ifndef KVO_VIEWER_PAGE_REQUEST_H_
#define KVO_VIEWER_PAGE_REQUEST_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
  // The answer's form and window: Format, Offset, Order, TimeLo, TimeHi.
  std::string format;
  std::string offset;
  std::string order;
  std::string time_lo;
  std::string time_hi;
  // Messages for the page, each ending in "<br>" CR LF: the dates' first.
  std::string error_text;
  // The same date messages as plain text, with the field each is about.
  std::vector<std::pair<std::string, std::string>> date_messages;
};

// Reads every parameter of the page with GetFieldValue, the dates through
// ValidateDate; a RuntimeError (too many form fields) leaves it.
PageRequest ReadPageRequest(const CgiContext& context);

// The line limit of the page: the strict conversion of `text`, 100 when it
// is not a 32-bit number.
int32_t LineLimitOf(const std::string& text);

struct ListingRequest;
struct Validation;

// ValidateParameters over the context's log root; without a root, a line in
// the error log says why every folder is refused.
Validation ValidatePageRequest(const CgiContext& context, const PageRequest& r);

// The listing that a valid request asks for: its interval from TimeLo on
// the first day to TimeHi on the last, whole seconds included; the time
// limit from KVO_TIME_LIMIT (30 seconds when it is not a positive whole
// number, with a word in the error log when it was set).
ListingRequest ListingOf(const CgiContext& context, const PageRequest& r,
                         const Validation& v);

}  // namespace kvo

#endif  // KVO_VIEWER_PAGE_REQUEST_H_
