#include "base/byte_search.h"

#include "base/cpu_features.h"

namespace kvo {
namespace {

using internal::HasAvx2;

// Appends the offsets of the set bits of `mask` (positions from `at`) until
// `most` are there; returns the new count.
size_t TakeBits(unsigned mask, size_t at, uint32_t* offsets, size_t count,
                size_t most) {
  while (mask != 0 && count < most) {
    offsets[count++] = static_cast<uint32_t>(at + __builtin_ctz(mask));
    mask &= mask - 1;
  }
  return count;
}

#if defined(KVO_HAVE_AVX2_PATH)
__attribute__((target("avx2"))) const char* FindLineEndAvx2(const char* p,
                                                            const char* end) {
  const __m256i cr = _mm256_set1_epi8('\r');
  const __m256i lf = _mm256_set1_epi8('\n');
  for (; end - p >= 32; p += 32) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
        _mm256_or_si256(_mm256_cmpeq_epi8(x, cr), _mm256_cmpeq_epi8(x, lf))));
    if (mask != 0) return p + __builtin_ctz(mask);
  }
  return p;
}

__attribute__((target("avx2"))) size_t FindTabsAvx2(const char* begin,
                                                    const char*& p,
                                                    const char* end,
                                                    uint32_t* offsets,
                                                    size_t most) {
  const __m256i tab = _mm256_set1_epi8('\t');
  size_t count = 0;
  for (; end - p >= 32 && count < most; p += 32) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    unsigned mask =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, tab)));
    count = TakeBits(mask, static_cast<size_t>(p - begin), offsets, count,
                     most);
  }
  return count;
}
#endif

#if defined(__SSE2__)
const char* FindLineEndSse2(const char* p, const char* end) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf))));
    if (mask != 0) return p + __builtin_ctz(mask);
  }
  return p;
}

size_t FindTabsSse2(const char* begin, const char*& p, const char* end,
                    uint32_t* offsets, size_t count, size_t most) {
  const __m128i tab = _mm_set1_epi8('\t');
  for (; end - p >= 16 && count < most; p += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, tab)));
    count = TakeBits(mask, static_cast<size_t>(p - begin), offsets, count,
                     most);
  }
  return count;
}
#endif

}  // namespace

const char* FindLineEnd(const char* begin, const char* end) {
  const char* p = begin;
#if defined(KVO_HAVE_AVX2_PATH)
  if (HasAvx2()) p = FindLineEndAvx2(p, end);
#endif
#if defined(__SSE2__)
  if (p == end || (*p != '\r' && *p != '\n')) p = FindLineEndSse2(p, end);
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

size_t FindTabs(const char* begin, const char* end, uint32_t* offsets,
                size_t most) {
  const char* p = begin;
  size_t count = 0;
#if defined(KVO_HAVE_AVX2_PATH)
  if (HasAvx2()) count = FindTabsAvx2(begin, p, end, offsets, most);
#endif
#if defined(__SSE2__)
  count = FindTabsSse2(begin, p, end, offsets, count, most);
#endif
  for (; p < end && count < most; ++p) {
    if (*p == '\t') offsets[count++] = static_cast<uint32_t>(p - begin);
  }
  return count;
}

}  // namespace kvo
