#include "net/ipv4.h"

#include <charconv>

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
  std::optional<Fixed4> values[3] = {IpRangeValue(low), IpRangeValue(high),
                                     IpRangeValue(address)};
  if (!values[0] || !values[1] || !values[2]) return false;
  return *values[0] <= *values[2] && *values[2] <= *values[1];
}

std::optional<Fixed4> IpRangeValue(std::string_view text) {
  std::string_view pieces[4];
  const int count = SplitFour(text, pieces);
  Fixed4 value;
  bool read = TryStep([&] {
    for (int k = 0; k < 4; ++k) {
      Fixed4 piece = StrictToFixed4(PieceOrThrow(pieces, count, k));
      value = k == 0 ? piece : value * 256 + piece;
    }
  });
  return read ? std::optional<Fixed4>(value) : std::nullopt;
}

std::optional<std::array<int32_t, 4>> IpSubnetPieces(std::string_view text) {
  std::string_view pieces[4];
  const int count = SplitFour(text, pieces);
  std::array<int32_t, 4> values;
  bool read = TryStep([&] {
    for (int k = 0; k < 4; ++k) {
      values[static_cast<size_t>(k)] =
          StrictToInt32(PieceOrThrow(pieces, count, k));
    }
  });
  return read ? std::optional(values) : std::nullopt;
}

}  // namespace kvo
