#ifndef KVO_GATEWAY_PROCESS_IO_H_
#define KVO_GATEWAY_PROCESS_IO_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kvo {

// The only ways the program touches its process: the environment, standard
// input and standard output. Tests put fakes in their place.

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value; the empty text when it is not set.
  virtual std::string Get(const char* name) const = 0;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes; returns how many, 0 at the end of the input or
  // on an error.
  virtual size_t Read(char* buffer, size_t size) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes every byte, or as many as the receiver takes before it goes away.
  virtual void Write(std::string_view bytes) = 0;
  // Writes `first` and then `second` as one write, like Write of the two
  // joined; a sink that can gather two buffers saves the joining copy.
  virtual void WriteBoth(std::string_view first, std::string_view second);
  // Moves the write position to the start (a no-op where that cannot be done,
  // such as on a pipe).
  virtual void Rewind() = 0;
  // Ends the output at the write position (a no-op where that cannot be done).
  virtual void TruncateHere() = 0;
};

// Text that grows in a string and goes to a sink in pieces of about 64 KiB,
// so that a long answer is written as it is made in bounded memory. Without
// a sink it keeps the whole text.
class PieceWriter {
 public:
  // Room for a piece and the row that completes it is taken at once: every
  // page that a growing string touched anew would cost a page fault.
  explicit PieceWriter(ByteSink* out) : out_(out) {
    text_.reserve(kPieceBytes + kPieceBytes / 4);
  }

  std::string& text() { return text_; }
  // Hands the text on once a piece has gathered.
  void FlushWhenFull() {
    if (text_.size() >= kPieceBytes) Flush();
  }
  void Flush();
  // What was kept (everything without a sink).
  std::string Take() { return std::move(text_); }

 private:
  static constexpr size_t kPieceBytes = 64 * 1024;
  ByteSink* out_;
  std::string text_;
};

// The real process: getenv, file descriptors 0 and 1.
class ProcessEnvironment final : public Environment {
 public:
  std::string Get(const char* name) const override;
};

class FdSource final : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  size_t Read(char* buffer, size_t size) override;

 private:
  int fd_;
};

// Writes to a file descriptor. When the reader went away (EPIPE), the process
// ends at once with exit status 0: nobody waits for the rest.
class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  void Write(std::string_view bytes) override;  // repeats partial writes
  void WriteBoth(std::string_view first,
                 std::string_view second) override;  // writev
  void Rewind() override;                        // lseek(fd, 0, SEEK_SET)
  void TruncateHere() override;                  // ftruncate at the offset

 private:
  int fd_;
};

}  // namespace kvo

#endif  // KVO_GATEWAY_PROCESS_IO_H_
