#include "html/html.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "logread/log_file_read.h"

namespace kvo {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// How one cell is opened, closed and what its text goes through.
enum class CellText { kPlain, kSlashesToBlanks, kSize };

struct CellRule {
  std::string_view prefix;
  std::string_view after_class;  // after the closing `">`
  std::string_view closing;
  CellText text;
};

constexpr std::string_view kTd = "<TD valign=\"top\" class=\"";
constexpr std::string_view kTdWide =
    "<TD valign=\"top\" width=\"20%\" class=\"";

constexpr CellRule kHeaderCell = {"<TH class=\"", "", "</TH>",
                                  CellText::kPlain};
constexpr CellRule kDataCell = {kTd, "", "</TD>", CellText::kPlain};
constexpr CellRule kSubjectCell = {kTdWide, "", "</TD>", CellText::kPlain};
constexpr CellRule kSizeCell = {kTd, "<nobr>", "</nobr></TD>", CellText::kSize};
constexpr CellRule kPop3Cell = {kTd, "", "</TD>", CellText::kSlashesToBlanks};

// Cell numbers of the incoming and outgoing data rows with a rule of their
// own; every other cell is a plain data cell.
constexpr int kIncomingPop3 = 2;
constexpr int kIncomingSubject = 7;
constexpr int kIncomingSize = 8;
constexpr int kOutgoingSubject = 4;
constexpr int kOutgoingSize = 5;

const CellRule& RuleFor(bool incoming, bool header, int index) {
  if (header) return kHeaderCell;
  if (incoming) {
    if (index == kIncomingPop3) return kPop3Cell;
    if (index == kIncomingSubject) return kSubjectCell;
    if (index == kIncomingSize) return kSizeCell;
  } else {
    if (index == kOutgoingSubject) return kSubjectCell;
    if (index == kOutgoingSize) return kSizeCell;
  }
  return kDataCell;
}

void AppendEscaped(std::string& out, std::string_view text,
                   bool slashes_to_blanks) {
  for (char c : text) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '/' && slashes_to_blanks) {
      out += ' ';
    } else {
      out += c;
    }
  }
}

void AppendDecimal(std::string& out, int64_t value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// The size display of FormatSize, appended to `out`; a text shown unchanged
// is escaped when `escape` says so.
void AppendSize(std::string& out, std::string_view text, bool escape) {
  int32_t bytes = 0;
  try {
    bytes = StrictToInt32(text);
  } catch (const RuntimeError&) {
    bytes = -1;  // not a 32-bit number: shown as it stands
  }
  constexpr int64_t kKilo = 1024;
  constexpr int64_t kMega = kKilo * kKilo;
  if (bytes < kKilo) {
    if (escape) {
      AppendEscaped(out, text, false);
    } else {
      out += text;
    }
    return;
  }
  const int64_t divisor = bytes < kMega ? kKilo : kMega;
  // Tenths of the unit, a half rounded up; exact in integers (bytes > 0).
  const int64_t tenths = (int64_t{bytes} * 20 + divisor) / (2 * divisor);
  AppendDecimal(out, tenths / 10);
  out += LocaleDecimalSeparator();
  out += static_cast<char>('0' + tenths % 10);
  out += bytes < kMega ? " kb" : " Mb";
}

void AppendCell(std::string& out, const CellRule& rule,
                std::string_view class_word, int index, std::string_view text) {
  out += "    ";
  out += rule.prefix;
  out += class_word;
  AppendDecimal(out, index);
  out += "\">";
  out += rule.after_class;
  // Neither transformation turns a non-empty text into an empty one.
  if (text.empty()) {
    out += "&nbsp;";
  } else if (rule.text == CellText::kSize) {
    AppendSize(out, text, true);
  } else {
    AppendEscaped(out, text, rule.text == CellText::kSlashesToBlanks);
  }
  out += rule.closing;
  out += kCrLf;
}

}  // namespace

void AppendTableRow(std::string& out, int32_t log_type,
                    const LogLineColumns& row, bool header) {
  const bool incoming = log_type == LogIncoming;
  std::string_view class_word;
  if (incoming) {
    class_word = header ? "IncColumnH" : "IncColumn";
  } else {
    class_word = header ? "OutColumnH" : "OutColumn";
  }
  out += "  <TR>";
  out += kCrLf;
  for (int16_t i = 1; i <= row.size(); ++i) {
    AppendCell(out, RuleFor(incoming, header, i), class_word, i, row[i]);
  }
  out += "  </TR>";
  out += kCrLf;
}

std::string MakeTableRow(int32_t log_type, const LogLineColumns& row,
                         bool header) {
  std::string out;
  AppendTableRow(out, log_type, row, header);
  return out;
}

std::string MakeTable(std::string_view rows) {
  std::string out;
  out.reserve(kTableOpening.size() + rows.size() + kTableClosing.size());
  out += kTableOpening;
  out += rows;
  out += kTableClosing;
  return out;
}

std::string FormatSize(std::string_view text) {
  std::string out;
  AppendSize(out, text, false);
  return out;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text, false);
  return out;
}

std::string EncodeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace kvo
