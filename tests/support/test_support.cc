#include "support/test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kvo::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() / ("kvo-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string TempDir::operator/(const std::string& name) const {
  return (path_ / name).string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

namespace {

// Reads everything from `fd` until end of input or the deadline.
std::string Drain(int fd, std::chrono::steady_clock::time_point deadline,
                  bool& timed_out) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      return bytes;
    }
    pollfd watch{fd, POLLIN, 0};
    int ready = poll(&watch, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

ProgramResult RunProgram(const std::string& program,
                         const std::map<std::string, std::string>& env,
                         const std::string& input, OutputKind kind,
                         int timeout_seconds,
                         const std::vector<std::string>& args) {
  TempDir scratch;
  std::string input_path = scratch / "stdin";
  std::string output_path = scratch / "stdout";
  std::string error_path = scratch / "stderr";
  WriteFile(input_path, input);

  int out_pipe[2] = {-1, -1};
  if (kind == OutputKind::kPipe && pipe(out_pipe) != 0) {
    throw std::runtime_error("pipe failed");
  }
  std::vector<std::string> env_strings;
  for (const auto& [name, value] : env)
    env_strings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> arg_strings = args;
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (auto& arg : arg_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = open(input_path.c_str(), O_RDONLY);
    int err = open(error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int out = kind == OutputKind::kPipe
                  ? out_pipe[1]
                  : open(output_path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (kind == OutputKind::kPipe) close(out_pipe[0]);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }

  auto started = std::chrono::steady_clock::now();
  auto deadline = started + std::chrono::seconds(timeout_seconds);
  ProgramResult result;
  bool timed_out = false;
  if (kind == OutputKind::kPipe) {
    close(out_pipe[1]);
    result.out = Drain(out_pipe[0], deadline, timed_out);
    close(out_pipe[0]);
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (timed_out || std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      timed_out = true;
      break;
    }
    usleep(500);
  }
  result.max_rss_kb = usage.ru_maxrss;
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started)
          .count();
  if (kind == OutputKind::kFile) result.out = ReadFile(output_path);
  result.err = ReadFile(error_path);
  result.status =
      WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (timed_out) result.status = -1;
  return result;
}

std::string ViewerExecutable() { return KVO_EXECUTABLE; }
std::string GeneratorExecutable() { return KVO_GENERATOR; }

void RunGenerator(const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    std::vector<char*> argv;
    std::string program = GeneratorExecutable();
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "generator failed";
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace kvo::test
