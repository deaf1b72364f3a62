#ifndef KVO_LOGREAD_LOG_LINE_COLUMNS_H_
#define KVO_LOGREAD_LOG_LINE_COLUMNS_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace kvo {

// The columns of one log line, indexed from 1 to size() (9 for the incoming
// log, 5 for the outgoing one). The texts are views: those that
// M_GetNextLine returns stay valid until the next call of M_GetNextLine on
// the same reader, or until its file is closed.
class LogLineColumns {
 public:
  static constexpr int16_t kMaxColumns = 9;

  // `count` empty columns; count is clamped to 0..kMaxColumns.
  explicit LogLineColumns(int16_t count = 0);

  int16_t size() const { return count_; }
  // 1-based. Throws RuntimeError 9 for an index outside 1..size().
  std::string_view operator[](int index) const;
  std::string_view& operator[](int index);

 private:
  std::array<std::string_view, kMaxColumns> columns_{};
  int16_t count_ = 0;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_LINE_COLUMNS_H_
