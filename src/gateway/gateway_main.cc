#include "gateway/gateway_main.h"

#include <clocale>
#include <csignal>
#include <new>
#include <string>

#include "base/runtime_error.h"
#include "gateway/cgi_context.h"
#include "gateway/response.h"
#include "viewer/viewer_page.h"

namespace kvo {
namespace {

// "Overflow Error Number =  6": the number has a sign position, a blank
// before a non-negative number.
std::string TrapDescription(int32_t number, const std::string& description) {
  return description + " Error Number = " + (number >= 0 ? " " : "") +
         std::to_string(number);
}

}  // namespace

void GatewayMain(const Environment& env, ByteSource& std_in,
                 ByteSink& std_out) {
  CgiContext context;
  context.StdOutHandle = &std_out;
  try {
    ReadCgiEnvironment(context, env, std_in, std_out);
    ReadFormData(context);
    ShowViewerPage(context);
  } catch (const RuntimeError& error) {
    context.ErrorDescription =
        TrapDescription(error.number(), error.description());
    ShowInternalError(context);
  } catch (const std::bad_alloc&) {
    // Still answer the request rather than leave the client without one.
    context.ErrorDescription = TrapDescription(7, "Out of memory");
    ShowInternalError(context);
  }
}

int GatewayMain() {
  std::setlocale(LC_ALL, "");
  // A client that went away ends nothing but the output.
  std::signal(SIGPIPE, SIG_IGN);
  ProcessEnvironment env;
  FdSource std_in(0);
  FdSink std_out(1);
  GatewayMain(env, std_in, std_out);
  return 0;
}

}  // namespace kvo
