// Inflates a gzipped log the ways the inflater was chosen by (bench/inflate
// times it beside zcat):
//
//   KvoInflateBench zlib|isal|stream FILE.gz [LITERAL]
//
// zlib, isal: the library's own loop, 128 KiB in, 1 MiB out; stream: through
// MakeGzipStream into a 1 MiB buffer, as the reader would. With LITERAL, each
// buffer is searched for it as the listing searches a criterion (caseless,
// LiteralFinder; an occurrence across two buffers is missed, which is fine
// for timing). Prints the inflated bytes and the occurrences found.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef KVO_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#endif

#include "base/literal_finder.h"
#include "logread/gzip_stream.h"

namespace {

constexpr size_t kInputSize = 128 * 1024;
constexpr size_t kOutputSize = 1 << 20;

// A file descriptor as a ReadStream (the bench's own; owns the descriptor).
class FdStream final : public kvo::ReadStream {
 public:
  explicit FdStream(int fd) : fd_(fd) {}
  ~FdStream() override { ::close(fd_); }
  ptrdiff_t Read(char* buffer, size_t size) override {
    ptrdiff_t count = ::read(fd_, buffer, size);
    if (count < 0) error_ = std::strerror(errno);
    return count;
  }
  std::string error() const override { return error_; }

 private:
  int fd_;
  std::string error_;
};

struct Totals {
  long long bytes = 0;
  long long found = 0;
};

void Search(const char* begin, size_t size, const kvo::LiteralFinder* finder,
            Totals& totals) {
  totals.bytes += static_cast<long long>(size);
  if (finder == nullptr) return;
  const char* end = begin + size;
  while (const char* at = finder->Find(begin, end)) {
    ++totals.found;
    begin = at + finder->size();
  }
}

bool InflateWithZlib(int fd, const kvo::LiteralFinder* finder, Totals& totals) {
  std::vector<unsigned char> in(kInputSize), out(kOutputSize);
  z_stream zlib{};
  if (inflateInit2(&zlib, 16 + MAX_WBITS) != Z_OK) return false;
  ptrdiff_t got = 0;
  while ((got = ::read(fd, in.data(), in.size())) > 0) {
    zlib.next_in = in.data();
    zlib.avail_in = static_cast<uInt>(got);
    while (zlib.avail_in > 0) {
      zlib.next_out = out.data();
      zlib.avail_out = static_cast<uInt>(out.size());
      int status = inflate(&zlib, Z_NO_FLUSH);
      Search(reinterpret_cast<char*>(out.data()), out.size() - zlib.avail_out,
             finder, totals);
      if (status == Z_STREAM_END) {
        inflateReset(&zlib);
      } else if (status != Z_OK) {
        return false;
      }
    }
  }
  inflateEnd(&zlib);
  return got == 0;
}

#ifdef KVO_HAVE_ISAL
bool InflateWithIsal(int fd, const kvo::LiteralFinder* finder, Totals& totals) {
  std::vector<unsigned char> in(kInputSize), out(kOutputSize);
  auto state = std::make_unique<inflate_state>();
  isal_inflate_init(state.get());
  state->crc_flag = ISAL_GZIP;
  ptrdiff_t got = 0;
  while ((got = ::read(fd, in.data(), in.size())) > 0) {
    state->next_in = in.data();
    state->avail_in = static_cast<uint32_t>(got);
    do {
      state->next_out = out.data();
      state->avail_out = static_cast<uint32_t>(out.size());
      if (isal_inflate(state.get()) != ISAL_DECOMP_OK) return false;
      Search(reinterpret_cast<char*>(out.data()), out.size() - state->avail_out,
             finder, totals);
      if (state->block_state == ISAL_BLOCK_FINISH) {
        isal_inflate_reset(state.get());
        state->crc_flag = ISAL_GZIP;
      }
    } while (state->avail_in > 0 || state->avail_out == 0);
  }
  return got == 0;
}
#endif

bool InflateWithStream(int fd, const kvo::LiteralFinder* finder,
                       Totals& totals) {
  std::unique_ptr<kvo::ReadStream> stream =
      kvo::MakeGzipStream(std::make_unique<FdStream>(fd));
  auto buffer = std::make_unique_for_overwrite<char[]>(kOutputSize);
  ptrdiff_t got = 0;
  while ((got = stream->Read(buffer.get(), kOutputSize)) > 0) {
    Search(buffer.get(), static_cast<size_t>(got), finder, totals);
  }
  if (got < 0) std::fprintf(stderr, "%s\n", stream->error().c_str());
  return got == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s zlib|isal|stream FILE.gz [LITERAL]\n",
                 argv[0]);
    return 2;
  }
  std::string way = argv[1];
  int fd = ::open(argv[2], O_RDONLY);
  if (fd < 0) {
    std::perror(argv[2]);
    return 1;
  }
  std::optional<kvo::LiteralFinder> finder;
  if (argc > 3) finder.emplace(argv[3]);
  const kvo::LiteralFinder* search = finder ? &*finder : nullptr;
  Totals totals;
  bool ok = false;
  if (way == "zlib") {
    ok = InflateWithZlib(fd, search, totals);
#ifdef KVO_HAVE_ISAL
  } else if (way == "isal") {
    ok = InflateWithIsal(fd, search, totals);
#endif
  } else if (way == "stream") {
    ok = InflateWithStream(fd, search, totals);
    fd = -1;  // closed by the stream
  } else {
    std::fprintf(stderr, "%s: not built in\n", way.c_str());
    return 2;
  }
  if (fd >= 0) ::close(fd);
  std::printf("%lld bytes, %lld found\n", totals.bytes, totals.found);
  return ok ? 0 : 1;
}
