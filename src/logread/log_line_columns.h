#ifndef KVO_LOGREAD_LOG_LINE_COLUMNS_H_
#define KVO_LOGREAD_LOG_LINE_COLUMNS_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "logread/log_type.h"

namespace kvo {

// The columns of one log line, indexed from 1 to size() (9 for the incoming
// log, 5 for the outgoing one). The texts are views into the line they were
// cut from: those that M_GetNextLine returns stay valid until the next call
// of M_GetNextLine on the same reader, or until its file is closed.
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

// For each column role, its 1-based element in a parsed line; 0 where the
// log has no such column.
struct ColumnMap {
  int16_t date = 0;
  int16_t pop3_account = 0;
  int16_t from = 0;
  int16_t to = 0;
  int16_t cc = 0;
  int16_t routed = 0;
  int16_t subject = 0;
  int16_t size = 0;
  int16_t ip_address = 0;
};

// How the lines of a log type are cut into columns.
struct LogLayout {
  int16_t columns = 0;         // what P_intColumns reads; 0 while unset
  int16_t parsed_columns = 0;  // fields cut from each line
  int16_t dropped_field = 0;   // a field of the line that no column shows
  ColumnMap map;
};

// The layout of the incoming and the outgoing log; the connection log has a
// column count but no layout of its own yet; any other value has none.
LogLayout LayoutOf(E_LogType type);

// The heading of the incoming log's address column, which its title line
// may leave empty.
inline constexpr std::string_view kTitleAddressHeading = "Orig. IP addr.";
// Puts kTitleAddressHeading into the empty address column of a title
// line's `columns`; true when it did.
bool NameAddressHeading(E_LogType type, const LogLayout& layout,
                        LogLineColumns& columns);

// `line` cut at its TABs into the columns of `layout`: fields beyond the
// layout's are ignored, missing ones stay empty.
LogLineColumns CutColumns(const LogLayout& layout, std::string_view line);

// The columns of one line, cut at its TABs only when they are asked for: the
// selection of a line that fails on its Date column never looks for the
// rest. Gives the columns that CutColumns gives.
class LineFields {
 public:
  // `layout` must outlive the object; `line` must stay valid while it is used.
  LineFields(const LogLayout& layout, std::string_view line)
      : layout_(layout), line_(line) {}
  // The same where the offsets of the line's first TABs are known already
  // (all of them, or at least kMostTabs); null `tabs` when they are not.
  // `tabs` must stay valid while the object is used.
  LineFields(const LogLayout& layout, std::string_view line,
             const uint32_t* tabs, size_t tab_count);
  LineFields(const LineFields&) = delete;
  LineFields& operator=(const LineFields&) = delete;

  // The column `index` (1-based, as LogLineColumns counts); an empty text
  // for an index the layout does not cut.
  std::string_view Column(int16_t index);
  // The whole line.
  std::string_view line() const { return line_; }
  // Puts `text` in the place of the column `index` (a title line's heading).
  void Replace(int16_t index, std::string_view text) {
    replaced_index_ = index;
    replaced_ = text;
  }

 private:
  // TABs enough to end the layout's last field.
  static constexpr size_t kMostTabs = LogLineColumns::kMaxColumns + 1;

  std::string_view Field(size_t field);  // 1-based

  const LogLayout& layout_;
  std::string_view line_;
  // Offsets of the line's first TABs, once known: the caller's, or found_tabs_.
  const uint32_t* tabs_ = nullptr;
  size_t tab_count_ = 0;
  uint32_t found_tabs_[kMostTabs];
  int16_t replaced_index_ = 0;
  std::string_view replaced_;
};

// The column of `role` (an element of ColumnMap), or an empty text where the
// log has no such column.
inline std::string_view ColumnOf(const LogLineColumns& columns, int16_t role) {
  return role > 0 && role <= columns.size() ? columns[role]
                                            : std::string_view();
}

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_LINE_COLUMNS_H_
