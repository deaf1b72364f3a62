// Bytes through the gzip stream, read in random sizes from a file that hands
// them out in random pieces: it must never crash, loop or read out of
// bounds, must answer its last answer again, and must say why it failed.
// Bytes compressed by zlib itself (in one or two members) must come back
// exactly.
//
// Input: a flags byte (bit 0: compress the rest first; bits 1-4: the level),
// four bytes that seed the read and piece sizes, then the data.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "logread/gzip_stream.h"
#include "support/gzip_bytes.h"
#include "support/memory_stream.h"

namespace {

constexpr size_t kHeader = 5;

// Everything the stream delivers; `ended` tells a clean end from a failure.
std::string ReadAll(kvo::ReadStream& stream, std::minstd_rand& random,
                    bool& ended) {
  std::string text;
  std::vector<char> buffer(70000);
  for (;;) {
    size_t size = random() % 4 == 0 ? buffer.size() : 1 + random() % 300;
    ptrdiff_t count = stream.Read(buffer.data(), size);
    if (count > static_cast<ptrdiff_t>(size)) __builtin_trap();
    if (count <= 0) {
      if (stream.Read(buffer.data(), size) != count) __builtin_trap();
      if (stream.error().empty() != (count == 0)) __builtin_trap();
      ended = count == 0;
      return text;
    }
    text.append(buffer.data(), static_cast<size_t>(count));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  uint8_t flags = data[0];
  uint32_t seed = 0;
  for (size_t i = 1; i < kHeader; ++i) seed = seed << 8 | data[i];
  std::minstd_rand random(seed);
  std::string_view payload(reinterpret_cast<const char*>(data) + kHeader,
                           size - kHeader);
  std::vector<size_t> pieces;
  for (int i = 0; i < 5; ++i) pieces.push_back(1 + random() % 200);

  bool round_trip = (flags & 1) != 0;
  std::string gzip(payload);
  if (round_trip) {
    int level = (flags >> 1) % 10;
    size_t half = payload.size() / 2;
    gzip = kvo::test::GzipBytes(payload.substr(0, half), level) +
           kvo::test::GzipBytes(payload.substr(half), level);
  }
  std::unique_ptr<kvo::ReadStream> stream = kvo::MakeGzipStream(
      std::make_unique<kvo::test::MemoryStream>(gzip, pieces));
  bool ended = false;
  std::string text = ReadAll(*stream, random, ended);
  if (round_trip && (!ended || text != payload)) __builtin_trap();
  return 0;
}
