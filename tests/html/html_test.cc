#include "html/html.h"

#include <gtest/gtest.h>

#include <clocale>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "logread/log_file_read.h"
#include "logread/log_line_columns.h"
#include "support/scoped_locale.h"
#include "support/test_support.h"

namespace kvo {
namespace {

LogLineColumns Row(std::initializer_list<std::string_view> cells) {
  LogLineColumns row(static_cast<int16_t>(cells.size()));
  int i = 1;
  for (std::string_view cell : cells) row[i++] = cell;
  return row;
}

TEST(MakeTableRowTest, IncomingDataRow) {
  const LogLineColumns row =
      Row({"01.03.2024 10:00:00", "pop/box/1", "<a@b.test>", "x&y", "", "r",
           "Re: <b>hi</b> a/b", "1536", "10.0.0.1"});
  EXPECT_EQ(MakeTableRow(LogIncoming, row, false),
            "  <TR>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn1\">01.03.2024 "
            "10:00:00</TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn2\">pop box 1</TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn3\">&lt;a@b.test&gt;</TD>"
            "\r\n"
            "    <TD valign=\"top\" class=\"IncColumn4\">x&y</TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn5\">&nbsp;</TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn6\">r</TD>\r\n"
            "    <TD valign=\"top\" width=\"20%\" class=\"IncColumn7\">Re: "
            "&lt;b&gt;hi&lt;/b&gt; a/b</TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn8\"><nobr>1.5 "
            "kb</nobr></TD>\r\n"
            "    <TD valign=\"top\" class=\"IncColumn9\">10.0.0.1</TD>\r\n"
            "  </TR>\r\n");
}

TEST(MakeTableRowTest, OutgoingDataRow) {
  const LogLineColumns row = Row({"d", "a/b", "", "s", "5000000"});
  EXPECT_EQ(MakeTableRow(LogOutgoing, row, false),
            "  <TR>\r\n"
            "    <TD valign=\"top\" class=\"OutColumn1\">d</TD>\r\n"
            "    <TD valign=\"top\" class=\"OutColumn2\">a/b</TD>\r\n"
            "    <TD valign=\"top\" class=\"OutColumn3\">&nbsp;</TD>\r\n"
            "    <TD valign=\"top\" width=\"20%\" class=\"OutColumn4\">s</TD>"
            "\r\n"
            "    <TD valign=\"top\" class=\"OutColumn5\"><nobr>4.8 "
            "Mb</nobr></TD>\r\n"
            "  </TR>\r\n");
}

TEST(MakeTableRowTest, HeaderRows) {
  const LogLineColumns incoming = Row({"Date", "POP3/Account", "From", "To", "",
                                       "Routed", "Subject", "2048", "<IP>"});
  EXPECT_EQ(MakeTableRow(LogIncoming, incoming, true),
            "  <TR>\r\n"
            "    <TH class=\"IncColumnH1\">Date</TH>\r\n"
            "    <TH class=\"IncColumnH2\">POP3/Account</TH>\r\n"
            "    <TH class=\"IncColumnH3\">From</TH>\r\n"
            "    <TH class=\"IncColumnH4\">To</TH>\r\n"
            "    <TH class=\"IncColumnH5\">&nbsp;</TH>\r\n"
            "    <TH class=\"IncColumnH6\">Routed</TH>\r\n"
            "    <TH class=\"IncColumnH7\">Subject</TH>\r\n"
            "    <TH class=\"IncColumnH8\">2048</TH>\r\n"
            "    <TH class=\"IncColumnH9\">&lt;IP&gt;</TH>\r\n"
            "  </TR>\r\n");
  const LogLineColumns outgoing = Row({"Date", "From", "To", "Subject", ""});
  EXPECT_EQ(MakeTableRow(LogOutgoing, outgoing, true),
            "  <TR>\r\n"
            "    <TH class=\"OutColumnH1\">Date</TH>\r\n"
            "    <TH class=\"OutColumnH2\">From</TH>\r\n"
            "    <TH class=\"OutColumnH3\">To</TH>\r\n"
            "    <TH class=\"OutColumnH4\">Subject</TH>\r\n"
            "    <TH class=\"OutColumnH5\">&nbsp;</TH>\r\n"
            "  </TR>\r\n");
}

// One cell set in an otherwise empty row; the line of that cell is checked.
TEST(MakeTableRowTest, SingleCells) {
  struct Case {
    const char* name;
    E_LogType log_type;
    bool header;
    int16_t count;
    int index;
    std::string_view text;
    std::string_view line;
  };
  const Case cases[] = {
      {"incoming pop3 only slash", LogIncoming, false, 9, 2, "/",
       R"(    <TD valign="top" class="IncColumn2"> </TD>)"},
      {"incoming pop3 escaped after replacement", LogIncoming, false, 9, 2,
       "<a/b>", R"(    <TD valign="top" class="IncColumn2">&lt;a b&gt;</TD>)"},
      {"incoming other cell keeps slashes", LogIncoming, false, 9, 3, "a/b",
       R"(    <TD valign="top" class="IncColumn3">a/b</TD>)"},
      {"incoming empty size", LogIncoming, false, 9, 8, "",
       R"(    <TD valign="top" class="IncColumn8"><nobr>&nbsp;</nobr></TD>)"},
      {"incoming size not a number", LogIncoming, false, 9, 8, "12 kb",
       R"(    <TD valign="top" class="IncColumn8"><nobr>12 kb</nobr></TD>)"},
      {"incoming size with brackets", LogIncoming, false, 9, 8, "<1>",
       R"(    <TD valign="top" class="IncColumn8"><nobr>&lt;1&gt;</nobr></TD>)"},
      {"incoming size below 1024", LogIncoming, false, 9, 8, "-5",
       R"(    <TD valign="top" class="IncColumn8"><nobr>-5</nobr></TD>)"},
      {"incoming empty subject", LogIncoming, false, 9, 7, "",
       R"(    <TD valign="top" width="20%" class="IncColumn7">&nbsp;</TD>)"},
      {"incoming entity passes", LogIncoming, false, 9, 7, "&lt;",
       R"(    <TD valign="top" width="20%" class="IncColumn7">&lt;</TD>)"},
      {"outgoing cell 2 keeps slashes", LogOutgoing, false, 5, 2, "a/b/c",
       R"(    <TD valign="top" class="OutColumn2">a/b/c</TD>)"},
      {"incoming header size not formatted", LogIncoming, true, 9, 8, "4096",
       R"(    <TH class="IncColumnH8">4096</TH>)"},
      {"outgoing header keeps slashes", LogOutgoing, true, 5, 2, "a/b",
       R"(    <TH class="OutColumnH2">a/b</TH>)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogLineColumns row(c.count);
    row[c.index] = c.text;
    const std::vector<std::string> lines =
        test::SplitCrLf(MakeTableRow(c.log_type, row, c.header));
    ASSERT_EQ(lines.size(), static_cast<size_t>(c.count) + 2);
    EXPECT_EQ(lines[c.index], c.line);
  }
}

TEST(MakeTableRowTest, EmptyRowIsTwoLines) {
  EXPECT_EQ(MakeTableRow(LogIncoming, LogLineColumns(0), false),
            "  <TR>\r\n  </TR>\r\n");
}

TEST(MakeTableRowTest, AppendKeepsWhatIsThere) {
  std::string out = "before\r\n";
  const LogLineColumns row = Row({"a", "b", "c", "d", "1024"});
  AppendTableRow(out, LogOutgoing, row, false);
  EXPECT_EQ(out, "before\r\n" + MakeTableRow(LogOutgoing, row, false));
}

TEST(MakeTableTest, WrapsRowsUnchanged) {
  EXPECT_EQ(MakeTable(""),
            "<table width=\"100%\" Border=\"1\" Cellspacing=\"0\">\r\n"
            "</table>\r\n");
  EXPECT_EQ(MakeTable("  <TR>\r\n  </TR>\r\n"),
            "<table width=\"100%\" Border=\"1\" Cellspacing=\"0\">\r\n"
            "  <TR>\r\n  </TR>\r\n</table>\r\n");
}

TEST(FormatSizeTest, Table) {
  struct Case {
    std::string_view text;
    std::string_view shown;
  };
  const Case cases[] = {
      {"1023", "1023"},
      {"1024", "1.0 kb"},
      {"1280", "1.3 kb"},  // 1.25: the half goes away from zero
      {"1331", "1.3 kb"},
      {"1536", "1.5 kb"},
      {"2047", "2.0 kb"},
      {"1048575", "1024.0 kb"},
      {"1048576", "1.0 Mb"},
      {"1310720", "1.3 Mb"},  // 1.25 Mb
      {"5000000", "4.8 Mb"},
      {"2147483647", "2048.0 Mb"},
      {" 2048 ", "2.0 kb"},
      {"1023.6", "1.0 kb"},  // rounded to 1024 first
      {"0", "0"},
      {"-5", "-5"},
      {"-2048", "-2048"},
      {"", ""},
      {"abc", "abc"},
      {"12abc", "12abc"},
      {"3000000000", "3000000000"},
      {"-3000000000", "-3000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("size \"") + std::string(c.text) + "\"");
    EXPECT_EQ(FormatSize(c.text), c.shown);
  }
}

TEST(FormatSizeTest, UsesTheLocaleSeparator) {
  kvo::test::ScopedLocale locale(LC_NUMERIC);
  if (!locale.Use("de_DE.UTF-8")) {
    GTEST_SKIP() << "no German locale on this machine";
  }
  EXPECT_EQ(FormatSize("1536"), "1,5 kb");
  EXPECT_EQ(FormatSize("5000000"), "4,8 Mb");
}

TEST(EscapeTest, Table) {
  struct Case {
    std::string_view text;
    std::string_view escaped;  // EscapeHtml
    std::string_view encoded;  // EncodeHtml
  };
  const Case cases[] = {
      {"", "", ""},
      {"plain", "plain", "plain"},
      {"<b>", "&lt;b&gt;", "&lt;b&gt;"},
      {"a&b", "a&b", "a&amp;b"},
      {"&lt;", "&lt;", "&amp;lt;"},
      {"\"x\" 'y'", "\"x\" 'y'", "&quot;x&quot; &#39;y&#39;"},
      {"></", "&gt;&lt;/", "&gt;&lt;/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(EscapeHtml(c.text), c.escaped);
    EXPECT_EQ(EncodeHtml(c.text), c.encoded);
  }
}

}  // namespace
}  // namespace kvo
