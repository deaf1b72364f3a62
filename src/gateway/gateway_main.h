#ifndef KVO_GATEWAY_GATEWAY_MAIN_H_
#define KVO_GATEWAY_GATEWAY_MAIN_H_

#include "gateway/process_io.h"

namespace kvo {

// One run: reads the request, has the viewer page written, and answers a
// run-time error that nothing else handled with the internal-error page.
void GatewayMain(const Environment& env, ByteSource& std_in, ByteSink& std_out);

// The program's entry: sets the locale from the environment, ignores SIGPIPE
// and runs GatewayMain on the real process. Returns the exit status (0).
int GatewayMain();

}  // namespace kvo

#endif  // KVO_GATEWAY_GATEWAY_MAIN_H_
