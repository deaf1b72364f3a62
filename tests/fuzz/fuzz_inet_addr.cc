// InetAddr against the C library's inet_addr over any text, and the
// canonical quad reader against the dotted text of the address it reads.
#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "net/inet_addr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const uint32_t ours = kvo::InetAddr(text);
  const bool has_nul = text.find('\0') != std::string::npos;
  if (ours != (has_nul ? INADDR_NONE : ::inet_addr(text.c_str()))) {
    __builtin_trap();
  }
  // The canonical form of what inet_addr reads is a canonical quad, and the
  // only one: no other text may pass for it.
  const uint32_t host = ntohl(ours);
  char dotted[16];
  std::snprintf(dotted, sizeof dotted, "%u.%u.%u.%u", host >> 24,
                host >> 16 & 0xFF, host >> 8 & 0xFF, host & 0xFF);
  const bool canonical = text == dotted;
  const std::optional<uint32_t> quad = kvo::ParseCanonicalQuad(text);
  if (quad.has_value() != canonical || (quad && *quad != host)) {
    __builtin_trap();
  }
  return 0;
}
