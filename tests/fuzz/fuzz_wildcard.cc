// Wildcard patterns: compile and match arbitrary criteria against arbitrary
// texts. The fast "contains" path must agree with the general matcher.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/runtime_error.h"
#include "base/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\n');
  std::string_view criterion = input.substr(0, cut);
  std::string_view text = cut == std::string_view::npos ? "" : input.substr(cut + 1);
  try {
    auto contains = kvo::WildcardPattern::Containing(criterion);
    kvo::WildcardPattern general("*" + std::string(criterion) + "*");
    if (contains.Matches(text) != general.Matches(text)) __builtin_trap();
    kvo::WildcardPattern whole(criterion);
    whole.Matches(text);
  } catch (const kvo::RuntimeError& error) {
    if (error.number() != 93) __builtin_trap();
  }
  return 0;
}
