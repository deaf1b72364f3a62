#ifndef KVO_BASE_FOLD_TABLE_H_
#define KVO_BASE_FOLD_TABLE_H_

#include <array>

namespace kvo::internal {

// The lower-case form of each Windows-1252 byte, for the hot loops of this
// folder that fold byte by byte; everything else uses text_case.h.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 0x20);
  }
  table[0x8A] = 0x9A;
  table[0x8C] = 0x9C;
  table[0x8E] = 0x9E;
  table[0x9F] = 0xFF;
  return table;
}

inline constexpr std::array<unsigned char, 256> kFoldTable = MakeFoldTable();

inline unsigned char Fold(char c) {
  return kFoldTable[static_cast<unsigned char>(c)];
}

}  // namespace kvo::internal

#endif  // KVO_BASE_FOLD_TABLE_H_
