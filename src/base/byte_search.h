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

}  // namespace kvo

#endif  // KVO_BASE_BYTE_SEARCH_H_
