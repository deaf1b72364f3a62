#ifndef KVO_NET_INET_ADDR_H_
#define KVO_NET_INET_ADDR_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace kvo {

// inet_addr of the text: the address in network byte order, all ones for a
// text that is not an address (the same value as 255.255.255.255). Reads as
// the C library does: one to four parts ("a", "a.b", "a.b.c", "a.b.c.d", the
// last part filling the remaining bytes), each 0x/0X hexadecimal, 0 octal or
// decimal; white space after the address ends it and what follows is
// ignored. A text holding a NUL byte is not an address.
uint32_t InetAddr(std::string_view text);

// The address, in host byte order, of a text that is a dotted quad as the
// gateway writes it: four decimal numbers 0 to 255 without leading zeros
// ("0" itself excepted), blanks or anything else. nullopt for any other text.
// Inline: the listing calls it for every line's address column.
inline std::optional<uint32_t> ParseCanonicalQuad(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  auto digit_here = [&](uint32_t& digit) {
    return p != end &&
           (digit = static_cast<unsigned char>(*p) - uint32_t{'0'}) <= 9;
  };
  uint32_t address = 0;
  for (int k = 0; k < 4; ++k) {
    if (k > 0 && (p == end || *p++ != '.')) return std::nullopt;
    uint32_t value;
    if (!digit_here(value)) return std::nullopt;
    ++p;
    uint32_t digit;
    if (digit_here(digit)) {
      if (value == 0) return std::nullopt;  // a leading zero
      value = value * 10 + digit;
      ++p;
      if (digit_here(digit)) {
        value = value * 10 + digit;
        ++p;
        if (value > 255) return std::nullopt;
      }
    }
    address = address << 8 | value;
  }
  // A fourth digit or anything else after the last number.
  if (p != end) return std::nullopt;
  return address;
}

}  // namespace kvo

#endif  // KVO_NET_INET_ADDR_H_
