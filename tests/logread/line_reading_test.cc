#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logread/file_stream.h"
#include "logread/line_reader.h"
#include "logread/reader_fixture.h"

namespace kvo::test {
namespace {

using Lines = std::vector<std::string>;

class LineReadingTest : public ReaderTest {
 protected:
  // The Date column of each line read from an outgoing file of `bytes`;
  // checks that only the last line reports the end of the file.
  Lines DatesOf(const std::string& bytes) {
    OpenWith(LogOutgoing, bytes);
    Lines dates;
    std::vector<ReadLine> lines = ReadAll();
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].eof, i + 1 == lines.size()) << "line " << i;
      dates.push_back(lines[i].columns[0]);
    }
    EXPECT_FALSE(Next()) << "a line after the end";
    return dates;
  }
};

TEST_F(LineReadingTest, LineEnds) {
  const struct {
    const char* name;
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"lf", "a\nb\n", {"a", "b"}},
      {"cr", "a\rb\r", {"a", "b"}},
      {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"empty lines", "a\r\n\r\n\nb", {"a", "", "", "b"}},
      {"lf then cr is two ends", "a\n\rb", {"a", "", "b"}},
      {"cr cr lf", "a\r\r\n", {"a", ""}},
      {"last line without end", "a\r\nlast", {"a", "last"}},
      {"one line end", "\r\n", {""}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DatesOf(c.bytes), c.lines);
    reader_.P_Open(false);
  }
}

TEST_F(LineReadingTest, EmptyFileGivesNullAtOnce) {
  OpenWith(LogIncoming, "");
  bool eof = false;
  EXPECT_FALSE(reader_.M_GetNextLine(eof));
  EXPECT_TRUE(eof);
}

TEST(LineReaderTest, EveryChunkBoundary) {
  const std::string bytes =
      "first\r\nsecond line\rthird\n\nfourth, longer than the small buffers "
      "below\r\nx\r\r\ny\r";
  const Lines expected = {"first",
                          "second line",
                          "third",
                          "",
                          "fourth, longer than the small buffers below",
                          "x",
                          "",
                          "y"};
  TempDir dir;
  WriteFile(dir / "f", bytes);
  for (size_t capacity = 8; capacity <= 70; ++capacity) {
    SCOPED_TRACE("capacity " + std::to_string(capacity));
    int fd = ::open((dir / "f").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    LineReader reader(capacity);
    FileStream stream{UniqueFd(fd)};
    reader.Reset(&stream);
    Lines lines;
    std::string_view line;
    while (reader.NextLine(&line)) {
      lines.emplace_back(line);
      EXPECT_EQ(reader.HasMore(), lines.size() < expected.size());
    }
    EXPECT_EQ(lines, expected);
  }
}

TEST_F(LineReadingTest, LongLinesAcrossTheBuffer) {
  // The first read fills the buffer but its room for looking ahead: around
  // 1 MiB. A CR there and its LF in the next read, then a line that makes the
  // buffer grow.
  const size_t first_read =
      LineReader::kDefaultCapacity - LineReader::kDefaultCapacity / 64;
  const std::string a(first_read - 1, 'a');
  const std::string b(3 * LineReader::kDefaultCapacity, 'b');
  // A line beyond 1 MiB is shown cut, marked, and the rest passed over.
  const std::string b_shown =
      b.substr(0, LineReader::kMaxLineBytes - LineReader::kCutMarker.size()) +
      std::string(LineReader::kCutMarker);
  EXPECT_EQ(DatesOf(a + "\r\n" + b + "\r\nc\r\n"), (Lines{a, b_shown, "c"}));
}

TEST_F(LineReadingTest, TwoPartsGiveEveryLineOnceWhereverTheyMeet) {
  const std::string bytes =
      "a1\r\nb22\nc333\rd\r\n\r\n\ne55555\r\r\nf\n\rlast";
  const Lines all = {"a1", "b22", "c333", "d", "", "", "e55555", "", "f", "",
                     "last"};
  OpenWith(LogOutgoing, bytes);
  for (uint64_t meet = 1; meet < bytes.size(); ++meet) {
    SCOPED_TRACE("parts meet at " + std::to_string(meet));
    Lines lines;
    for (auto [start, stop] : {std::pair<uint64_t, std::optional<uint64_t>>{
                                   0, meet},
                               {meet, std::nullopt}}) {
      reader_.P_Open(true);
      ASSERT_TRUE(reader_.ReadPart(start, stop));
      for (const ReadLine& line : ReadAll()) lines.push_back(line.columns[0]);
    }
    EXPECT_EQ(lines, all);
  }
}

TEST_F(LineReadingTest, FileGrowingWhileRead) {
  OpenWith(LogOutgoing, "a\r\nb\r\n");
  ASSERT_EQ(Next()->columns[0], "a");
  int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "c\r\n", 3), 3);
  std::optional<ReadLine> b = Next();
  EXPECT_EQ(b->columns[0], "b");
  EXPECT_FALSE(b->eof) << "the appended line was not seen";
  std::optional<ReadLine> c = Next();
  EXPECT_EQ(c->columns[0], "c");
  EXPECT_TRUE(c->eof);
  // The gateway goes on writing after the end was reported.
  ASSERT_EQ(::write(fd, "d", 1), 1);
  EXPECT_EQ(Next()->columns[0], "d");
  ::close(fd);
}

