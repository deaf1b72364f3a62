#include "base/wildcard.h"

#include <algorithm>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/fold_table.h"
#include "base/runtime_error.h"

namespace kvo {
namespace {

using internal::Fold;
using internal::kFoldTable;

constexpr int32_t kErrInvalidPattern = 93;

[[noreturn]] void ThrowInvalidPattern() {
  throw RuntimeError(kErrInvalidPattern, "KvoViewLog",
                     "Invalid pattern string");
}

// The bytes whose folded form is marked in `folded`, or unmarked when
// `negated`.
ByteSet BytesFolding(const std::array<bool, 256>& folded, bool negated) {
  ByteSet set;
  for (int b = 0; b < 256; ++b) {
    if (folded[Fold(static_cast<char>(b))] != negated) {
      set.Add(static_cast<unsigned char>(b));
    }
  }
  return set;
}

// The other byte that folds to each lower-case byte (the byte itself when
// none does): at most one does under the Windows-1252 rules.
constexpr std::array<unsigned char, 256> kUpperCase = [] {
  std::array<unsigned char, 256> upper{};
  for (size_t c = 0; c < 256; ++c) upper[c] = static_cast<unsigned char>(c);
  for (size_t c = 0; c < 256; ++c) {
    if (kFoldTable[c] != c) {
      upper[kFoldTable[c]] = static_cast<unsigned char>(c);
    }
  }
  return upper;
}();

PatternChar Plain(char c) {
  PatternChar plain{{}, true, c};
  const unsigned char lower = Fold(c);
  plain.bytes.Add(lower);
  plain.bytes.Add(kUpperCase[lower]);
  return plain;
}

PatternChar Digit() {
  PatternChar digit;
  for (unsigned char d = '0'; d <= '9'; ++d) digit.bytes.Add(d);
  return digit;
}

PatternChar Any() {
  PatternChar any;
  any.bytes.bits.fill(~uint64_t{0});
  return any;
}

// The text between "[" and "]", not empty: its bytes as folded values,
// ranges over folded values, all others when it starts with "!".
PatternChar List(std::string_view list) {
  bool negated = list.front() == '!';
  if (negated) list.remove_prefix(1);
  std::array<bool, 256> folded{};
  for (size_t k = 0; k < list.size(); ++k) {
    unsigned char low = Fold(list[k]);
    unsigned char high = low;
    if (k + 2 < list.size() && list[k + 1] == '-') {
      high = Fold(list[k + 2]);
      if (high < low) ThrowInvalidPattern();
      k += 2;
    }
    for (size_t f = low; f <= high; ++f) folded[f] = true;
  }
  return {BytesFolding(folded, negated), false, 0};
}

// The pattern's characters, cut at each "*". "[]" stands for no character
// at all.
std::vector<std::vector<PatternChar>> SplitAtStars(std::string_view pattern) {
  std::vector<std::vector<PatternChar>> runs(1);
  for (size_t i = 0; i < pattern.size(); ++i) {
    std::vector<PatternChar>& run = runs.back();
    switch (pattern[i]) {
      case '*':
        runs.emplace_back();
        break;
      case '?':
        run.push_back(Any());
        break;
      case '#':
        run.push_back(Digit());
        break;
      case '[': {
        size_t close = pattern.find(']', i + 1);
        if (close == std::string_view::npos) ThrowInvalidPattern();
        if (close > i + 1) {
          run.push_back(List(pattern.substr(i + 1, close - i - 1)));
        }
        i = close;
        break;
      }
      default:
        run.push_back(Plain(pattern[i]));
    }
  }
  return runs;
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
  std::vector<std::vector<PatternChar>> runs = SplitAtStars(pattern);
  head_ = WildcardSegment(runs.front());
  has_star_ = runs.size() > 1;
  if (has_star_) tail_ = WildcardSegment(runs.back());
  for (size_t i = 1; i + 1 < runs.size(); ++i) {
    // An empty run between two "*" adds nothing ("**" is "*").
    if (!runs[i].empty()) middle_.emplace_back(runs[i]);
  }
  for (const auto& run : runs) min_length_ += run.size();
  one_search_ = has_star_ && head_.size() == 0 && tail_.size() == 0 &&
                middle_.size() == 1 && middle_.front().IsPlain();
}

bool WildcardPattern::IsLiteral(std::string_view criterion) {
  return criterion.find_first_of("*?#[") == std::string_view::npos;
}

WildcardPattern WildcardPattern::Containing(std::string_view criterion) {
  std::string pattern;
  pattern.reserve(criterion.size() + 2);
  pattern.append("*").append(criterion).append("*");
  return WildcardPattern(pattern);
}

bool WildcardPattern::Matches(std::string_view text) const {
  if (one_search_) {
    return middle_.front().Find(text.data(), text.data() + text.size());
  }
  return MatchesSegments(text);
}

bool WildcardPattern::MatchesJoined(std::string_view within,
                                    std::string_view first,
                                    std::string_view separator,
                                    std::string_view second,
                                    std::string& scratch) const {
  if (!one_search_) {
    scratch.assign(first).append(separator).append(second);
    return MatchesSegments(scratch);
  }
  const WildcardSegment& literal = middle_.front();
  auto inside = [](const char* at, size_t size, std::string_view part) {
    return !part.empty() && at >= part.data() &&
           at + size <= part.data() + part.size();
  };
  const char* end = within.data() + within.size();
  for (const char* at = within.data();
       (at = at < end ? literal.Find(at, end) : nullptr) != nullptr; ++at) {
    if (inside(at, literal.size(), first) || inside(at, literal.size(), second)) {
      return true;
    }
  }
  // A match across a joint lies in the bytes around it, and it would hold
  // the bytes on both sides of the joint.
  const size_t reach = literal.size() - 1;
  if (separator.empty() && !first.empty() && !second.empty() &&
      (!literal.Holds(first.back()) || !literal.Holds(second.front()))) {
    return false;
  }
  scratch.assign(first.substr(first.size() - std::min(reach, first.size())))
      .append(separator)
      .append(second.substr(0, reach));
  return Matches(scratch);
}

// Each run of middle_ is taken at its leftmost place after the one before,
// which leaves the most room for those that follow. Out of line, so that a
// plain search in Matches costs no more than LiteralFinder's own.
[[gnu::noinline]] bool WildcardPattern::MatchesSegments(
    std::string_view text) const {
  if (text.size() < min_length_) return false;
  const char* at = text.data();
  if (!has_star_) return text.size() == min_length_ && head_.MatchesAt(at);
  const char* limit = at + (text.size() - tail_.size());
  if (!head_.MatchesAt(at) || !tail_.MatchesAt(limit)) return false;
  at += head_.size();
  for (const WildcardSegment& segment : middle_) {
    const char* found = segment.Find(at, limit);
    if (found == nullptr) return false;
    at = found + segment.size();
  }
  return true;
}

std::vector<std::string_view> WildcardPattern::RequiredLiterals() const {
  std::vector<std::string_view> literals;
  auto add = [&literals](const WildcardSegment& segment) {
    for (const std::string& literal : segment.literals()) {
      literals.push_back(literal);
    }
  };
  add(head_);
  for (const WildcardSegment& segment : middle_) add(segment);
  add(tail_);
  return literals;
}

}  // namespace kvo
