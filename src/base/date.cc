#include "base/date.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kvo {
namespace {

namespace chr = std::chrono;

// Day 0 of a Date, 30 December 1899, as a count of days since 1970-01-01.
constexpr int kEpochOffset = chr::sys_days{chr::year{1899} / chr::December / 30}
                                 .time_since_epoch()
                                 .count();

Date FromSysDays(chr::sys_days days) {
  return static_cast<Date>(days.time_since_epoch().count() - kEpochOffset);
}

chr::sys_days ToSysDays(Date date) {
  return chr::sys_days{
      chr::days{static_cast<int>(std::floor(date)) + kEpochOffset}};
}

double TimeOfDay(Date date) { return date - std::floor(date); }

CivilDate ToCivil(chr::year_month_day ymd) {
  return {static_cast<int>(ymd.year()), static_cast<int>(unsigned{ymd.month()}),
          static_cast<int>(unsigned{ymd.day()})};
}

int DaysInMonth(int year, int month) {
  chr::year_month_day_last last{chr::year{year} / chr::month(month) /
                                chr::last};
  return static_cast<int>(unsigned{last.day()});
}

bool IsCLocale(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 ||
         std::strcmp(name, "POSIX") == 0;
}

}  // namespace

Date MakeDate(int year, int month, int day) {
  // Months beyond 1-12 carry into the year; the day is added to the first of
  // the month, which gives the roll-over of days beyond the month's end.
  int month_index = month - 1;
  int year_carry =
      month_index >= 0 ? month_index / 12 : (month_index - 11) / 12;
  month_index -= year_carry * 12;
  chr::year_month_day first{chr::year{year + year_carry} /
                            chr::month(static_cast<unsigned>(month_index + 1)) /
                            1};
  return FromSysDays(chr::sys_days{first} + chr::days{day - 1});
}

Date MakeDateTime(int year, int month, int day, int hour, int minute,
                  int second) {
  return MakeDate(year, month, day) +
         (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

CivilDate ToCivil(Date date) {
  return ToCivil(chr::year_month_day{ToSysDays(date)});
}

int DayOfMonth(Date date) { return ToCivil(date).day; }

Date AddDays(Date date, int days) { return date + days; }

Date AddMonths(Date date, int months) {
  CivilDate civil = ToCivil(date);
  int total = civil.year * 12 + (civil.month - 1) + months;
  int year = total >= 0 ? total / 12 : (total - 11) / 12;
  int month = total - year * 12 + 1;
  int day = std::min(civil.day, DaysInMonth(year, month));
  return MakeDate(year, month, day) + TimeOfDay(date);
}

Date LastDayOfMonth(Date date) {
  CivilDate civil = ToCivil(date);
  return MakeDate(civil.year, civil.month,
                  DaysInMonth(civil.year, civil.month)) +
         TimeOfDay(date);
}

int TwoDigitYearCentury(double year) {
  if (year >= 80 && year <= 99) return 1900;
  if (year >= 0 && year <= 79) return 2000;
  return 0;
}

int ExpandTwoDigitYear(int year) { return year + TwoDigitYearCentury(year); }

std::string FormatYmd(Date date) {
  CivilDate civil = ToCivil(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month,
                civil.day);
  return text;
}

std::string FormatYm(Date date) {
  CivilDate civil = ToCivil(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d", civil.year, civil.month);
  return text;
}

std::string FormatShortDate(Date date) {
  if (IsCLocale(std::setlocale(LC_TIME, nullptr))) return FormatYmd(date);
  CivilDate civil = ToCivil(date);
  std::tm tm{};
  tm.tm_year = civil.year - 1900;
  tm.tm_mon = civil.month - 1;
  tm.tm_mday = civil.day;
  tm.tm_wday = static_cast<int>(chr::weekday{ToSysDays(date)}.c_encoding());
  char text[128];
  size_t length = std::strftime(text, sizeof text, "%x", &tm);
  if (length == 0) return FormatYmd(date);
  return std::string(text, length);
}

}  // namespace kvo
