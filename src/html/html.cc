#include "html/html.h"

#include <array>
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

// Bytes that AppendEscaped replaces: 1 for the angle brackets, 2 for "/"
// where slashes become blanks.
constexpr std::array<unsigned char, 256> MakeSpecialBytes() {
  std::array<unsigned char, 256> special{};
  special['<'] = special['>'] = 1;
  special['/'] = 2;
  return special;
}
constexpr std::array<unsigned char, 256> kSpecialBytes = MakeSpecialBytes();

// Copies the runs between replaced bytes in one piece each.
void AppendEscaped(std::string& out, std::string_view text,
                   bool slashes_to_blanks) {
  const unsigned char replaced = slashes_to_blanks ? 3 : 1;
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((kSpecialBytes[static_cast<unsigned char>(c)] & replaced) == 0) {
      continue;
    }
    out.append(text.data() + run, i - run);
    out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : " ";
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
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

// A cell's opening tag and its closing tag with the line end, built once
// from the rules for every log kind, row kind and cell number.
struct CellMarkup {
  std::string opening;
  std::string closing;
  CellText text = CellText::kPlain;
};

const CellMarkup& MarkupFor(bool incoming, bool header, int index) {
  constexpr int kCells = LogLineColumns::kMaxColumns;
  static const std::array<CellMarkup, 4 * kCells> table = [] {
    std::array<CellMarkup, 4 * kCells> markup;
    for (int kind = 0; kind < 4; ++kind) {
      const bool in = kind & 1;
      const bool head = kind & 2;
      std::string_view word = in ? (head ? "IncColumnH" : "IncColumn")
                                 : (head ? "OutColumnH" : "OutColumn");
      for (int i = 1; i <= kCells; ++i) {
        const CellRule& rule = RuleFor(in, head, i);
        CellMarkup& cell = markup[static_cast<size_t>(kind * kCells + i - 1)];
        cell.opening.append("    ").append(rule.prefix).append(word);
        AppendDecimal(cell.opening, i);
        cell.opening.append("\">").append(rule.after_class);
        cell.closing.append(rule.closing).append(kCrLf);
        cell.text = rule.text;
      }
    }
    return markup;
  }();
  const int kind = (incoming ? 1 : 0) + (header ? 2 : 0);
  return table[static_cast<size_t>(kind * kCells + index - 1)];
}

void AppendCell(std::string& out, const CellMarkup& markup,
                std::string_view text) {
  out += markup.opening;
  // Neither transformation turns a non-empty text into an empty one.
  if (text.empty()) {
    out += "&nbsp;";
  } else if (markup.text == CellText::kSize) {
    AppendSize(out, text, true);
  } else {
    AppendEscaped(out, text, markup.text == CellText::kSlashesToBlanks);
  }
  out += markup.closing;
}

}  // namespace

void AppendTableRow(std::string& out, int32_t log_type,
                    const LogLineColumns& row, bool header) {
  const bool incoming = log_type == LogIncoming;
  out += "  <TR>\r\n";
  for (int16_t i = 1; i <= row.size(); ++i) {
    AppendCell(out, MarkupFor(incoming, header, i), row[i]);
  }
  out += "  </TR>\r\n";
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
