#include "gateway/process_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>

#include "support/test_support.h"

namespace kvo {
namespace {

// More than a pipe holds: the writer must wait for the reader.
TEST(FdSinkTest, WritesEveryByteThroughAPipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string sent(1 << 20, 'x');
  for (size_t i = 0; i < sent.size(); i += 4093) sent[i] = 'y';
  std::string received;
  std::thread reader([&] {
    char buffer[7001];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
      received.append(buffer, n);
  });
  FdSink sink(fds[1]);
  sink.Write(sent);
  sink.Rewind();        // no effect on a pipe
  sink.TruncateHere();  // nor this
  close(fds[1]);
  reader.join();
  close(fds[0]);
  EXPECT_EQ(received, sent);
}

TEST(FdSinkTest, AClosedReaderEndsOnlyTheOutput) {
  std::signal(SIGPIPE, SIG_IGN);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  FdSink sink(fds[1]);
  sink.Write("nobody listens");  // returns instead of failing or looping
  close(fds[1]);
}

TEST(FdSinkTest, RewindAndTruncateOnAFile) {
  test::TempDir dir;
  const std::string path = dir / "out";
  int fd = open(path.c_str(), O_CREAT | O_RDWR | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  FdSink sink(fd);
  sink.Write("a long first response");
  sink.Rewind();
  sink.Write("short");
  sink.TruncateHere();
  close(fd);
  EXPECT_EQ(test::ReadFile(path), "short");
}

TEST(FdSourceTest, ReadsUntilTheEnd) {
  test::TempDir dir;
  const std::string path = dir / "in";
  test::WriteFile(path, "abc");
  int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  FdSource source(fd);
  char buffer[8];
  EXPECT_EQ(source.Read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(source.Read(buffer, sizeof buffer), 0u);
  close(fd);
  FdSource closed(fd);  // a read error reads as the end
  EXPECT_EQ(closed.Read(buffer, sizeof buffer), 0u);
}

TEST(ProcessEnvironmentTest, UnsetReadsAsEmpty) {
  setenv("KVO_TEST_VARIABLE", "value", 1);
  ProcessEnvironment env;
  EXPECT_EQ(env.Get("KVO_TEST_VARIABLE"), "value");
  unsetenv("KVO_TEST_VARIABLE");
  EXPECT_EQ(env.Get("KVO_TEST_VARIABLE"), "");
}

}  // namespace
}  // namespace kvo
