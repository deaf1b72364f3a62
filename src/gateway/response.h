#ifndef KVO_GATEWAY_RESPONSE_H_
#define KVO_GATEWAY_RESPONSE_H_

#include <string>
#include <string_view>

#include "gateway/cgi_context.h"

namespace kvo {

// Writes `text` and CR LF to standard output at once; the only output
// primitive of the program.
void SendLine(const CgiContext& context, std::string_view text);

// Writes `line` and a line feed to the web server's error log (standard
// error), when the run has one.
void WriteErrorLog(const CgiContext& context, std::string_view line);

// Writes the internal-error page from ScriptName and ErrorDescription over
// whatever was written (rewound and truncated where the output allows it);
// a failing step is skipped.
void ShowInternalError(const CgiContext& context);

// The part of `url` before its last "/"; the empty text when that "/" stands
// at position 1 or 2 or there is none.
std::string UrlDirectory(std::string_view url);

}  // namespace kvo

#endif  // KVO_GATEWAY_RESPONSE_H_
