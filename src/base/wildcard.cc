#include "base/wildcard.h"

#include "base/fold_table.h"
#include "base/runtime_error.h"

namespace kvo {
namespace {

using internal::Fold;

constexpr int32_t kErrInvalidPattern = 93;

[[noreturn]] void ThrowInvalidPattern() {
  throw RuntimeError(kErrInvalidPattern, "KvoViewLog",
                     "Invalid pattern string");
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    Token token;
    if (c == '*') {
      if (!tokens_.empty() && tokens_.back().star) continue;
      token.star = true;
    } else if (c == '?') {
      token.bytes.fill(~uint64_t{0});
    } else if (c == '#') {
      for (unsigned char d = '0'; d <= '9'; ++d) token.Add(d);
    } else if (c == '[') {
      size_t close = pattern.find(']', i + 1);
      if (close == std::string_view::npos) ThrowInvalidPattern();
      std::string_view list = pattern.substr(i + 1, close - i - 1);
      i = close;
      if (list.empty()) continue;  // "[]" stands for no character at all
      bool negated = list.front() == '!';
      if (negated) list.remove_prefix(1);
      // The list as folded bytes, ranges over folded values.
      std::array<bool, 256> folded{};
      for (size_t k = 0; k < list.size(); ++k) {
        unsigned char low = Fold(list[k]);
        unsigned char high = low;
        if (k + 2 < list.size() && list[k + 1] == '-') {
          high = Fold(list[k + 2]);
          if (high < low) ThrowInvalidPattern();
          k += 2;
        }
        for (int f = low; f <= high; ++f) folded[f] = true;
      }
      for (int b = 0; b < 256; ++b) {
        if (folded[Fold(static_cast<char>(b))] != negated) {
          token.Add(static_cast<unsigned char>(b));
        }
      }
    } else {
      unsigned char folded = Fold(c);
      for (int b = 0; b < 256; ++b) {
        if (Fold(static_cast<char>(b)) == folded) {
          token.Add(static_cast<unsigned char>(b));
        }
      }
    }
    tokens_.push_back(token);
  }
}

bool WildcardPattern::IsLiteral(std::string_view criterion) {
  return criterion.find_first_of("*?#[") == std::string_view::npos;
}

WildcardPattern WildcardPattern::Containing(std::string_view criterion) {
  if (!IsLiteral(criterion)) {
    std::string pattern;
    pattern.reserve(criterion.size() + 2);
    pattern.append("*").append(criterion).append("*");
    return WildcardPattern(pattern);
  }
  WildcardPattern result;
  result.literal_.emplace(criterion);
  return result;
}

bool WildcardPattern::Matches(std::string_view text) const {
  if (literal_) {
    // An empty text may have no data pointer: Find's answer would be null.
    return literal_->size() == 0 ||
           literal_->Find(text.data(), text.data() + text.size()) != nullptr;
  }
  return MatchesTokens(text);
}

// Every token but "*" takes exactly one character, so on a mismatch only
// the last "*" needs to take one more; nothing older is revisited.
bool WildcardPattern::MatchesTokens(std::string_view text) const {
  const size_t count = tokens_.size();
  size_t t = 0;
  size_t p = 0;
  size_t star = count;  // index of the last "*" seen, count when none
  size_t star_text = 0;
  while (t < text.size()) {
    if (p < count && tokens_[p].star) {
      star = p++;
      star_text = t;
    } else if (p < count &&
               tokens_[p].Has(static_cast<unsigned char>(text[t]))) {
      ++p;
      ++t;
    } else if (star < count) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < count && tokens_[p].star) ++p;
  return p == count;
}

}  // namespace kvo
