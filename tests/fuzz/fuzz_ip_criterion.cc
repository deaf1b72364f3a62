// The compiled address criterion against the predicates it stands for.
// Input: a flag byte (bit 0: subnet, bit 1: a locale with a decimal comma),
// then the lines ip1, ip2 and the address column. Besides that column, the
// canonical quads around the criterion's own bounds are tried, where a
// rounding fault would show.
#include <arpa/inet.h>

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "fuzz/split_input.h"
#include "net/ip_criterion.h"
#include "net/ipv4.h"

namespace {

bool GeneralVerdict(std::string_view ip1, std::string_view ip2, bool subnet,
                    std::string_view column) {
  if (column.empty()) return kvo::InetAddr(ip1) == kvo::InetAddr("0.0.0.0");
  if (ip2.empty()) return kvo::InetAddr(ip1) == kvo::InetAddr(column);
  if (!subnet) return kvo::IsIpInRange(ip1, ip2, column);
  try {
    return kvo::IsIpInSubnet(ip1, ip2, column);
  } catch (const kvo::RuntimeError&) {
    return true;
  }
}

std::string Dotted(int64_t address) {
  const auto host = static_cast<uint32_t>(address);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", host >> 24, host >> 16 & 0xFF,
                host >> 8 & 0xFF, host & 0xFF);
  return text;
}

// Quads next to what the texts read as: their address, their range value.
void AddNeighbours(std::string_view text, std::vector<std::string>& columns) {
  std::vector<int64_t> centres = {ntohl(kvo::InetAddr(text))};
  if (std::optional<kvo::Fixed4> value = kvo::IpRangeValue(text)) {
    centres.push_back(value->units() / kvo::Fixed4::kScale);
  }
  for (int64_t centre : centres) {
    for (int64_t q = centre - 1; q <= centre + 1; ++q) {
      if (q >= 0 && q <= 0xFFFFFFFF) columns.push_back(Dotted(q));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool subnet = (data[0] & 1) != 0;
  std::setlocale(LC_NUMERIC, (data[0] & 2) != 0 ? "de_DE.UTF-8" : "C");
  auto [ip1, ip2, column] = kvo::fuzz::SplitInput<3>(data + 1, size - 1);
  const kvo::IpCriterion criterion =
      kvo::IpCriterion::Compile(ip1, ip2, subnet);
  if (criterion.active() == ip1.empty()) __builtin_trap();
  if (!criterion.active()) return 0;
  std::vector<std::string> columns = {std::string(column)};
  AddNeighbours(ip1, columns);
  AddNeighbours(ip2, columns);
  for (const std::string& c : columns) {
    if (criterion.Takes(c) != GeneralVerdict(ip1, ip2, subnet, c)) {
      __builtin_trap();
    }
  }
  return 0;
}
