#include <gtest/gtest.h>

#include <map>
#include <string>

#include "expected_pages.h"
#include "support/test_support.h"

namespace kvo::test {
namespace {

constexpr char kScript[] = "/cgi-bin/KvoViewLog";
const OutputKind kBothKinds[] = {OutputKind::kPipe, OutputKind::kFile};

const char* KindName(OutputKind kind) {
  return kind == OutputKind::kPipe ? "pipe" : "file";
}

std::string ManyFields(int count) {
  std::string data;
  for (int i = 0; i < count; ++i) data += "a=1&";
  return data;
}

bool EveryLineEndsInCrLf(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(GatewayExeTest, AGetRequestGetsTheViewerPage) {
  for (OutputKind kind : kBothKinds) {
    SCOPED_TRACE(KindName(kind));
    ProgramResult result =
        RunProgram(ViewerExecutable(), {{"REQUEST_METHOD", "GET"}}, "", kind);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind(kPageStart, 0), 0u) << result.out;
    EXPECT_TRUE(EveryLineEndsInCrLf(result.out));
  }
}

TEST(GatewayExeTest, RequestErrorsGiveExactlyTheErrorPage) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> env;
    std::string body;
    std::string script_shown;
    std::string description;
  };
  const std::string big_body = ManyFields(40000);
  const Case cases[] = {
      {"negative length",
       {{"REQUEST_METHOD", "POST"},
        {"CONTENT_LENGTH", "-1"},
        {"SCRIPT_NAME", kScript}},
       "a=1",
       kScript,
       "Invalid procedure call or argument Error Number =  5"},
      {"length above 1 MiB",
       {{"REQUEST_METHOD", "POST"},
        {"CONTENT_LENGTH", "1048577"},
        {"SCRIPT_NAME", kScript}},
       big_body,
       kScript,
       "Request body larger than 1048576 bytes Error Number =  5"},
      {"markup in the script name",
       {{"REQUEST_METHOD", "POST"},
        {"CONTENT_LENGTH", "-1"},
        {"SCRIPT_NAME", "/cgi-bin/<b>\"x\"&'y'"}},
       "",
       "/cgi-bin/&lt;b&gt;&quot;x&quot;&amp;&#39;y&#39;",
       "Invalid procedure call or argument Error Number =  5"},
  };
  for (const Case& c : cases) {
    for (OutputKind kind : kBothKinds) {
      SCOPED_TRACE(std::string(c.name) + ", " + KindName(kind));
      ProgramResult result =
          RunProgram(ViewerExecutable(), c.env, c.body, kind);
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(result.out, ErrorPage(c.script_shown, c.description));
    }
  }
}

// 32768 fields or more overflow the page's first parameter lookup, after the
// page head was written: a file keeps only the error page, a pipe gets both.
TEST(GatewayExeTest, TooManyFieldsReplaceOrFollowThePageHead) {
  struct Case {
    const char* name;
    const char* content_length;
    int fields_sent;
    bool overflow;
  };
  const Case cases[] = {
      {"length above the body: all that came", "1000000", 40000, true},
      {"32767 fields read", "131068", 40000, false},
      {"32768 fields read", "131072", 40000, true},
      {"number prefix 12abc style", "131072abc", 40000, true},
      {"no number reads nothing", "abc", 40000, false},
  };
  const std::string page = ErrorPage(kScript, "Overflow Error Number =  6");
  for (const Case& c : cases) {
    for (OutputKind kind : kBothKinds) {
      SCOPED_TRACE(std::string(c.name) + ", " + KindName(kind));
      ProgramResult result = RunProgram(ViewerExecutable(),
                                        {{"REQUEST_METHOD", "POST"},
                                         {"CONTENT_LENGTH", c.content_length},
                                         {"SCRIPT_NAME", kScript}},
                                        ManyFields(c.fields_sent), kind);
      EXPECT_EQ(result.status, 0);
      if (!c.overflow) {
        EXPECT_EQ(result.out.rfind(kPageStart, 0), 0u);
        EXPECT_EQ(result.out.find("500 Internal Error"), std::string::npos);
      } else if (kind == OutputKind::kFile) {
        EXPECT_EQ(result.out, page);
      } else {
        EXPECT_EQ(result.out.rfind(kPageStart, 0), 0u);
        EXPECT_TRUE(EndsWith(result.out, page));
        EXPECT_GT(result.out.size(), page.size());
      }
    }
  }
}

TEST(GatewayExeTest, TooManyFieldsInTheQueryString) {
  std::string query;
  for (int i = 0; i < 33000; ++i) query += "a=&";
  ProgramResult result = RunProgram(ViewerExecutable(),
                                    {{"REQUEST_METHOD", "GET"},
                                     {"QUERY_STRING", query},
                                     {"SCRIPT_NAME", kScript}},
                                    "", OutputKind::kFile);
  EXPECT_EQ(result.out, ErrorPage(kScript, "Overflow Error Number =  6"));
}

}  // namespace
}  // namespace kvo::test
