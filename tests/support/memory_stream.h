#ifndef KVO_TESTS_SUPPORT_MEMORY_STREAM_H_
#define KVO_TESTS_SUPPORT_MEMORY_STREAM_H_

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "logread/read_stream.h"

namespace kvo::test {

// The bytes of a string as a ReadStream. Each Read hands out at most the next
// of `pieces` (taken in turn; none: no limit), as a file or pipe may. At the
// end it answers 0, or -1 with `failure` when that is not empty.
class MemoryStream final : public ReadStream {
 public:
  explicit MemoryStream(std::string bytes, std::vector<size_t> pieces = {},
                        std::string failure = {})
      : bytes_(std::move(bytes)),
        pieces_(std::move(pieces)),
        failure_(std::move(failure)) {}

  ptrdiff_t Read(char* buffer, size_t size) override {
    if (position_ == bytes_.size()) return failure_.empty() ? 0 : -1;
    size_t count = std::min(size, bytes_.size() - position_);
    if (!pieces_.empty()) {
      count = std::min(count, std::max<size_t>(pieces_[next_piece_], 1));
      next_piece_ = (next_piece_ + 1) % pieces_.size();
    }
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return static_cast<ptrdiff_t>(count);
  }

  std::string error() const override {
    return position_ == bytes_.size() ? failure_ : std::string();
  }

 private:
  std::string bytes_;
  std::vector<size_t> pieces_;
  std::string failure_;
  size_t position_ = 0;
  size_t next_piece_ = 0;
};

}  // namespace kvo::test

#endif  // KVO_TESTS_SUPPORT_MEMORY_STREAM_H_
