#include "viewer/page_request.h"

#include "base/numbers.h"
#include "base/text_case.h"
#include "viewer/validate.h"

namespace kvo {

PageRequest ReadPageRequest(const CgiContext& context) {
  auto field = [&context](std::string_view name) {
    return GetFieldValue(context, name);
  };
  PageRequest r;
  r.log = field("Log");
  r.log_file_path = field("LogFilePath");
  bool ignored = false;
  r.first_date = ValidateDate(field("DateLoDay"), field("DateLoMonth"),
                              field("DateLoYear"), ignored, r.error_text);
  r.last_date =
      ValidateDate(field("DateHiDay"), field("DateHiMonth"),
                   field("DateHiYear"), r.last_date_empty, r.error_text);
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
  if (!r.last_date && r.last_date_empty) r.last_date = r.first_date;
  return r;
}

int32_t LineLimitOf(const std::string& text) {
  NumberOr<int32_t> limit = ConvertStrictInt32(text);
  return limit.ok() ? limit.value() : 100;
}

}  // namespace kvo
