#ifndef KVO_TOOLS_SAMPLE_LINES_H_
#define KVO_TOOLS_SAMPLE_LINES_H_

// The pieces of the sample log lines that KvoGenLogs writes: a seeded random
// source and the fields of incoming and outgoing lines.

#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvo::gen {

using std::chrono::year_month_day;

// splitmix64: the same numbers on every platform and library.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t Below(uint64_t n) { return Next() % n; }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  template <typename T, size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Below(N)];
  }

 private:
  uint64_t state_;
};

constexpr std::array<std::string_view, 12> kUsers = {
    "jdoe",    "asmith", "mmeier",  "kwagner", "lmueller", "pschulz",
    "tbecker", "ehoff",  "rkoenig", "sfuchs",  "bweber",   "ckrause"};
constexpr std::array<std::string_view, 8> kDomains = {
    "example.com", "example.org",  "mail.example.net",  "shop.example.com",
    "news.test",   "partner.test", "lists.example.org", "web.example.net"};
constexpr std::array<std::string_view, 10> kSubjects = {
    "Angebot f\xFCr Ihre Anfrage",
    "Re: Besprechung am Montag",
    "Gr\xFC\xDF"
    "e aus M\xFCnchen",
    "Rechnung <Nr. 4711> & Mahnung",
    "Newsletter M\xE4rz",
    "W: Urlaubsplanung",
    "Bestellbest\xE4tigung",
    "Meeting notes & action items",
    "H\xF6here Preise ab Juli",
    "<Automatic reply> Out of office"};
constexpr std::array<std::string_view, 5> kRules = {
    "Default", "Rule 1: Sales", "Rule 2: Support", "Spam filter", "Archive"};

inline void AppendNumber(std::string& out, uint64_t value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

inline void AppendTwo(std::string& out, unsigned value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

// `day` and `seconds` after midnight in the form "dmy" (dd.mm.yyyy),
// "ymd" (yyyy-mm-dd) or "mdy" (mm/dd/yyyy), then hh:mm:ss.
inline void AppendDateTime(std::string& out, std::string_view form,
                           year_month_day day, unsigned seconds) {
  unsigned y = static_cast<unsigned>(static_cast<int>(day.year()));
  unsigned m = static_cast<unsigned>(day.month());
  unsigned d = static_cast<unsigned>(day.day());
  if (form == "ymd") {
    AppendNumber(out, y), out += '-', AppendTwo(out, m), out += '-';
    AppendTwo(out, d);
  } else if (form == "mdy") {
    AppendTwo(out, m), out += '/', AppendTwo(out, d), out += '/';
    AppendNumber(out, y);
  } else {
    AppendTwo(out, d), out += '.', AppendTwo(out, m), out += '.';
    AppendNumber(out, y);
  }
  out += ' ';
  AppendTwo(out, seconds / 3600), out += ':';
  AppendTwo(out, seconds / 60 % 60), out += ':';
  AppendTwo(out, seconds % 60);
}

inline void AppendAddress(std::string& out, Random& random) {
  out += random.Pick(kUsers);
  out += '@';
  out += random.Pick(kDomains);
}

inline void AppendLocalAddress(std::string& out, std::string_view user) {
  out += user;
  out += "@corp.local";
}

inline void AppendAddressList(std::string& out, Random& random,
                              uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) {
    if (i > 0) out += "; ";
    AppendLocalAddress(out, random.Pick(kUsers));
  }
}

inline void AppendSize(std::string& out, Random& random) {
  // Log-uniform from about 300 bytes to 30 MB: most messages are small.
  AppendNumber(out,
               static_cast<uint64_t>(300.0 * std::exp(random.Unit() * 11.5)));
}

// Values that no other line has, each given to a share of the lines, so that
// benchmarks can select a few lines by any column. A share of 0 draws
// nothing, and the lines stay those of the seed.
struct RareValues {
  double share = 0;

  bool Draw(Random& random) const {
    return share > 0 && random.Unit() < share;
  }
};

inline constexpr std::string_view kRareRecipient = "office@firma.example";
inline constexpr std::string_view kRareRouted = "PScholz@corp.local";
inline constexpr std::string_view kRareSubject = "Agenda for the webinar";
inline constexpr std::string_view kRareNetwork = "82.165.";

inline void AppendIncoming(std::string& out, Random& random, bool with_sender,
                           const std::string& sender, const RareValues& rare) {
  std::string_view user = random.Pick(kUsers);
  out += "pop.example.com/", out += user, out += '\t';
  with_sender ? void(out += sender) : AppendAddress(out, random);
  out += '\t';
  AppendAddressList(out, random, 1 + random.Below(3));
  out += '\t';
  if (random.Below(10) < 3) AppendAddressList(out, random, 1);
  if (rare.Draw(random)) out += kRareRecipient;
  out += '\t';
  rare.Draw(random) ? void(out += kRareRouted) : AppendLocalAddress(out, user);
  out += '\t', out += random.Pick(kRules), out += '\t';
  out += random.Pick(kSubjects);
  if (rare.Draw(random)) out += " / ", out += kRareSubject;
  out += '\t';
  AppendSize(out, random);
  out += '\t';
  const bool rare_network = rare.Draw(random);
  if (rare_network) out += kRareNetwork;
  for (int piece = rare_network ? 2 : 0; piece < 4; ++piece) {
    if (piece > (rare_network ? 2 : 0)) out += '.';
    AppendNumber(out, 1 + random.Below(254));
  }
}

inline void AppendOutgoing(std::string& out, Random& random, bool with_sender,
                           const std::string& sender, const RareValues&) {
  with_sender ? void(out += sender)
              : AppendLocalAddress(out, random.Pick(kUsers));
  out += '\t';
  AppendAddress(out, random);
  out += '\t', out += random.Pick(kSubjects), out += '\t';
  AppendSize(out, random);
}

}  // namespace kvo::gen

#endif  // KVO_TOOLS_SAMPLE_LINES_H_
