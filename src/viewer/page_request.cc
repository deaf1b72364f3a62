#include "viewer/page_request.h"

#include <charconv>

#include "base/numbers.h"
#include "gateway/response.h"
#include "logread/listing.h"
#include "base/text_case.h"
#include "viewer/validate.h"

namespace kvo {

namespace {

// ValidateDate, its message kept for the page and, in plain text, for the
// field `field`.
std::optional<Date> ReadDate(const std::string& day, const std::string& month,
                             const std::string& year, const char* field,
                             bool& empty, PageRequest& r) {
  std::string message;
  std::optional<Date> date = ValidateDate(day, month, year, empty, message);
  if (!message.empty()) {
    r.error_text += message;
    r.date_messages.emplace_back(field, DateMessage(day, month, year));
  }
  return date;
}

}  // namespace

PageRequest ReadPageRequest(const CgiContext& context) {
  auto field = [&context](std::string_view name) {
    return GetFieldValue(context, name);
  };
  PageRequest r;
  r.log = field("Log");
  r.log_file_path = field("LogFilePath");
  bool ignored = false;
  r.first_date = ReadDate(field("DateLoDay"), field("DateLoMonth"),
                          field("DateLoYear"), "DateLoDay", ignored, r);
  r.last_date = ReadDate(field("DateHiDay"), field("DateHiMonth"),
                         field("DateHiYear"), "DateHiDay", r.last_date_empty, r);
  r.pop3_account = field("POP3AccountSelection");
  if (EqualsIgnoreCase(r.pop3_account, "none")) r.pop3_account.clear();
  r.from = field("FromSelection");
  r.to = field("ToSelection");
  r.routed = field("RoutedSelection");
  r.subject = field("SubjectSelection");
  r.size_mini = field("SizeMini");
  r.size_maxi = field("SizeMaxi");
  r.ip_address = field("IpAddress");
  r.subnet = EqualsIgnoreCase(field("GrpSubnetOrIpRange"), "subnet");
  r.ip_address2 = field("IpAddress2OrSubnetMask");
  r.max_lines = field("MaxLines");
  r.format = field("Format");
  r.offset = field("Offset");
  r.order = field("Order");
  r.time_lo = field("TimeLo");
  r.time_hi = field("TimeHi");
  if (!r.last_date && r.last_date_empty) r.last_date = r.first_date;
  return r;
}

namespace {

// The seconds a listing may run.
int TimeLimitSeconds(const CgiContext& context) {
  constexpr int kDefault = 30;
  if (context.time_limit.empty()) return kDefault;
  int seconds = 0;
  const char* end = context.time_limit.data() + context.time_limit.size();
  auto [stop, error] =
      std::from_chars(context.time_limit.data(), end, seconds);
  if (error == std::errc() && stop == end && seconds > 0) return seconds;
  WriteErrorLog(context,
                "KvoViewLog: KVO_TIME_LIMIT is not a positive whole number; "
                "listings stop after " +
                    std::to_string(kDefault) + " seconds");
  return kDefault;
}

Date AtSecond(Date day, int32_t second) { return day + second / 86400.0; }

}  // namespace

Validation ValidatePageRequest(const CgiContext& context,
                              const PageRequest& r) {
  if (context.log_root.empty()) {
    WriteErrorLog(context,
                  "KvoViewLog: KVO_LOG_ROOT is not set, so every log folder is "
                  "refused; set it to the folder of the logs in the web "
                  "server's configuration");
  }
  return ValidateParameters(r, context.log_root);
}

ListingRequest ListingOf(const CgiContext& context, const PageRequest& r,
                         const Validation& v) {
  ListingRequest request;
  request.log_type = v.log_type;
  request.folder = r.log_file_path;
  request.root = context.log_root;
  request.first_day = *r.first_date;
  request.last_day = *r.last_date;
  request.criteria = {
      v.time_lo ? AtSecond(*r.first_date, *v.time_lo) : *r.first_date,
      v.time_hi ? AtSecond(*r.last_date, *v.time_hi + 1)
                : AddDays(*r.last_date, 1),
      r.pop3_account,
      r.from,
      r.to,
      r.routed,
      r.subject,
      v.size_mini,
      v.size_maxi,
      r.ip_address,
      r.subnet,
      r.ip_address2};
  request.offset = v.offset;
  request.max_lines = v.max_lines;
  request.clock = context.clock;
  request.time_limit_seconds = TimeLimitSeconds(context);
  return request;
}

int32_t LineLimitOf(const std::string& text) {
  NumberOr<int32_t> limit = ConvertStrictInt32(text);
  return limit.ok() ? limit.value() : 100;
}

}  // namespace kvo
