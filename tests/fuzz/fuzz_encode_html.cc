// The encoder of request texts: its output holds no raw < > " ' and every
// "&" begins one of the entities it writes; decoding gives the input back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "html/html.h"

namespace {

constexpr std::pair<std::string_view, char> kEntities[] = {{"&amp;", '&'},
                                                           {"&lt;", '<'},
                                                           {"&gt;", '>'},
                                                           {"&quot;", '"'},
                                                           {"&#39;", '\''}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string encoded = kvo::EncodeHtml(input);
  std::string decoded;
  for (size_t i = 0; i < encoded.size();) {
    char c = encoded[i];
    if (c == '<' || c == '>' || c == '"' || c == '\'') __builtin_trap();
    if (c != '&') {
      decoded += c;
      ++i;
      continue;
    }
    bool known = false;
    for (auto [entity, plain] : kEntities) {
      if (std::string_view(encoded).substr(i, entity.size()) == entity) {
        decoded += plain;
        i += entity.size();
        known = true;
        break;
      }
    }
    if (!known) __builtin_trap();
  }
  if (decoded != input) __builtin_trap();
  return 0;
}
