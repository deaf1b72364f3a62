#include "gateway/process_io.h"

#include <errno.h>
#include <unistd.h>

#include <cstdlib>

namespace kvo {

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

void FdSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    // The client went away (EPIPE) or the output failed: the rest of the
    // response has nowhere to go.
    if (put <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
}

// Both fail harmlessly (ESPIPE, EINVAL) when standard output is a pipe.
void FdSink::Rewind() { ::lseek(fd_, 0, SEEK_SET); }

void FdSink::TruncateHere() {
  off_t offset = ::lseek(fd_, 0, SEEK_CUR);
  if (offset >= 0) (void)::ftruncate(fd_, offset);
}

}  // namespace kvo
