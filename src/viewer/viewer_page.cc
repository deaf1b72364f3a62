#include "viewer/viewer_page.h"

#include "gateway/cgi_context.h"
#include "gateway/response.h"

namespace kvo {

// Stand-in until the page is built: the head, then one parameter read.
void ShowViewerPage(const CgiContext& context) {
  SendLine(context, "HTTP/1.0 200 OK");
  SendLine(context, "Content-type: text/html\r\n");
  SendLine(context, "<HTML><HEAD>");
  SendLine(context, "<TITLE>VELMORA Quillbox Logfile viewer</TITLE>");
  SendLine(context, "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                        UrlDirectory(context.http_referer) + "/KvoViewLog.css\">");
  SendLine(context, "</HEAD>");
  GetFieldValue(context, "Log");
}

}  // namespace kvo