TEST_F(LineReadingTest, FileTruncatedWhileRead) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i)
    bytes += "line " + std::to_string(i) + "\r\n";
  OpenWith(LogOutgoing, bytes);
  ASSERT_EQ(Next()->columns[0], "line 0");
  ASSERT_EQ(::truncate(path_.c_str(), 10), 0);
  std::vector<ReadLine> rest = ReadAll(200000);
  EXPECT_LT(rest.size(), 100000u);
  EXPECT_FALSE(Next());
}

// A file replaced under the reader (a new file renamed over its name): the
// open file is read to its end; the new one is the next listing's.
TEST_F(LineReadingTest, FileReplacedWhileRead) {
  std::string old_bytes;
  for (int i = 0; i < 50000; ++i)
    old_bytes += "old " + std::to_string(i) + "\r\n";
  OpenWith(LogOutgoing, old_bytes);
  ASSERT_EQ(Next()->columns[0], "old 0");
  const std::string replacement = path_ + ".new";
  WriteFile(replacement, "new 0\r\nnew 1\r\n");
  ASSERT_EQ(::rename(replacement.c_str(), path_.c_str()), 0);
  std::vector<ReadLine> rest = ReadAll(100000);
  ASSERT_EQ(rest.size(), 49999u);
  EXPECT_EQ(rest.back().columns[0], "old 49999");
  EXPECT_TRUE(rest.back().eof);
}

TEST_F(LineReadingTest, IncomingColumns) {
  const struct {
    const char* name;
    std::string line;
    bool title;
    Lines columns;
  } cases[] = {
      {"ten fields: field 7 dropped",
       "d\tp\tf\tt\tc\tr\trule\ts\t9\tip",
       false,
       {"d", "p", "f", "t", "c", "r", "s", "9", "ip"}},
      {"text after the tenth field dropped",
       "d\tp\tf\tt\tc\tr\tx\ts\t9\tip\tz",
       false,
       {"d", "p", "f", "t", "c", "r", "s", "9", "ip"}},
      {"missing fields empty",
       "d\tp\tf",
       false,
       {"d", "p", "f", "", "", "", "", "", ""}},
      {"title gets the address heading",
       "Date\tP\tF\tT\tC\tR\tRule\tS\tSize",
       true,
       {"Date", "P", "F", "T", "C", "R", "S", "Size", "Orig. IP addr."}},
      {"title keeps its own heading",
       "Date\tP\tF\tT\tC\tR\tRule\tS\tSize\tIP",
       true,
       {"Date", "P", "F", "T", "C", "R", "S", "Size", "IP"}},
      {"not the title",
       "Date\tP\tF\tT\tC\tR\tRule\tS\tSize",
       false,
       {"Date", "P", "F", "T", "C", "R", "S", "Size", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reader_.P_fTitle = c.title;
    OpenWith(LogIncoming, c.line + "\r\n");
    EXPECT_EQ(Next()->columns, c.columns);
    reader_.P_Open(false);
  }
}

TEST_F(LineReadingTest, OutgoingColumns) {
  OpenWith(LogOutgoing, "d\tf\tt\ts\t9\textra\r\nd\tf\r\n");
  EXPECT_EQ(Next()->columns, (Lines{"d", "f", "t", "s", "9"}));
  EXPECT_EQ(Next()->columns, (Lines{"d", "f", "", "", ""}));
}

}  // namespace
}  // namespace kvo::test
