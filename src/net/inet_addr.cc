#include "net/inet_addr.h"

#include <arpa/inet.h>

namespace kvo {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// isspace of the C library for ASCII, the same in every locale.
bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c, uint32_t base) {
  int value = 16;
  if (IsDigit(c)) {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return static_cast<uint32_t>(value) < base ? value : -1;
}

// Reads one part at `pos`, which holds a digit, as strtoul with base 0 does;
// false when the part cannot be an address part: beyond 32 bits, or a "0x"
// without a hexadecimal digit (strtoul stops at the "x", which no address
// may hold).
bool ReadPart(std::string_view text, size_t& pos, uint32_t& value) {
  uint32_t base = 10;
  if (text[pos] == '0') {
    base = 8;
    if (pos + 1 < text.size() &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
      if (pos + 2 >= text.size() || DigitValue(text[pos + 2], 16) < 0) {
        return false;
      }
      base = 16;
      pos += 2;
    }
  }
  uint64_t wide = 0;
  for (int digit;
       pos < text.size() && (digit = DigitValue(text[pos], base)) >= 0; ++pos) {
    wide = wide * base + static_cast<uint32_t>(digit);
    if (wide > kNone) return false;
  }
  value = static_cast<uint32_t>(wide);
  return true;
}

}  // namespace

uint32_t InetAddr(std::string_view text) {
  uint32_t leading = 0;  // the parts before the last, in host order
  int dots = 0;
  size_t pos = 0;
  uint32_t last = 0;
  for (;;) {
    if (pos >= text.size() || !IsDigit(text[pos])) return kNone;
    if (!ReadPart(text, pos, last)) return kNone;
    if (pos >= text.size() || text[pos] != '.') break;
    if (dots == 3 || last > 255) return kNone;
    leading |= last << (24 - 8 * dots);
    ++dots;
    ++pos;
  }
  if (pos < text.size() && (!IsAsciiSpace(text[pos]) ||
                            text.find('\0', pos) != std::string_view::npos)) {
    return kNone;
  }
  // The last part fills the bytes the others left: 32, 24, 16 or 8 bits.
  if (dots > 0 && last > (kNone >> (8 * dots))) return kNone;
  return htonl(leading | last);
}

}  // namespace kvo
