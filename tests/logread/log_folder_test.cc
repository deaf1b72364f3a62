#include "logread/log_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace kvo {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<size_t>(got));
  }
  return text;
}

TEST(LogFolderTest, FilesComeFromTheFolderOpenedEvenAfterItWasReplaced) {
  test::TempDir dir;
  fs::create_directory(dir / "logs");
  fs::create_directory(dir / "other");
  test::WriteFile(dir / "logs/Incoming2024-03.txt", "the right one");
  test::WriteFile(dir / "other/Incoming2024-03.txt", "the other one");
  LogFolder folder(dir / "logs", dir.str());
  ASSERT_TRUE(folder.is_open());
  // Swapped for a link to another folder while a listing runs.
  fs::rename(dir / "logs", dir / "logs.old");
  fs::create_directory_symlink(dir / "other", dir / "logs");
  LogFolder::Opened opened = folder.OpenFile("Incoming2024-03.txt");
  ASSERT_TRUE(opened.fd.valid()) << opened.error.text;
  EXPECT_EQ(ReadAll(opened.fd.get()), "the right one");
}

TEST(LogFolderTest, AFolderThatIsALinkOutOfTheRootIsNotOpened) {
  test::TempDir dir;
  fs::create_directory(dir / "root");
  fs::create_directory(dir / "outside");
  fs::create_directory_symlink(dir / "outside", dir / "root/logs");
  EXPECT_FALSE(LogFolder(dir / "root/logs", dir / "root").is_open());
  EXPECT_TRUE(LogFolder(dir / "root/logs", dir.str()).is_open());
}

}  // namespace
}  // namespace kvo
