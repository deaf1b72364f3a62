#ifndef KVO_HTML_HTML_H_
#define KVO_HTML_HTML_H_

// The result table (module HTML): rows, table, size display and escaping.
// Pure text operations; nothing is written or kept.

#include <cstdint>
#include <string>
#include <string_view>

#include "logread/log_line_columns.h"

namespace kvo {

// The lines of one table row for a log line of `log_type` (10 incoming, 11
// outgoing); a header row when `header`. Every line ends in CR LF.
std::string MakeTableRow(int32_t log_type, const LogLineColumns& row,
                         bool header);
// The same, appended to `out` (the listing grows one text this way).
void AppendTableRow(std::string& out, int32_t log_type,
                    const LogLineColumns& row, bool header);

// The table element around `rows`: kTableOpening, the rows unchanged,
// kTableClosing.
std::string MakeTable(std::string_view rows);
// The first and the last line of MakeTable, for a caller that grows the table
// in one text.
inline constexpr std::string_view kTableOpening =
    "<table width=\"100%\" Border=\"1\" Cellspacing=\"0\">\r\n";
inline constexpr std::string_view kTableClosing = "</table>\r\n";

// A byte count for display: "1.5 kb", "4.8 Mb"; the text unchanged when it is
// not a 32-bit number or is below 1024.
std::string FormatSize(std::string_view text);

// Log texts: "<" and ">" replaced by entities, nothing else.
std::string EscapeHtml(std::string_view text);

// Request texts: "&", "<", ">", '"' and "'" replaced by entities, so that a
// request cannot put markup into the page, in text or in an attribute value.
std::string EncodeHtml(std::string_view text);

}  // namespace kvo

#endif  // KVO_HTML_HTML_H_
