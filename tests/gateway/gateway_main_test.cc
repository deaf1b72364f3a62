#include "gateway/gateway_main.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/runtime_error.h"
#include "expected_pages.h"
#include "viewer/viewer_page.h"
#include "support/fake_process.h"
#include "support/test_support.h"

namespace kvo {
namespace {

using test::ErrorPage;
using test::kPageStart;
using test::MapEnvironment;
using test::StringSink;
using test::StringSource;

constexpr char kScript[] = "/cgi-bin/KvoViewLog";

std::string ManyFields(int count) {
  std::string query;
  for (int i = 0; i < count; ++i) query += "a=1&";
  return query;
}

// An environment whose SERVER_NAME raises the run-time error `number`.
class FailingEnvironment final : public Environment {
 public:
  explicit FailingEnvironment(int32_t number) : number_(number) {}
  std::string Get(const char* name) const override {
    if (std::string(name) == "SERVER_NAME") {
      throw RuntimeError(number_, "test", "Failed");
    }
    return std::string();
  }

 private:
  int32_t number_;
};

TEST(GatewayMainTest, AnswersAGetWithTheViewerPage) {
  MapEnvironment env(
      std::map<std::string, std::string>{{"REQUEST_METHOD", "GET"}});
  StringSource in("");
  StringSink out;
  GatewayMain(ShowViewerPage, env, in, out);
  ASSERT_EQ(out.contents.rfind(kPageStart, 0), 0u) << out.contents;
  for (const std::string& write : out.writes) {
    SCOPED_TRACE(write);
    ASSERT_GE(write.size(), 2u);
    EXPECT_EQ(write.substr(write.size() - 2), "\r\n");
  }
}

TEST(GatewayMainTest, ErrorsBeforeThePageGiveOnlyTheErrorPage) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> env;
    std::string description;
  };
  const Case cases[] = {
      {"negative length",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "-1"}},
       "Invalid procedure call or argument Error Number =  5"},
      {"length above 1 MiB",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "1048577"}},
       "Request body larger than 1048576 bytes Error Number =  5"},
      {"length beyond 32 bits",
       {{"REQUEST_METHOD", "POST"}, {"CONTENT_LENGTH", "1e10"}},
       "Overflow Error Number =  6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> vars = c.env;
    vars["SCRIPT_NAME"] = kScript;
    MapEnvironment env(vars);
    StringSource in("a=1");
    StringSink out;
    GatewayMain(ShowViewerPage, env, in, out);
    EXPECT_EQ(out.contents, ErrorPage(kScript, c.description));
  }
}

TEST(GatewayMainTest, ErrorNumberHasASignPosition) {
  struct Case {
    int32_t number;
    const char* description;
  };
  const Case cases[] = {
      {13, "Failed Error Number =  13"},
      {-5, "Failed Error Number = -5"},
      {0, "Failed Error Number =  0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    FailingEnvironment env(c.number);
    StringSource in("");
    StringSink out;
    GatewayMain(ShowViewerPage, env, in, out);
    EXPECT_EQ(out.contents, ErrorPage("", c.description));
  }
}

// Too many fields surface when the page reads its first parameter, after the
// page head went out.
TEST(GatewayMainTest, ErrorAfterThePageHeadReplacesOrFollowsIt) {
  for (bool is_file : {true, false}) {
    SCOPED_TRACE(is_file ? "file" : "pipe");
    MapEnvironment env(
        {{"QUERY_STRING", ManyFields(40000)}, {"SCRIPT_NAME", kScript}});
    StringSource in("");
    StringSink out(is_file);
    GatewayMain(ShowViewerPage, env, in, out);
    const std::string page = ErrorPage(kScript, "Overflow Error Number =  6");
    if (is_file) {
      EXPECT_EQ(out.contents, page);
    } else {
      EXPECT_EQ(out.contents.rfind(kPageStart, 0), 0u);
      ASSERT_GT(out.contents.size(), page.size());
      EXPECT_EQ(out.contents.substr(out.contents.size() - page.size()), page);
    }
  }
}

}  // namespace
}  // namespace kvo
