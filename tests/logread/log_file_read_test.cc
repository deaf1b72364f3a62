#include "logread/log_file_read.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace kvo::test {
namespace {

TEST(LogFileReadTest, FileNames) {
  const struct {
    E_LogType type;
    E_LogPeriod period;
    const char* name;
  } cases[] = {
      {LogIncoming, PeriodDaily, "Incoming2024-03-05.txt"},
      {LogIncoming, PeriodMonthly, "Incoming2024-03.txt"},
      {LogOutgoing, PeriodDaily, "Outgoing2024-03-05.txt"},
      {LogOutgoing, PeriodMonthly, "Outgoing2024-03.txt"},
      {LogConnect, PeriodDaily, "Connect2024-03-05.txt"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir / c.name, "");
    C_LogFileRead reader;
    reader.P_strPathName = dir.str();
    reader.P_LogType(c.type);
    reader.P_LogPeriod = c.period;
    reader.P_datRef = MakeDateTime(2024, 3, 5, 14, 30, 0);
    reader.P_Open(true);
    EXPECT_TRUE(reader.P_Open());
    EXPECT_EQ(reader.P_strFileName, dir / c.name);
    EXPECT_EQ(reader.P_lngErrOpen, 0);
  }
}

TEST(LogFileReadTest, OpenErrorsAreRecorded) {
  TempDir dir;
  WriteFile(dir / "plain", "");
  std::filesystem::create_directory(dir / "Incoming2024-03.txt");
  const struct {
    const char* name;
    std::string folder;
    int32_t number;
  } cases[] = {
      {"missing file", dir / "", 53},
      {"missing folder", dir / "nowhere", 76},
      {"folder is a file", dir / "plain", 76},
      {"log name is a folder", dir.str(), 75},
      {"NUL in the folder", dir.str() + std::string(1, '\0') + "x", 75},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    C_LogFileRead reader;
    reader.P_strPathName = c.folder;
    reader.P_LogType(c.name == std::string("missing file") ? LogOutgoing
                                                           : LogIncoming);
    reader.P_LogPeriod = PeriodMonthly;
    reader.P_datRef = MakeDate(2024, 3, 1);
    reader.P_Open(true);
    EXPECT_FALSE(reader.P_Open());
    EXPECT_EQ(reader.P_lngErrOpen, c.number) << reader.P_strErrOpen;
    EXPECT_FALSE(reader.P_strErrOpen.empty());
    EXPECT_NE(reader.P_strFileName.find("2024-03.txt"), std::string::npos);
    bool eof = false;
    EXPECT_FALSE(reader.M_GetNextLine(eof));
    EXPECT_FALSE(eof) << "nothing open: fEof untouched";
  }
}

TEST(LogFileReadTest, UnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  WriteFile(dir / "Incoming2024-03.txt", "x\r\n");
  ::chmod((dir / "Incoming2024-03.txt").c_str(), 0);
  C_LogFileRead reader;
  reader.P_strPathName = dir.str();
  reader.P_LogType(LogIncoming);
  reader.P_LogPeriod = PeriodMonthly;
  reader.P_datRef = MakeDate(2024, 3, 1);
  reader.P_Open(true);
  EXPECT_EQ(reader.P_lngErrOpen, 70);
  EXPECT_EQ(reader.P_strErrOpen, "Permission denied");
}

TEST(LogFileReadTest, SuccessClearsTheLastError) {
  TempDir dir;
  C_LogFileRead reader;
  reader.P_strPathName = dir.str();
  reader.P_LogType(LogIncoming);
  reader.P_Open(true);
  ASSERT_EQ(reader.P_lngErrOpen, 53);
  EXPECT_EQ(reader.P_strErrOpen, "File not found");
  WriteFile(reader.P_strFileName, "x\r\n");
  reader.P_Open(true);
  EXPECT_TRUE(reader.P_Open());
  EXPECT_EQ(reader.P_lngErrOpen, 0);
  EXPECT_EQ(reader.P_strErrOpen, "");
  reader.P_Open(false);
  reader.P_Open(false);
  EXPECT_FALSE(reader.P_Open());
}

TEST(LogFileReadTest, UnsetLogTypeAndBadPeriodThrow) {
  C_LogFileRead reader;
  reader.P_strPathName = "/tmp";
  reader.P_strFileName = "before";
  reader.P_Open(false);  // harmless before any open
  try {
    reader.P_Open(true);
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 5);
    EXPECT_EQ(error.source(), "Log type not set");
  }
  EXPECT_EQ(reader.P_strFileName, "before");

  reader.P_LogType(LogOutgoing);
  reader.P_LogPeriod = static_cast<E_LogPeriod>(7);
  try {
    reader.P_Open(true);
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 5);
    EXPECT_EQ(error.source(), "Log");
    EXPECT_EQ(error.description(), "Invalid log period parameter");
  }
  EXPECT_EQ(reader.P_strFileName, "/tmp/Outgoing");
  EXPECT_FALSE(reader.P_datLastDayInLog());
}

TEST(LogFileReadTest, ColumnCounts) {
  C_LogFileRead reader;
  EXPECT_RUNTIME_ERROR(reader.P_intColumns(), 13);
  const struct {
    E_LogType type;
    int16_t columns;
  } cases[] = {{LogIncoming, 9}, {LogOutgoing, 5}, {LogConnect, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    reader.P_LogType(c.type);
    EXPECT_EQ(reader.P_LogType(), c.type);
    EXPECT_EQ(reader.P_intColumns(), c.columns);
  }
}

TEST(LogFileReadTest, LastDayInLog) {
  const struct {
    E_LogPeriod period;
    Date ref;
    Date last;
  } cases[] = {
      {PeriodMonthly, MakeDate(2024, 1, 31), MakeDate(2024, 1, 31)},
      {PeriodMonthly, MakeDate(2024, 2, 15), MakeDate(2024, 2, 29)},
      {PeriodMonthly, MakeDate(2023, 12, 10), MakeDate(2023, 12, 31)},
      {PeriodMonthly, MakeDateTime(2023, 2, 1, 6, 0, 0),
       MakeDateTime(2023, 2, 28, 6, 0, 0)},
      {PeriodDaily, MakeDateTime(2024, 3, 5, 14, 30, 0),
       MakeDateTime(2024, 3, 5, 14, 30, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatYmd(c.ref));
    C_LogFileRead reader;
    reader.P_LogPeriod = c.period;
    reader.P_datRef = c.ref;
    ASSERT_TRUE(reader.P_datLastDayInLog());
    EXPECT_DOUBLE_EQ(*reader.P_datLastDayInLog(), c.last);
  }
}

TEST(LogLineColumnsTest, IndexOutsideTheColumns) {
  LogLineColumns columns(5);
  columns[5] = "x";
  EXPECT_EQ(columns[5], "x");
  EXPECT_RUNTIME_ERROR(columns[0], 9);
  EXPECT_RUNTIME_ERROR(columns[6], 9);
  EXPECT_EQ(LogLineColumns(42).size(), LogLineColumns::kMaxColumns);
}

}  // namespace
}  // namespace kvo::test
