#ifndef KVO_LOGREAD_GZIP_STREAM_H_
#define KVO_LOGREAD_GZIP_STREAM_H_

#include <memory>

#include "logread/read_stream.h"

namespace kvo {

// The inflated bytes of the gzip data that `compressed` holds, read as zcat
// reads them: several members one after the other make one stream, and zero
// bytes after the last member are ignored. Memory stays fixed whatever the
// size of the data. Whatever was inflated before damage is delivered first;
// then Read answers -1 and error() says what was found: "not gzip data",
// "unexpected end of compressed data", "invalid compressed data",
// "CRC mismatch", "length mismatch", "trailing garbage after compressed
// data", or the error of `compressed` itself.
std::unique_ptr<ReadStream> MakeGzipStream(
    std::unique_ptr<ReadStream> compressed);

}  // namespace kvo

#endif  // KVO_LOGREAD_GZIP_STREAM_H_
