// The Date column conversion: never crashes, and a date it reads lies within
// the years a log can carry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/date_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (auto order :
       {kvo::DayMonthOrder::kMonthFirst, kvo::DayMonthOrder::kDayFirst}) {
    auto date = kvo::ParseDateTime(text, order);
    if (date && (*date < kvo::MakeDate(100, 1, 1) ||
                 *date > kvo::MakeDate(10000, 1, 1))) {
      __builtin_trap();
    }
  }
  return 0;
}
