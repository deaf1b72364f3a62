#include "base/numbers.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "base/runtime_error.h"

namespace kvo {
namespace {

constexpr int kExponentLimit =
    100000;  // far beyond any double, no int overflow

[[noreturn]] void ThrowOverflow() { throw RuntimeError(kErrOverflow); }

constexpr auto kOverflow = NumberOr<double>::Failure(kErrOverflow);
constexpr auto kTypeMismatch = NumberOr<double>::Failure(kErrTypeMismatch);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal parts of a number, collected before conversion.
struct DecimalParts {
  bool negative = false;
  std::string int_digits;
  std::string frac_digits;
  int exponent = 0;
};

// Order of magnitude of the first significant digit; only its sign is used
// to tell an overflow from an underflow.
int Magnitude(const DecimalParts& parts) {
  size_t first = parts.int_digits.find_first_not_of('0');
  if (first != std::string::npos) {
    return static_cast<int>(parts.int_digits.size() - first) + parts.exponent;
  }
  size_t zeros = parts.frac_digits.find_first_not_of('0');
  if (zeros == std::string::npos) return std::numeric_limits<int>::min();
  return parts.exponent - static_cast<int>(zeros);
}

// Converts the parts with from_chars, which ignores the locale. A result too
// small for a double is 0; one too large is an overflow.
NumberOr<double> ToDouble(const DecimalParts& parts) {
  if (parts.int_digits.empty() && parts.frac_digits.empty()) return 0.0;
  std::string text = parts.int_digits.empty() ? "0" : parts.int_digits;
  if (!parts.frac_digits.empty()) text.append(".").append(parts.frac_digits);
  text.append("e").append(std::to_string(parts.exponent));
  double value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (Magnitude(parts) > 0) return kOverflow;
    return 0.0;
  }
  if (error != std::errc() || end != text.data() + text.size()) return 0.0;
  if (value == 0) return 0.0;  // no negative zero
  return parts.negative ? -value : value;
}

void AddExponentDigit(int& exponent, char digit) {
  if (exponent < kExponentLimit) exponent = exponent * 10 + (digit - '0');
}

// Walks a text for prefix reading: blanks, tabs and line feeds are skipped
// wherever they stand.
class BlankSkippingCursor {
 public:
  explicit BlankSkippingCursor(std::string_view text) : text_(text) { Skip(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Next() {
    ++pos_;
    Skip();
  }

 private:
  void Skip() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
      ++pos_;
    }
  }
  std::string_view text_;
  size_t pos_ = 0;
};

int DigitValue(char c, int radix) {
  int v = -1;
  if (IsDigit(c)) {
    v = c - '0';
  } else if (c >= 'A' && c <= 'F') {
    v = c - 'A' + 10;
  } else if (c >= 'a' && c <= 'f') {
    v = c - 'a' + 10;
  }
  return v < radix ? v : -1;
}

// "&H" and "&O" numbers: a value that fits in 16 bits is a 16-bit two's
// complement number, one that fits in 32 bits a 32-bit one.
NumberOr<double> ReadRadix(BlankSkippingCursor& cursor, int radix) {
  uint64_t value = 0;
  bool too_large = false;
  for (int d; (d = DigitValue(cursor.Peek(), radix)) >= 0; cursor.Next()) {
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFu) too_large = true;
    if (too_large) value = 0xFFFFFFFFu + 1;  // keeps the loop from wrapping
  }
  if (too_large) return kOverflow;
  if (value <= 0xFFFF) {
    return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
  }
  return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

NumberOr<double> ReadDecimal(BlankSkippingCursor& cursor) {
  DecimalParts parts;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    parts.negative = cursor.Peek() == '-';
    cursor.Next();
  }
  for (; IsDigit(cursor.Peek()); cursor.Next())
    parts.int_digits += cursor.Peek();
  if (cursor.Peek() == '.') {
    cursor.Next();
    for (; IsDigit(cursor.Peek()); cursor.Next()) {
      parts.frac_digits += cursor.Peek();
    }
  }
  char e = cursor.Peek();
  if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
    cursor.Next();
    bool negative_exponent = false;
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
      negative_exponent = cursor.Peek() == '-';
      cursor.Next();
    }
    for (; IsDigit(cursor.Peek()); cursor.Next()) {
      AddExponentDigit(parts.exponent, cursor.Peek());
    }
    if (negative_exponent) parts.exponent = -parts.exponent;
  }
  return ToDouble(parts);
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

size_t TakeDigits(std::string_view text, size_t pos, std::string& out) {
  while (pos < text.size() && IsDigit(text[pos])) out += text[pos++];
  return pos;
}

