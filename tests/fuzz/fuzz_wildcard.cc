// Wildcard patterns: compile and match arbitrary criteria against arbitrary
// texts. The segment matcher must agree with the plain token walk below, for
// whole patterns and for "contains" criteria, and a text it takes must hold
// every required literal.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "base/text_case.h"
#include "base/wildcard.h"
#include "fuzz/split_input.h"

namespace {

// The pattern as a list of tokens, matched by walking text and tokens
// together; throws like WildcardPattern for a malformed pattern.
class TokenPattern {
 public:
  explicit TokenPattern(std::string_view pattern) {
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
        if (close == std::string_view::npos) Throw();
        std::string_view list = pattern.substr(i + 1, close - i - 1);
        i = close;
        if (list.empty()) continue;
        bool negated = list.front() == '!';
        if (negated) list.remove_prefix(1);
        std::array<bool, 256> folded{};
        for (size_t k = 0; k < list.size(); ++k) {
          unsigned char low = Fold(list[k]);
          unsigned char high = low;
          if (k + 2 < list.size() && list[k + 1] == '-') {
            high = Fold(list[k + 2]);
            if (high < low) Throw();
            k += 2;
          }
          for (size_t f = low; f <= high; ++f) folded[f] = true;
        }
        for (int b = 0; b < 256; ++b) {
          if (folded[Fold(static_cast<char>(b))] != negated) {
            token.Add(static_cast<unsigned char>(b));
          }
        }
      } else {
        for (int b = 0; b < 256; ++b) {
          if (Fold(static_cast<char>(b)) == Fold(c)) {
            token.Add(static_cast<unsigned char>(b));
          }
        }
      }
      tokens_.push_back(token);
    }
  }

  bool Matches(std::string_view text) const {
    const size_t count = tokens_.size();
    size_t t = 0;
    size_t p = 0;
    size_t star = count;
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

 private:
  struct Token {
    bool star = false;
    std::array<uint64_t, 4> bytes{};

    bool Has(unsigned char c) const { return (bytes[c >> 6] >> (c & 63)) & 1; }
    void Add(unsigned char c) { bytes[c >> 6] |= uint64_t{1} << (c & 63); }
  };

  static unsigned char Fold(char c) {
    static const std::array<unsigned char, 256> kTable = [] {
      std::array<unsigned char, 256> table{};
      for (size_t b = 0; b < 256; ++b) {
        table[b] = kvo::FoldCase(static_cast<unsigned char>(b));
      }
      return table;
    }();
    return kTable[static_cast<unsigned char>(c)];
  }
  [[noreturn]] static void Throw() {
    throw kvo::RuntimeError(93, "KvoViewLog", "Invalid pattern string");
  }

  std::vector<Token> tokens_;
};

// Whether `pattern` matches `text`, nullopt when it is malformed.
template <typename Pattern>
std::optional<bool> Verdict(std::string_view pattern, std::string_view text) {
  try {
    return Pattern(pattern).Matches(text);
  } catch (const kvo::RuntimeError& error) {
    if (error.number() != 93) __builtin_trap();
    return std::nullopt;
  }
}

// Every required literal of a pattern that takes `text` is in it.
void CheckRequiredLiterals(const kvo::WildcardPattern& pattern,
                           std::string_view text) {
  const std::string folded = kvo::FoldCase(text);
  for (std::string_view literal : pattern.RequiredLiterals()) {
    if (literal.empty()) __builtin_trap();
    if (folded.find(kvo::FoldCase(literal)) == std::string::npos) {
      __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [criterion, text] = kvo::fuzz::SplitInput<2>(data, size);
  std::optional<bool> whole = Verdict<kvo::WildcardPattern>(criterion, text);
  if (whole != Verdict<TokenPattern>(criterion, text)) __builtin_trap();
  const std::string containing = "*" + std::string(criterion) + "*";
  std::optional<bool> expected = Verdict<TokenPattern>(containing, text);
  try {
    auto contains = kvo::WildcardPattern::Containing(criterion);
    if (contains.Matches(text) != expected) __builtin_trap();
    if (*expected) CheckRequiredLiterals(contains, text);
  } catch (const kvo::RuntimeError& error) {
    if (error.number() != 93 || expected) __builtin_trap();
  }
  return 0;
}
