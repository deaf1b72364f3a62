#include "gateway/response.h"

#include <gtest/gtest.h>

#include <string>

#include "expected_pages.h"
#include "support/fake_process.h"

namespace kvo {
namespace {

using test::ErrorPage;
using test::StringSink;

TEST(SendLineTest, WritesTextAndCrLfInOneCall) {
  const char* texts[] = {"", "abc", "two\r\nlines"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    StringSink sink;
    CgiContext context;
    context.StdOutHandle = &sink;
    SendLine(context, text);
    ASSERT_EQ(sink.writes.size(), 1u);
    EXPECT_EQ(sink.writes[0], std::string(text) + "\r\n");
  }
}

TEST(ShowInternalErrorTest, ReplacesAFileAndFollowsOnAPipe) {
  struct Case {
    const char* name;
    bool is_file;
    std::string expected_prefix;
  };
  const std::string earlier(5000, 'x');
  const Case cases[] = {
      {"file: rewound and truncated", true, ""},
      {"pipe: page follows", false, earlier},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StringSink sink(c.is_file);
    CgiContext context;
    context.StdOutHandle = &sink;
    context.ScriptName = "/cgi-bin/KvoViewLog";
    context.ErrorDescription = "Overflow Error Number =  6";
    sink.Write(earlier);
    ShowInternalError(context);
    EXPECT_EQ(sink.contents,
              c.expected_prefix + ErrorPage("/cgi-bin/KvoViewLog",
                                            "Overflow Error Number =  6"));
    EXPECT_EQ(sink.writes.size(), 1u + 14u);
  }
}

TEST(ShowInternalErrorTest, EncodesTheScriptNameOnly) {
  StringSink sink;
  CgiContext context;
  context.StdOutHandle = &sink;
  context.ScriptName = "/x<script>\"'&";
  context.ErrorDescription = "<b>ours</b>";
  ShowInternalError(context);
  EXPECT_EQ(sink.contents,
            ErrorPage("/x&lt;script&gt;&quot;&#39;&amp;", "<b>ours</b>"));
}

TEST(UrlDirectoryTest, TextBeforeTheLastSlash) {
  struct Case {
    const char* url;
    const char* expected;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", ""},
      {"/", ""},
      {"a/b", ""},
      {"ab/c", "ab"},
      {"ab//c", "ab/"},
      {"/dir/sub/page.htm", "/dir/sub"},
      {"http://host/form/KvoViewLog.htm", "http://host/form"},
      {"http://host", "http:/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlDirectory(c.url), c.expected);
  }
}

}  // namespace
}  // namespace kvo
