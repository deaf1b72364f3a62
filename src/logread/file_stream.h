#ifndef KVO_LOGREAD_FILE_STREAM_H_
#define KVO_LOGREAD_FILE_STREAM_H_

#include <cstdint>
#include <string>

#include "base/unique_fd.h"
#include "logread/read_stream.h"

namespace kvo {

// The bytes of an open file, read with read(2); owns the descriptor.
class FileStream final : public ReadStream {
 public:
  explicit FileStream(UniqueFd fd) : fd_(std::move(fd)) {}

  ptrdiff_t Read(char* buffer, size_t size) override;
  std::string error() const override;

  // Goes on reading at `offset`; false when the file cannot be positioned.
  bool SeekTo(uint64_t offset);

 private:
  UniqueFd fd_;
  int error_ = 0;  // errno of the failed read
};

}  // namespace kvo

#endif  // KVO_LOGREAD_FILE_STREAM_H_
