#include "logread/gzip_stream.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

namespace kvo {
namespace {

// Compressed bytes read at a time: about 900 KB of text at the usual ratio.
constexpr size_t kInputSize = 128 * 1024;
constexpr unsigned char kMagic[2] = {0x1f, 0x8b};
// The largest window, and the gzip wrapper only (no zlib or raw data).
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

constexpr char kTruncated[] = "unexpected end of compressed data";
constexpr char kInvalid[] = "invalid compressed data";
constexpr char kGarbage[] = "trailing garbage after compressed data";

// zlib's words for a member's damage, in the user's terms.
std::string DataErrorText(const char* zlib_message) {
  std::string message = zlib_message == nullptr ? "" : zlib_message;
  if (message == "incorrect data check") return "CRC mismatch";
  if (message == "incorrect length check") return "length mismatch";
  return kInvalid;
}

class GzipStream final : public ReadStream {
 public:
  explicit GzipStream(std::unique_ptr<ReadStream> compressed)
      : compressed_(std::move(compressed)),
        input_(std::make_unique_for_overwrite<unsigned char[]>(kInputSize)) {}
  ~GzipStream() override {
    if (zlib_ready_) inflateEnd(&zlib_);
  }
  // zlib's state points back at the z_stream: the object stays in place.
  GzipStream(const GzipStream&) = delete;
  GzipStream& operator=(const GzipStream&) = delete;

  ptrdiff_t Read(char* buffer, size_t size) override;
  std::string error() const override { return error_; }

 private:
  enum class State { kMemberStart, kInMember, kEnd, kFailed };

  // Makes at least `wanted` compressed bytes available at zlib_.next_in
  // unless the data ends first; false when reading them failed.
  bool Fill(size_t wanted);
  // Between members: begins the next one, or ends the data.
  void StartMember();
  // Zero bytes after the last member (block padding) end the data quietly.
  void SkipPadding();
  // Inflates up to `size` bytes into `buffer`; the count.
  size_t Inflate(char* buffer, size_t size);
  void Consume(size_t count);
  void Fail(std::string why);

  std::unique_ptr<ReadStream> compressed_;
  std::unique_ptr<unsigned char[]> input_;
  z_stream zlib_{};
  bool zlib_ready_ = false;   // inflateInit2 succeeded; inflateEnd is due
  bool input_ended_ = false;  // compressed_ has answered 0
  bool first_member_ = true;
  State state_ = State::kMemberStart;
  std::string error_;
};

ptrdiff_t GzipStream::Read(char* buffer, size_t size) {
  size = std::min<size_t>(size, UINT_MAX);  // zlib counts in 32 bits
  for (;;) {
    switch (state_) {
      case State::kMemberStart:
        StartMember();
        break;
      case State::kInMember: {
        // A member may end, or fail, without giving a byte: then go on.
        size_t produced = size == 0 ? 0 : Inflate(buffer, size);
        if (produced > 0 || size == 0) return static_cast<ptrdiff_t>(produced);
        break;
      }
      case State::kEnd:
        return 0;
      case State::kFailed:
        return -1;
    }
  }
}

bool GzipStream::Fill(size_t wanted) {
  if (zlib_.avail_in >= wanted || input_ended_) return true;
  if (zlib_.avail_in > 0) {
    std::memmove(input_.get(), zlib_.next_in, zlib_.avail_in);
  }
  zlib_.next_in = input_.get();
  while (zlib_.avail_in < wanted) {
    ptrdiff_t got = compressed_->Read(
        reinterpret_cast<char*>(input_.get()) + zlib_.avail_in,
        kInputSize - zlib_.avail_in);
    if (got < 0) {
      std::string why = compressed_->error();
      Fail(why.empty() ? "read error" : why);
      return false;
    }
    if (got == 0) {
      input_ended_ = true;
      break;
    }
    zlib_.avail_in += static_cast<uInt>(got);
  }
  return true;
}

void GzipStream::StartMember() {
  if (!Fill(sizeof kMagic)) return;
  if (zlib_.avail_in == 0) {
    if (first_member_) {
      Fail(kTruncated);
    } else {
      state_ = State::kEnd;
    }
    return;
  }
  const unsigned char* next = zlib_.next_in;
  if (!first_member_ && next[0] == 0) return SkipPadding();
  size_t compared = std::min<size_t>(zlib_.avail_in, sizeof kMagic);
  if (std::memcmp(next, kMagic, compared) != 0) {
    return Fail(first_member_ ? "not gzip data" : kGarbage);
  }
  if (compared < sizeof kMagic) return Fail(kTruncated);
  int status = zlib_ready_ ? inflateReset(&zlib_)
                           : inflateInit2(&zlib_, kGzipWindowBits);
  if (status != Z_OK) {
    return Fail(status == Z_MEM_ERROR ? "out of memory" : kInvalid);
  }
  zlib_ready_ = true;
  state_ = State::kInMember;
}

void GzipStream::SkipPadding() {
  for (;;) {
    const unsigned char* begin = zlib_.next_in;
    const unsigned char* end = begin + zlib_.avail_in;
    const unsigned char* other =
        std::find_if(begin, end, [](unsigned char byte) { return byte != 0; });
    Consume(static_cast<size_t>(other - begin));
    // As gzip does, anything after the padding, even another member, is
    // not taken.
    if (other != end) return Fail(kGarbage);
    if (!Fill(1)) return;
    if (zlib_.avail_in == 0) {
      state_ = State::kEnd;
      return;
    }
  }
}

size_t GzipStream::Inflate(char* buffer, size_t size) {
  if (!Fill(1)) return 0;
  zlib_.next_out = reinterpret_cast<Bytef*>(buffer);
  zlib_.avail_out = static_cast<uInt>(size);
  int status = inflate(&zlib_, Z_NO_FLUSH);
  size_t produced = size - zlib_.avail_out;
  switch (status) {
    case Z_OK:
      break;
    case Z_STREAM_END:
      first_member_ = false;
      state_ = State::kMemberStart;
      break;
    case Z_BUF_ERROR:  // no progress: Fill found no more input
      Fail(input_ended_ ? kTruncated : kInvalid);
      break;
    case Z_DATA_ERROR:
      Fail(DataErrorText(zlib_.msg));
      break;
    case Z_MEM_ERROR:
      Fail("out of memory");
      break;
    default:
      Fail(kInvalid);
      break;
  }
  return produced;
}

void GzipStream::Consume(size_t count) {
  zlib_.next_in += count;
  zlib_.avail_in -= static_cast<uInt>(count);
}

void GzipStream::Fail(std::string why) {
  error_ = std::move(why);
  state_ = State::kFailed;
}

}  // namespace

std::unique_ptr<ReadStream> MakeGzipStream(
    std::unique_ptr<ReadStream> compressed) {
  return std::make_unique<GzipStream>(std::move(compressed));
}

}  // namespace kvo
