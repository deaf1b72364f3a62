// Reads a 1,000,000-line incoming monthly log through C_LogFileRead with a
// sender criterion, as a listing of that month does. The log is generated
// once into /tmp/kvo_reader_bench and reused.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/date.h"
#include "logread/log_file_read.h"

namespace {

const char kFolder[] = "/tmp/kvo_reader_bench";
const char kSender[] = "bench.sender@marker.invalid";

bool EnsureLog() {
  struct stat info;
  std::string path = std::string(kFolder) + "/Incoming2024-03.txt";
  if (::stat(path.c_str(), &info) == 0) return true;
  std::string command = std::string(KVO_GENERATOR) + " --folder " + kFolder +
                        " --log incoming --period monthly --first 2024-03-01"
                        " --last 2024-03-31 --lines 1000000 --sender " +
                        kSender + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

// Reads the whole file once; returns the lines read and the bytes' estimate.
int64_t ReadMonth(kvo::C_LogFileRead& reader, int64_t& taken) {
  reader.P_Open(true);
  if (!reader.P_Open()) return 0;
  int64_t lines = 0;
  bool eof = false;
  while (!eof) {
    std::optional<kvo::LogLineColumns> columns = reader.M_GetNextLine(eof);
    if (!columns) break;
    ++lines;
    taken += reader.P_fTakeIt() ? 1 : 0;
    reader.P_fTitle = false;
  }
  reader.P_Open(false);
  return lines;
}

void Run(benchmark::State& state, bool select) {
  if (!EnsureLog()) {
    state.SkipWithError("the generator failed");
    return;
  }
  kvo::C_LogFileRead reader;
  reader.P_strPathName = kFolder;
  reader.P_LogType(kvo::LogIncoming);
  reader.P_LogPeriod = kvo::PeriodMonthly;
  reader.P_datRef = kvo::MakeDate(2024, 3, 1);
  if (select) {
    reader.P_datStart = kvo::MakeDate(2024, 3, 1);
    reader.P_datEnd = kvo::MakeDate(2024, 3, 31);
    reader.P_strFromSel = kSender;
  }
  struct stat info;
  ::stat((std::string(kFolder) + "/Incoming2024-03.txt").c_str(), &info);
  int64_t lines = 0, taken = 0;
  for (auto _ : state) {
    reader.P_fTitle = true;
    lines += ReadMonth(reader, taken);
  }
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines),
                                                 benchmark::Counter::kIsRate);
  state.counters["taken"] =
      static_cast<double>(taken) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * info.st_size);
}

void BM_ReadWithFromCriterion(benchmark::State& state) { Run(state, true); }
void BM_ReadWithoutSelection(benchmark::State& state) { Run(state, false); }

BENCHMARK(BM_ReadWithFromCriterion)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWithoutSelection)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
