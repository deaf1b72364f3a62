#include "gateway/gateway_main.h"

#include <clocale>
#include <csignal>
#include <new>
#include <string>

#include "base/runtime_error.h"
#include "gateway/cgi_context.h"
#include "gateway/response.h"
#include "util/account.h"
#include "util/version.h"

namespace kvo {

void GatewayMain(PageProcedure page, const Environment& env,
                 ByteSource& std_in, ByteSink& std_out, ByteSink* std_err,
                 const Clock* clock) {
  CgiContext context;
  context.StdOutHandle = &std_out;
  context.StdErrHandle = std_err;
  context.clock = clock;
  context.facts = {ExecutableFileName(), GetAccountName};
  try {
    ReadCgiEnvironment(context, env, std_in, std_out);
    ReadFormData(context);
    page(context);
  } catch (const RuntimeError& error) {
    context.ErrorDescription =
        ErrorPageText(error.number(), error.description());
    ShowInternalError(context);
  } catch (const std::bad_alloc&) {
    // Still answer the request rather than leave the client without one.
    context.ErrorDescription = ErrorPageText(kErrOutOfMemory, "Out of memory");
    ShowInternalError(context);
  }
}

int GatewayMain(PageProcedure page) {
  std::setlocale(LC_ALL, "");
  // A client that went away ends nothing but the output.
  std::signal(SIGPIPE, SIG_IGN);
  ProcessEnvironment env;
  FdSource std_in(0);
  FdSink std_out(1);
  FdSink std_err(2);
  SteadyClock clock;
  GatewayMain(page, env, std_in, std_out, &std_err, &clock);
  return 0;
}

}  // namespace kvo
