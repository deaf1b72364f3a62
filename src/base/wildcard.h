#ifndef KVO_BASE_WILDCARD_H_
#define KVO_BASE_WILDCARD_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/wildcard_segment.h"

namespace kvo {

// A wildcard pattern: "*" any run of characters, "?" any one character, "#"
// any one digit, "[list]" one character of the list (ranges like a-z
// allowed), "[!list]" one character not in it; letters match without regard
// to case (text_case.h). Compiled once, matched many times: the runs between
// "*" are found in turn, each leftmost, so a pattern of plain characters and
// "*" takes time linear in the text.
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

  // Matches of `first` + `separator` + `second`, which both lie inside
  // `within` (the line whose columns they are): a plain search looks through
  // `within` once and then at the joint alone; other patterns are matched
  // on the joined text in `scratch`.
  bool MatchesJoined(std::string_view within, std::string_view first,
                     std::string_view separator, std::string_view second,
                     std::string& scratch) const;

  // The runs of plain characters (outside "*", "?", "#" and lists), in
  // pattern order: every text that Matches holds each of them, without regard
  // to case. Empty when there is none ("", "*", "?#"). Valid while this
  // pattern lives.
  std::vector<std::string_view> RequiredLiterals() const;

 private:
  bool MatchesSegments(std::string_view text) const;

  // The pattern is head_ "*" middle_[0] "*" ... "*" tail_, or head_ alone
  // when it has no "*"; head_ and tail_ are empty when it begins or ends
  // with "*", the runs of middle_ never.
  WildcardSegment head_;
  std::vector<WildcardSegment> middle_;
  WildcardSegment tail_;
  bool has_star_ = false;
  bool one_search_ = false;  // "*" plain characters "*": a literal search
  size_t min_length_ = 0;    // the shortest text that can match
};

}  // namespace kvo

#endif  // KVO_BASE_WILDCARD_H_
