#ifndef KVO_ANSWER_CSV_H_
#define KVO_ANSWER_CSV_H_

#include <string>
#include <string_view>
#include <vector>

#include "logread/log_type.h"

namespace kvo {

// One record of comma-separated values (RFC 4180) ending in CR LF: a field
// that holds a comma, a quote, CR or LF is quoted, its quotes doubled. The
// fields arrive as Windows-1252 and leave as UTF-8.
void AppendCsvRecord(std::string& out,
                     const std::vector<std::string_view>& windows1252_fields);

// The TAB-separated fields of a log line, all of them.
std::vector<std::string_view> SplitFields(std::string_view line);

// The fields of a listing's title line: the incoming log's title may leave
// its address column without a name, which is then kTitleAddressHeading.
std::vector<std::string_view> TitleFields(E_LogType log_type,
                                          std::string_view line);

}  // namespace kvo

#endif  // KVO_ANSWER_CSV_H_
