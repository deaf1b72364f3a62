#include "viewer/validate.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "gateway/response.h"
#include "html/html.h"

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

// Two-digit years: 80 to 99 are 1980 to 1999, 0 to 79 are 2000 to 2079. The
// prefix reading decides whether a year is two-digit; the strict conversion
// gives its value, so "85x" is an error rather than 1985.
void ExpandYearText(std::string& year) {
  if (InRange(PrefixRead(year), 80, 99)) {
    year = std::to_string(StrictToInt32(year) + 1900);
  }
  if (InRange(PrefixRead(year), 0, 79)) {
    year = std::to_string(StrictToInt32(year) + 2000);
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
  try {
    return StrictToInt32(text);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

std::optional<E_LogType> LogTypeOf(std::string_view log) {
  if (EqualsIgnoreCase(log, "Incoming")) return LogIncoming;
  if (EqualsIgnoreCase(log, "Outgoing")) return LogOutgoing;
  return std::nullopt;
}

std::string ResolvedPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(
      realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

std::string InvalidParametersHead(const CgiContext& context,
                                  std::string_view log) {
  std::string heading = LogTypeOf(log) == LogOutgoing ? "Outgoing" : "Incoming";
  std::string text = "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - " +
                     heading + " mail</H2></Center>";
  text += kCrLf;
  text += "<hr>";
  text += kCrLf;
  text += "<H3>Invalid parameter(s) for " + EncodeHtml(context.ScriptName) +
          "</H3>";
  text += kCrLf;
  return text;
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

bool IsPathInsideRoot(const std::string& path, const std::string& root) {
  std::string resolved_root = ResolvedPath(root);
  std::string resolved = ResolvedPath(path);
  if (resolved_root.empty() || resolved.empty()) return false;
  if (resolved == resolved_root || resolved_root == "/") return true;
  return resolved.size() > resolved_root.size() &&
         resolved.compare(0, resolved_root.size(), resolved_root) == 0 &&
         resolved[resolved_root.size()] == '/';
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

bool ValidateParameters(
    const CgiContext& context, std::string_view log, E_LogType& log_type,
    std::string_view log_file_path, std::optional<Date> first_date,
    std::optional<Date> last_date, std::string_view size_mini_text,
    std::string_view size_maxi_text, std::optional<int32_t>& size_mini,
    std::optional<int32_t>& size_maxi, std::string_view date_errors) {
  std::string messages;
  auto fail = [&messages](std::string_view message) {
    messages += "<PRE>";
    messages += message;
    messages += "</PRE>";
    messages += kCrLf;
  };

  if (std::optional<E_LogType> type = LogTypeOf(log)) {
    log_type = *type;
  } else {
    fail(
        "Neither 'Incoming' nor 'Outgoing' log specified. Contact the "
        "administrator of the web page.");
  }
  if (log_file_path.empty()) {
    fail("No path for logfiles specified.");
  } else if (!context.log_root.empty() &&
             !IsPathInsideRoot(std::string(log_file_path), context.log_root)) {
    fail("Log file path not allowed.");
  }
  if (!first_date || !last_date) {
    fail("Invalid date interval (missing or invalid).");
  } else if (*first_date > *last_date) {
    fail("Invalid date interval (out of order).");
  }
  size_mini = ReadSize(size_mini_text);
  if (!size_mini) fail("Invalid minimum message size given.");
  size_maxi = ReadSize(size_maxi_text);
  if (!size_maxi) fail("Invalid maximum message size given.");
  if (size_mini && size_maxi && *size_maxi > 0 && *size_mini > *size_maxi) {
    fail("Invalid message size interval given.");
  }

  if (messages.empty()) return true;
  std::string text = InvalidParametersHead(context, log);
  if (std::string block = CriteriaErrorBlock(date_errors); !block.empty()) {
    text += block;
    text += kCrLf;
  }
  text += messages;
  SendLine(context, text);
  return false;
}

}  // namespace kvo
