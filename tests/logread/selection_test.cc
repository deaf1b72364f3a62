#include <functional>
#include <string>

#include "logread/reader_fixture.h"

namespace kvo::test {
namespace {

const std::string kIncoming =
    "05.03.2024 14:30:00\tpop.example.com/jdoe\tAlice@Example.com\t"
    "bob@corp.local\tcarol@corp.local\tjdoe@corp.local\tRule 1\t"
    "Hello World\t2048\t192.168.1.20";
const std::string kOutgoing =
    "05.03.2024 14:30:00\tAlice@Example.com\tbob@corp.local\tHello World\t"
    "2048";

// kIncoming with its field `field` (1-based) replaced by `text`.
std::string IncomingWith(int field, const std::string& text) {
  std::string line;
  std::string_view rest = kIncoming;
  for (int i = 1; i <= 10; ++i) {
    size_t tab = rest.find('\t');
    std::string_view value = rest.substr(0, tab);
    rest.remove_prefix(tab == std::string_view::npos ? rest.size() : tab + 1);
    if (i > 1) line += '\t';
    line += i == field ? text : std::string(value);
  }
  return line;
}

struct SelectionCase {
  const char* name;
  E_LogType type;
  std::string line;
  std::function<void(C_LogFileRead&)> criteria;
  bool taken;
};

class SelectionTest : public ReaderTest {
 protected:
  void Check(const SelectionCase& c) {
    SCOPED_TRACE(c.name);
    C_LogFileRead& r = reader_;
    r.P_strPOP3AccountSel = r.P_strFromSel = r.P_strToSel = "";
    r.P_strRoutedSel = r.P_strSubjectSel = "";
    r.P_lngSizeMini = r.P_lngSizeMaxi = 0;
    r.P_strIpAddr1 = r.P_strIpAddr2 = "";
    r.P_fSubnet = r.P_fTitle = false;
    r.P_datStart = MakeDate(2024, 3, 1);
    r.P_datEnd = MakeDate(2024, 3, 31);
    c.criteria(r);
    OpenWith(c.type, c.line + "\r\n");
    std::optional<ReadLine> line = Next();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->taken, c.taken);
    r.P_Open(false);
  }
};

using R = C_LogFileRead&;

TEST_F(SelectionTest, DateInterval) {
  const SelectionCase cases[] = {
      {"inside", LogIncoming, kIncoming, [](R) {}, true},
      {"no start: nothing selects", LogIncoming, kIncoming,
       [](R r) {
         r.P_datStart.reset();
         r.P_strFromSel = "nobody";
       },
       true},
      {"before start", LogIncoming, kIncoming,
       [](R r) { r.P_datStart = MakeDate(2024, 3, 6); }, false},
      {"end day counts to its last second", LogIncoming,
       IncomingWith(1, "03.03.2024 23:59:59"),
       [](R r) { r.P_datEnd = MakeDate(2024, 3, 3); }, true},
      {"day after end", LogIncoming, IncomingWith(1, "04.03.2024 00:00:00"),
       [](R r) { r.P_datEnd = MakeDate(2024, 3, 3); }, false},
      {"start at midnight", LogIncoming, IncomingWith(1, "01.03.2024 00:00:00"),
       [](R) {}, true},
      {"no end: open upper bound", LogIncoming,
       IncomingWith(1, "05.03.2099 00:00:00"), [](R r) { r.P_datEnd.reset(); },
       true},
      {"ymd form", LogIncoming, IncomingWith(1, "2024-03-05 14:30:00"),
       [](R) {}, true},
      {"unreadable date", LogIncoming, IncomingWith(1, "Date"), [](R) {},
       false},
      {"blank line", LogIncoming, "", [](R) {}, false},
      {"title with unreadable date skips the criteria", LogIncoming,
       IncomingWith(1, "Date"),
       [](R r) {
         r.P_fTitle = true;
         r.P_strFromSel = "nobody";
       },
       true},
  };
  for (const SelectionCase& c : cases) Check(c);
}

TEST_F(SelectionTest, TextCriteria) {
  const SelectionCase cases[] = {
      {"pop3 whole text, other case", LogIncoming, kIncoming,
       [](R r) { r.P_strPOP3AccountSel = "POP.Example.COM/JDOE"; }, true},
      {"pop3 part only", LogIncoming, kIncoming,
       [](R r) { r.P_strPOP3AccountSel = "jdoe"; }, false},
      {"pop3 no wildcards", LogIncoming, kIncoming,
       [](R r) { r.P_strPOP3AccountSel = "pop*"; }, false},
      {"pop3 ignored by outgoing", LogOutgoing, kOutgoing,
       [](R r) { r.P_strPOP3AccountSel = "x"; }, true},
      {"from part, other case", LogIncoming, kIncoming,
       [](R r) { r.P_strFromSel = "ALICE@example"; }, true},
      {"from no match", LogIncoming, kIncoming,
       [](R r) { r.P_strFromSel = "mallory"; }, false},
      {"from wildcards", LogIncoming, kIncoming,
       [](R r) { r.P_strFromSel = "a?ic[d-f]@*.com"; }, true},
      {"from malformed pattern is skipped", LogIncoming, kIncoming,
       [](R r) { r.P_strFromSel = "[alice"; }, true},
      {"from outgoing", LogOutgoing, kOutgoing,
       [](R r) { r.P_strFromSel = "alice"; }, true},
      {"to found in cc", LogIncoming, kIncoming,
       [](R r) { r.P_strToSel = "carol"; }, true},
      {"to and cc joined by one blank", LogIncoming, kIncoming,
       [](R r) { r.P_strToSel = "local carol"; }, true},
      {"to no match", LogIncoming, kIncoming, [](R r) { r.P_strToSel = "zed"; },
       false},
      {"outgoing to", LogOutgoing, kOutgoing,
       [](R r) { r.P_strToSel = "BOB@"; }, true},
      {"outgoing to has no cc", LogOutgoing, kOutgoing,
       [](R r) { r.P_strToSel = "carol"; }, false},
      {"routed found in subject", LogIncoming, kIncoming,
       [](R r) { r.P_strRoutedSel = "hello"; }, true},
      {"routed and subject joined without separator", LogIncoming, kIncoming,
       [](R r) { r.P_strRoutedSel = "localHello"; }, true},
      {"routed no match", LogIncoming, kIncoming,
       [](R r) { r.P_strRoutedSel = "Rule"; }, false},
      {"routed ignored by outgoing", LogOutgoing, kOutgoing,
       [](R r) { r.P_strRoutedSel = "zed"; }, true},
      {"subject", LogIncoming, kIncoming,
       [](R r) { r.P_strSubjectSel = "WORLD"; }, true},
      {"subject no match", LogIncoming, kIncoming,
       [](R r) { r.P_strSubjectSel = "bye"; }, false},
      {"subject 1252 letters fold", LogIncoming,
       IncomingWith(8,
                    "Gr\xDC\xDF"
                    "e"),
       [](R r) { r.P_strSubjectSel = "gr\xFC\xDF"; }, true},
      {"outgoing subject", LogOutgoing, kOutgoing,
       [](R r) { r.P_strSubjectSel = "bye"; }, false},
  };
  for (const SelectionCase& c : cases) Check(c);
}

TEST_F(SelectionTest, Size) {
  auto mini = [](int32_t kb) { return [kb](R r) { r.P_lngSizeMini = kb; }; };
  auto maxi = [](int32_t kb) { return [kb](R r) { r.P_lngSizeMaxi = kb; }; };
  const SelectionCase cases[] = {
      {"2047 below 2 KB", LogIncoming, IncomingWith(9, "2047"), mini(2), false},
      {"2048 is 2 KB", LogIncoming, IncomingWith(9, "2048"), mini(2), true},
      {"4095 is 3 KB", LogIncoming, IncomingWith(9, "4095"), maxi(3), true},
      {"4096 above 3 KB", LogIncoming, IncomingWith(9, "4096"), maxi(3), false},
      {"no bounds", LogIncoming, IncomingWith(9, "999999999"), [](R) {}, true},
      {"not a number is 0 KB", LogIncoming, IncomingWith(9, "big"), mini(1),
       false},
      {"number prefix", LogIncoming, IncomingWith(9, " 3072 bytes"), mini(3),
       true},
      {"beyond 32 bits: no bound applies", LogIncoming,
       IncomingWith(9, "99999999999"), maxi(1), true},
      {"beyond a double: no bound applies", LogIncoming,
       IncomingWith(9, "1e999"), maxi(1), true},
      {"outgoing", LogOutgoing, kOutgoing, mini(3), false},
  };
  for (const SelectionCase& c : cases) Check(c);
}

TEST_F(SelectionTest, Address) {
  auto ip = [](std::string a1, std::string a2, bool subnet) {
    return [=](R r) {
      r.P_strIpAddr1 = a1;
      r.P_strIpAddr2 = a2;
      r.P_fSubnet = subnet;
    };
  };
  const SelectionCase cases[] = {
      {"same address", LogIncoming, kIncoming, ip("192.168.1.20", "", false),
       true},
      {"other address", LogIncoming, kIncoming, ip("192.168.1.21", "", false),
       false},
      {"two unreadable texts are equal", LogIncoming, IncomingWith(10, "junk"),
       ip("bad", "", false), true},
      {"in subnet", LogIncoming, kIncoming,
       ip("192.168.1.0", "255.255.255.0", true), true},
      {"outside subnet", LogIncoming, IncomingWith(10, "10.0.0.1"),
       ip("192.168.1.0", "255.255.255.0", true), false},
      {"subnet test of a 3-piece column is skipped", LogIncoming,
       IncomingWith(10, "192.168.1"), ip("10.0.0.0", "255.0.0.0", true), true},
      {"in range", LogIncoming, kIncoming,
       ip("192.168.1.1", "192.168.1.100", false), true},
      {"outside range", LogIncoming, kIncoming,
       ip("192.168.1.21", "192.168.1.100", false), false},
      {"range and a 3-piece column", LogIncoming, IncomingWith(10, "192.168.1"),
       ip("0.0.0.0", "255.255.255.255", false), false},
      {"empty column, all-zero criterion", LogIncoming, IncomingWith(10, ""),
       ip("0.0.0.0", "255.0.0.0", true), true},
      {"empty column, other criterion", LogIncoming, IncomingWith(10, ""),
       ip("192.168.1.20", "", false), false},
      {"outgoing has no address column", LogOutgoing, kOutgoing,
       ip("10.1.1.1", "", false), true},
  };
  for (const SelectionCase& c : cases) Check(c);
}

TEST_F(SelectionTest, FirstFailingCriterionDecides) {
  const SelectionCase cases[] = {
      {"later address match does not take it back", LogIncoming,
       IncomingWith(10, ""),
       [](R r) {
         r.P_strFromSel = "nobody";
         r.P_strIpAddr1 = "0.0.0.0";
       },
       false},
      {"later skipped subnet test does not take it back", LogIncoming,
       IncomingWith(10, "1.2.3"),
       [](R r) {
         r.P_strSubjectSel = "nothing like it";
         r.P_strIpAddr1 = "10.0.0.0";
         r.P_strIpAddr2 = "255.0.0.0";
         r.P_fSubnet = true;
       },
       false},
      {"date out, matching criteria", LogIncoming, kIncoming,
       [](R r) {
         r.P_datEnd = MakeDate(2024, 3, 2);
         r.P_strFromSel = "alice";
       },
       false},
      {"malformed one skipped, next one decides", LogIncoming, kIncoming,
       [](R r) {
         r.P_strFromSel = "[";
         r.P_strSubjectSel = "bye";
       },
       false},
  };
  for (const SelectionCase& c : cases) Check(c);
}

TEST_F(SelectionTest, CriteriaAreCompiledWhenAFileOpens) {
  // Compiled once, never compared with the fields on every line: a change
  // applies from the next open on.
  reader_.P_datStart = MakeDate(2024, 3, 1);
  reader_.P_datEnd = MakeDate(2024, 3, 31);
  reader_.P_strFromSel = "alice";
  OpenWith(LogIncoming, kIncoming + "\r\n" + kIncoming + "\r\n");
  EXPECT_TRUE(Next()->taken);
  reader_.P_strFromSel = "nobody";
  EXPECT_TRUE(Next()->taken);
  reader_.P_Open(true);
  EXPECT_FALSE(Next()->taken);
}

}  // namespace
}  // namespace kvo::test
