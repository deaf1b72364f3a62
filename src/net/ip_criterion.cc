#include "net/ip_criterion.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <optional>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "net/inet_addr.h"
#include "net/ipv4.h"

namespace kvo {
namespace {

constexpr uint32_t kAllOnes = 0xFFFFFFFFu;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && a < 0 ? 1 : 0);
}

int64_t CeilDiv(int64_t a, int64_t b) {
  return a / b + (a % b != 0 && a > 0 ? 1 : 0);
}

}  // namespace

IpCriterion IpCriterion::Compile(std::string_view ip1, std::string_view ip2,
                                 bool subnet) {
  IpCriterion c;
  if (ip1.empty()) return c;
  c.kind_ = ip2.empty() ? Kind::kSingle : subnet ? Kind::kSubnet : Kind::kRange;
  c.ip1_ = ip1;
  c.ip2_ = ip2;
  const uint32_t network = ntohl(InetAddr(ip1));
  c.takes_empty_ = network == 0;
  // The range and subnet tests read each piece with the strict conversion,
  // a canonical piece as its decimal value unless the locale's decimal
  // separator is a digit.
  const char separator = LocaleDecimalSeparator();
  c.quads_by_number_ =
      c.kind_ == Kind::kSingle || separator < '0' || separator > '9';
  switch (c.kind_) {
    case Kind::kSingle:
      c.quad_test_ = {kAllOnes, network, network};
      break;
    case Kind::kSubnet:
      c.quad_test_ = SubnetQuads(network, ip2);
      break;
    case Kind::kRange:
      c.quad_test_ = RangeQuads(ip1, ip2);
      break;
    case Kind::kNone:
      break;
  }
  return c;
}

IpCriterion::QuadTest IpCriterion::RangeQuads(std::string_view low,
                                              std::string_view high) {
  std::optional<Fixed4> low_value = IpRangeValue(low);
  std::optional<Fixed4> high_value = IpRangeValue(high);
  if (!low_value || !high_value) return {};
  // The quads q with low <= q * 10000 <= high, in fixed-point units.
  int64_t first = CeilDiv(low_value->units(), Fixed4::kScale);
  int64_t last = FloorDiv(high_value->units(), Fixed4::kScale);
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, kAllOnes);
  if (first > last) return {};
  return {kAllOnes, static_cast<uint32_t>(first), static_cast<uint32_t>(last)};
}

IpCriterion::QuadTest IpCriterion::SubnetQuads(uint32_t network,
                                               std::string_view mask) {
  std::optional<std::array<int32_t, 4>> pieces = IpSubnetPieces(mask);
  // An unreadable mask throws for every column, which passes the line.
  if (!pieces) return {0, 0, 0};
  // A quad's byte ANDed with a 32-bit piece keeps the piece's low byte.
  uint32_t bytes = 0;
  for (int32_t piece : *pieces) {
    bytes = bytes << 8 | (static_cast<uint32_t>(piece) & 0xFF);
  }
  return {bytes, network, network};
}

bool IpCriterion::Takes(std::string_view address_column) const {
  if (address_column.empty()) return takes_empty_;
  if (quads_by_number_) {
    if (std::optional<uint32_t> quad = ParseCanonicalQuad(address_column)) {
      const uint32_t masked = *quad & quad_test_.mask;
      return quad_test_.low <= masked && masked <= quad_test_.high;
    }
  }
  return TakesOther(address_column);
}

bool IpCriterion::TakesOther(std::string_view address_column) const {
  switch (kind_) {
    case Kind::kNone:
      return true;
    case Kind::kSingle:
      return InetAddr(ip1_) == InetAddr(address_column);
    case Kind::kRange:
      return IsIpInRange(ip1_, ip2_, address_column);
    case Kind::kSubnet:
      try {
        return IsIpInSubnet(ip1_, ip2_, address_column);
      } catch (const RuntimeError&) {
        return true;  // an address it cannot read does not exclude the line
      }
  }
  return true;
}

}  // namespace kvo
