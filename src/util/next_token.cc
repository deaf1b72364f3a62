#include "util/next_token.h"

#include <cstring>

namespace kvo {

std::string NextToken(std::string& text, std::string_view delimiter) {
  size_t found = text.find(delimiter);
  if (found == std::string::npos) {
    std::string token = std::move(text);
    text.clear();
    return token;
  }
  std::string token = text.substr(0, found);
  text.erase(0, found + delimiter.size());
  return token;
}

std::string_view NextToken(std::string_view& text, std::string_view delimiter) {
  size_t found = text.find(delimiter);
  if (found == std::string_view::npos) {
    std::string_view token = text;
    text = std::string_view();
    return token;
  }
  std::string_view token = text.substr(0, found);
  text.remove_prefix(found + delimiter.size());
  return token;
}

std::string_view NextToken(std::string_view& text, char delimiter) {
  // An empty view may have no data pointer, which memchr must not get.
  if (text.empty()) return {};
  const void* found = std::memchr(text.data(), delimiter, text.size());
  if (found == nullptr) {
    std::string_view token = text;
    text = std::string_view();
    return token;
  }
  size_t length =
      static_cast<size_t>(static_cast<const char*>(found) - text.data());
  std::string_view token = text.substr(0, length);
  text.remove_prefix(length + 1);
  return token;
}

}  // namespace kvo
