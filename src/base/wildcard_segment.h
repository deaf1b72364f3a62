#ifndef KVO_BASE_WILDCARD_SEGMENT_H_
#define KVO_BASE_WILDCARD_SEGMENT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/literal_finder.h"

namespace kvo {

// The bytes that one character of a pattern stands for.
struct ByteSet {
  std::array<uint64_t, 4> bits{};  // bit c: byte c belongs

  bool Has(unsigned char c) const { return (bits[c >> 6] >> (c & 63)) & 1; }
  void Add(unsigned char c) { bits[c >> 6] |= uint64_t{1} << (c & 63); }
};

// One character of a pattern between two "*": the bytes it stands for and,
// for a plain character (no ? # or list), the character itself.
struct PatternChar {
  ByteSet bytes;
  bool plain = false;
  char character = 0;
};

// A run of pattern characters without "*": it matches a text of exactly its
// length. Found by its longest run of plain characters with LiteralFinder
// where it has one, else by trying each position.
class WildcardSegment {
 public:
  WildcardSegment() = default;  // matches only the empty text
  explicit WildcardSegment(const std::vector<PatternChar>& chars);

  size_t size() const { return sets_.size(); }
  // True when the segment is all plain characters, found as one literal.
  bool IsPlain() const { return all_plain_; }

  // True when the size() bytes from `at` match; always for an empty segment.
  bool MatchesAt(const char* at) const {
    return sets_.empty() || MatchesAtNonEmpty(at);
  }

  // The leftmost start of a match lying wholly inside [begin, end), or null.
  // The segment must not be empty.
  const char* Find(const char* begin, const char* end) const {
    return all_plain_ ? anchor_->Find(begin, end) : FindWithClasses(begin, end);
  }

  // Whether `c` may stand somewhere in a match.
  bool Holds(char c) const { return any_.Has(static_cast<unsigned char>(c)); }

  // The runs of plain characters, in order: every match holds each of them
  // (without regard to case).
  const std::vector<std::string>& literals() const { return literals_; }

 private:
  bool MatchesAtNonEmpty(const char* at) const;
  const char* FindWithClasses(const char* begin, const char* end) const;
  const char* FindByAnchor(const char* begin, const char* end) const;
  const char* FindByTrying(const char* begin, const char* end) const;

  std::vector<ByteSet> sets_;
  ByteSet any_;  // the union of sets_
  std::vector<std::string> literals_;
  std::optional<LiteralFinder> anchor_;  // the longest run of literals_
  size_t anchor_offset_ = 0;             // where that run starts in a match
  bool all_plain_ = false;               // the anchor is the whole segment
};

}  // namespace kvo

#endif  // KVO_BASE_WILDCARD_SEGMENT_H_
