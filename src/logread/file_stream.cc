#include "logread/file_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kvo {

ptrdiff_t FileStream::Read(char* buffer, size_t size) {
  if (error_ != 0) return -1;
  for (;;) {
    ssize_t got = ::read(fd_.get(), buffer, size);
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    error_ = errno;
    return -1;
  }
}

bool FileStream::SeekTo(uint64_t offset) {
  return ::lseek(fd_.get(), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::string FileStream::error() const {
  return error_ == 0 ? std::string() : std::strerror(error_);
}

}  // namespace kvo
