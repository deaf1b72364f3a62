#ifndef KVO_BASE_LITERAL_FINDER_H_
#define KVO_BASE_LITERAL_FINDER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kvo {

// Finds a literal text in a buffer without regard to letter case, with the
// case rules of text_case.h. Prepared once, then searched many times: the
// listing looks for one criterion through a whole log file.
class LiteralFinder {
 public:
  explicit LiteralFinder(std::string_view literal);

  // The first occurrence that lies wholly inside [begin, end), or null when
  // there is none. An empty literal occurs at `begin`.
  const char* Find(const char* begin, const char* end) const;

  size_t size() const { return folded_.size(); }

 private:
  std::string folded_;  // the literal, lower-cased
  // Two positions of the literal that the block search compares first, each
  // with the two forms its byte may take in the text (equal when caseless).
  size_t anchor_[2] = {0, 0};
  unsigned char forms_[2][2] = {{0, 0}, {0, 0}};
};

}  // namespace kvo

#endif  // KVO_BASE_LITERAL_FINDER_H_
