#include "base/rare_literal.h"

namespace kvo {

size_t LiteralRarity(std::string_view literal) {
  size_t rarity = 0;
  for (char c : literal) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const unsigned char lower = byte | 0x20;
    bool letter = (lower >= 'a' && lower <= 'z') || byte >= 0x80;
    rarity += letter ? 4 : 1;
  }
  return rarity;
}

std::string_view RarestLiteral(std::span<const std::string_view> literals) {
  std::string_view rarest;
  size_t best = 0;
  for (std::string_view literal : literals) {
    size_t rarity = LiteralRarity(literal);
    if (rarity > best) {
      rarest = literal;
      best = rarity;
    }
  }
  return rarest;
}

}  // namespace kvo
