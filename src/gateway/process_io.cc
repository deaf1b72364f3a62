#include "gateway/process_io.h"

#include <errno.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdlib>

namespace kvo {

void ByteSink::WriteBoth(std::string_view first, std::string_view second) {
  std::string joined;
  joined.reserve(first.size() + second.size());
  joined.append(first).append(second);
  Write(joined);
}

void PieceWriter::Flush() {
  if (out_ == nullptr || text_.empty()) return;
  out_->Write(text_);
  text_.clear();
}

std::string ProcessEnvironment::Get(const char* name) const {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

size_t FdSource::Read(char* buffer, size_t size) {
  for (;;) {
    ssize_t got = ::read(fd_, buffer, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return 0;
  }
}

namespace {

// A client that went away wants nothing more: the run ends at once, quietly,
// whatever it was still doing. Other failures only lose the output.
void EndWhenClientLeft() {
  if (errno == EPIPE || errno == ECONNRESET) std::_Exit(0);
}

}  // namespace

void FdSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) EndWhenClientLeft();
    if (put <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
}

void FdSink::WriteBoth(std::string_view first, std::string_view second) {
  while (!first.empty()) {
    iovec parts[2] = {{const_cast<char*>(first.data()), first.size()},
                      {const_cast<char*>(second.data()), second.size()}};
    ssize_t put = ::writev(fd_, parts, 2);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) EndWhenClientLeft();
    if (put <= 0) return;  // as in Write: the output has gone away
    size_t done = static_cast<size_t>(put);
    if (done >= first.size()) {
      second.remove_prefix(done - first.size());
      first = {};
    } else {
      first.remove_prefix(done);
    }
  }
  Write(second);
}

// Both fail harmlessly (ESPIPE, EINVAL) when standard output is a pipe.
void FdSink::Rewind() { ::lseek(fd_, 0, SEEK_SET); }

void FdSink::TruncateHere() {
  off_t offset = ::lseek(fd_, 0, SEEK_CUR);
  if (offset >= 0) (void)::ftruncate(fd_, offset);
}

}  // namespace kvo
