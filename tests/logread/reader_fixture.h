#ifndef KVO_TESTS_LOGREAD_READER_FIXTURE_H_
#define KVO_TESTS_LOGREAD_READER_FIXTURE_H_

#include <optional>
#include <string>
#include <vector>

#include "logread/log_file_read.h"
#include "support/test_support.h"

namespace kvo::test {

// One line as M_GetNextLine gave it.
struct ReadLine {
  std::vector<std::string> columns;
  bool taken = false;
  bool eof = false;
};

// A temporary log folder and a reader pointed at the monthly file of March
// 2024 in it.
class ReaderTest : public ::testing::Test {
 protected:
  // Writes `bytes` as the March 2024 file of `type` and opens it.
  void OpenWith(E_LogType type, const std::string& bytes) {
    reader_.P_strPathName = dir_.str();
    reader_.P_LogType(type);
    reader_.P_LogPeriod = PeriodMonthly;
    reader_.P_datRef = MakeDate(2024, 3, 5);
    path_ = dir_ / (type == LogIncoming ? "Incoming2024-03.txt"
                                        : "Outgoing2024-03.txt");
    WriteFile(path_, bytes);
    reader_.P_Open(true);
    ASSERT_TRUE(reader_.P_Open()) << reader_.P_strErrOpen;
  }

  // The next line, or null with `eof` as M_GetNextLine left it.
  std::optional<ReadLine> Next() {
    bool eof = false;
    std::optional<LogLineColumns> columns = reader_.M_GetNextLine(eof);
    if (!columns) {
      EXPECT_TRUE(eof) << "null without end of file";
      return std::nullopt;
    }
    ReadLine line{{}, reader_.P_fTakeIt(), eof};
    for (int i = 1; i <= columns->size(); ++i) {
      line.columns.emplace_back((*columns)[i]);
    }
    return line;
  }

  // Every line up to the end; at most `limit` calls.
  std::vector<ReadLine> ReadAll(int limit = 10000) {
    std::vector<ReadLine> lines;
    while (limit-- > 0) {
      std::optional<ReadLine> line = Next();
      if (!line) break;
      lines.push_back(*line);
    }
    return lines;
  }

  TempDir dir_;
  std::string path_;
  C_LogFileRead reader_;
};

}  // namespace kvo::test

#endif  // KVO_TESTS_LOGREAD_READER_FIXTURE_H_
