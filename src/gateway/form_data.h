#ifndef KVO_GATEWAY_FORM_DATA_H_
#define KVO_GATEWAY_FORM_DATA_H_

#include <string>
#include <string_view>
#include <vector>

#include "gateway/cgi_context.h"

namespace kvo {

// Splits raw form data into one field per "=" it holds: each field's name
// runs from the current position to the next "=", its value from there to the
// next "&". Fields the split does not reach (more "=" than names) stay empty.
// Throws RuntimeError 6 when the data is too long for 32-bit positions.
std::vector<FormField> SplitFormData(std::string_view data);

// A form value with every "+" made a blank, then every "%" and the (at most
// two) characters after it replaced by the character of that hexadecimal
// code (0 when they are no hexadecimal number). A "%" that decoding produces
// is never decoded again.
std::string DecodeFormValue(std::string_view value);

}  // namespace kvo

#endif  // KVO_GATEWAY_FORM_DATA_H_
