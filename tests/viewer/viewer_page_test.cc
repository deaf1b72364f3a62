#include "viewer/viewer_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gateway/process_io.h"
#include "support/fake_process.h"
#include "support/test_support.h"

namespace kvo {
namespace {

TEST(StyleSheetLinkTest, OnlyThePathOfTheReferrerCounts) {
  struct Case {
    const char* referer;
    const char* href;
  };
  const Case cases[] = {
      {"", "/KvoViewLog.css"},
      {"http://intranet/form.htm", "/KvoViewLog.css"},
      {"http://intranet", "/KvoViewLog.css"},
      {"https://intranet:8080/kvo/form.htm", "/kvo/KvoViewLog.css"},
      {"http://evil.example/a/b/form.htm?x=/c/d#e/f", "/a/b/KvoViewLog.css"},
      {"http://intranet//evil.example/x/form.htm",
       "/evil.example/x/KvoViewLog.css"},
      {"http://intranet/\\/evil.example/x/form.htm",
       "/evil.example/x/KvoViewLog.css"},
      {"//evil.example/x/form.htm", "/x/KvoViewLog.css"},
      {"/kvo/form.htm", "/kvo/KvoViewLog.css"},
      {"kvo/form.htm", "kvo/KvoViewLog.css"},
      {"http://h/a\"><script>/f", "/a&quot;&gt;&lt;script&gt;/KvoViewLog.css"},
      {"/\t/evil.example/a/b", "/%09/evil.example/a/KvoViewLog.css"},
      {"http://h/k\xE4se/\r\n/f", "/k%E4se/%0D%0A/KvoViewLog.css"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.referer);
    EXPECT_EQ(
        StyleSheetLink(c.referer),
        std::string("<link rel=\"stylesheet\" type=\"text/css\" href=\"") +
            c.href + "\">");
  }
}

TEST(AboutLineTest, LowerCasedNameWithoutExtension) {
  struct Case {
    const char* file_name;
    const char* shown;
  };
  const Case cases[] = {
      {"KvoViewLog", "kvoviewlog"},
      {"Viewer.cgi", "viewer"},
      {"KvoViewLog.EXE", "kvoviewlog"},
      {"a.b.cgi", "a.b"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file_name);
    EXPECT_EQ(AboutLine(c.file_name), std::string("<P class=\"About\">") +
                                          c.shown + ".exe version 1.20</p>");
  }
}

// The page in process, over an empty log folder.
class ViewerPageTest : public ::testing::Test {
 protected:
  std::vector<std::string> Show(std::vector<FormField> fields) {
    CgiContext context;
    context.StdOutHandle = &sink_;
    context.ScriptName = "/cgi-bin/KvoViewLog";
    context.log_root = logs_.str();
    context.facts = {"KvoViewLog", [] { return std::string("www-data"); }};
    fields.push_back({"Log", "Incoming"});
    fields.push_back({"LogFilePath", logs_.str()});
    fields.push_back({"DateLoDay", "1"});
    fields.push_back({"DateLoMonth", "3"});
    fields.push_back({"DateLoYear", "2024"});
    context.FormFields = std::move(fields);
    ShowViewerPage(context);
    return sink_.writes;
  }

  test::TempDir logs_;
  test::StringSink sink_;
};

TEST_F(ViewerPageTest, EachLineIsOneWriteAndTheListingComesAfter) {
  std::vector<std::string> writes = Show({{"IpAddress", "300.1.1.1"}});
  auto block = std::find(writes.begin(), writes.end(),
                         "<P class=\"CriteriaError\">\r\n"
                         "IP Address selection: You did not enter a valid IP "
                         "Address.\r\n</p>\r\n\r\n");
  ASSERT_NE(block, writes.end());
  ASSERT_EQ(writes.end() - block, 4);
  EXPECT_TRUE(block[1].starts_with("<H4>Error accessing log file: "));
  EXPECT_TRUE(block[1].ends_with("Logged in as: www-data</H4>\r\n"));
  EXPECT_EQ(block[2], "\r\n");
  EXPECT_EQ(block[3], "<P class=\"About\">kvoviewlog.exe version 1.20</p>\r\n");
  for (auto line = writes.begin(); line != block; ++line) {
    SCOPED_TRACE(*line);
    EXPECT_TRUE(line->ends_with("\r\n"));
    EXPECT_EQ(test::SplitCrLf(*line).size(),
              line->starts_with("Content-type:") ? 2u : 1u);
  }
}

}  // namespace
}  // namespace kvo
