#ifndef KVO_BASE_DATE_H_
#define KVO_BASE_DATE_H_

#include <string>

namespace kvo {

// A date: days since 30 December 1899 (day 0), the time of day as the
// fraction. A date that may be missing is std::optional<Date>.
using Date = double;

struct CivilDate {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};

// The date of year/month/day at midnight. A day beyond the length of the
// month rolls over into the next (31 February 2005 is 3 March 2005), a day 0
// is the last day of the month before; a month beyond 12 rolls into the next
// year likewise.
Date MakeDate(int year, int month, int day);
// Adds a time of day (hours 0-23 etc. are not checked) to a date.
Date MakeDateTime(int year, int month, int day, int hour, int minute,
                  int second);

// The calendar day that `date` falls on (its time of day dropped).
CivilDate ToCivil(Date date);
int DayOfMonth(Date date);

// Arithmetic that keeps the time of day.
Date AddDays(Date date, int days);
// The same day `months` later, clamped to the length of the target month
// (31 January + 1 month is the last day of February).
Date AddMonths(Date date, int months);
// The last day of the month that holds `date`, the time of day kept.
Date LastDayOfMonth(Date date);

// The century that a two-digit year belongs to: 1900 for 80 to 99, 2000 for
// 0 to 79, 0 for any other value (a fraction such as 79.5 included).
int TwoDigitYearCentury(double year);
// A two-digit year: 80 to 99 are 1980 to 1999, 0 to 79 are 2000 to 2079.
// Other years are returned unchanged.
int ExpandTwoDigitYear(int year);

// "2024-03-05", "2024-03".
std::string FormatYmd(Date date);
std::string FormatYm(Date date);
// The locale's short date format (strftime "%x"); in the C locale yyyy-mm-dd.
std::string FormatShortDate(Date date);

}  // namespace kvo

#endif  // KVO_BASE_DATE_H_
