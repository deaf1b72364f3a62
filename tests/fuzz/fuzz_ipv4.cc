// The three IPv4 predicates over arbitrary texts: the validity and range
// tests never throw; the subnet test throws only its three errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/runtime_error.h"
#include "fuzz/split_input.h"
#include "net/ipv4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parts = kvo::fuzz::SplitInput<3>(data, size);
  kvo::IsValidIpAddress(parts[0]);
  kvo::IsIpInRange(parts[0], parts[1], parts[2]);
  kvo::InetAddr(parts[2]);
  try {
    kvo::IsIpInSubnet(parts[0], parts[1], parts[2]);
  } catch (const kvo::RuntimeError& error) {
    int n = error.number();
    if (n != kvo::kErrSubscript && n != kvo::kErrTypeMismatch &&
        n != kvo::kErrOverflow) {
      __builtin_trap();
    }
  }
  return 0;
}
