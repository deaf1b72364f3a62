// The address criterion on a canonical address column, compiled once
// (IpCriterion::Takes) beside the predicates that read the texts on every
// line, as the selection did before. Figures only.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "net/ip_criterion.h"
#include "net/ipv4.h"

namespace {

struct Criterion {
  const char* ip1;
  const char* ip2;
  bool subnet;
};

const Criterion kCriteria[] = {
    {"82.165.3.17", "", false},
    {"82.0.0.0", "82.255.255.255", false},
    {"82.165.0.0", "255.255.0.0", true},
};

// Addresses as the gateway writes them, half of them in 82.x.x.x.
const std::vector<std::string>& Columns() {
  static const std::vector<std::string> columns = [] {
    std::mt19937 random(7);
    std::vector<std::string> out;
    for (int i = 0; i < 4096; ++i) {
      unsigned first = i % 2 == 0 ? 82 : random() % 256;
      out.push_back(std::to_string(first) + "." +
                    std::to_string(random() % 256) + "." +
                    std::to_string(random() % 256) + "." +
                    std::to_string(random() % 256));
    }
    return out;
  }();
  return columns;
}

bool GeneralVerdict(const Criterion& c, std::string_view column) {
  if (column.empty()) return kvo::InetAddr(c.ip1) == kvo::InetAddr("0.0.0.0");
  if (*c.ip2 == '\0') return kvo::InetAddr(c.ip1) == kvo::InetAddr(column);
  if (!c.subnet) return kvo::IsIpInRange(c.ip1, c.ip2, column);
  try {
    return kvo::IsIpInSubnet(c.ip1, c.ip2, column);
  } catch (const kvo::RuntimeError&) {
    return true;
  }
}

void Compiled(benchmark::State& state) {
  const Criterion& c = kCriteria[state.range(0)];
  const kvo::IpCriterion criterion =
      kvo::IpCriterion::Compile(c.ip1, c.ip2, c.subnet);
  const std::vector<std::string>& columns = Columns();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(criterion.Takes(columns[i++ & 4095]));
  }
}

void General(benchmark::State& state) {
  const Criterion& c = kCriteria[state.range(0)];
  const std::vector<std::string>& columns = Columns();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GeneralVerdict(c, columns[i++ & 4095]));
  }
}

// 0: single address, 1: range, 2: subnet.
BENCHMARK(Compiled)->DenseRange(0, 2);
BENCHMARK(General)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
