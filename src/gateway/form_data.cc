#include "gateway/form_data.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/numbers.h"
#include "base/runtime_error.h"

namespace kvo {
namespace {

// The character whose code is the prefix reading of "&H" + `digits`.
char EscapedChar(std::string_view digits) {
  char text[4] = {'&', 'H', 0, 0};
  std::copy(digits.begin(), digits.end(), text + 2);
  int32_t code =
      RoundToInt32(PrefixRead(std::string_view(text, 2 + digits.size())));
  if (code < 0 || code > 255) throw RuntimeError(kErrInvalidArgument);
  return static_cast<char>(static_cast<unsigned char>(code));
}

}  // namespace

std::string DecodeFormValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  size_t i = 0;
  while (i < value.size()) {
    char c = value[i];
    if (c == '%') {
      std::string_view digits = value.substr(i + 1, 2);
      // "+" inside the escape's digits was already a blank when it was read.
      char buffer[2];
      for (size_t k = 0; k < digits.size(); ++k) {
        buffer[k] = digits[k] == '+' ? ' ' : digits[k];
      }
      out += EscapedChar(std::string_view(buffer, digits.size()));
      i += 1 + digits.size();
    } else {
      out += c == '+' ? ' ' : c;
      ++i;
    }
  }
  return out;
}

std::vector<FormField> SplitFormData(std::string_view data) {
  if (data.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw RuntimeError(kErrOverflow);
  }
  std::vector<FormField> fields(
      static_cast<size_t>(std::count(data.begin(), data.end(), '=')));
  size_t p = 0;
  for (FormField& field : fields) {
    size_t e = data.find('=', p);
    if (e == std::string_view::npos) break;
    field.Name = std::string(data.substr(p, e - p));
    size_t a = data.find('&', e);
    if (a == std::string_view::npos) a = data.size();
    field.Value = DecodeFormValue(data.substr(e + 1, a - e - 1));
    p = a + 1;
  }
  return fields;
}

}  // namespace kvo
