#ifndef KVO_GATEWAY_GATEWAY_MAIN_H_
#define KVO_GATEWAY_GATEWAY_MAIN_H_

#include "base/clock.h"
#include "gateway/process_io.h"

namespace kvo {

struct CgiContext;

// What a run answers once the request is read (the viewer page).
using PageProcedure = void (*)(const CgiContext& context);

// One run: reads the request, has `page` written, and answers a run-time
// error that nothing else handled with the internal-error page. `std_err`
// (may be null) takes the lines meant for the web server's error log;
// `clock` times the listing.
void GatewayMain(PageProcedure page, const Environment& env,
                 ByteSource& std_in, ByteSink& std_out,
                 ByteSink* std_err = nullptr, const Clock* clock = nullptr);

// The program's entry: sets the locale from the environment, ignores SIGPIPE
// and runs GatewayMain with `page` on the real process. Returns the exit
// status (0).
int GatewayMain(PageProcedure page);

}  // namespace kvo

#endif  // KVO_GATEWAY_GATEWAY_MAIN_H_
