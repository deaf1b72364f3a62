// KvoGenLogs: writes sample incoming or outgoing log files of the mail
// gateway, deterministic by seed, for tests and benchmarks.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/literal_finder.h"
#include "logread/log_naming.h"
#include "sample_lines.h"

namespace {

using namespace kvo::gen;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::string_view kUsage =
    "usage: KvoGenLogs --folder DIR --log incoming|outgoing"
    " --period monthly|daily --first YYYY-MM-DD --last YYYY-MM-DD\n"
    "  [--lines-per-day N] [--lines N] [--seed N] [--date-form dmy|ymd|mdy]\n"
    "  [--sender ADDR] [--sender-share F] [--rare-share F]"
    " [--line-end crlf|lf|cr] [--no-title]\n";

struct Options {
  std::string folder;
  bool incoming = true;
  bool monthly = true;
  sys_days first{};
  sys_days last{};
  int64_t lines_per_day = 50;
  std::optional<int64_t> lines;
  uint64_t seed = 1;
  std::string date_form = "dmy";
  std::string sender;
  double sender_share = 0.001;
  RareValues rare;
  std::string_view line_end = "\r\n";
  bool title = true;
};

// The file name of the period that holds `day`.
std::string FileName(const Options& options, year_month_day day) {
  return options.folder + "/" +
         kvo::LogFileName(options.incoming ? kvo::LogIncoming : kvo::LogOutgoing,
                          options.monthly ? kvo::PeriodMonthly : kvo::PeriodDaily,
                          static_cast<int>(day.year()),
                          static_cast<int>(unsigned{day.month()}),
                          static_cast<int>(unsigned{day.day()}));
}

// Collects lines in a large buffer and writes it in big pieces.
class FileWriter {
 public:
  explicit FileWriter(int fd) : fd_(fd) { out_.reserve(kChunk + 4096); }
  ~FileWriter() { ::close(fd_); }

  std::string& out() { return out_; }
  void FlushWhenFull() {
    if (out_.size() >= kChunk) Flush();
  }
  // False when any write failed.
  bool Finish() {
    Flush();
    return ok_;
  }

 private:
  static constexpr size_t kChunk = size_t{1} << 22;

  void Flush() {
    for (size_t done = 0; ok_ && done < out_.size();) {
      ssize_t n = ::write(fd_, out_.data() + done, out_.size() - done);
      ok_ = n > 0;
      done += ok_ ? static_cast<size_t>(n) : 0;
    }
    out_.clear();
  }

  int fd_;
  std::string out_;
  bool ok_ = true;
};

// Appends one data line without its line end. The sender goes only where it
// was chosen: a line that happens to contain it is drawn anew. False when
// that keeps happening.
bool AppendDataLine(std::string& out, const Options& options, Random& random,
                    year_month_day day, unsigned seconds, bool with_sender,
                    const kvo::LiteralFinder& sender) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    size_t start = out.size();
    AppendDateTime(out, options.date_form, day, seconds);
    out += '\t';
    (options.incoming ? AppendIncoming : AppendOutgoing)(
        out, random, with_sender, options.sender, options.rare);
    std::string_view line = std::string_view(out).substr(start);
    if (with_sender || sender.size() == 0 ||
        sender.Find(line.data(), line.data() + line.size()) == nullptr) {
      return true;
    }
    out.resize(start);
  }
  std::fputs(
      "KvoGenLogs: generated lines keep containing the sender; "
      "choose a more distinctive one\n",
      stderr);
  return false;
}

struct Counts {
  int64_t lines = 0;
  int64_t with_sender = 0;
};

// Appends the data lines of one day, in time order.
bool AppendDay(FileWriter& writer, const Options& options, Random& random,
               sys_days day, int64_t n, Counts& counts) {
  const kvo::LiteralFinder sender(options.sender);
  uint64_t slot = std::max<uint64_t>(
      static_cast<uint64_t>(86400 / std::max<int64_t>(n, 1)), 1);
  for (int64_t k = 0; k < n; ++k) {
    auto seconds = static_cast<unsigned>(
        k * 86400 / n + static_cast<int64_t>(random.Below(slot)));
    bool with_sender =
        !options.sender.empty() && random.Unit() < options.sender_share;
    if (!AppendDataLine(writer.out(), options, random, year_month_day{day},
                        seconds, with_sender, sender)) {
      return false;
    }
    writer.out() += options.line_end;
    ++counts.lines;
    counts.with_sender += with_sender ? 1 : 0;
    writer.FlushWhenFull();
  }
  return true;
}

// The lines of the day `day_index` of `day_count`.
int64_t LinesOfDay(const Options& options, int64_t day_index,
                   int64_t day_count) {
  if (!options.lines) return options.lines_per_day;
  return *options.lines * (day_index + 1) / day_count -
         *options.lines * day_index / day_count;
}

