#include "logread/log_naming.h"

#include <cstdio>

namespace kvo {
namespace {

// Exactly `count` decimal digits at the front of `text`, taken off it.
std::optional<int> TakeDigits(std::string_view& text, size_t count) {
  if (text.size() < count) return std::nullopt;
  int value = 0;
  for (size_t i = 0; i < count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(count);
  return value;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::string_view LogTypeName(E_LogType type) {
  switch (type) {
    case LogIncoming:
      return "Incoming";
    case LogOutgoing:
      return "Outgoing";
    case LogConnect:
      return "Connect";
  }
  return {};
}

std::string LogFileName(E_LogType type, E_LogPeriod period, int year,
                        int month, int day) {
  std::string_view log = LogTypeName(type);
  if (log.empty()) return {};
  char date[32];
  switch (period) {
    case PeriodDaily:
      std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
      break;
    case PeriodMonthly:
      std::snprintf(date, sizeof date, "%04d-%02d", year, month);
      break;
    default:
      return {};
  }
  std::string name(log);
  name += date;
  name += kLogSuffix;
  return name;
}

std::string LogFileName(E_LogType type, E_LogPeriod period, Date day) {
  CivilDate civil = ToCivil(day);
  return LogFileName(type, period, civil.year, civil.month, civil.day);
}

std::optional<LogFileNameParts> ParseLogFileName(E_LogType type,
                                                 std::string_view name) {
  std::string_view log = LogTypeName(type);
  if (log.empty() || !TakePrefix(name, log)) return std::nullopt;
  std::optional<int> year = TakeDigits(name, 4);
  if (!year || !TakePrefix(name, "-")) return std::nullopt;
  std::optional<int> month = TakeDigits(name, 2);
  if (!month || *month < 1 || *month > 12) return std::nullopt;
  LogFileNameParts parts{PeriodMonthly, 0, false};
  int day = 1;
  if (TakePrefix(name, "-")) {
    std::optional<int> taken = TakeDigits(name, 2);
    if (!taken || *taken < 1) return std::nullopt;
    day = *taken;
    parts.period = PeriodDaily;
  }
  if (!TakePrefix(name, kLogSuffix)) return std::nullopt;
  parts.gzipped = TakePrefix(name, kGzipSuffix);
  if (!name.empty()) return std::nullopt;
  // Only the names that LogFileName gives: no day beyond the month's end.
  if (LogFileName(type, parts.period, *year, *month, day) !=
      LogFileName(type, parts.period, MakeDate(*year, *month, day))) {
    return std::nullopt;
  }
  parts.day = MakeDate(*year, *month, day);
  return parts;
}

}  // namespace kvo
