#ifndef KVO_BASE_WINDOWS1252_H_
#define KVO_BASE_WINDOWS1252_H_

#include <string>
#include <string_view>

namespace kvo {

// The Unicode character of a Windows-1252 byte. The five bytes without a
// character (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own code point.
char32_t Windows1252ToUnicode(unsigned char byte);

// Appends `code` (below 0x10000) to `out` in UTF-8.
void AppendUtf8(char32_t code, std::string& out);

// `text`, Windows-1252 bytes, in UTF-8.
std::string Windows1252ToUtf8(std::string_view text);

}  // namespace kvo

#endif  // KVO_BASE_WINDOWS1252_H_
