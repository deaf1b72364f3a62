#ifndef KVO_BASE_NUMBERS_H_
#define KVO_BASE_NUMBERS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/runtime_error.h"

namespace kvo {

// A converted number, or the number of the run-time error that the
// conversion raises (kErrTypeMismatch, kErrOverflow). Conversions that fail
// on ordinary input return one; the throwing forms below wrap them.
template <typename T>
class NumberOr {
 public:
  constexpr NumberOr(T value) : value_(value) {}  // NOLINT: implicit by design
  static constexpr NumberOr Failure(int32_t error_number) {
    NumberOr failed(T{});
    failed.error_ = error_number;
    return failed;
  }

  constexpr bool ok() const { return error_ == 0; }
  // The value; T{} after a failure.
  constexpr T value() const { return value_; }
  // 0 when the conversion succeeded.
  constexpr int32_t error() const { return error_; }
  // The value, or RuntimeError(error()).
  T ValueOrThrow() const {
    if (!ok()) throw RuntimeError(error_);
    return value_;
  }

 private:
  T value_;
  int32_t error_ = 0;
};

// Prefix reading of a text as a number: blanks, tabs and line feeds are
// skipped wherever they stand; an optional sign, digits, at most one "." and
// an optional exponent are read up to the first character that cannot go on;
// "&H" starts a hexadecimal number, "&O" an octal one. Gives 0 when there is
// no number and ignores the locale. Fails with overflow (6) only for a number
// beyond the range of a double.
NumberOr<double> ConvertPrefix(std::string_view text);
// The same, throwing RuntimeError 6.
double PrefixRead(std::string_view text);

// Strict conversions: the whole text, blanks around it allowed, must be a
// number in the locale's format (its decimal separator), else type mismatch
// (13); a value out of the target's range is an overflow (6). Integer targets
// round a fraction to the nearest integer, a half to the even neighbour.
NumberOr<double> ConvertStrictDouble(std::string_view text);
NumberOr<int16_t> ConvertStrictInt16(std::string_view text);
NumberOr<int32_t> ConvertStrictInt32(std::string_view text);
// The same, throwing RuntimeError.
double StrictToDouble(std::string_view text);
int16_t StrictToInt16(std::string_view text);
int32_t StrictToInt32(std::string_view text);

// Rounds to the nearest 16/32-bit integer, a half to even; an overflow (6)
// when out of range (NaN included).
NumberOr<int16_t> ConvertRoundInt16(double value);
NumberOr<int32_t> ConvertRoundInt32(double value);
// The same, throwing RuntimeError 6.
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
