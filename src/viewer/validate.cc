#include "viewer/validate.h"

#include <utility>
#include <string>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "html/html.h"
#include "logread/log_folder.h"
#include "net/ipv4.h"

namespace kvo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBrCrLf = "<br>\r\n";

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

bool InRange(double value, double low, double high) {
  return value >= low && value <= high;
}

// Two-digit years: the prefix reading decides whether a year is two-digit;
// the strict conversion gives its value, so "85x" is an error rather than
// 1985.
void ExpandYearText(std::string& year) {
  if (int century = TwoDigitYearCentury(PrefixRead(year)); century != 0) {
    year = std::to_string(StrictToInt32(year) + century);
  }
}

std::string DateTexts(std::string_view day, std::string_view month,
                      std::string_view year) {
  return EncodeHtml(day) + "/" + EncodeHtml(month) + "/" + EncodeHtml(year);
}

// A size bound: 0 for an empty text, else the whole text as a 32-bit number;
// null when it is not one.
std::optional<int32_t> ReadSize(std::string_view text) {
  if (text.empty()) return 0;
  NumberOr<int32_t> size = ConvertStrictInt32(text);
  if (!size.ok()) return std::nullopt;
  return size.value();
}

std::optional<E_LogType> LogTypeOf(std::string_view log) {
  if (EqualsIgnoreCase(log, "Incoming")) return LogIncoming;
  if (EqualsIgnoreCase(log, "Outgoing")) return LogOutgoing;
  return std::nullopt;
}

}  // namespace

std::optional<Date> ValidateDate(std::string_view day, std::string_view month,
                                 std::string_view year, bool& fEmpty,
                                 std::string& error_text) {
  std::string year_text(year);
  try {
    fEmpty = IsBlank(std::string(day) + std::string(month) + year_text);
    if (fEmpty) return std::nullopt;
    ExpandYearText(year_text);
    double d = PrefixRead(day);
    double m = PrefixRead(month);
    double y = PrefixRead(year_text);
    if (InRange(d, 1, 31) && InRange(m, 1, 12) && InRange(y, 1980, 9999)) {
      return MakeDate(RoundToInt32(y), RoundToInt32(m), RoundToInt32(d));
    }
    error_text += "Invalid date (" + DateTexts(day, month, year_text) + ")";
  } catch (const RuntimeError& error) {
    error_text += "Date conversion (" + DateTexts(day, month, year_text) +
                  "), unexpected error (" + std::to_string(error.number()) +
                  ") " + error.description();
  }
  error_text += kBrCrLf;
  return std::nullopt;
}

std::string CriteriaErrorBlock(std::string_view error_text) {
  if (error_text.size() <= kBrCrLf.size()) return "";
  std::string block = "<P class=\"CriteriaError\">";
  block += kCrLf;
  block += error_text.substr(0, error_text.size() - kBrCrLf.size());
  block += kCrLf;
  block += "</p>";
  block += kCrLf;
  return block;
}

Validation ValidateParameters(const PageRequest& request,
                              const std::string& log_root) {
  Validation v;
  auto fail = [&v](std::string field, std::string message) {
    v.findings.push_back({std::move(field), std::move(message)});
  };
  if (std::optional<E_LogType> type = LogTypeOf(request.log)) {
    v.log_type = *type;
  } else {
    fail("Log",
         "Neither 'Incoming' nor 'Outgoing' log specified. Contact the "
         "administrator of the web page.");
  }
  if (request.log_file_path.empty()) {
    fail("LogFilePath", "No path for logfiles specified.");
  } else if (log_root.empty() ||
             !IsPathInsideRoot(request.log_file_path, log_root)) {
    fail("LogFilePath", "Log file path not allowed.");
  }
  if (!request.first_date || !request.last_date) {
    fail(request.first_date ? "DateHiDay" : "DateLoDay",
         "Invalid date interval (missing or invalid).");
  } else if (*request.first_date > *request.last_date) {
    fail("DateHiDay", "Invalid date interval (out of order).");
  }
  std::optional<int32_t> size_mini = ReadSize(request.size_mini);
  if (!size_mini) fail("SizeMini", "Invalid minimum message size given.");
  std::optional<int32_t> size_maxi = ReadSize(request.size_maxi);
  if (!size_maxi) fail("SizeMaxi", "Invalid maximum message size given.");
  if (size_mini && size_maxi && *size_maxi > 0 && *size_mini > *size_maxi) {
    fail("SizeMaxi", "Invalid message size interval given.");
  }
  v.size_mini = size_mini.value_or(0);
  v.size_maxi = size_maxi.value_or(0);
  const std::pair<const char*, const std::string*> selections[] = {
      {"POP3AccountSelection", &request.pop3_account},
      {"FromSelection", &request.from},
      {"ToSelection", &request.to},
      {"RoutedSelection", &request.routed},
      {"SubjectSelection", &request.subject}};
  for (const auto& [field, text] : selections) {
    if (text->size() > kMaxSelectionLength) {
      fail(field, "Selection text too long (more than 1000 characters).");
    }
  }
  return v;
}

IpCriterionCheck CheckIpCriterion(const PageRequest& request) {
  IpCriterionCheck check;
  if (request.ip_address.empty()) return check;
  std::string ip1 = EncodeHtml(request.ip_address);
  std::string ip2 = EncodeHtml(request.ip_address2);
  if (!IsValidIpAddress(request.ip_address)) {
    check.rejected =
        "IP Address selection: You did not enter a valid IP Address.";
  } else if (request.ip_address2.empty()) {
    check.shown = "IP Address selection: " + ip1;
  } else if (!IsValidIpAddress(request.ip_address2)) {
    check.rejected =
        request.subnet
            ? "IP subnet: You did not enter a valid subnet mask."
            : "IP Address range: You did not enter a valid 2nd IP Address.";
  } else if (request.subnet) {
    check.shown = "IP Subnet selection: " + ip1 + ", subnet mask: " + ip2;
  } else if (IsIpInRange(request.ip_address, "255.255.255.255",
                         request.ip_address2)) {
    check.shown = "IP Address range: " + ip1 + " to " + ip2;
  } else {
    check.rejected = "IP Address range: Invalid.";
  }
  return check;
}

std::string InvalidParametersText(std::string_view script_name,
                                  const PageRequest& request,
                                  const Validation& validation) {
  std::string heading =
      LogTypeOf(request.log) == LogOutgoing ? "Outgoing" : "Incoming";
  std::string text = "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - " +
                     heading + " mail</H2></Center>";
  text += kCrLf;
  text += "<hr>";
  text += kCrLf;
  text += "<H3>Invalid parameter(s) for " + EncodeHtml(script_name) + "</H3>";
  text += kCrLf;
  if (std::string block = CriteriaErrorBlock(request.error_text);
      !block.empty()) {
    text += block;
    text += kCrLf;
  }
  for (const Finding& finding : validation.findings) {
    text += "<PRE>";
    text += finding.message;
    text += "</PRE>";
    text += kCrLf;
  }
  return text;
}

}  // namespace kvo
