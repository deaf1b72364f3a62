#include "viewer/validate.h"

#include <algorithm>
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

using TextShown = std::string (*)(std::string_view);

std::string AsIs(std::string_view text) { return std::string(text); }

// The date of the three texts, or null with `message` saying why (empty when
// all three were blank); the texts are shown in it through `shown`.
std::optional<Date> CheckDate(std::string_view day, std::string_view month,
                              std::string_view year, bool& empty,
                              std::string& message, TextShown shown) {
  std::string year_text(year);
  auto texts = [&] {
    return shown(day) + "/" + shown(month) + "/" + shown(year_text);
  };
  try {
    empty = IsBlank(std::string(day) + std::string(month) + year_text);
    if (empty) return std::nullopt;
    ExpandYearText(year_text);
    double d = PrefixRead(day);
    double m = PrefixRead(month);
    double y = PrefixRead(year_text);
    if (InRange(d, 1, 31) && InRange(m, 1, 12) && InRange(y, 1980, 9999)) {
      return MakeDate(RoundToInt32(y), RoundToInt32(m), RoundToInt32(d));
    }
    message = "Invalid date (" + texts() + ")";
  } catch (const RuntimeError& error) {
    message = "Date conversion (" + texts() + "), unexpected error (" +
              std::to_string(error.number()) + ") " + error.description();
  }
  return std::nullopt;
}

// A size bound: 0 for an empty text, else the whole text as a 32-bit number;
// null when it is not one.
std::optional<int32_t> ReadSize(std::string_view text) {
  if (text.empty()) return 0;
  NumberOr<int32_t> size = ConvertStrictInt32(text);
  if (!size.ok()) return std::nullopt;
  return size.value();
}

std::string_view Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// A whole number from 0 to 2^32 - 1, blanks around allowed; empty is 0.
std::optional<int64_t> ReadOffset(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return 0;
  if (text.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 4294967295) return std::nullopt;
  return value;
}

std::optional<RowOrder> RowOrderOf(std::string_view text) {
  if (text.empty() || EqualsIgnoreCase(text, "date")) return RowOrder::kDate;
  if (EqualsIgnoreCase(text, "newest")) return RowOrder::kNewest;
  if (EqualsIgnoreCase(text, "largest")) return RowOrder::kLargest;
  return std::nullopt;
}

// Two decimal digits at `at` of `text`, at most `most`; -1 otherwise.
int TwoDigits(std::string_view text, size_t at, int most) {
  if (at + 2 > text.size()) return -1;
  int value = 0;
  for (size_t i = at; i < at + 2; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value <= most ? value : -1;
}

// "h:mm", "hh:mm", "h:mm:ss" or "hh:mm:ss" in seconds of the day; blanks
// around allowed.
std::optional<int32_t> ReadTimeOfDay(std::string_view text) {
  text = Trimmed(text);
  const size_t colon = text.find(':');
  if (colon != 1 && colon != 2) return std::nullopt;
  int hour = 0;
  for (char c : text.substr(0, colon)) {
    if (c < '0' || c > '9') return std::nullopt;
    hour = hour * 10 + (c - '0');
  }
  if (hour > 23) return std::nullopt;
  std::string_view rest = text.substr(colon + 1);
  const int minute = TwoDigits(rest, 0, 59);
  int second = 0;
  if (rest.size() == 5 && rest[2] == ':') {
    second = TwoDigits(rest, 3, 59);
  } else if (rest.size() != 2) {
    return std::nullopt;
  }
  if (minute < 0 || second < 0) return std::nullopt;
  return hour * 3600 + minute * 60 + second;
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
  std::string message;
  std::optional<Date> date =
      CheckDate(day, month, year, fEmpty, message, EncodeHtml);
  if (!message.empty()) error_text.append(message).append(kBrCrLf);
  return date;
}

std::string DateMessage(std::string_view day, std::string_view month,
                        std::string_view year) {
  bool empty = false;
  std::string message;
  CheckDate(day, month, year, empty, message, AsIs);
  return message;
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

std::optional<AnswerFormat> AnswerFormatOf(std::string_view text) {
  if (text.empty() || EqualsIgnoreCase(text, "html")) return AnswerFormat::kHtml;
  if (EqualsIgnoreCase(text, "json")) return AnswerFormat::kJson;
  if (EqualsIgnoreCase(text, "csv")) return AnswerFormat::kCsv;
  return std::nullopt;
}

namespace {

// The parameters that shape the answer: Format, Offset, Order, TimeLo and
// TimeHi.
template <typename Fail>
void CheckAnswerWindow(const PageRequest& request, Validation& v, Fail& fail) {
  if (std::optional<AnswerFormat> format = AnswerFormatOf(request.format)) {
    v.format = *format;
  } else {
    fail("Format", "Invalid format given.");
  }
  std::optional<int64_t> offset = ReadOffset(request.offset);
  if (offset) {
    v.offset = *offset;
  } else {
    fail("Offset", "Invalid offset given.");
  }
  if (std::optional<RowOrder> order = RowOrderOf(request.order)) {
    v.order = *order;
    if (*order != RowOrder::kDate && offset &&
        *offset + std::max(v.max_lines, 0) > kMostOrderedRows) {
      fail("Order", "Order needs Offset + MaxLines of at most 100000.");
    }
  } else {
    fail("Order", "Invalid order given.");
  }
  const std::pair<const char*, const std::string*> times[] = {
      {"TimeLo", &request.time_lo}, {"TimeHi", &request.time_hi}};
  for (const auto& [field, text] : times) {
    if (text->empty()) continue;
    std::optional<int32_t> seconds = ReadTimeOfDay(*text);
    if (!seconds) {
      fail(field, "Invalid time given.");
    } else if (field == times[0].first) {
      v.time_lo = seconds;
    } else {
      v.time_hi = seconds;
    }
  }
}

}  // namespace

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
  v.max_lines = LineLimitOf(request.max_lines);
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
  CheckAnswerWindow(request, v, fail);
  return v;
}

IpCriterionCheck CheckIpCriterion(const PageRequest& request) {
  IpCriterionCheck check;
  if (request.ip_address.empty()) return check;
  std::string ip1 = EncodeHtml(request.ip_address);
  std::string ip2 = EncodeHtml(request.ip_address2);
  if (!IsValidIpAddress(request.ip_address)) {
    check.rejected = {
        "IpAddress",
        "IP Address selection: You did not enter a valid IP Address."};
  } else if (request.ip_address2.empty()) {
    check.shown = "IP Address selection: " + ip1;
  } else if (!IsValidIpAddress(request.ip_address2)) {
    check.rejected = {
        "IpAddress2OrSubnetMask",
        request.subnet
            ? "IP subnet: You did not enter a valid subnet mask."
            : "IP Address range: You did not enter a valid 2nd IP Address."};
  } else if (request.subnet) {
    check.shown = "IP Subnet selection: " + ip1 + ", subnet mask: " + ip2;
  } else if (IsIpInRange(request.ip_address, "255.255.255.255",
                         request.ip_address2)) {
    check.shown = "IP Address range: " + ip1 + " to " + ip2;
  } else {
    check.rejected = {"IpAddress2OrSubnetMask", "IP Address range: Invalid."};
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
