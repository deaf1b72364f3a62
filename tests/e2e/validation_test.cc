// Rejected requests through the built program: the invalid-parameters page,
// the log root, encoded request texts and the internal-error page.

#include <filesystem>

#include "e2e/e2e_support.h"

namespace kvo::test {
namespace {

// The messages of the invalid-parameters page, in order.
std::vector<std::string> Messages(const std::string& page) {
  std::vector<std::string> messages;
  for (const std::string& line : SplitCrLf(page)) {
    if (line.starts_with("<PRE>") && line.ends_with("</PRE>")) {
      messages.push_back(line.substr(5, line.size() - 11));
    }
  }
  return messages;
}

const char kNoLog[] =
    "Neither 'Incoming' nor 'Outgoing' log specified. Contact the "
    "administrator of the web page.";

TEST(InvalidParametersTest, MessagesInOrder) {
  TempDir logs;
  struct Case {
    const char* name;
    Params extra;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"log, folder, minimum",
       {{"Log", "Incomings"}, {"LogFilePath", ""}, {"SizeMini", "5kb"}},
       {kNoLog, "No path for logfiles specified.",
        "Invalid minimum message size given."}},
      {"upper date invalid",
       {{"DateHiDay", "32"}},
       {"Invalid date interval (missing or invalid)."}},
      {"no first date",
       {{"DateLoDay", ""}, {"DateLoMonth", ""}, {"DateLoYear", ""}},
       {"Invalid date interval (missing or invalid)."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = Get(MarchRequest(logs.str(), c.extra));
    EXPECT_EQ(Messages(result.out), c.messages);
    EXPECT_EQ(result.out.find("<P class=\"About\">"), std::string::npos);
    EXPECT_TRUE(result.out.ends_with("</PRE>\r\n\r\n"));
  }
}

TEST(InvalidParametersTest, GoldenWithDateMessages) {
  Params params = {
      {"Log", "outgoing"},  {"LogFilePath", ""},   {"DateLoDay", "32"},
      {"DateLoMonth", "1"}, {"DateLoYear", "85"},  {"DateHiDay", "1"},
      {"DateHiMonth", "2"}, {"DateHiYear", "85x"}, {"SizeMini", "5kb"}};
  ExpectGolden(Get(params).out, "invalid_parameters.txt", "/nowhere");
}

class LogRootTest : public ::testing::Test {
 protected:
  LogRootTest() {
    std::filesystem::create_directories(dir_ / "root/logs");
    std::filesystem::create_directories(dir_ / "other");
    std::filesystem::create_directory_symlink(dir_ / "other",
                                              dir_ / "root/link");
    WriteIncomingMarch(dir_ / "root/logs");
    WriteIncomingMarch(dir_ / "other");
  }
  TempDir dir_;
};

TEST_F(LogRootTest, OnlyFoldersInsideTheRootAreRead) {
  struct Case {
    std::string folder;
    bool allowed;
  };
  const Case cases[] = {
      {dir_ / "root/logs", true},
      {dir_ / "root/logs/../../other", false},
      {dir_ / "root/link", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    std::string page =
        Get(MarchRequest(c.folder), {{"KVO_LOG_ROOT", dir_ / "root"}}).out;
    EXPECT_EQ(Messages(page), c.allowed ? std::vector<std::string>{}
                                        : std::vector<std::string>{
                                              "Log file path not allowed."});
    EXPECT_EQ(CountLines(page, "  <TR>"), c.allowed ? 5u : 0u);
  }
  std::string unrestricted = Get(MarchRequest(dir_ / "other")).out;
  EXPECT_EQ(CountLines(unrestricted, "  <TR>"), 5u);
}

TEST_F(LogRootTest, WithoutARootEveryFolderIsRefusedAndTheLogSaysWhy) {
  Env env = CgiEnv();
  env.erase("KVO_LOG_ROOT");
  env["QUERY_STRING"] = FormEncode(MarchRequest(dir_ / "root/logs"));
  ProgramResult result = RunProgram(ViewerExecutable(), env);
  EXPECT_EQ(Messages(result.out),
            std::vector<std::string>{"Log file path not allowed."});
  EXPECT_NE(result.err.find("KVO_LOG_ROOT"), std::string::npos) << result.err;
}

TEST(EncodingTest, RequestTextsArriveEncoded) {
  TempDir dir;
  const std::string markup = "<b>\"x'&";
  std::string folder = dir / markup;
  std::filesystem::create_directory(folder);
  Params params = MarchRequest(folder, {{"POP3AccountSelection", markup},
                                        {"FromSelection", markup},
                                        {"ToSelection", markup},
                                        {"RoutedSelection", markup},
                                        {"SubjectSelection", markup},
                                        {"IpAddress", "10.0.0.1"}});
  std::string page =
      Get(params, {{"HTTP_REFERER", "http://h/" + markup + "/f.htm"}}).out;
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("\"x'"), std::string::npos);
  for (const char* label :
       {"POP3 account selection: ", "'From' address selection: ",
        "'To' and 'Cc' address selection: ", "'Routed to' selection: ",
        "Message subject selection: "}) {
    SCOPED_TRACE(label);
    EXPECT_NE(page.find(std::string(label) + "&lt;b&gt;&quot;x"),
              std::string::npos);
  }

  Params invalid = {{"Log", markup}, {"DateLoDay", markup}};
  std::string rejected =
      Get(invalid, {{"SCRIPT_NAME", "/cgi-bin/" + markup}}).out;
  EXPECT_EQ(rejected.find("<b>"), std::string::npos);
  EXPECT_NE(rejected.find("<H3>Invalid parameter(s) for /cgi-bin/&lt;b&gt;"),
            std::string::npos);
  EXPECT_NE(rejected.find("Date conversion (&lt;b&gt;&quot;x"),
            std::string::npos);
}

TEST(InternalErrorTest, TooManyFieldsAfterTheHead) {
  std::string body;
  for (int i = 0; i < 32768; ++i) body += "a=&";
  Env env = CgiEnv({{"REQUEST_METHOD", "POST"},
                    {"CONTENT_LENGTH", std::to_string(body.size())}});
  const std::vector<std::string> error_page = {
      "HTTP/1.0 500 Internal Error",
      "Content-type: text/html; charset=windows-1252",
      "",
      "<HTML><HEAD>",
      "<TITLE>Error in /cgi-bin/KvoViewLog</TITLE>",
      "<H1>Error in /cgi-bin/KvoViewLog</H1>",
      "</HEAD>",
      "<BODY>",
      "The following internal error has occurred:",
      "<PRE>Overflow Error Number =  6</PRE>",
      "<I>Please</I> note what you were doing when this problem occurred, ",
      "so we can identify and correct it. Write down the Web page you were ",
      "using, any data you may have entered into a form or search box, ",
      "and anything else that may help us duplicate the problem.",
      "</BODY></HTML>"};
  std::vector<std::string> head = {
      "HTTP/1.0 200 OK",
      "Content-type: text/html; charset=windows-1252",
      "",
      "<HTML><HEAD>",
      "<TITLE>VELMORA Quillbox Logfile viewer</TITLE>",
      "<link rel=\"stylesheet\" type=\"text/css\" "
      "href=\"/kvo/KvoViewLog.css\">",
      "</HEAD>"};

  std::vector<std::string> piped =
      SplitCrLf(RunProgram(ViewerExecutable(), env, body).out);
  head.insert(head.end(), error_page.begin(), error_page.end());
  EXPECT_EQ(piped, head);

  std::string to_file =
      RunProgram(ViewerExecutable(), env, body, OutputKind::kFile).out;
  EXPECT_EQ(SplitCrLf(to_file), error_page);
}

}  // namespace
}  // namespace kvo::test
