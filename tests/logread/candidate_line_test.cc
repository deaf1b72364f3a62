#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/literal_finder.h"
#include "base/text_case.h"
#include "logread/file_stream.h"
#include "logread/line_reader.h"
#include "logread/reader_fixture.h"

namespace kvo::test {
namespace {

using Lines = std::vector<std::string>;

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return FoldCase(text).find(FoldCase(part)) != std::string::npos;
}

// Every line of `bytes` as NextLine reads them with a buffer of `capacity`;
// with `finder`, only those that SkipToLineContaining stops at.
Lines ReadLines(const std::string& path, size_t capacity,
                const LiteralFinder* finder) {
  int fd = ::open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  LineReader reader(capacity);
  FileStream stream{UniqueFd(fd)};
  reader.Reset(&stream);
  Lines lines;
  std::string_view line;
  while ((finder == nullptr || reader.SkipToLineContaining(*finder)) &&
         reader.NextLine(&line)) {
    lines.emplace_back(line);
  }
  return lines;
}

TEST(SkipToLineContainingTest, StopsAtEveryLineWithTheTextAtAnyChunkBoundary) {
  const std::string bytes =
      "alpha\r\nkey one\rbeta\n\nKEY two\r\n\r\nsome key\r\r\nx\n"
      "a line much longer than the smallest buffers, with kEy near its end\r\n"
      "ke\r\ny is not one\nkey\r\nlast KEY";
  TempDir dir;
  WriteFile(dir / "f", bytes);
  for (const char* literal : {"key", "k", "KEY TWO", "is not", "absent"}) {
    const Lines all = ReadLines(dir / "f", 64, nullptr);
    Lines expected;
    for (const std::string& line : all) {
      if (ContainsIgnoringCase(line, literal)) expected.push_back(line);
    }
    LiteralFinder finder(literal);
    for (size_t capacity = 8; capacity <= 90; ++capacity) {
      SCOPED_TRACE(std::string(literal) + ", capacity " +
                   std::to_string(capacity));
      EXPECT_EQ(ReadLines(dir / "f", capacity, &finder), expected);
    }
  }
}

// The lines from the first one that SkipToLineContaining stops at on, read
// one by one; all of them when it stops nowhere.
Lines RestFromFirstStop(const std::string& path, size_t capacity,
                        std::string_view literal) {
  int fd = ::open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  LineReader reader(capacity);
  FileStream stream{UniqueFd(fd)};
  reader.Reset(&stream);
  Lines rest;
  if (reader.SkipToLineContaining(LiteralFinder(literal))) {
    std::string_view line;
    while (reader.NextLine(&line)) rest.emplace_back(line);
  }
  return rest;
}

TEST(SkipToLineContainingTest, PlainReadingGoesOnAfterTheLineFound) {
  const struct {
    const char* name;
    std::string bytes;
    const char* literal;
    Lines rest;
  } cases[] = {
      {"mixed line ends", "a\r\nb\r\nfound\r\nc\rd\n", "FOUND",
       {"found", "c", "d"}},
      // A text with a line end matches across lines: it stops at the line
      // where the match begins, and a CR LF pair stays one line end.
      {"text beginning with LF", "a\r\ny1\n\ny2\ry3", "\nY",
       {"y1", "", "y2", "y3"}},
      {"text beginning with CR", "a\r\r\nb", "\r\nb", {"", "b"}},
      {"in the last line", "a\nb\nlast", "LAST", {"last"}},
      {"nowhere", "a\nb\n", "c", {}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "f", c.bytes);
    for (size_t capacity = 8; capacity <= 24; ++capacity) {
      SCOPED_TRACE(std::string(c.name) + ", capacity " +
                   std::to_string(capacity));
      EXPECT_EQ(RestFromFirstStop(dir / "f", capacity, c.literal), c.rest);
    }
  }
}

// The rows that a listing of one file renders: the title line and every
// taken line, each as its columns joined by "|".
Lines ListedRows(C_LogFileRead& reader, bool candidates_only) {
  reader.P_fTitle = true;
  reader.P_Open(true);
  EXPECT_TRUE(reader.P_Open()) << reader.P_strFileName;
  Lines rows;
  bool eof = false;
  while (!eof) {
    std::optional<LogLineColumns> line = candidates_only
                                             ? reader.NextCandidateLine(eof)
                                             : reader.M_GetNextLine(eof);
    if (!line) break;
    if (reader.P_fTakeIt() || reader.P_fTitle) {
      std::string row;
      for (int i = 1; i <= line->size(); ++i) row.append((*line)[i]) += '|';
      rows.push_back(row);
    }
    reader.P_fTitle = false;
  }
  reader.P_Open(false);
  return rows;
}

struct ListingCase {
  const char* name;
  E_LogType log;
  const char* line_end;
  const char* date_form;
  int first_day;
  int last_day;
  std::string pop3_account, from, to, routed, subject;
  int first_hour = 0;
};

// Lines that the generator does not write: no dates, a second heading, a
// text that spans two lines, dates just outside and inside the interval,
// lines of a day outside it whose Date column is no date or in another
// layout, and a day inside it after them.
std::string TrickyLines(const std::string& end) {
  std::string tail = "not a date\tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += end;
  tail += "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject" + end;
  tail += "31.03.2024 23:59:59\tpop.example.com/jdoe\tsomeone@news." + end;
  tail += "test\tjdoe@corp.local\t\tjdoe@corp.local\tDefault\tM\xC4RZ\t9" + end;
  tail += "01.04.2024 00:00:00\tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += "01.04.2024 24:00:00\tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += "01.04.2024 00:00:01 \tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += "01.04.2024 00:00\tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += "01.04.2024 00:00:02";
  tail += end;
  tail += "15.03.2024 12:00:00\tpop.example.com/jdoe\tjdoe@news.test" + end;
  tail += "29.02.2024 23:59:59\tPOP.EXAMPLE.COM/JDOE\tJDOE@NEWS.TEST";
  return tail;
}

TEST(NextCandidateLineTest, ListsTheSameRowsAsEveryLineRead) {
  const ListingCase cases[] = {
      {"no criterion", LogIncoming, "crlf", "dmy", 1, 31, "", "", "", "", ""},
      {"days in the middle", LogIncoming, "crlf", "dmy", 11, 20, "", "", "",
       "", ""},
      {"days in the middle from noon", LogIncoming, "lf", "dmy", 11, 20, "",
       "", "", "", "", 12},
      {"one day, ymd, lf", LogIncoming, "lf", "ymd", 5, 5, "", "", "", "", ""},
      {"from, other case", LogIncoming, "crlf", "dmy", 1, 31, "", "NEWS.TEST",
       "", "", ""},
      {"from with a wildcard", LogIncoming, "cr", "mdy", 3, 28, "",
       "j*@news.test", "", "", ""},
      {"from with a tab", LogIncoming, "crlf", "dmy", 1, 31, "",
       "news.test\tjdoe", "", "", ""},
      {"whole pop3 account", LogIncoming, "lf", "dmy", 1, 31,
       "POP.EXAMPLE.COM/JDOE", "", "", "", ""},
      {"part of a pop3 account", LogIncoming, "crlf", "dmy", 1, 31, "jdoe",
       "", "", "", ""},
      {"to in cc", LogIncoming, "crlf", "dmy", 1, 31, "", "", "BWEBER@corp",
       "", ""},
      {"to across to and cc", LogIncoming, "crlf", "dmy", 1, 31, "", "",
       "local bweber", "", ""},
      {"routed into the subject", LogIncoming, "crlf", "dmy", 1, 31, "", "",
       "", "localre:", ""},
      {"subject with letters above 0x7F", LogIncoming, "lf", "dmy", 1, 31, "",
       "", "", "", "M\xC4RZ"},
      {"several criteria", LogIncoming, "crlf", "dmy", 2, 30, "", "example",
       "corp.local", "", "e"},
      {"subject nowhere", LogIncoming, "crlf", "dmy", 1, 31, "", "", "", "",
       "no such subject"},
      {"outgoing to", LogOutgoing, "crlf", "dmy", 1, 31, "", "", "CORP.local",
       "", ""},
      {"outgoing from and subject", LogOutgoing, "cr", "ymd", 7, 21, "",
       "example", "", "", "Gr\xDC\xDF"},
  };
  for (const ListingCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const bool incoming = c.log == LogIncoming;
    RunGenerator({"--folder", dir.str(), "--log",
                  incoming ? "incoming" : "outgoing", "--period", "monthly",
                  "--first", "2024-03-01", "--last", "2024-03-31", "--lines",
                  "3000", "--seed", "7", "--date-form", c.date_form,
                  "--line-end", c.line_end, "--sender", "jdoe@news.test",
                  "--sender-share", "0.05"});
    const std::string path =
        dir / (incoming ? "Incoming2024-03.txt" : "Outgoing2024-03.txt");
    const std::string end = std::string(c.line_end) == "lf"   ? "\n"
                            : std::string(c.line_end) == "cr" ? "\r"
                                                              : "\r\n";
    WriteFile(path, ReadFile(path) + TrickyLines(end));

    C_LogFileRead reader;
    reader.P_strPathName = dir.str();
    reader.P_LogType(c.log);
    reader.P_LogPeriod = PeriodMonthly;
    reader.P_datRef = MakeDate(2024, 3, 1);
    reader.P_datStart = MakeDateTime(2024, 3, c.first_day, c.first_hour, 0, 0);
    reader.P_datEnd = MakeDate(2024, 3, c.last_day);
    reader.P_strPOP3AccountSel = c.pop3_account;
    reader.P_strFromSel = c.from;
    reader.P_strToSel = c.to;
    reader.P_strRoutedSel = c.routed;
    reader.P_strSubjectSel = c.subject;
    const Lines expected = ListedRows(reader, false);
    EXPECT_GT(expected.size(), 0u);
    EXPECT_EQ(ListedRows(reader, true), expected);
  }
}

}  // namespace
}  // namespace kvo::test