// The whole of `text` as sign, digits, decimal separator, digits and an
// exponent; anything else (null) is a type mismatch.
std::optional<DecimalParts> StrictParts(std::string_view text,
                                        char separator) {
  text = TrimBlanks(text);
  DecimalParts parts;
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    parts.negative = text[pos++] == '-';
  }
  pos = TakeDigits(text, pos, parts.int_digits);
  if (pos < text.size() && text[pos] == separator) {
    pos = TakeDigits(text, pos + 1, parts.frac_digits);
  }
  if (parts.int_digits.empty() && parts.frac_digits.empty()) {
    return std::nullopt;
  }
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    ++pos;
    bool negative_exponent = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
      negative_exponent = text[pos++] == '-';
    }
    if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      AddExponentDigit(parts.exponent, text[pos]);
    }
    if (negative_exponent) parts.exponent = -parts.exponent;
  }
  if (pos != text.size()) return std::nullopt;
  return parts;
}

// Rounds half to even without relying on the floating-point rounding mode.
double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <typename Int>
NumberOr<Int> RoundChecked(double value) {
  constexpr double kLow = std::numeric_limits<Int>::min();
  constexpr double kHigh = std::numeric_limits<Int>::max();
  if (!std::isfinite(value)) return NumberOr<Int>::Failure(kErrOverflow);
  double rounded = RoundHalfEven(value);
  if (rounded < kLow || rounded > kHigh) {
    return NumberOr<Int>::Failure(kErrOverflow);
  }
  return static_cast<Int>(rounded);
}

template <typename Int>
NumberOr<Int> RoundConverted(NumberOr<double> value) {
  if (!value.ok()) return NumberOr<Int>::Failure(value.error());
  return RoundChecked<Int>(value.value());
}

}  // namespace

NumberOr<double> ConvertPrefix(std::string_view text) {
  BlankSkippingCursor cursor(text);
  if (cursor.Peek() == '&') {
    cursor.Next();
    char radix = cursor.Peek();
    if (radix == 'H' || radix == 'h') {
      cursor.Next();
      return ReadRadix(cursor, 16);
    }
    if (radix == 'O' || radix == 'o') {
      cursor.Next();
      return ReadRadix(cursor, 8);
    }
    return 0.0;
  }
  return ReadDecimal(cursor);
}

double PrefixRead(std::string_view text) {
  return ConvertPrefix(text).ValueOrThrow();
}

NumberOr<double> ConvertStrictDouble(std::string_view text) {
  std::optional<DecimalParts> parts =
      StrictParts(text, LocaleDecimalSeparator());
  if (!parts) return kTypeMismatch;
  return ToDouble(*parts);
}

NumberOr<int16_t> ConvertStrictInt16(std::string_view text) {
  return RoundConverted<int16_t>(ConvertStrictDouble(text));
}

NumberOr<int32_t> ConvertStrictInt32(std::string_view text) {
  return RoundConverted<int32_t>(ConvertStrictDouble(text));
}

double StrictToDouble(std::string_view text) {
  return ConvertStrictDouble(text).ValueOrThrow();
}

int16_t StrictToInt16(std::string_view text) {
  return ConvertStrictInt16(text).ValueOrThrow();
}

int32_t StrictToInt32(std::string_view text) {
  return ConvertStrictInt32(text).ValueOrThrow();
}

NumberOr<int16_t> ConvertRoundInt16(double value) {
  return RoundChecked<int16_t>(value);
}

NumberOr<int32_t> ConvertRoundInt32(double value) {
  return RoundChecked<int32_t>(value);
}

int16_t RoundToInt16(double value) {
  return ConvertRoundInt16(value).ValueOrThrow();
}

int32_t RoundToInt32(double value) {
  return ConvertRoundInt32(value).ValueOrThrow();
}

Fixed4 Fixed4::FromDouble(double value) {
  if (!std::isfinite(value)) ThrowOverflow();
  double units = RoundHalfEven(value * static_cast<double>(kScale));
  // 2^63 is exact as a double; the int64_t range is [-2^63, 2^63).
  constexpr double kLimit = 9223372036854775808.0;
  if (units < -kLimit || units >= kLimit) ThrowOverflow();
  return FromUnits(static_cast<int64_t>(units));
}

Fixed4 Fixed4::operator+(Fixed4 other) const {
  int64_t sum;
  if (__builtin_add_overflow(units_, other.units_, &sum)) ThrowOverflow();
  return FromUnits(sum);
}

Fixed4 Fixed4::operator*(int64_t factor) const {
  int64_t product;
  if (__builtin_mul_overflow(units_, factor, &product)) ThrowOverflow();
  return FromUnits(product);
}

Fixed4 StrictToFixed4(std::string_view text) {
  return Fixed4::FromDouble(StrictToDouble(text));
}

char LocaleDecimalSeparator() {
  const char* point = std::localeconv()->decimal_point;
  // A separator of several bytes has no one-byte form; "." stands in.
  if (point == nullptr || point[0] == '\0' || point[1] != '\0') return '.';
  return point[0];
}

}  // namespace kvo
