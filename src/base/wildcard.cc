#include "base/wildcard.h"

#include <algorithm>
#include <cstring>

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

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?#[") != std::string_view::npos;
}

// The other-case partner of a folded byte, or the byte itself.
unsigned char UpperPartner(unsigned char folded) {
  for (int c = 0; c < 256; ++c) {
    if (c != folded && internal::kFoldTable[c] == folded) {
      return static_cast<unsigned char>(c);
    }
  }
  return folded;
}

size_t Find(std::string_view text, unsigned char byte, size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
  if (hit == nullptr) return std::string_view::npos;
  return static_cast<size_t>(static_cast<const char*>(hit) - text.data());
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

WildcardPattern WildcardPattern::Containing(std::string_view criterion) {
  if (HasWildcards(criterion)) {
    std::string pattern;
    pattern.reserve(criterion.size() + 2);
    pattern.append("*").append(criterion).append("*");
    return WildcardPattern(pattern);
  }
  WildcardPattern result;
  result.substring_ = true;
  result.needle_.reserve(criterion.size());
  for (char c : criterion) result.needle_ += static_cast<char>(Fold(c));
  if (!criterion.empty()) {
    result.needle_partner_ =
        UpperPartner(static_cast<unsigned char>(result.needle_[0]));
  }
  return result;
}

bool WildcardPattern::Matches(std::string_view text) const {
  return substring_ ? ContainsNeedle(text) : MatchesTokens(text);
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

// Finds candidates with memchr for both cases of the needle's first byte,
// each remembered until passed, then compares the rest folded.
bool WildcardPattern::ContainsNeedle(std::string_view text) const {
  const size_t n = needle_.size();
  if (n == 0) return true;
  if (text.size() < n) return false;
  const unsigned char lower = static_cast<unsigned char>(needle_[0]);
  const unsigned char upper = needle_partner_;
  const size_t last_start = text.size() - n;
  constexpr size_t npos = std::string_view::npos;
  size_t next_lower = Find(text, lower, 0);
  size_t next_upper = upper == lower ? npos : Find(text, upper, 0);
  while (true) {
    size_t at = std::min(next_lower, next_upper);
    if (at == npos || at > last_start) return false;
    size_t k = 1;
    while (k < n &&
           Fold(text[at + k]) == static_cast<unsigned char>(needle_[k])) {
      ++k;
    }
    if (k == n) return true;
    if (at == next_lower) {
      next_lower = Find(text, lower, at + 1);
    } else {
      next_upper = Find(text, upper, at + 1);
    }
  }
}

}  // namespace kvo
