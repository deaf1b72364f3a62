// Form data of a GET request through the decoder and the parameter lookup.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/runtime_error.h"
#include "gateway/cgi_context.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kvo::CgiContext context;
  context.request_method = "GET";
  context.query_string.assign(reinterpret_cast<const char*>(data), size);
  try {
    kvo::ReadFormData(context);
    for (const char* name : {"Log", "LogFilePath", "a", ""}) {
      std::string value = kvo::GetFieldValue(context, name);
      if (value.size() > size + context.FormFields.size()) __builtin_trap();
    }
  } catch (const kvo::RuntimeError& error) {
    if (error.number() != kvo::kErrOverflow) __builtin_trap();
  }
  return 0;
}
