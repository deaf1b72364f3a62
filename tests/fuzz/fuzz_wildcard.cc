// Wildcard patterns: compile and match arbitrary criteria against arbitrary
// texts. The fast "contains" path must agree with the general matcher.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/runtime_error.h"
#include "base/wildcard.h"
#include "fuzz/split_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [criterion, text] = kvo::fuzz::SplitInput<2>(data, size);
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
