// ValidateDate over arbitrary day, month and year texts: never throws, and
// its messages carry no markup of the request.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/split_input.h"
#include "viewer/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parts = kvo::fuzz::SplitInput<3>(data, size);
  bool empty = false;
  std::string errors;
  kvo::ValidateDate(parts[0], parts[1], parts[2], empty, errors);
  // The only markup in a message is its closing "<br>".
  for (size_t at = errors.find('<'); at != std::string::npos;
       at = errors.find('<', at + 1)) {
    if (errors.compare(at, 6, "<br>\r\n") != 0) __builtin_trap();
  }
  return 0;
}
