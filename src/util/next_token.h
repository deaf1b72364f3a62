#ifndef KVO_UTIL_NEXT_TOKEN_H_
#define KVO_UTIL_NEXT_TOKEN_H_

#include <string>
#include <string_view>

namespace kvo {

// Cuts the first field off `text` at the first occurrence of `delimiter`
// (exact comparison): returns the field and leaves in `text` what follows the
// delimiter. Without a delimiter, returns the whole text and empties it.
std::string NextToken(std::string& text, std::string_view delimiter);

// The same over a view, for the hot path: nothing is copied.
std::string_view NextToken(std::string_view& text, std::string_view delimiter);

// The same with a one-byte delimiter (the TAB between log columns), searched
// with memchr.
std::string_view NextToken(std::string_view& text, char delimiter);

}  // namespace kvo

#endif  // KVO_UTIL_NEXT_TOKEN_H_
