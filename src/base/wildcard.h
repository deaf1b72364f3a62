#ifndef KVO_BASE_WILDCARD_H_
#define KVO_BASE_WILDCARD_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/literal_finder.h"

namespace kvo {

// A wildcard pattern: "*" any run of characters, "?" any one character, "#"
// any one digit, "[list]" one character of the list (ranges like a-z
// allowed), "[!list]" one character not in it; letters match without regard
// to case (text_case.h). Compiled once, matched many times; matching takes
// time proportional to text length times pattern length at worst.
class WildcardPattern {
 public:
  // Throws RuntimeError 93 ("Invalid pattern string") for a malformed
  // pattern, such as "[" without its closing "]".
  explicit WildcardPattern(std::string_view pattern);

  // The pattern "*" + criterion + "*": selects texts that contain a match of
  // the criterion anywhere.
  static WildcardPattern Containing(std::string_view criterion);

  // True when `criterion` holds no wildcard character (* ? # [): its
  // Containing pattern is then a plain search for the text.
  static bool IsLiteral(std::string_view criterion);

  bool Matches(std::string_view text) const;

 private:
  // One element of a compiled pattern: "*", or the set of bytes that one
  // character may be ("?", "#", a letter in both cases, a bracket list).
  struct Token {
    bool star = false;
    std::array<uint64_t, 4> bytes{};  // bit c: byte c matches

    bool Has(unsigned char c) const { return (bytes[c >> 6] >> (c & 63)) & 1; }
    void Add(unsigned char c) { bytes[c >> 6] |= uint64_t{1} << (c & 63); }
  };

  WildcardPattern() = default;
  bool MatchesTokens(std::string_view text) const;

  std::vector<Token> tokens_;
  // A Containing pattern without wildcards is a search for the criterion's
  // text; tokens_ is then unused.
  std::optional<LiteralFinder> literal_;
};

}  // namespace kvo

#endif  // KVO_BASE_WILDCARD_H_
