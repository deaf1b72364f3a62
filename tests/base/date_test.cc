#include "base/date.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "support/scoped_locale.h"

namespace kvo {
namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(DateTest, CountsDaysFromDayZero) {
  struct Case {
    int year, month, day;
    Date expected;
  } cases[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},
      {2024, 3, 5, 45356}, {2000, 2, 29, 36585}, {9999, 12, 31, 2958465},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.year << "-" << c.month << "-" << c.day);
    EXPECT_EQ(MakeDate(c.year, c.month, c.day), c.expected);
    CivilDate civil = ToCivil(c.expected + 0.75);
    EXPECT_EQ(civil.year, c.year);
    EXPECT_EQ(civil.month, c.month);
    EXPECT_EQ(civil.day, c.day);
  }
}

TEST(DateTest, RollsOverDaysAndMonths) {
  struct Case {
    const char* name;
    Date made;
    Date expected;
  } cases[] = {
      {"31 Feb 2005", MakeDate(2005, 2, 31), MakeDate(2005, 3, 3)},
      {"day 0", MakeDate(2024, 3, 0), MakeDate(2024, 2, 29)},
      {"day -1", MakeDate(2024, 1, -1), MakeDate(2023, 12, 30)},
      {"month 13", MakeDate(2023, 13, 1), MakeDate(2024, 1, 1)},
      {"month 25", MakeDate(2023, 25, 1), MakeDate(2025, 1, 1)},
      {"month 0", MakeDate(2024, 0, 15), MakeDate(2023, 12, 15)},
      {"day 366", MakeDate(2024, 1, 366), MakeDate(2024, 12, 31)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.made, c.expected);
  }
}

TEST(DateTest, AddsTimeOfDay) {
  Date date = MakeDateTime(2024, 3, 5, 14, 30, 7);
  EXPECT_NEAR(date, 45356 + (14 * 3600 + 30 * 60 + 7) * kSecond, 1e-9);
  EXPECT_EQ(DayOfMonth(date), 5);
  EXPECT_EQ(DayOfMonth(MakeDateTime(2024, 3, 5, 23, 59, 59)), 5);
  EXPECT_EQ(AddDays(date, 27) - date, 27);
}

TEST(DateTest, AddsMonthsClampingTheDay) {
  const double noon = 0.5;
  struct Case {
    const char* name;
    Date from;
    int months;
    Date expected;
  } cases[] = {
      {"31 Jan + 1", MakeDate(2024, 1, 31), 1, MakeDate(2024, 2, 29)},
      {"31 Jan 2023 + 1", MakeDate(2023, 1, 31), 1, MakeDate(2023, 2, 28)},
      {"31 Mar - 1", MakeDate(2024, 3, 31), -1, MakeDate(2024, 2, 29)},
      {"15 Nov + 3", MakeDate(2024, 11, 15), 3, MakeDate(2025, 2, 15)},
      {"15 Feb - 14", MakeDate(2024, 2, 15), -14, MakeDate(2022, 12, 15)},
      {"keeps time", MakeDate(2024, 5, 31) + noon, 1,
       MakeDate(2024, 6, 30) + noon},
      {"zero", MakeDate(2024, 5, 31), 0, MakeDate(2024, 5, 31)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AddMonths(c.from, c.months), c.expected);
  }
}

TEST(DateTest, FindsTheLastDayOfTheMonth) {
  EXPECT_EQ(LastDayOfMonth(MakeDate(2024, 2, 3)), MakeDate(2024, 2, 29));
  EXPECT_EQ(LastDayOfMonth(MakeDate(2100, 2, 1)), MakeDate(2100, 2, 28));
  EXPECT_EQ(LastDayOfMonth(MakeDate(2024, 12, 31) + 0.25),
            MakeDate(2024, 12, 31) + 0.25);
}

TEST(DateTest, ExpandsTwoDigitYears) {
  struct Case {
    int year, expected;
  } cases[] = {{0, 2000},  {20, 2020},   {79, 2079},   {80, 1980}, {99, 1999},
               {100, 100}, {1979, 1979}, {2024, 2024}, {-1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(ExpandTwoDigitYear(c.year), c.expected);
  }
}

TEST(DateTest, FormatsDates) {
  Date date = MakeDateTime(2024, 3, 5, 23, 59, 59);
  EXPECT_EQ(FormatYmd(date), "2024-03-05");
  EXPECT_EQ(FormatYm(date), "2024-03");
  EXPECT_EQ(FormatYmd(MakeDate(987, 1, 2)), "0987-01-02");
}

TEST(DateTest, FormatsShortDatesInTheLocale) {
  kvo::test::ScopedLocale locale(LC_TIME);
  Date date = MakeDate(2024, 3, 5);
  ASSERT_TRUE(locale.Use("C"));
  EXPECT_EQ(FormatShortDate(date), "2024-03-05");
  ASSERT_TRUE(locale.Use("POSIX"));
  EXPECT_EQ(FormatShortDate(date), "2024-03-05");
  if (!locale.Use("de_DE.UTF-8") && !locale.Use("de_DE.utf8")) {
    GTEST_SKIP() << "no German locale is installed";
  }
  EXPECT_EQ(FormatShortDate(date + 0.5), "05.03.2024");
}

}  // namespace
}  // namespace kvo
