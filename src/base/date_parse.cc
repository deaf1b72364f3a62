#include "base/date_parse.h"

#include <langinfo.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace kvo {
namespace {

namespace chr = std::chrono;

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') <= 9; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
int Digit(char c) { return c - '0'; }
int TwoDigits(const char* p) { return Digit(p[0]) * 10 + Digit(p[1]); }

// Reads a text from left to right without copying it.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  // Skips blanks; true when there was at least one.
  bool SkipBlanks() {
    size_t start = pos_;
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    return pos_ > start;
  }
  // Reads 1 to 4 digits into `value` and gives their count; 0 (and nothing
  // read) when there are none or more than 4.
  int Number(int& value) {
    size_t start = pos_;
    value = 0;
    while (!AtEnd() && IsDigit(text_[pos_]) && pos_ - start < 5) {
      value = value * 10 + Digit(text_[pos_++]);
    }
    int count = static_cast<int>(pos_ - start);
    if (count == 0 || count > 4) {
      pos_ = start;
      return 0;
    }
    return count;
  }
  // Takes "AM" or "PM" in any case; 0 when neither stands here.
  char Meridiem() {
    if (pos_ + 2 > text_.size()) return 0;
    char first = static_cast<char>(text_[pos_] | 0x20);
    char second = static_cast<char>(text_[pos_ + 1] | 0x20);
    if ((first != 'a' && first != 'p') || second != 'm') return 0;
    pos_ += 2;
    return first;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

struct Ymd {
  int year;
  int month;
  int day;
};

bool IsValidDate(const Ymd& d) {
  if (d.year < kMinYear || d.year > kMaxYear) return false;
  if (d.month < 1 || d.month > 12 || d.day < 1) return false;
  chr::year_month_day_last last{chr::year{d.year} /
                                chr::month(static_cast<unsigned>(d.month)) /
                                chr::last};
  return d.day <= static_cast<int>(unsigned{last.day()});
}

bool IsValidTime(int hour, int minute, int second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
         second >= 0 && second <= 59;
}

Date Combine(const Ymd& d, int hour, int minute, int second) {
  return MakeDateTime(d.year, d.month, d.day, hour, minute, second);
}

// The usual form of the gateway's log, "dd.mm.yyyy hh:mm:ss".
constexpr char kFixedLayout[] = "00.00.0000 00:00:00";
static_assert(sizeof kFixedLayout - 1 == kUsualDateLength);
constexpr size_t kFixedDayLength = 10;

// Whether `text` has the shape of `layout`: a digit where it has "0", the
// same byte elsewhere.
bool HasFixedLayout(std::string_view text, std::string_view layout) {
  if (text.size() != layout.size()) return false;
  bool ok = true;
  for (size_t i = 0; i < text.size(); ++i) {
    ok &= layout[i] == '0' ? IsDigit(text[i]) : text[i] == layout[i];
  }
  return ok;
}

Ymd FixedDay(const char* p) {
  return {TwoDigits(p + 6) * 100 + TwoDigits(p + 8), TwoDigits(p + 3),
          TwoDigits(p)};
}

// The time of a text of the fixed layout in seconds; -1 when it is no time.
int FixedTimeSeconds(const char* p) {
  int hour = TwoDigits(p + 11);
  int minute = TwoDigits(p + 14);
  int second = TwoDigits(p + 17);
  if (!IsValidTime(hour, minute, second)) return -1;
  return hour * 3600 + minute * 60 + second;
}

std::optional<Date> ParseFixedLayout(std::string_view text) {
  if (!HasFixedLayout(text, kFixedLayout)) return std::nullopt;
  const Ymd d = FixedDay(text.data());
  const int time = FixedTimeSeconds(text.data());
  if (!IsValidDate(d) || time < 0) return std::nullopt;
  return Combine(d, time / 3600, time / 60 % 60, time % 60);
}

// A year of 1, 2 or 4 digits; -1 for any other length.
int ReadYear(int value, int digits) {
  if (digits == 4) return value;
  if (digits <= 2) return ExpandTwoDigitYear(value);
  return -1;
}

// The date part: three numbers with the same separator between them.
std::optional<Ymd> ParseDatePart(Scanner& in, DayMonthOrder order) {
  int a, b, c;
  int a_digits = in.Number(a);
  if (a_digits == 0) return std::nullopt;
  char separator = in.Peek();
  if (separator != '.' && separator != '/' && separator != '-') {
    return std::nullopt;
  }
  in.Take(separator);
  if (in.Number(b) == 0 || !in.Take(separator)) return std::nullopt;
  int c_digits = in.Number(c);
  if (c_digits == 0) return std::nullopt;

  if (a_digits == 4) {
    Ymd d{a, b, c};
    return IsValidDate(d) ? std::optional<Ymd>(d) : std::nullopt;
  }
  int year = ReadYear(c, c_digits);
  if (a_digits > 2 || year < 0) return std::nullopt;
  bool day_first = separator == '.' || order == DayMonthOrder::kDayFirst;
  Ymd d = day_first ? Ymd{year, b, a} : Ymd{year, a, b};
  if (IsValidDate(d)) return d;
  if (separator == '.') return std::nullopt;
  Ymd swapped{year, d.day, d.month};
  return IsValidDate(swapped) ? std::optional<Ymd>(swapped) : std::nullopt;
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// "h:mm" or "h:mm:ss", then an optional AM or PM.
std::optional<TimeOfDay> ParseTimePart(Scanner& in) {
  TimeOfDay t;
  int hour_digits = in.Number(t.hour);
  if (hour_digits == 0 || hour_digits > 2 || !in.Take(':')) return std::nullopt;
  int digits = in.Number(t.minute);
  if (digits == 0 || digits > 2) return std::nullopt;
  if (in.Take(':')) {
    digits = in.Number(t.second);
    if (digits == 0 || digits > 2) return std::nullopt;
  }
  in.SkipBlanks();
  char meridiem = in.Meridiem();
  if (meridiem != 0) {
    if (t.hour < 1 || t.hour > 12) return std::nullopt;
    t.hour %= 12;
    if (meridiem == 'p') t.hour += 12;
  }
  if (!IsValidTime(t.hour, t.minute, t.second)) return std::nullopt;
  return t;
}

std::optional<Date> ParseGeneral(std::string_view text, DayMonthOrder order) {
  Scanner in(text);
  in.SkipBlanks();
  std::optional<Ymd> date = ParseDatePart(in, order);
  if (!date) return std::nullopt;
  TimeOfDay time;
  if (in.SkipBlanks() && !in.AtEnd()) {
    std::optional<TimeOfDay> parsed = ParseTimePart(in);
    if (!parsed) return std::nullopt;
    time = *parsed;
    in.SkipBlanks();
  }
  if (!in.AtEnd()) return std::nullopt;
  return Combine(*date, time.hour, time.minute, time.second);
}

}  // namespace

DayMonthOrder LocaleDayMonthOrder() {
  const char* format = nl_langinfo(D_FMT);
  if (format == nullptr) return DayMonthOrder::kMonthFirst;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    // Flags and a field width may stand between "%" and the conversion.
    while (*p == '-' || *p == '_' || *p == '0' || *p == '^' || *p == '#' ||
           *p == 'E' || *p == 'O' || IsDigit(*p)) {
      ++p;
    }
    if (*p == 'd' || *p == 'e') return DayMonthOrder::kDayFirst;
    if (*p == 'm' || *p == 'D' || *p == 'b' || *p == 'B' || *p == 'h') {
      return DayMonthOrder::kMonthFirst;
    }
    if (*p == '\0') break;
  }
  return DayMonthOrder::kMonthFirst;
}

std::optional<Date> ParseDateTime(std::string_view text, DayMonthOrder order) {
  if (std::optional<Date> date = ParseFixedLayout(text)) return date;
  return ParseGeneral(text, order);
}

int64_t SecondsOf(Date date) { return std::llround(date * 86400.0); }

bool DateColumnReader::IsUsualColumnOfLastDay(std::string_view head,
                                              char end) const {
  return last_usual_ && head.size() > kUsualDateLength &&
         head[kUsualDateLength] == end &&
         std::memcmp(day_text_, head.data(), kFixedDayLength) == 0 &&
         HasFixedLayout(head.substr(kFixedDayLength,
                                    kUsualDateLength - kFixedDayLength),
                        kFixedLayout + kFixedDayLength);
}

std::optional<int64_t> DateColumnReader::Seconds(std::string_view text) {
  last_usual_ = false;
  // The next line of the same day: only its time is new.
  if (day_known_ && text.size() == kUsualDateLength &&
      std::memcmp(day_text_, text.data(), kFixedDayLength) == 0 &&
      HasFixedLayout(text.substr(kFixedDayLength), kFixedLayout + kFixedDayLength)) {
    last_usual_ = true;
    const int time = FixedTimeSeconds(text.data());
    if (time < 0) return std::nullopt;
    return day_seconds_ + time;
  }
  if (HasFixedLayout(text, kFixedLayout)) {
    const int time = FixedTimeSeconds(text.data());
    if (time < 0) return std::nullopt;
    if (!day_known_ ||
        std::memcmp(day_text_, text.data(), kFixedDayLength) != 0) {
      const Ymd d = FixedDay(text.data());
      if (!IsValidDate(d)) return std::nullopt;
      std::memcpy(day_text_, text.data(), kFixedDayLength);
      day_seconds_ = SecondsOf(MakeDate(d.year, d.month, d.day));
      day_known_ = true;
    }
    last_usual_ = true;
    return day_seconds_ + time;
  }
  std::optional<Date> date = ParseGeneral(text, order_);
  if (!date) return std::nullopt;
  return SecondsOf(*date);
}

}  // namespace kvo
