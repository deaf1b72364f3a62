#ifndef KVO_BASE_RARE_LITERAL_H_
#define KVO_BASE_RARE_LITERAL_H_

#include <cstddef>
#include <span>
#include <string_view>

namespace kvo {

// A guess at how few lines of a mail log hold `literal`, higher for rarer:
// every line has digits, blanks and punctuation in its date, time and
// addresses, so those bytes count 1, letters and bytes outside ASCII 4.
size_t LiteralRarity(std::string_view literal);

// The rarest of `literals` by LiteralRarity (the first of equals), for the
// reader to search its buffer for; empty when there are none.
std::string_view RarestLiteral(std::span<const std::string_view> literals);

}  // namespace kvo

#endif  // KVO_BASE_RARE_LITERAL_H_
