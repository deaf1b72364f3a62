#include "gateway/cgi_context.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/fake_process.h"
#include "support/test_support.h"

namespace kvo {
namespace {

using test::MapEnvironment;
using test::StringSink;
using test::StringSource;
using Vars = std::map<std::string, std::string>;

// Context of a request with `env`, its body in `body` delivered in pieces of
// `piece` bytes; the form data read as well.
struct Request {
  Request(std::map<std::string, std::string> env, std::string body = "",
          size_t piece = 1 << 30)
      : environment(std::move(env)), source(std::move(body), piece) {
    ReadCgiEnvironment(context, environment, source, sink);
  }
  MapEnvironment environment;
  StringSource source;
  StringSink sink;
  CgiContext context;
};

TEST(ReadCgiEnvironmentTest, TakesEveryVariable) {
  std::map<std::string, std::string> env;
  const char* names[] = {
      "SERVER_SOFTWARE", "SERVER_NAME",  "REQUEST_METHOD",    "HTTP_REFERER",
      "REMOTE_HOST",     "REMOTE_ADDR",  "HTTP_USER_AGENT",   "CONTENT_LENGTH",
      "SCRIPT_NAME",     "SERVER_URL",   "GATEWAY_INTERFACE", "SERVER_PROTOCOL",
      "SERVER_PORT",     "CONTENT_TYPE", "QUERY_STRING",      "PATH_INFO",
      "KVO_LOG_ROOT"};
  for (const char* name : names) env[name] = std::string("v-") + name;
  env["CONTENT_LENGTH"] = "7";
  Request request(env);
  const CgiContext& c = request.context;
  const std::string values[] = {
      c.server_software, c.server_name,  c.request_method,    c.http_referer,
      c.remote_host,     c.remote_addr,  c.http_user_agent,   c.content_length,
      c.ScriptName,      c.server_url,   c.gateway_interface, c.server_protocol,
      c.server_port,     c.content_type, c.query_string,      c.path_info,
      c.log_root};
  for (size_t i = 0; i < std::size(names); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(values[i], env[names[i]]);
  }
  EXPECT_EQ(c.ContentLength, 7);
  EXPECT_EQ(c.StdInHandle, &request.source);
  EXPECT_EQ(c.StdOutHandle, &request.sink);
  EXPECT_FALSE(c.webmaster.empty());
}

TEST(ReadCgiEnvironmentTest, ContentLengthIsAPrefixReading) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},      {"abc", 0},   {"12abc", 12},
      {" 1 2", 12}, {"-1", -1},   {"2.5", 2},
      {"3.5", 4},   {"&H10", 16}, {"2147483647", 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Request request(Vars{{"CONTENT_LENGTH", c.text}});
    EXPECT_EQ(request.context.ContentLength, c.expected);
  }
}

TEST(ReadCgiEnvironmentTest, ContentLengthBeyond32BitsIsOverflow) {
  for (const char* text : {"2147483648", "-2147483649", "1e300"}) {
    SCOPED_TRACE(text);
    CgiContext context;
    MapEnvironment env(Vars{{"CONTENT_LENGTH", text}});
    StringSource source("");
    StringSink sink;
    EXPECT_RUNTIME_ERROR(ReadCgiEnvironment(context, env, source, sink), 6);
  }
}

TEST(ReadFormDataTest, ChoosesBodyOrQueryString) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> env;
    std::string body;
    size_t piece;
    std::string expected_log;
  };
  const Case cases[] = {
      {"GET uses the query",
       {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", "Log=q"}},
       "Log=b",
       100,
       "q"},
      {"POST uses the body",
       {{"REQUEST_METHOD", "POST"},
        {"QUERY_STRING", "Log=q"},
        {"CONTENT_LENGTH", "5"}},
       "Log=b",
       100,
       "b"},
      {"lower-case post uses the query",
       {{"REQUEST_METHOD", "post"},
        {"QUERY_STRING", "Log=q"},
        {"CONTENT_LENGTH", "5"}},
       "Log=b",
       100,
       "q"},
      {"body in one-byte pieces",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "12"}},
       "Log=Incoming",
       1,
       "Incoming"},
      {"length below the body cuts it",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "6"}},
       "Log=Incoming",
       100,
       "In"},
      {"length above the body keeps what came",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "500"}},
       "Log=Incoming",
       3,
       "Incoming"},
      {"12abc reads 12 bytes",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "12abc"}},
       "Log=IncomingXYZ",
       100,
       "Incoming"},
      {"abc reads nothing",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "abc"}},
       "Log=b",
       100,
       ""},
      {"unset length reads nothing",
       {{"REQUEST_METHOD", "POST"}},
       "Log=b",
       100,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Request request(c.env, c.body, c.piece);
    ReadFormData(request.context);
    EXPECT_EQ(GetFieldValue(request.context, "Log"), c.expected_log);
  }
}

TEST(ReadFormDataTest, RefusesNegativeAndOversizedLengths) {
  const std::string too_large = std::to_string(kMaxContentLength + 1);
  for (const std::string& length : {std::string("-1"), too_large}) {
    SCOPED_TRACE(length);
    Request request({{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", length}},
                    "a=1");
    EXPECT_RUNTIME_ERROR(ReadFormData(request.context), 5);
  }
  Request largest({{"REQUEST_METHOD", "POST"},
                   {"CONTENT_LENGTH", std::to_string(kMaxContentLength)}},
                  "a=1");
  ReadFormData(largest.context);
  EXPECT_EQ(GetFieldValue(largest.context, "a"), "1");
}

TEST(GetFieldValueTest, MatchesNamesAndJoinsValues) {
  struct Case {
    const char* query;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"Log=x&log=y", "LOG", "x;y"},
      {"a=&a=y", "a", "y"},
      {"a=x&a=", "a", "x;"},
      {"a=x&a=&a=z", "A", "x;;z"},
      {"a=1", "b", ""},
      {"", "a", ""},
      {"Max%4Cines=5", "MaxLines", ""},
      {"\xc4pfel=1", "\xe4PFEL", "1"},
      {"a=b=c&d=e", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + " / " + c.name);
    Request request(Vars{{"QUERY_STRING", c.query}});
    ReadFormData(request.context);
    EXPECT_EQ(GetFieldValue(request.context, c.name), c.expected);
  }
}

TEST(GetFieldValueTest, MoreFieldsThanA16BitIndexCountsIsOverflow) {
  CgiContext context;
  context.FormFields.resize(32767, FormField{"a", "1"});
  EXPECT_EQ(GetFieldValue(context, "b"), "");
  context.FormFields.resize(32768);
  EXPECT_RUNTIME_ERROR(GetFieldValue(context, "a"), 6);
}

}  // namespace
}  // namespace kvo
