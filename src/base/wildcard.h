#ifndef KVO_BASE_WILDCARD_H_
#define KVO_BASE_WILDCARD_H_

#include <string>
#include <string_view>
#include <vector>

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

  bool Matches(std::string_view text) const;

 private:
  // (representation chosen by the implementation)
};

}  // namespace kvo

#endif  // KVO_BASE_WILDCARD_H_
