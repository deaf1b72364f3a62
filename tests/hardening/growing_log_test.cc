// The gateway appends to the monthly file while listings run: every listing
// must finish, show no line twice, and consider every line that was complete
// before it began.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "hardening/request_env.h"
#include "support/test_support.h"

namespace kvo::test {
namespace {

TEST(GrowingLogTest, ListingsWhileTheGatewayAppends) {
  TempDir folder;
  const std::string path = folder / "Incoming2024-03.txt";
  WriteFile(path, kIncomingTitle);

  std::atomic<int> complete_lines{0};
  std::atomic<bool> stop{false};
  std::thread gateway([&] {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    for (int seq = 0; seq < 30000 && !stop; ++seq) {
      std::string line =
          IncomingLine(1 + seq % 28, "seq=" + std::to_string(seq) + ";");
      // Half a line first, so that readers also meet unfinished lines.
      size_t half = line.size() / 2;
      ASSERT_EQ(write(fd, line.data(), half), static_cast<ssize_t>(half));
      ASSERT_EQ(write(fd, line.data() + half, line.size() - half),
                static_cast<ssize_t>(line.size() - half));
      complete_lines = seq + 1;
      if (seq % 50 == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    close(fd);
  });

  int listings = 0;
  for (auto started = std::chrono::steady_clock::now();
       std::chrono::steady_clock::now() - started < std::chrono::seconds(3) ||
       listings < 5;
       ++listings) {
    int complete_before = complete_lines;
    ProgramResult result = RunProgram(
        ViewerExecutable(), MarchRequest(folder.str(), "&MaxLines=1000000"));
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_NE(result.out.find("<P class=\"About\">"), std::string::npos);
    std::set<int> seen;
    int previous = -1;
    for (size_t at = result.out.find("seq="); at != std::string::npos;
         at = result.out.find("seq=", at + 1)) {
      size_t end = result.out.find(';', at);
      if (end == std::string::npos) break;
      int seq = std::stoi(result.out.substr(at + 4, end - at - 4));
      ASSERT_GT(seq, previous)
          << "line " << seq << " shown twice or out of order";
      previous = seq;
      seen.insert(seq);
    }
    for (int seq = 0; seq < complete_before; ++seq) {
      ASSERT_TRUE(seen.count(seq))
          << "line " << seq << " was complete before the listing";
    }
  }
  stop = true;
  gateway.join();
  EXPECT_GE(listings, 5);
}

}  // namespace
}  // namespace kvo::test
