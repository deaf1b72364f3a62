#include "util/version.h"

#include <gtest/gtest.h>

#include <string>

namespace kvo {
namespace {

TEST(FormatVersionTextTest, MinorTwoDigitsRevisionLetterOrNumber) {
  struct Case {
    VersionRecord version;
    const char* expected;
  };
  const Case cases[] = {
      {{1, 20, 0}, "1.20"},      {{1, 5, 0}, "1.05"},
      {{1, 0, 0}, "1.00"},       {{1, 123, 0}, "1.123"},
      {{2, 10, 0}, "2.10"},      {{1, 20, 1}, "1.20a"},
      {{1, 20, 3}, "1.20c"},     {{1, 20, 26}, "1.20z"},
      {{1, 20, 27}, "1.20.27"},  {{12, 7, 2}, "12.07b"},
      {{0, 9, 300}, "0.09.300"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatVersionText(c.version), c.expected);
  }
}

TEST(VersionTest, ThisProgram) {
  VersionRecord version = ProgramVersion();
  EXPECT_EQ(version.major, 1);
  EXPECT_EQ(version.minor, 20);
  EXPECT_EQ(version.revision, 0);
  EXPECT_EQ(GetVersionText(), "1.20");
}

TEST(VersionTest, ExecutableFileNameIsTheTestBinary) {
  EXPECT_EQ(ExecutableFileName(), "util_tests");
}

}  // namespace
}  // namespace kvo
