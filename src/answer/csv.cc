#include "answer/csv.h"

#include "base/windows1252.h"
#include "logread/log_line_columns.h"
#include "util/next_token.h"

namespace kvo {

void AppendCsvRecord(std::string& out,
                     const std::vector<std::string_view>& windows1252_fields) {
  bool first = true;
  for (std::string_view field : windows1252_fields) {
    if (!first) out += ',';
    first = false;
    const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted) out += '"';
    for (char c : field) {
      if (c == '"') out += '"';
      AppendUtf8(Windows1252ToUnicode(static_cast<unsigned char>(c)), out);
    }
    if (quoted) out += '"';
  }
  out += "\r\n";
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  do {
    fields.push_back(NextToken(line, '\t'));
  } while (!line.empty());
  return fields;
}

std::vector<std::string_view> TitleFields(E_LogType log_type,
                                          std::string_view line) {
  constexpr size_t kIncomingFields = 10;
  std::vector<std::string_view> fields = SplitFields(line);
  if (log_type == LogIncoming) {
    if (fields.size() < kIncomingFields) fields.resize(kIncomingFields);
    if (fields[kIncomingFields - 1].empty()) {
      fields[kIncomingFields - 1] = kTitleAddressHeading;
    }
  }
  return fields;
}

}  // namespace kvo
