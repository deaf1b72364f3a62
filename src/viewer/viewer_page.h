#ifndef KVO_VIEWER_VIEWER_PAGE_H_
#define KVO_VIEWER_VIEWER_PAGE_H_

#include "gateway/cgi_context.h"

namespace kvo {

// Writes the whole viewer page for the request in `context`. A RuntimeError
// before MaxLines is read leaves it (the caller shows the internal-error
// page); from there on, a failing step is skipped.
void ShowViewerPage(const CgiContext& context);

}  // namespace kvo

#endif  // KVO_VIEWER_VIEWER_PAGE_H_
