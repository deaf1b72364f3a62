// Requests an attacker could send, through the real program: none may crash
// it, hang it, put markup into the page or read a file outside the log root.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "hardening/request_env.h"
#include "support/test_support.h"

namespace kvo::test {
namespace {

namespace fs = std::filesystem;

constexpr double kSecondsBound = 20;
constexpr long kMemoryBoundKb = 512 * 1024;  // sanitizer builds included

// Percent-encodes every byte that is not a letter or digit.
std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool EndsWithAboutLine(const std::string& page) {
  size_t at = page.rfind(kAboutLinePrefix);
  return at != std::string::npos &&
         page.compare(page.size() - 6, 6, "</p>\r\n") == 0;
}

class HostileRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(root_ / "logs");
    WriteFile(root_ / "logs/Incoming2024-03.txt",
              kIncomingTitle + IncomingLine(5, "inside the root"));
    fs::create_directory(outside_ / "logs");
    WriteFile(outside_ / "logs/Incoming2024-03.txt",
              kIncomingTitle + IncomingLine(5, "SENTINEL-OUTSIDE"));
  }

  ProgramResult Run(std::map<std::string, std::string> env,
                    const std::string& input = "") {
    env["KVO_LOG_ROOT"] = root_.str();
    ProgramResult result = RunProgram(ViewerExecutable(), env, input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_LT(result.seconds, kSecondsBound);
    EXPECT_LT(result.max_rss_kb, kMemoryBoundKb);
    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
    return result;
  }

  TempDir root_;
  TempDir outside_;
};

TEST_F(HostileRequestTest, MarkupInEchoedParametersArrivesEncoded) {
  const std::string payload = "\"'><kvo-injected onload=x>&amp;";
  const std::string encoded = UrlEncode(payload);
  const std::string folder = root_ / "logs";
  struct Case {
    std::string name;
    std::map<std::string, std::string> env;
  };
  std::vector<Case> cases;
  for (std::string field :
       {"POP3AccountSelection", "FromSelection", "ToSelection",
        "RoutedSelection", "SubjectSelection"}) {
    cases.push_back({field, MarchRequest(folder, "&" + field + "=" + encoded)});
  }
  cases.push_back({"Log", MarchRequest(folder)});
  cases.back().env["QUERY_STRING"] =
      "Log=" + encoded + "&LogFilePath=" + folder +
      "&DateLoDay=1&DateLoMonth=3&DateLoYear=2024";
  for (std::string field :
       {"DateLoDay", "DateLoMonth", "DateLoYear", "DateHiDay"}) {
    cases.push_back({field, MarchRequest(folder, "&" + field + "=" + encoded)});
  }
  cases.push_back({"IpAddress", MarchRequest(folder, "&IpAddress=" + encoded)});
  cases.push_back(
      {"IpAddress2OrSubnetMask",
       MarchRequest(folder,
                    "&IpAddress=10.0.0.1&IpAddress2OrSubnetMask=" + encoded)});
  cases.push_back({"LogFilePath", MarchRequest(folder + "/" + encoded)});
  cases.push_back({"SCRIPT_NAME", MarchRequest(folder)});
  cases.back().env["SCRIPT_NAME"] = "/cgi-bin/" + payload;
  cases.back().env["QUERY_STRING"] = "Log=nothing";
  cases.push_back({"HTTP_REFERER", MarchRequest(folder)});
  cases.back().env["HTTP_REFERER"] =
      "http://evil.example/" + payload + "/form.html";
  cases.push_back({"MaxLines", MarchRequest(folder, "&MaxLines=" + encoded)});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = Run(c.env);
    EXPECT_EQ(result.out.find("<kvo-injected"), std::string::npos);
    EXPECT_EQ(result.out.find("\"'>"), std::string::npos);
    EXPECT_NE(result.out.find("HTTP/1.0 "), std::string::npos);
  }
}

TEST_F(HostileRequestTest, LogFilePathNeverLeavesTheRoot) {
  fs::create_directory_symlink(outside_ / "logs", root_ / "link-out");
  const std::string inside = root_ / "logs";
  const std::string long_path =
      inside + "/" + std::string(3000, 'a') + std::string(3000, '/');
  std::vector<std::pair<std::string, std::string>> paths = {
      {"dot-dot", UrlEncode(inside + "/../../" +
                            outside_.path().filename().string() + "/logs")},
      {"absolute outside", UrlEncode(outside_ / "logs")},
      {"symbolic link", UrlEncode(root_ / "link-out")},
      {"NUL inside",
       UrlEncode(inside) + "%00/../../" + UrlEncode(outside_ / "logs")},
      {"NUL then outside", UrlEncode(outside_ / "logs") + "%00"},
      {"very long", UrlEncode(long_path)},
      {"root itself via dot-dot", UrlEncode(inside + "/..")},
  };
  for (const auto& [name, path] : paths) {
    SCOPED_TRACE(name);
    auto env = MarchRequest("", "");
    env["QUERY_STRING"] =
        "Log=Incoming&LogFilePath=" + path +
        "&DateLoDay=1&DateLoMonth=3&DateLoYear=2024&DateHiDay=31&DateHiMonth=3"
        "&DateHiYear=2024";
    ProgramResult result = Run(env);
    EXPECT_EQ(result.out.find("SENTINEL-OUTSIDE"), std::string::npos);
  }
  ProgramResult allowed = Run(MarchRequest(inside));
  EXPECT_NE(allowed.out.find("inside the root"), std::string::npos)
      << allowed.out;
}

