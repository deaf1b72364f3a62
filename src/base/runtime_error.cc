#include "base/runtime_error.h"

#include <utility>

namespace kvo {

RuntimeError::RuntimeError(int32_t number, std::string source,
                           std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

RuntimeError::RuntimeError(int32_t number, std::string source)
    : RuntimeError(number, std::move(source), DescriptionOf(number)) {}

std::string ErrorPageText(int32_t number, const std::string& description) {
  return description + " Error Number = " + (number >= 0 ? " " : "") +
         std::to_string(number);
}

std::string DescriptionOf(int32_t number) {
  switch (number) {
    case kErrInvalidArgument:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrSubscript:
      return "Subscript out of range";
    case kErrTypeMismatch:
      return "Type mismatch";
    default:
      return "Application-defined or object-defined error";
  }
}

}  // namespace kvo
