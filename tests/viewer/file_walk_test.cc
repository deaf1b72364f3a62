#include "viewer/file_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "logread/log_naming.h"
#include "support/test_support.h"

namespace kvo {
namespace {

// The steps as "read NAME" or "failed FIRST..LAST (NUMBER)".
std::vector<std::string> Steps(const WalkPlan& plan) {
  std::vector<std::string> steps;
  for (const WalkStep& step : plan.steps) {
    std::string first =
        LogFileName(LogIncoming, step.first.period, step.first.day);
    if (step.kind == WalkStep::Kind::kRead) {
      steps.push_back("read " + first);
      continue;
    }
    std::string last = LogFileName(LogIncoming, step.last.period, step.last.day);
    steps.push_back("failed " + first + ".." + last + " (" +
                    std::to_string(step.error.number) + ")");
  }
  return steps;
}

TEST(FileWalkTest, TriesMonthlyFilesThenTheDaysOfMissingOnes) {
  struct Case {
    const char* name;
    std::vector<std::string> files;
    Date first;
    Date last;
    std::vector<std::string> steps;
  };
  const Case cases[] = {
      {"monthly file present: no daily file is read",
       {"Incoming2024-03.txt", "Incoming2024-03-05.txt"},
       MakeDate(2024, 3, 5),
       MakeDate(2024, 3, 9),
       {"read Incoming2024-03.txt"}},
      {"missing monthly file: the daily files, gaps as runs",
       {"Incoming2024-03-02.txt", "Incoming2024-03-03.txt.gz",
        "Incoming2024-03-06.txt"},
       MakeDate(2024, 3, 1),
       MakeDate(2024, 3, 8),
       {"failed Incoming2024-03.txt..Incoming2024-03-01.txt (53)",
        "read Incoming2024-03-02.txt", "read Incoming2024-03-03.txt",
        "failed Incoming2024-03-04.txt..Incoming2024-03-05.txt (53)",
        "read Incoming2024-03-06.txt",
        "failed Incoming2024-03-07.txt..Incoming2024-03-08.txt (53)"}},
      {"back to the monthly file at the first of a month",
       {"Incoming2024-03-31.txt", "Incoming2024-04.txt", "Outgoing2024-03.txt",
        "Incoming2024-03.txt.bak"},
       MakeDate(2024, 3, 31),
       MakeDate(2024, 4, 2),
       {"failed Incoming2024-03.txt..Incoming2024-03.txt (53)",
        "read Incoming2024-03-31.txt", "read Incoming2024-04.txt"}},
      {"centuries over an empty folder: one run",
       {},
       MakeDate(1980, 1, 1),
       MakeDate(9999, 12, 31),
       {"failed Incoming1980-01.txt..Incoming9999-12-31.txt (53)"}},
      {"a monthly file that cannot be read: its days are tried",
       {"Incoming2024-03.txt/", "Incoming2024-03-02.txt"},
       MakeDate(2024, 3, 1),
       MakeDate(2024, 3, 2),
       {"failed Incoming2024-03.txt..Incoming2024-03.txt (75)",
        "failed Incoming2024-03-01.txt..Incoming2024-03-01.txt (53)",
        "read Incoming2024-03-02.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    for (const std::string& file : c.files) {
      if (file.ends_with("/")) {
        ASSERT_EQ(::mkdir((dir / file).c_str(), 0755), 0);
      } else {
        test::WriteFile(dir / file, "Date\r\n");
      }
    }
    LogFolder folder(dir.str(), "");
    EXPECT_EQ(Steps(PlanWalk(LogIncoming, c.first, c.last, folder, Deadline())),
              c.steps);
  }
}

TEST(FileWalkTest, MissingFolderFailsAllAtOnce) {
  test::TempDir dir;
  LogFolder folder(dir / "absent", "");
  EXPECT_EQ(Steps(PlanWalk(LogIncoming, MakeDate(2024, 3, 15),
                           MakeDate(2024, 4, 10), folder, Deadline())),
            std::vector<std::string>{
                "failed Incoming2024-03.txt..Incoming2024-04-10.txt (76)"});
}

}  // namespace
}  // namespace kvo
