#include "gateway/cgi_context.h"

#include <algorithm>
#include <limits>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "gateway/form_data.h"

namespace kvo {
namespace {

// Reads up to `length` bytes; a pipe may deliver them in pieces, and what
// arrived before the input ended is kept.
std::string ReadBody(ByteSource& source, int32_t length) {
  constexpr size_t kChunk = 64 * 1024;
  const size_t wanted = static_cast<size_t>(length);
  std::string body;
  body.reserve(std::min(wanted, kChunk));
  while (body.size() < wanted) {
    size_t old_size = body.size();
    body.resize(old_size + std::min(wanted - old_size, kChunk));
    size_t got = source.Read(body.data() + old_size, body.size() - old_size);
    body.resize(old_size + got);
    if (got == 0) break;
  }
  return body;
}

}  // namespace

void ReadCgiEnvironment(CgiContext& context, const Environment& env,
                        ByteSource& std_in, ByteSink& std_out) {
  context.StdInHandle = &std_in;
  context.StdOutHandle = &std_out;
  context.webmaster = "webmaster@localhost";
  context.server_software = env.Get("SERVER_SOFTWARE");
  context.server_name = env.Get("SERVER_NAME");
  context.request_method = env.Get("REQUEST_METHOD");
  context.http_referer = env.Get("HTTP_REFERER");
  context.remote_host = env.Get("REMOTE_HOST");
  context.remote_addr = env.Get("REMOTE_ADDR");
  context.http_user_agent = env.Get("HTTP_USER_AGENT");
  context.content_length = env.Get("CONTENT_LENGTH");
  context.ScriptName = env.Get("SCRIPT_NAME");
  context.server_url = env.Get("SERVER_URL");
  context.gateway_interface = env.Get("GATEWAY_INTERFACE");
  context.server_protocol = env.Get("SERVER_PROTOCOL");
  context.server_port = env.Get("SERVER_PORT");
  context.content_type = env.Get("CONTENT_TYPE");
  context.query_string = env.Get("QUERY_STRING");
  context.path_info = env.Get("PATH_INFO");
  context.log_root = env.Get("KVO_LOG_ROOT");
  context.time_limit = env.Get("KVO_TIME_LIMIT");
  context.ContentLength = RoundToInt32(PrefixRead(context.content_length));
}

void ReadFormData(CgiContext& context) {
  if (context.request_method != "POST") {
    context.FormFields = SplitFormData(context.query_string);
    return;
  }
  if (context.ContentLength < 0) throw RuntimeError(kErrInvalidArgument);
  if (context.ContentLength > kMaxContentLength) {
    throw RuntimeError(kErrInvalidArgument, "KvoViewLog",
                       "Request body larger than " +
                           std::to_string(kMaxContentLength) + " bytes");
  }
  std::string body;
  if (context.StdInHandle != nullptr) {
    body = ReadBody(*context.StdInHandle, context.ContentLength);
  }
  context.FormFields = SplitFormData(body);
}

std::string GetFieldValue(const CgiContext& context, std::string_view name) {
  // The fields are counted with a 16-bit index.
  if (context.FormFields.size() >
      static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw RuntimeError(kErrOverflow);
  }
  std::string r;
  for (const FormField& field : context.FormFields) {
    if (!EqualsIgnoreCase(field.Name, name)) continue;
    if (r.empty()) {
      r = field.Value;
    } else {
      r += ';';
      r += field.Value;
    }
  }
  return r;
}

}  // namespace kvo
