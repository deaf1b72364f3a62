#ifndef KVO_TESTS_FUZZ_SPLIT_INPUT_H_
#define KVO_TESTS_FUZZ_SPLIT_INPUT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvo::fuzz {

// The first N lines of a fuzzer's input (missing ones empty); the last one
// keeps whatever follows.
template <size_t N>
std::array<std::string_view, N> SplitInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::array<std::string_view, N> parts;
  for (size_t i = 0; i < N; ++i) {
    size_t cut = i + 1 == N ? std::string_view::npos : input.find('\n');
    parts[i] = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view()
                                          : input.substr(cut + 1);
  }
  return parts;
}

}  // namespace kvo::fuzz

#endif  // KVO_TESTS_FUZZ_SPLIT_INPUT_H_