// Writes the file of the days `from`..`to` (one period) and reports it on
// standard output. `day_index` counts the days before `from`.
bool WriteLogFile(const Options& options, Random& random, sys_days from,
                  sys_days to, int64_t day_index, int64_t day_count) {
  std::string path = FileName(options, year_month_day{from});
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::perror(path.c_str());
    return false;
  }
  FileWriter writer(fd);
  if (options.title) {
    writer.out() +=
        options.incoming
            ? "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject\tSize"
            : "Date\tFrom\tTo\tSubject\tSize";
    writer.out() += options.line_end;
  }
  Counts counts;
  for (sys_days day = from; day <= to; day += std::chrono::days{1}) {
    int64_t n = LinesOfDay(options, day_index++, day_count);
    if (!AppendDay(writer, options, random, day, n, counts)) return false;
  }
  if (!writer.Finish()) {
    std::perror(path.c_str());
    return false;
  }
  std::printf("%s\t%lld\t%lld\n", path.c_str(),
              static_cast<long long>(counts.lines),
              static_cast<long long>(counts.with_sender));
  return true;
}

}  // namespace

namespace {

std::optional<sys_days> ParseDay(std::string_view text) {
  int y = 0;
  unsigned m = 0, d = 0;
  char dash1 = 0, dash2 = 0;
  std::string copy(text);
  int used = 0;
  if (std::sscanf(copy.c_str(), "%4d%c%2u%c%2u%n", &y, &dash1, &m, &dash2, &d,
                  &used) != 5 ||
      dash1 != '-' || dash2 != '-' ||
      static_cast<size_t>(used) != text.size()) {
    return std::nullopt;
  }
  year_month_day day{std::chrono::year{y}, std::chrono::month{m},
                     std::chrono::day{d}};
  if (!day.ok()) return std::nullopt;
  return sys_days{day};
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Reads one option and its value (if it takes one). False on a bad option.
// A share from 0 to 1.
bool ParseShare(std::string_view value, double& share) {
  std::string copy(value);
  char* end = nullptr;
  share = std::strtod(copy.c_str(), &end);
  return !copy.empty() && *end == '\0' && share >= 0 && share <= 1;
}

bool ReadOption(Options& options, std::string_view name, std::string_view value,
                bool& have_first, bool& have_last) {
  if (name == "--folder") {
    options.folder = value;
  } else if (name == "--log") {
    if (value != "incoming" && value != "outgoing") return false;
    options.incoming = value == "incoming";
  } else if (name == "--period") {
    if (value != "monthly" && value != "daily") return false;
    options.monthly = value == "monthly";
  } else if (name == "--first" || name == "--last") {
    std::optional<sys_days> day = ParseDay(value);
    if (!day) return false;
    (name == "--first" ? options.first : options.last) = *day;
    (name == "--first" ? have_first : have_last) = true;
  } else if (name == "--lines-per-day") {
    return ParseNumber(value, options.lines_per_day) &&
           options.lines_per_day >= 0;
  } else if (name == "--lines") {
    int64_t lines = 0;
    if (!ParseNumber(value, lines) || lines < 0) return false;
    options.lines = lines;
  } else if (name == "--seed") {
    return ParseNumber(value, options.seed);
  } else if (name == "--date-form") {
    options.date_form = value;
    return value == "dmy" || value == "ymd" || value == "mdy";
  } else if (name == "--sender") {
    options.sender = value;
    return value.find_first_of("\t\r\n") == std::string_view::npos;
  } else if (name == "--sender-share") {
    return ParseShare(value, options.sender_share);
  } else if (name == "--rare-share") {
    return ParseShare(value, options.rare.share);
  } else if (name == "--line-end") {
    if (value == "crlf") {
      options.line_end = "\r\n";
    } else if (value == "lf") {
      options.line_end = "\n";
    } else if (value == "cr") {
      options.line_end = "\r";
    } else {
      return false;
    }
  } else {
    return false;
  }
  return true;
}

std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  bool have_first = false, have_last = false, have_folder = false;
  bool have_log = false, have_period = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view name = argv[i];
    if (name == "--no-title") {
      options.title = false;
      continue;
    }
    if (i + 1 >= argc) return std::nullopt;
    std::string_view value = argv[++i];
    if (!ReadOption(options, name, value, have_first, have_last)) {
      return std::nullopt;
    }
    have_folder |= name == "--folder";
    have_log |= name == "--log";
    have_period |= name == "--period";
  }
  if (!have_first || !have_last || !have_folder || !have_log || !have_period ||
      options.folder.empty() || options.last < options.first) {
    return std::nullopt;
  }
  return options;
}

// The last day of the period that starts or runs at `day`.
sys_days PeriodEnd(const Options& options, sys_days day) {
  if (!options.monthly) return day;
  year_month_day ymd{day};
  auto last = std::chrono::year_month_day_last{
      ymd.year(), std::chrono::month_day_last{ymd.month()}};
  return std::min(sys_days{last}, options.last);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = ParseArguments(argc, argv);
  if (!options) {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(options->folder, error);
  if (error) {
    std::fprintf(stderr, "KvoGenLogs: %s: %s\n", options->folder.c_str(),
                 error.message().c_str());
    return 1;
  }
  Random random(options->seed);
  int64_t day_count = (options->last - options->first).count() + 1;
  int64_t day_index = 0;
  for (sys_days from = options->first; from <= options->last;) {
    sys_days to = PeriodEnd(*options, from);
    if (!WriteLogFile(*options, random, from, to, day_index, day_count)) {
      return 1;
    }
    day_index += (to - from).count() + 1;
    from = to + std::chrono::days{1};
  }
  return 0;
}
