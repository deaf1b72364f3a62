#ifndef KVO_LOGREAD_READ_STREAM_H_
#define KVO_LOGREAD_READ_STREAM_H_

#include <cstddef>
#include <string>

namespace kvo {

// Where the bytes of one log file come from: the file itself, or a gzipped
// file inflated on the way. The line reader knows only this.
class ReadStream {
 public:
  virtual ~ReadStream() = default;

  // Reads up to `size` bytes into `buffer`: the count, 0 at the end of the
  // data, -1 when reading failed (then error() says why). Once it has
  // answered -1 it keeps answering so. After 0, a stream over a file that
  // grows may give more later; an inflated stream stays at its end.
  virtual ptrdiff_t Read(char* buffer, size_t size) = 0;

  // Why reading failed, for a notice ("Input/output error", "unexpected end
  // of compressed data"); empty while it has not.
  virtual std::string error() const = 0;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_READ_STREAM_H_
