#ifndef KVO_BASE_TEXT_CASE_H_
#define KVO_BASE_TEXT_CASE_H_

#include <string>
#include <string_view>

namespace kvo {

// Case rules of the Windows-1252 code page, independent of the process
// locale: A-Z/a-z, 0xC0-0xDE/0xE0-0xFE except 0xD7 and 0xF7, and the pairs
// 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E, 0x9F/0xFF. Every comparison "without regard
// to letter case" in the program uses these.

// The lower-case form of one byte (the byte itself when it has none).
unsigned char FoldCase(unsigned char c);
// Lower-cases every byte of `text` with FoldCase.
std::string FoldCase(std::string_view text);
// True when the texts have the same length and fold to the same bytes.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace kvo

#endif  // KVO_BASE_TEXT_CASE_H_
