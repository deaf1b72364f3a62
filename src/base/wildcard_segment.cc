#include "base/wildcard_segment.h"

namespace kvo {

WildcardSegment::WildcardSegment(const std::vector<PatternChar>& chars) {
  sets_.reserve(chars.size());
  size_t run_start = 0;  // where the current run of plain characters starts
  size_t longest = 0;    // index in literals_ of the first longest run
  size_t longest_size = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    sets_.push_back(chars[i].bytes);
    for (size_t w = 0; w < any_.bits.size(); ++w) {
      any_.bits[w] |= chars[i].bytes.bits[w];
    }
    if (!chars[i].plain) continue;
    if (i == 0 || !chars[i - 1].plain) {
      run_start = i;
      literals_.emplace_back();
    }
    literals_.back() += chars[i].character;
    if (literals_.back().size() > longest_size) {
      longest = literals_.size() - 1;
      longest_size = literals_.back().size();
      anchor_offset_ = run_start;
    }
  }
  if (literals_.empty()) return;
  anchor_.emplace(literals_[longest]);
  all_plain_ = longest_size == sets_.size();
}

bool WildcardSegment::MatchesAtNonEmpty(const char* at) const {
  for (size_t i = 0; i < sets_.size(); ++i) {
    if (!sets_[i].Has(static_cast<unsigned char>(at[i]))) return false;
  }
  return true;
}

const char* WildcardSegment::FindWithClasses(const char* begin,
                                             const char* end) const {
  if (end - begin < static_cast<ptrdiff_t>(sets_.size())) return nullptr;
  return anchor_ ? FindByAnchor(begin, end) : FindByTrying(begin, end);
}

// Every match holds the anchor run at anchor_offset_: each place the run
// occurs is one candidate start, checked whole.
const char* WildcardSegment::FindByAnchor(const char* begin,
                                          const char* end) const {
  const char* from = begin + anchor_offset_;
  const char* to = end - (sets_.size() - anchor_offset_ - anchor_->size());
  while (const char* hit = anchor_->Find(from, to)) {
    const char* start = hit - anchor_offset_;
    if (MatchesAt(start)) return start;
    from = hit + 1;
  }
  return nullptr;
}

const char* WildcardSegment::FindByTrying(const char* begin,
                                          const char* end) const {
  const ptrdiff_t size = static_cast<ptrdiff_t>(sets_.size());
  const ByteSet& first = sets_.front();
  for (const char* at = begin; end - at >= size; ++at) {
    if (first.Has(static_cast<unsigned char>(*at)) && MatchesAtNonEmpty(at)) {
      return at;
    }
  }
  return nullptr;
}

}  // namespace kvo
