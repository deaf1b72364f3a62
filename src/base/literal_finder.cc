#include "base/literal_finder.h"

#include "base/cpu_features.h"
#include "base/fold_table.h"

namespace kvo {

using internal::Fold;
using internal::HasAvx2;
using internal::kFoldTable;

namespace {

// What the block searches need of a literal: its two anchors and their
// forms, and a check of the whole literal at a candidate.
struct Needle {
  size_t size;
  size_t anchor0;
  size_t anchor1;
  const unsigned char (*forms)[2];
  const char* folded;

  bool MatchesAt(const char* at) const {
    for (size_t i = 0; i < size; ++i) {
      if (Fold(at[i]) != static_cast<unsigned char>(folded[i])) return false;
    }
    return true;
  }
  // The first candidate of a block whose bits mark where both anchors fit.
  const char* Verify(const char* block, unsigned mask, const char* end) const {
    while (mask != 0) {
      const char* at = block + __builtin_ctz(mask);
      if (at + size <= end && MatchesAt(at)) return at;
      mask &= mask - 1;
    }
    return nullptr;
  }
};

// One starting position at a time: the tail that the block searches leave,
// and the whole search where they are not built.
const char* FindScalar(const Needle& needle, const char* begin,
                       const char* end) {
  const unsigned char first = static_cast<unsigned char>(needle.folded[0]);
  for (const char* p = begin; end - p >= static_cast<ptrdiff_t>(needle.size);
       ++p) {
    if (Fold(*p) == first && needle.MatchesAt(p)) return p;
  }
  return nullptr;
}

#if defined(__SSE2__)
// Compares 16 starting positions at a time: a position is a candidate when
// the bytes at both anchors take one of their forms.
const char* FindSse2(const Needle& needle, const char*& begin,
                     const char* end) {
  const __m128i a0 = _mm_set1_epi8(static_cast<char>(needle.forms[0][0]));
  const __m128i a1 = _mm_set1_epi8(static_cast<char>(needle.forms[0][1]));
  const __m128i b0 = _mm_set1_epi8(static_cast<char>(needle.forms[1][0]));
  const __m128i b1 = _mm_set1_epi8(static_cast<char>(needle.forms[1][1]));
  const char* p = begin;
  for (; end - p >= static_cast<ptrdiff_t>(needle.anchor1 + 16); p += 16) {
    __m128i x = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(p + needle.anchor0));
    __m128i y = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(p + needle.anchor1));
    __m128i hit_x = _mm_or_si128(_mm_cmpeq_epi8(x, a0), _mm_cmpeq_epi8(x, a1));
    __m128i hit_y = _mm_or_si128(_mm_cmpeq_epi8(y, b0), _mm_cmpeq_epi8(y, b1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(hit_x, hit_y)));
    if (mask != 0) {
      if (const char* found = needle.Verify(p, mask, end)) return found;
    }
  }
  begin = p;
  return nullptr;
}
#endif

#if defined(KVO_HAVE_AVX2_PATH)
// The same with 32 positions at a time, for processors that have AVX2.
__attribute__((target("avx2"))) const char* FindAvx2(const Needle& needle,
                                                     const char*& begin,
                                                     const char* end) {
  const __m256i a0 = _mm256_set1_epi8(static_cast<char>(needle.forms[0][0]));
  const __m256i a1 = _mm256_set1_epi8(static_cast<char>(needle.forms[0][1]));
  const __m256i b0 = _mm256_set1_epi8(static_cast<char>(needle.forms[1][0]));
  const __m256i b1 = _mm256_set1_epi8(static_cast<char>(needle.forms[1][1]));
  const char* p = begin;
  for (; end - p >= static_cast<ptrdiff_t>(needle.anchor1 + 32); p += 32) {
    __m256i x = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(p + needle.anchor0));
    __m256i y = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(p + needle.anchor1));
    __m256i hit_x =
        _mm256_or_si256(_mm256_cmpeq_epi8(x, a0), _mm256_cmpeq_epi8(x, a1));
    __m256i hit_y =
        _mm256_or_si256(_mm256_cmpeq_epi8(y, b0), _mm256_cmpeq_epi8(y, b1));
    unsigned mask = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_and_si256(hit_x, hit_y)));
    if (mask != 0) {
      if (const char* found = needle.Verify(p, mask, end)) return found;
    }
  }
  begin = p;
  return nullptr;
}
#endif

}  // namespace

LiteralFinder::LiteralFinder(std::string_view literal) {
  folded_.reserve(literal.size());
  for (char c : literal) folded_ += static_cast<char>(Fold(c));
  if (folded_.empty()) return;
  anchor_[1] = folded_.size() - 1;
  for (int k = 0; k < 2; ++k) {
    const unsigned char lower = static_cast<unsigned char>(folded_[anchor_[k]]);
    forms_[k][0] = forms_[k][1] = lower;
    for (int c = 0; c < 256; ++c) {
      if (kFoldTable[c] == lower && c != lower) {
        forms_[k][1] = static_cast<unsigned char>(c);
      }
    }
  }
}

const char* LiteralFinder::Find(const char* begin, const char* end) const {
  if (folded_.empty()) return begin;
  if (end - begin < static_cast<ptrdiff_t>(folded_.size())) return nullptr;
  const Needle needle{folded_.size(), anchor_[0], anchor_[1], forms_,
                      folded_.data()};
#if defined(KVO_HAVE_AVX2_PATH)
  if (HasAvx2()) {
    if (const char* found = FindAvx2(needle, begin, end)) return found;
  }
#endif
#if defined(__SSE2__)
  if (const char* found = FindSse2(needle, begin, end)) return found;
#endif
  return FindScalar(needle, begin, end);
}

}  // namespace kvo
