#ifndef KVO_NET_IPV4_H_
#define KVO_NET_IPV4_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/numbers.h"
#include "net/inet_addr.h"

namespace kvo {

// Predicates over IPv4 addresses written as dotted text. They convert the
// texts anew on every call and keep nothing.

// True for four pieces, each a number 0 to 255 (blanks around it allowed,
// leading zeros read as decimal). Never throws.
bool IsValidIpAddress(std::string_view text);

// True when address AND mask, piece by piece, equals the network (the network
// itself is not masked; both sides go through InetAddr). Throws RuntimeError 9
// for fewer than four pieces in mask or address, 13 for a piece that is not a
// number, 6 for one beyond 32 bits.
bool IsIpInSubnet(std::string_view network, std::string_view mask,
                  std::string_view address);

// True when low <= address <= high, each read as ((p0*256+p1)*256+p2)*256+p3
// in four-decimal fixed point. Every failure gives false; never throws.
bool IsIpInRange(std::string_view low, std::string_view high,
                 std::string_view address);

// The number IsIpInRange compares for one of its texts, or nullopt when it
// cannot read that text (IsIpInRange then gives false). Never throws.
std::optional<Fixed4> IpRangeValue(std::string_view text);

// The four numbers IsIpInSubnet ANDs for its mask or address text, or nullopt
// when it cannot read that text (IsIpInSubnet then throws). Never throws.
std::optional<std::array<int32_t, 4>> IpSubnetPieces(std::string_view text);

}  // namespace kvo

#endif  // KVO_NET_IPV4_H_
