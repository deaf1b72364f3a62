#ifndef KVO_TESTS_SUPPORT_TEST_SUPPORT_H_
#define KVO_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/runtime_error.h"

namespace kvo::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // path() / name
  std::string operator/(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

struct ProgramResult {
  std::string out;      // standard output, byte for byte
  std::string err;      // standard error
  int status = -1;      // exit status, or 128 + signal; -1 after a time-out
  long max_rss_kb = 0;  // peak resident memory of the program
  double seconds = 0;   // wall-clock time of the run
};

enum class OutputKind { kPipe, kFile };

// Runs `program` with exactly `env` as its environment (nothing inherited)
// and `input` on its standard input; standard output goes to a pipe or to a
// regular file, as `kind` says. Gives up after `timeout_seconds`. `args`
// follow the program's name on its command line.
ProgramResult RunProgram(const std::string& program,
                         const std::map<std::string, std::string>& env,
                         const std::string& input = "",
                         OutputKind kind = OutputKind::kPipe,
                         int timeout_seconds = 60,
                         const std::vector<std::string>& args = {});

// The built CGI program and the sample-log generator.
std::string ViewerExecutable();
std::string GeneratorExecutable();

// Runs the generator with `args`; fails the test when it fails.
void RunGenerator(const std::vector<std::string>& args);

// Splits at CR LF; a trailing CR LF gives no extra empty element.
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace kvo::test

// Expects `statement` to throw kvo::RuntimeError with number `number`.
#define EXPECT_RUNTIME_ERROR(statement, expected_number)          \
  do {                                                            \
    try {                                                         \
      statement;                                                  \
      ADD_FAILURE() << "no RuntimeError from: " #statement;       \
    } catch (const ::kvo::RuntimeError& error) {                  \
      EXPECT_EQ(error.number(), (expected_number)) << #statement; \
    }                                                             \
  } while (0)

#endif  // KVO_TESTS_SUPPORT_TEST_SUPPORT_H_
