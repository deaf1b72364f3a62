// The three IPv4 predicates over arbitrary texts: the validity and range
// tests never throw; the subnet test throws only its three errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/runtime_error.h"
#include "net/ipv4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  for (auto& part : parts) {
    size_t cut = input.find('\n');
    part = input.substr(0, cut);
    input = cut == std::string_view::npos ? "" : input.substr(cut + 1);
  }
  kvo::IsValidIpAddress(parts[0]);
  kvo::IsIpInRange(parts[0], parts[1], parts[2]);
  kvo::InetAddr(parts[2]);
  try {
    kvo::IsIpInSubnet(parts[0], parts[1], parts[2]);
  } catch (const kvo::RuntimeError& error) {
    int n = error.number();
    if (n != kvo::kErrSubscript && n != kvo::kErrTypeMismatch && n != kvo::kErrOverflow) {
      __builtin_trap();
    }
  }
  return 0;
}
