#ifndef KVO_GATEWAY_CGI_CONTEXT_H_
#define KVO_GATEWAY_CGI_CONTEXT_H_

// The request as the web server hands it over, and the procedures that read
// it. Names of the form `ReadFormData` and `ScriptName` are the system's own
// vocabulary and kept as such.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "gateway/process_io.h"

namespace kvo {

struct FormField {
  std::string Name;   // as sent, not decoded
  std::string Value;  // decoded
};

// Largest POST body the program accepts; a larger CONTENT_LENGTH is refused
// with the internal-error page.
inline constexpr int32_t kMaxContentLength = 1 << 20;

// Facts about the running process, read once per run.
struct ProcessFacts {
  std::string executable_name;  // the program's file name, without folder
  // The account the program runs under; asked only by a page that names it.
  std::function<std::string()> account_name;
};

// The state of one run: filled once by ReadCgiEnvironment and ReadFormData,
// read-only afterwards. The only process-wide state of the program.
struct CgiContext {
  ByteSource* StdInHandle = nullptr;
  ByteSink* StdOutHandle = nullptr;
  ByteSink* StdErrHandle = nullptr;  // the web server's error log; may be null
  ProcessFacts facts;
  const Clock* clock = nullptr;  // null: listings have no time limit
  std::string webmaster;

  // The sixteen CGI variables, in the order they are read.
  std::string server_software;
  std::string server_name;
  std::string request_method;
  std::string http_referer;
  std::string remote_host;
  std::string remote_addr;
  std::string http_user_agent;
  std::string content_length;
  std::string ScriptName;  // SCRIPT_NAME
  std::string server_url;
  std::string gateway_interface;
  std::string server_protocol;
  std::string server_port;
  std::string content_type;
  std::string query_string;
  std::string path_info;

  // KVO_LOG_ROOT: the only folder (with its subfolders) that LogFilePath may
  // name; empty refuses every folder.
  std::string log_root;
  // KVO_TIME_LIMIT: seconds a listing may run, as written.
  std::string time_limit;

  int32_t ContentLength = 0;
  std::vector<FormField> FormFields;  // FormFieldCount is FormFields.size()
  std::string ErrorDescription;       // set by the error trap of GatewayMain
};

// Fills the context from `env` and remembers the two handles. Throws
// RuntimeError 6 when CONTENT_LENGTH is beyond the 32-bit range.
void ReadCgiEnvironment(CgiContext& context, const Environment& env,
                        ByteSource& std_in, ByteSink& std_out);

// Reads the form data (the POST body, else QUERY_STRING), splits it at "="
// and "&" and decodes "+" and percent escapes into FormFields. Throws
// RuntimeError 5 for a negative CONTENT_LENGTH or one above
// kMaxContentLength, 6 on a position overflow.
void ReadFormData(CgiContext& context);

// The value of the parameter `name` (case-insensitive), several values joined
// by ";", the empty text when there is none. Throws RuntimeError 6 when there
// are more than 32767 form fields.
std::string GetFieldValue(const CgiContext& context, std::string_view name);

}  // namespace kvo

#endif  // KVO_GATEWAY_CGI_CONTEXT_H_
