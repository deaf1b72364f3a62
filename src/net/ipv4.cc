#include "net/ipv4.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>
#include <string>

#include "base/numbers.h"
#include "base/recovery.h"
#include "base/runtime_error.h"

namespace kvo {
namespace {

// Splits at "." into at most four pieces, the fourth keeping the rest of the
// text with any further dots; returns the count. The empty text has none.
int SplitFour(std::string_view text, std::string_view (&pieces)[4]) {
  if (text.empty()) return 0;
  int count = 0;
  while (count < 3) {
    size_t dot = text.find('.');
    if (dot == std::string_view::npos) break;
    pieces[count++] = text.substr(0, dot);
    text.remove_prefix(dot + 1);
  }
  pieces[count++] = text;
  return count;
}

std::string_view PieceOrThrow(const std::string_view (&pieces)[4], int count,
                              int k) {
  if (k >= count) throw RuntimeError(kErrSubscript);
  return pieces[k];
}

// Appends the decimal text of `value` at `out`; returns the end.
char* AppendNumber(char* out, char* end, int32_t value) {
  return std::to_chars(out, end, value).ptr;
}

}  // namespace

bool IsValidIpAddress(std::string_view text) {
  std::string_view pieces[4];
  // Exactly four pieces: a fourth piece may not hold another dot.
  if (SplitFour(text, pieces) != 4 ||
      pieces[3].find('.') != std::string_view::npos) {
    return false;
  }
  int16_t values[4] = {0, 0, 0, 0};
  bool converted = true;
  for (int k = 0; k < 4; ++k) {
    converted &= TryStep([&] { values[k] = StrictToInt16(pieces[k]); });
  }
  if (!converted) return false;
  for (int16_t value : values) {
    if (value < 0 || value > 255) return false;
  }
  return true;
}

bool IsIpInSubnet(std::string_view network, std::string_view mask,
                  std::string_view address) {
  std::string_view mask_pieces[4];
  std::string_view address_pieces[4];
  const int mask_count = SplitFour(mask, mask_pieces);
  const int address_count = SplitFour(address, address_pieces);
  // Four numbers of at most 11 characters, three dots.
  char masked[4 * 11 + 3];
  char* end = masked;
  for (int k = 0; k < 4; ++k) {
    std::string_view a = PieceOrThrow(address_pieces, address_count, k);
    std::string_view m = PieceOrThrow(mask_pieces, mask_count, k);
    int32_t r = StrictToInt32(a);
    r &= StrictToInt32(m);
    if (k > 0) *end++ = '.';
    end = AppendNumber(end, masked + sizeof masked, r);
  }
  return InetAddr(std::string_view(
             masked, static_cast<size_t>(end - masked))) == InetAddr(network);
}

bool IsIpInRange(std::string_view low, std::string_view high,
                 std::string_view address) {
  std::string_view pieces[3][4];
  int counts[3] = {SplitFour(low, pieces[0]), SplitFour(high, pieces[1]),
                   SplitFour(address, pieces[2])};
  Fixed4 values[3];
  try {
    for (int k = 0; k < 4; ++k) {
      for (int t = 0; t < 3; ++t) {
        Fixed4 piece = StrictToFixed4(PieceOrThrow(pieces[t], counts[t], k));
        values[t] = k == 0 ? piece : values[t] * 256 + piece;
      }
    }
  } catch (const RuntimeError&) {
    return false;
  }
  return values[0] <= values[2] && values[2] <= values[1];
}

uint32_t InetAddr(std::string_view text) {
  // inet_addr reads up to a NUL: a text that holds one is not an address.
  if (text.find('\0') != std::string_view::npos) return INADDR_NONE;
  char small[64];
  if (text.size() < sizeof small) {
    // An empty view may carry no data pointer, which memcpy must not get.
    if (!text.empty()) std::memcpy(small, text.data(), text.size());
    small[text.size()] = '\0';
    return ::inet_addr(small);
  }
  return ::inet_addr(std::string(text).c_str());
}

}  // namespace kvo
