#ifndef KVO_VIEWER_VIEWER_PAGE_H_
#define KVO_VIEWER_VIEWER_PAGE_H_

#include <string>
#include <string_view>

#include "gateway/cgi_context.h"

namespace kvo {

// Writes the whole viewer page for the request in `context`. A RuntimeError
// before MaxLines is read leaves it (the caller shows the internal-error
// page); from there on, a failing step is skipped.
void ShowViewerPage(const CgiContext& context);

// The page head's link to KvoViewLog.css in the folder of the referring page.
// Only the path of `referer` counts (scheme, host, query and fragment are
// dropped, leading slashes collapsed), so the link never leaves this server;
// the value is attribute-encoded. No referrer gives "/KvoViewLog.css".
std::string StyleSheetLink(std::string_view referer);

// The page's last line for an executable named `executable_file_name`: its
// name without extension, lower-cased, then ".exe version " and the version.
std::string AboutLine(std::string_view executable_file_name);

}  // namespace kvo

#endif  // KVO_VIEWER_VIEWER_PAGE_H_
