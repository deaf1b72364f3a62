#ifndef KVO_TESTS_SUPPORT_GZIP_BYTES_H_
#define KVO_TESTS_SUPPORT_GZIP_BYTES_H_

#include <zlib.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace kvo::test {

// `text` as one gzip member, compressed at `level` (0 stores it).
inline std::string GzipBytes(std::string_view text,
                             int level = Z_DEFAULT_COMPRESSION) {
  z_stream zlib{};
  if (deflateInit2(&zlib, level, Z_DEFLATED, 16 + MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    std::abort();
  }
  std::string gzip(deflateBound(&zlib, static_cast<uLong>(text.size())), '\0');
  zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  zlib.avail_in = static_cast<uInt>(text.size());
  zlib.next_out = reinterpret_cast<Bytef*>(gzip.data());
  zlib.avail_out = static_cast<uInt>(gzip.size());
  if (deflate(&zlib, Z_FINISH) != Z_STREAM_END) std::abort();
  gzip.resize(zlib.total_out);
  deflateEnd(&zlib);
  return gzip;
}

}  // namespace kvo::test

#endif  // KVO_TESTS_SUPPORT_GZIP_BYTES_H_
