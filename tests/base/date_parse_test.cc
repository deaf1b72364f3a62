#include "base/date_parse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <string>

#include "support/scoped_locale.h"

namespace kvo {
namespace {

constexpr auto kMonth = DayMonthOrder::kMonthFirst;
constexpr auto kDay = DayMonthOrder::kDayFirst;

TEST(ParseDateTimeTest, ReadsDates) {
  struct Case {
    const char* text;
    DayMonthOrder order;
    int year, month, day, hour, minute, second;
  } cases[] = {
      {"05.03.2024 14:30:07", kMonth, 2024, 3, 5, 14, 30, 7},
      {"31.12.1999 23:59:59", kMonth, 1999, 12, 31, 23, 59, 59},
      {"29.02.2024 00:00:00", kDay, 2024, 2, 29, 0, 0, 0},
      {"  05.03.2024 14:30:07\t", kMonth, 2024, 3, 5, 14, 30, 7},
      {"5.3.2024 9:05", kMonth, 2024, 3, 5, 9, 5, 0},
      {"05.03.24", kMonth, 2024, 3, 5, 0, 0, 0},
      {"2024-03-05 14:30:07", kDay, 2024, 3, 5, 14, 30, 7},
      {"2024/03/05", kMonth, 2024, 3, 5, 0, 0, 0},
      {"03/05/2024 2:30 PM", kMonth, 2024, 3, 5, 14, 30, 0},
      {"03/05/2024 2:30:15pm", kMonth, 2024, 3, 5, 14, 30, 15},
      {"03/05/2024 12:00 am", kMonth, 2024, 3, 5, 0, 0, 0},
      {"03/05/2024 12:10 PM", kMonth, 2024, 3, 5, 12, 10, 0},
      {"05/03/2024", kDay, 2024, 3, 5, 0, 0, 0},
      {"3/5/24", kMonth, 2024, 3, 5, 0, 0, 0},
      {"3-5-99", kMonth, 1999, 3, 5, 0, 0, 0},
      {"3/5/79", kDay, 2079, 5, 3, 0, 0, 0},
      {"25/12/2023", kMonth, 2023, 12, 25, 0, 0, 0},  // swapped
      {"12/25/2023", kDay, 2023, 12, 25, 0, 0, 0},    // swapped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::optional<Date> date = ParseDateTime(c.text, c.order);
    ASSERT_TRUE(date.has_value());
    EXPECT_NEAR(
        *date, MakeDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second),
        1e-9);
  }
}

TEST(ParseDateTimeTest, RejectsWhatIsNotADate) {
  for (const char* text : {
           "",
           "   ",
           "Date",
           "Datum/Zeit",
           "14:30:07",
           "2024",
           "05.03",
           "31.02.2024 10:00:00",
           "00.03.2024",
           "05.13.2024",
           "05.03.2024 24:00:00",
           "05.03.2024 14:60:00",
           "05.03.2024 14:30:60",
           "05.03.2024 14:30:07x",
           "05.03.2024x",
           "05.03.2024T14:30",
           "05.03/2024",
           "2024-02-30",
           "13/13/2024",
           "03/05/2024 13:00 PM",
           "03/05/2024 0:30 AM",
           "03/05/2024 2:30 XM",
           "05.03.2024 14",
           "05.03.2024 14:",
           "05.03.123",
           "12345.03.2024",
           "05.03.99999",
           "0050-03-05",
           "2024-03-05 14:30:07 PM",
           "-05.03.2024",
       }) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseDateTime(text, kMonth).has_value());
    EXPECT_FALSE(ParseDateTime(text, kDay).has_value());
  }
}

TEST(ParseDateTimeTest, IsFastOnTheUsualLayout) {
  auto start = std::chrono::steady_clock::now();
  double sum = 0;
  for (int i = 0; i < 1000000; ++i) {
    sum += ParseDateTime("05.03.2024 14:30:07", kDay).value_or(0);
  }
  auto elapsed = std::chrono::steady_clock::now() - start;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed);
  std::cout << "1e6 parses: " << ms.count() << " ms\n";
  EXPECT_GT(sum, 0);
  EXPECT_LT(ms.count(), 5000);
}

TEST(LocaleDayMonthOrderTest, FollowsTheLocaleDateFormat) {
  kvo::test::ScopedLocale locale(LC_TIME);
  ASSERT_TRUE(locale.Use("C"));
  EXPECT_EQ(LocaleDayMonthOrder(), kMonth);
  if (locale.Use("en_US.UTF-8")) {
    EXPECT_EQ(LocaleDayMonthOrder(), kMonth);
  }
  if (!locale.Use("de_DE.UTF-8") && !locale.Use("en_GB.UTF-8")) {
    GTEST_SKIP() << "no day-first locale is installed";
  }
  EXPECT_EQ(LocaleDayMonthOrder(), kDay);
}

}  // namespace
}  // namespace kvo
