// The case-insensitive literal search against a plain byte-by-byte search,
// at every alignment of the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/literal_finder.h"
#include "base/text_case.h"
#include "fuzz/split_input.h"

namespace {

const char* NaiveFind(const std::string& literal, const char* begin,
                      const char* end) {
  for (const char* at = begin; static_cast<size_t>(end - at) >= literal.size();
       ++at) {
    size_t i = 0;
    while (i < literal.size() &&
           kvo::FoldCase(static_cast<unsigned char>(at[i])) ==
               kvo::FoldCase(static_cast<unsigned char>(literal[i]))) {
      ++i;
    }
    if (i == literal.size()) return at;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [literal_view, text_view] = kvo::fuzz::SplitInput<2>(data, size);
  std::string literal(literal_view);
  std::string text(text_view);
  kvo::LiteralFinder finder(literal);
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  for (const char* from = begin; from <= end && from < begin + 64; ++from) {
    if (finder.Find(from, end) != NaiveFind(literal, from, end))
      __builtin_trap();
  }
  return 0;
}
