#include "gateway/response.h"

#include "base/recovery.h"
#include "html/html.h"

namespace kvo {

void SendLine(const CgiContext& context, std::string_view text) {
  if (context.StdOutHandle == nullptr) return;
  // A listing can be tens of megabytes: the line end goes with it
  // without a copy.
  context.StdOutHandle->WriteBoth(text, "\r\n");
}

void WriteErrorLog(const CgiContext& context, std::string_view line) {
  if (context.StdErrHandle == nullptr) return;
  context.StdErrHandle->WriteBoth(line, "\n");
}

void ShowInternalError(const CgiContext& context) {
  const std::string script = EncodeHtml(context.ScriptName);
  const std::string lines[] = {
      "HTTP/1.0 500 Internal Error",
      "Content-type: text/html; charset=windows-1252\r\n",
      "<HTML><HEAD>",
      "<TITLE>Error in " + script + "</TITLE>",
      "<H1>Error in " + script + "</H1>",
      "</HEAD>",
      "<BODY>",
      "The following internal error has occurred:",
      "<PRE>" + context.ErrorDescription + "</PRE>",
      "<I>Please</I> note what you were doing when this problem occurred, ",
      "so we can identify and correct it. Write down the Web page you were ",
      "using, any data you may have entered into a form or search box, ",
      "and anything else that may help us duplicate the problem.",
      "</BODY></HTML>",
  };
  ByteSink* out = context.StdOutHandle;
  if (out == nullptr) return;
  // On a regular file the page replaces what was written; on a pipe both fail
  // and the page follows the bytes already sent.
  TryStep([out] { out->Rewind(); });
  for (const std::string& line : lines) {
    TryStep([&] { SendLine(context, line); });
  }
  TryStep([out] { out->TruncateHere(); });
}

std::string UrlDirectory(std::string_view url) {
  size_t slash = url.rfind('/');
  // A "/" at the first or second position leaves no directory.
  if (slash == std::string_view::npos || slash < 2) return std::string();
  return std::string(url.substr(0, slash));
}

}  // namespace kvo
