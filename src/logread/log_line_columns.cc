#include "logread/log_line_columns.h"

#include <algorithm>

#include "base/runtime_error.h"

namespace kvo {

LogLineColumns::LogLineColumns(int16_t count)
    : count_(std::clamp<int16_t>(count, 0, kMaxColumns)) {}

std::string_view LogLineColumns::operator[](int index) const {
  if (index < 1 || index > count_) throw RuntimeError(kErrSubscript);
  return columns_[static_cast<size_t>(index - 1)];
}

std::string_view& LogLineColumns::operator[](int index) {
  if (index < 1 || index > count_) throw RuntimeError(kErrSubscript);
  return columns_[static_cast<size_t>(index - 1)];
}

}  // namespace kvo