TEST_F(HostileRequestTest, ContentLengthMismatches) {
  const std::string body =
      MarchRequest(root_ / "logs")["QUERY_STRING"] + "&FromSelection=someone";
  auto post = [&](const std::string& length) {
    auto env = MarchRequest("");
    env.erase("QUERY_STRING");
    env["REQUEST_METHOD"] = "POST";
    if (!length.empty()) env["CONTENT_LENGTH"] = length;
    return env;
  };
  struct Case {
    std::string name;
    std::string length;
    bool full_page;       // the listing with the criteria
    bool internal_error;  // the 500 page
  };
  const std::string size = std::to_string(body.size());
  const Case cases[] = {
      {"exact", size, true, false},
      {"larger than the body", std::to_string(body.size() + 500), true, false},
      {"smaller than the body", "12", false, false},
      {"missing", "", false, false},
      {"negative", "-1", false, true},
      {"above the cap", std::to_string((1 << 20) + 1), false, true},
      {"far above the cap", "2000000000", false, true},
      {"beyond 32 bits", "99999999999", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = Run(post(c.length), body);
    EXPECT_EQ(result.out.find("inside the root") != std::string::npos,
              c.full_page);
    EXPECT_EQ(result.out.rfind("HTTP/1.0 500 Internal Error", 0) == 0,
              c.internal_error)
        << result.out.substr(0, 200);
    if (c.name.find("cap") != std::string::npos) {
      EXPECT_NE(result.out.find("Request body larger than 1048576 bytes"),
                std::string::npos);
    }
    if (!c.internal_error) {
      EXPECT_EQ(result.out.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    }
  }
}

TEST_F(HostileRequestTest, BodyArrivingInSlowPieces) {
  std::string body = MarchRequest(root_ / "logs")["QUERY_STRING"];
  int in[2];
  int out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  std::string length = "CONTENT_LENGTH=" + std::to_string(body.size());
  std::string root = "KVO_LOG_ROOT=" + root_.str();
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    char* envp[] = {const_cast<char*>("REQUEST_METHOD=POST"), length.data(),
                    root.data(), const_cast<char*>("LC_ALL=C"), nullptr};
    std::string program = ViewerExecutable();
    char* argv[] = {program.data(), nullptr};
    execve(program.c_str(), argv, envp);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  std::thread writer([&] {
    for (size_t at = 0; at < body.size(); at += 16) {
      std::string piece = body.substr(at, 16);
      ASSERT_EQ(write(in[1], piece.data(), piece.size()),
                static_cast<ssize_t>(piece.size()));
      usleep(20000);
    }
    close(in[1]);
  });
  std::string page;
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
    page.append(buffer, n);
  writer.join();
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_NE(page.find("inside the root"), std::string::npos) << page;
}

TEST_F(HostileRequestTest, FortyThousandFieldsGiveTheInternalErrorPage) {
  std::string query;
  for (int i = 0; i < 40000; ++i) query += "f" + std::to_string(i) + "=v&";
  auto env = MarchRequest(root_ / "logs");
  env.erase("QUERY_STRING");
  env["REQUEST_METHOD"] = "POST";
  env["CONTENT_LENGTH"] = std::to_string(query.size());
  ProgramResult result = Run(env, query);
  EXPECT_NE(result.out.find("HTTP/1.0 500 Internal Error"), std::string::npos);
  EXPECT_NE(result.out.find("Overflow Error Number =  6"), std::string::npos);
}

TEST_F(HostileRequestTest, BinaryBytesInNamesAndValues) {
  std::string every_byte;
  for (int c = 1; c < 256; ++c) every_byte += static_cast<char>(c);
  std::string escaped;
  for (int c = 0; c < 256; ++c) {
    char hex[4];
    snprintf(hex, sizeof hex, "%%%02X", c);
    escaped += hex;
  }
  const std::string folder = root_ / "logs";
  const std::string queries[] = {
      "Log=Incoming&LogFilePath=" + folder + "&" + every_byte,
      MarchRequest(folder)["QUERY_STRING"] + "&FromSelection=" + escaped,
      MarchRequest(folder)["QUERY_STRING"] + "&" + escaped + "=" + escaped,
      MarchRequest(folder)["QUERY_STRING"] + "&SubjectSelection=" + every_byte,
  };
  for (const std::string& query : queries) {
    auto env = MarchRequest(folder);
    env["QUERY_STRING"] = query;
    ProgramResult result = Run(env);
    EXPECT_EQ(result.out.rfind("HTTP/1.0 ", 0), 0u);
  }
}

TEST_F(HostileRequestTest, HugeLinesAndFilesWithoutLineEnds) {
  const std::string folder = root_ / "logs";
  struct Case {
    std::string name;
    std::string contents;
    std::string expected;  // a text the page must show
  };
  const Case cases[] = {
      {"a line of 10 MB",
       kIncomingTitle + IncomingLine(5, std::string(10 << 20, 'S')) +
           IncomingLine(6, "after the long line"),
       "after the long line"},
      {"a line of 10 MB is shown cut at 1 MiB",
       kIncomingTitle + IncomingLine(5, std::string(10 << 20, 'S')),
       "SSSS [...]</TD>"},
      {"no line end at all", std::string(1 << 20, 'x'), "<table"},
      {"only line ends", std::string(100000, '\n'), "<table"},
      {"NUL bytes",
       kIncomingTitle + std::string(1000, '\0') + "\r\n" +
           IncomingLine(7, "after NULs"),
       "after NULs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(folder + "/Incoming2024-03.txt", c.contents);
    ProgramResult result = Run(MarchRequest(folder, "&MaxLines=1000000"));
    EXPECT_NE(result.out.find(c.expected), std::string::npos);
    EXPECT_TRUE(EndsWithAboutLine(result.out));
    EXPECT_LT(result.out.size(), size_t{3} << 20);
  }
}

TEST_F(HostileRequestTest, OnlyRegularFilesInsideTheRootAreRead) {
  const std::string folder = root_ / "logs";
  fs::remove(folder + "/Incoming2024-03.txt");
  WriteFile(root_ / "elsewhere.txt",
            kIncomingTitle + IncomingLine(5, "linked inside the root"));
  struct Case {
    std::string name;
    std::function<void(const std::string& file)> make;
    std::string expected;  // a text the page must show
  };
  const Case cases[] = {
      {"a FIFO", [](const std::string& f) { ::mkfifo(f.c_str(), 0644); },
       "Not a regular file (75)"},
      {"a link to a device",
       [](const std::string& f) { fs::create_symlink("/dev/zero", f); },
       "Not a regular file (75)"},
      {"a folder",
       [](const std::string& f) { fs::create_directory(f); },
       "Is a directory (75)"},
      {"a link that leads outside the root",
       [this](const std::string& f) {
         fs::create_symlink(outside_ / "logs/Incoming2024-03.txt", f);
       },
       "outside the log folder root (75)"},
      {"a link inside the root",
       [this](const std::string& f) {
         fs::create_symlink(root_ / "elsewhere.txt", f);
       },
       "linked inside the root"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = folder + "/Incoming2024-03.txt";
    c.make(file);
    ProgramResult result = Run(MarchRequest(folder));
    EXPECT_NE(result.out.find(c.expected), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("SENTINEL-OUTSIDE"), std::string::npos);
    EXPECT_LT(result.seconds, 5);
    fs::remove(file);
  }
}

TEST_F(HostileRequestTest, SmallRequestsBuyBoundedWork) {
  const std::string folder = root_ / "logs";
  // Centuries of days over a folder of one file.
  auto env = MarchRequest(folder);
  env["QUERY_STRING"] =
      "Log=Incoming&LogFilePath=" + folder +
      "&DateLoDay=1&DateLoMonth=1&DateLoYear=1980&DateHiDay=31"
      "&DateHiMonth=12&DateHiYear=9999&MaxLines=0";
  ProgramResult centuries = Run(env);
  EXPECT_LT(centuries.seconds, 2);
  EXPECT_NE(centuries.out.find("<table"), std::string::npos);

  const std::string long_text(1001, 'a');
  ProgramResult too_long =
      Run(MarchRequest(folder, "&SubjectSelection=" + long_text));
  EXPECT_NE(too_long.out.find("<PRE>Selection text too long (more than 1000 "
                              "characters).</PRE>"),
            std::string::npos);

  // The page is written as it grows: memory stays where a short one is.
  std::string lines = kIncomingTitle;
  for (int i = 0; i < 100000; ++i) lines += IncomingLine(1 + i % 28, "x");
  WriteFile(folder + "/Incoming2024-03.txt", lines);
  ProgramResult small = Run(MarchRequest(folder, "&MaxLines=10"));
  ProgramResult all = Run(MarchRequest(folder, "&MaxLines=2147483647"));
  EXPECT_GT(all.out.size(), size_t{50} << 20);
  EXPECT_LT(all.max_rss_kb - small.max_rss_kb, 16 * 1024);
}

}  // namespace
}  // namespace kvo::test
