#ifndef KVO_BASE_CPU_FEATURES_H_
#define KVO_BASE_CPU_FEATURES_H_

// What the processor offers to the block searches of this folder.

#if defined(__SSE2__)
#include <immintrin.h>
#endif
// glibc's header is C only as far as clang is concerned (_Bool).
#if defined(__x86_64__) && !defined(__clang__) && \
    __has_include(<sys/platform/x86.h>)
#define KVO_CPU_FEATURES_FROM_LIBC 1
#include <sys/platform/x86.h>
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define KVO_HAVE_AVX2_PATH 1
#endif

namespace kvo::internal {

#if defined(KVO_HAVE_AVX2_PATH)
// Asks the C library, which has examined the processor at start-up anyway:
// the compiler's own check would examine it again in every process, and
// each such question is slow inside a virtual machine.
inline bool HasAvx2() {
#ifdef KVO_CPU_FEATURES_FROM_LIBC
  static const bool has = CPU_FEATURE_ACTIVE(AVX2);
#else
  static const bool has = __builtin_cpu_supports("avx2");
#endif
  return has;
}
#endif

}  // namespace kvo::internal

#endif  // KVO_BASE_CPU_FEATURES_H_
