#ifndef KVO_BASE_BYTE_SEARCH_H_
#define KVO_BASE_BYTE_SEARCH_H_

// Block searches for the few bytes that structure a log: line ends and the
// TAB between columns, many positions at a time.

#include <cstddef>
#include <cstdint>

namespace kvo {

// The first CR or LF in [begin, end), or `end` when there is none.
const char* FindLineEnd(const char* begin, const char* end);

// The offsets from `begin` of the first TABs in [begin, end), at most `most`
// of them, into `offsets`; returns how many were found.
size_t FindTabs(const char* begin, const char* end, uint32_t* offsets,
                size_t most);

// Looks for the first CR or LF in [from, end) and notes the TABs before it
// as it goes: their offsets from `line` (where the line began; `from` may
// lie further on) are added to `offsets` after the `count` there, up to
// `most`. Returns the line end, or `end`. The bytes from `end` up to
// kScanSlack past it must be readable (their values do not matter).
inline constexpr size_t kScanSlack = 32;
const char* ScanLine(const char* line, const char* from, const char* end,
                     uint32_t* offsets, size_t& count, size_t most);

}  // namespace kvo

#endif  // KVO_BASE_BYTE_SEARCH_H_
