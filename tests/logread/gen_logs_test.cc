#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logread/reader_fixture.h"

namespace kvo::test {
namespace {

struct Generated {
  std::string out;
  int status = -1;
};

// Runs the generator with `args` through the shell; standard error is
// dropped.
Generated Generate(const std::vector<std::string>& args) {
  std::string command = "'" + GeneratorExecutable() + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " 2>/dev/null";
  Generated result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    result.out.append(chunk, got);
  }
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

const std::string kSender = "spy@sender.invalid";

TEST(GenLogsTest, MonthlyIncomingFilesAndReport) {
  TempDir dir;
  Generated g = Generate({"--folder", dir.str(), "--log", "incoming",
                          "--period", "monthly", "--first", "2024-01-30",
                          "--last", "2024-03-02", "--lines", "340", "--sender",
                          kSender, "--sender-share", "0.2"});
  ASSERT_EQ(g.status, 0);
  const char* names[] = {"Incoming2024-01.txt", "Incoming2024-02.txt",
                         "Incoming2024-03.txt"};
  const size_t days_before[] = {0, 2, 31, 33};
  std::string report;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    std::string bytes = ReadFile(dir / names[i]);
    std::vector<std::string> lines = SplitCrLf(bytes);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(
        lines[0],
        "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject\tSize");
    size_t data_lines = lines.size() - 1;
    EXPECT_EQ(data_lines,
              340 * days_before[i + 1] / 33 - 340 * days_before[i] / 33)
        << "spread evenly over the days";
    for (size_t k = 1; k < lines.size(); ++k) {
      EXPECT_EQ(Count(lines[k], "\t"), 9u) << lines[k];
    }
    report += dir / names[i];
    report += "\t" + std::to_string(data_lines) + "\t" +
              std::to_string(Count(bytes, kSender)) + "\n";
  }
  EXPECT_EQ(g.out, report);
}

class GenLogsReadTest : public ReaderTest {};

// The reader selects exactly the lines the generator reports, in every
// date form and line end.
TEST_F(GenLogsReadTest, ReaderSelectsTheReportedSenderLines) {
  const struct {
    const char* form;
    const char* line_end;
  } cases[] = {{"dmy", "crlf"}, {"ymd", "lf"}, {"mdy", "cr"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form);
    TempDir out;
    Generated g =
        Generate({"--folder",    out.str(),    "--log",           "outgoing",
                  "--period",    "monthly",    "--first",         "2024-03-01",
                  "--last",      "2024-03-31", "--lines-per-day", "40",
                  "--date-form", c.form,       "--line-end",      c.line_end,
                  "--sender",    kSender,      "--sender-share",  "0.05",
                  "--seed",      "7"});
    ASSERT_EQ(g.status, 0);
    std::string expected = out / "Outgoing2024-03.txt";
    ASSERT_EQ(g.out.substr(0, expected.size() + 6), expected + "\t1240\t");
    int reported = std::stoi(g.out.substr(expected.size() + 6));
    EXPECT_GT(reported, 0);
    reader_.P_datStart = MakeDate(2024, 3, 1);
    reader_.P_datEnd = MakeDate(2024, 3, 31);
    reader_.P_strFromSel = kSender;
    OpenWith(LogOutgoing, ReadFile(expected));
    int taken = 0;
    std::vector<ReadLine> lines = ReadAll(2000);
    for (const ReadLine& line : lines) taken += line.taken ? 1 : 0;
    EXPECT_EQ(lines.size(), 1241u);
    EXPECT_EQ(taken, reported);
    reader_.P_Open(false);
  }
}

TEST(GenLogsTest, DailyFilesWithoutTitle) {
  TempDir dir;
  Generated g =
      Generate({"--folder", dir / "sub", "--log", "outgoing", "--period",
                "daily", "--first", "2024-02-28", "--last", "2024-03-01",
                "--lines-per-day", "3", "--no-title"});
  ASSERT_EQ(g.status, 0);
  for (const char* name : {"Outgoing2024-02-28.txt", "Outgoing2024-02-29.txt",
                           "Outgoing2024-03-01.txt"}) {
    SCOPED_TRACE(name);
    std::vector<std::string> lines = SplitCrLf(ReadFile(dir / "sub/" + name));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Count(lines[0], "\t"), 4u);
  }
}

TEST(GenLogsTest, BadArgumentsExitWith2) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--folder", "/tmp/x", "--log", "connect", "--period", "daily", "--first",
       "2024-01-01", "--last", "2024-01-01"},
      {"--folder", "/tmp/x", "--log", "incoming", "--period", "daily",
       "--first", "2024-02-30", "--last", "2024-03-01"},
      {"--folder", "/tmp/x", "--log", "incoming", "--period", "daily",
       "--first", "2024-03-02", "--last", "2024-03-01"},
      {"--folder", "/tmp/x", "--log", "incoming", "--period", "daily",
       "--first", "2024-03-01", "--last", "2024-03-01", "--lines", "-1"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(Generate(cases[i]).status, 2);
  }
}

}  // namespace
}  // namespace kvo::test
