#ifndef KVO_BASE_NUMBERS_H_
#define KVO_BASE_NUMBERS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace kvo {

// Prefix reading of a text as a number: blanks, tabs and line feeds are
// skipped wherever they stand; an optional sign, digits, at most one "." and
// an optional exponent are read up to the first character that cannot go on;
// "&H" starts a hexadecimal number, "&O" an octal one. Gives 0 when there is
// no number and ignores the locale. Throws RuntimeError 6 only for a number
// beyond the range of a double.
double PrefixRead(std::string_view text);

// Strict conversions: the whole text, blanks around it allowed, must be a
// number in the locale's format (its decimal separator), else RuntimeError 13;
// a value out of the target's range is RuntimeError 6. Integer targets round
// a fraction to the nearest integer, a half to the even neighbour.
double StrictToDouble(std::string_view text);
int16_t StrictToInt16(std::string_view text);
int32_t StrictToInt32(std::string_view text);

// Rounds to the nearest 16/32-bit integer, a half to even; RuntimeError 6
// when out of range (NaN included).
int16_t RoundToInt16(double value);
int32_t RoundToInt32(double value);

// A signed 64-bit count of ten-thousandths: a number with four decimals and a
// range of about +-9.22e14. Arithmetic that leaves the range is RuntimeError 6.
class Fixed4 {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Fixed4() = default;
  // Rounds to four decimals, a half to even; RuntimeError 6 when out of range.
  static Fixed4 FromDouble(double value);
  static constexpr Fixed4 FromUnits(int64_t ten_thousandths) {
    Fixed4 f;
    f.units_ = ten_thousandths;
    return f;
  }

  int64_t units() const { return units_; }
  Fixed4 operator+(Fixed4 other) const;
  Fixed4 operator*(int64_t factor) const;
  auto operator<=>(const Fixed4&) const = default;

 private:
  int64_t units_ = 0;
};

// The strict conversion to Fixed4 (rounded to four decimals).
Fixed4 StrictToFixed4(std::string_view text);

// The locale's decimal separator (localeconv), "." in the C locale.
char LocaleDecimalSeparator();

}  // namespace kvo

#endif  // KVO_BASE_NUMBERS_H_
