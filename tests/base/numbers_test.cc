#include "base/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <string>

#include "support/scoped_locale.h"
#include "support/test_support.h"

namespace kvo {
namespace {

TEST(PrefixReadTest, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"123", 123},
      {"1 2 3", 123},
      {" - 4", -4},
      {"\t1\n5 ", 15},
      {"+7", 7},
      {"12abc", 12},
      {"2048\r", 2048},
      {"1.5", 1.5},
      {".5", 0.5},
      {"1.2.3", 1.2},
      {"1,5", 1},
      {"1e3", 1000},
      {"1E-2", 0.01},
      {"2D2", 200},
      {"1e", 1},
      {"1e+", 1},
      {"1e-400", 0},
      {"&H", 0},
      {"&H1F", 31},
      {"&h1f", 31},
      {"&H4G", 4},
      {"&HG4", 0},
      {"&H7FFF", 32767},
      {"&H8000", -32768},
      {"&HFFFF", -1},
      {"&H10000", 65536},
      {"&HFFFFFFFF", -1},
      {"&H80000000", -2147483648.0},
      {"&O17", 15},
      {"&o8", 0},
      {"&O177777", -1},
      {"&X12", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(PrefixRead(c.text), c.expected);
  }
}

TEST(PrefixReadTest, OverflowsBeyondTheRange) {
  for (const char* text : {"1e400", "-1e309", "&H100000000", "&O40000000000"}) {
    SCOPED_TRACE(text);
    EXPECT_RUNTIME_ERROR(PrefixRead(text), kErrOverflow);
  }
}

TEST(StrictConversionTest, ConvertsWholeNumbers) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"0", 0},       {" 42 ", 42},     {"\t-7\t", -7}, {"+3", 3},
      {"1.25", 1.25}, {".5", 0.5},      {"2.", 2},      {"1e3", 1000},
      {"1E-2", 0.01}, {"-2.5e+1", -25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(StrictToDouble(c.text), c.expected);
  }
}

TEST(StrictConversionTest, RejectsWhatIsNotANumber) {
  for (const char* text : {"", "   ", "abc", "12abc", "1 2", "- 4", "1.2.3",
                           "1,5", "1e", "e5", ".", "+", "&H10", "1\n"}) {
    SCOPED_TRACE(text);
    EXPECT_RUNTIME_ERROR(StrictToDouble(text), kErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(StrictToInt32(text), kErrTypeMismatch);
  }
}

TEST(StrictConversionTest, RoundsIntegersHalfToEven) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"2.5", 2},           {"3.5", 4},         {"-2.5", -2},
      {"-3.5", -4},         {"2.4", 2},         {"2.6", 3},
      {"0.5", 0},           {"1.5", 2},         {"32767.4", 32767},
      {"-32768.5", -32768}, {"-32768", -32768},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrictToInt16(c.text), c.expected);
    EXPECT_EQ(StrictToInt32(c.text), c.expected);
  }
  EXPECT_EQ(StrictToInt32("2147483647"), INT32_MAX);
  EXPECT_EQ(StrictToInt32("-2147483648.5"), INT32_MIN);
}

TEST(StrictConversionTest, OverflowsOutsideTheTarget) {
  for (const char* text : {"32767.5", "32768", "-32769", "-32768.6", "1e10"}) {
    SCOPED_TRACE(text);
    EXPECT_RUNTIME_ERROR(StrictToInt16(text), kErrOverflow);
  }
  for (const char* text :
       {"2147483647.5", "2147483648", "-2147483649", "1e400"}) {
    SCOPED_TRACE(text);
    EXPECT_RUNTIME_ERROR(StrictToInt32(text), kErrOverflow);
  }
  EXPECT_RUNTIME_ERROR(StrictToDouble("1e400"), kErrOverflow);
}

TEST(RoundTest, RejectsNonFiniteValues) {
  EXPECT_RUNTIME_ERROR(RoundToInt16(std::nan("")), kErrOverflow);
  EXPECT_RUNTIME_ERROR(RoundToInt32(HUGE_VAL), kErrOverflow);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
}

TEST(Fixed4Test, RoundsToFourDecimals) {
  struct Case {
    double value;
    int64_t units;
  } cases[] = {
      {1.5, 15000},       {0.00004, 0}, {0.00006, 1},
      {-1.23456, -12346}, {0.00025, 2}, {0.00035, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Fixed4::FromDouble(c.value).units(), c.units);
  }
  EXPECT_EQ(StrictToFixed4(" 2.5 ").units(), 25000);
  EXPECT_GT(Fixed4::FromDouble(922337203685477.0).units(), int64_t{9} << 59);
}

TEST(Fixed4Test, OverflowsOutsideItsRange) {
  EXPECT_RUNTIME_ERROR(Fixed4::FromDouble(1e15), kErrOverflow);
  EXPECT_RUNTIME_ERROR(Fixed4::FromDouble(std::nan("")), kErrOverflow);
  const Fixed4 max = Fixed4::FromUnits(INT64_MAX);
  EXPECT_RUNTIME_ERROR(max + Fixed4::FromUnits(1), kErrOverflow);
  EXPECT_RUNTIME_ERROR(max * 2, kErrOverflow);
  EXPECT_RUNTIME_ERROR(Fixed4::FromUnits(INT64_MIN) * -1, kErrOverflow);
  EXPECT_EQ((Fixed4::FromUnits(3) * 4 + Fixed4::FromUnits(1)).units(), 13);
}

TEST(StrictConversionTest, UsesTheLocaleDecimalSeparator) {
  kvo::test::ScopedLocale locale(LC_NUMERIC);
  EXPECT_EQ(LocaleDecimalSeparator(), '.');
  if (!locale.UseAny(
          {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) ||
      LocaleDecimalSeparator() != ',') {
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  EXPECT_DOUBLE_EQ(StrictToDouble("1,5"), 1.5);
  EXPECT_EQ(StrictToInt16(" 2,5 "), 2);
  EXPECT_RUNTIME_ERROR(StrictToDouble("1.5"), kErrTypeMismatch);
  EXPECT_DOUBLE_EQ(PrefixRead("1.5"), 1.5);  // prefix reading ignores it
  EXPECT_DOUBLE_EQ(PrefixRead("1,5"), 1);
}

}  // namespace
}  // namespace kvo
