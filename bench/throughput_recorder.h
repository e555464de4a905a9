#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vtsetup::bench {

// Keeps the library's usual console output and also remembers each benchmark's rates (bytes and items
// per second), so the ratio comes from exactly the figures printed above it. With
// --benchmark_report_aggregates_only only the aggregates arrive, and their mean stands in for the
// single runs.
class ThroughputRecorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      for (const char* counter : {kBytes, kItems}) {
        const auto rate = run.counters.find(counter);
        if (rate == run.counters.end()) {
          continue;
        }
        const Key key{run.run_name.function_name, counter};
        if (run.run_type == Run::RT_Iteration) {
          Sum& sum = single_runs_[key];
          sum.total += rate->second.value;
          ++sum.runs;
        } else if (run.aggregate_name == "mean") {
          means_[key] = rate->second.value;
        }
      }
    }
  }

  // Bytes per second, or 0 when the benchmark was filtered out or counted no bytes.
  double BytesPerSecond(const std::string& name) const { return Rate(name, kBytes); }
  // Items per second, likewise.
  double ItemsPerSecond(const std::string& name) const { return Rate(name, kItems); }

 private:
  static constexpr const char* kBytes = "bytes_per_second";
  static constexpr const char* kItems = "items_per_second";
  using Key = std::pair<std::string, std::string>;
  struct Sum {
    double total = 0.0;
    int runs = 0;
  };

  double Rate(const std::string& name, const char* counter) const {
    const Key key{name, counter};
    if (const auto found = single_runs_.find(key); found != single_runs_.end()) {
      return found->second.total / found->second.runs;
    }
    const auto mean = means_.find(key);
    return mean == means_.end() ? 0.0 : mean->second;
  }

  std::map<Key, Sum> single_runs_;
  std::map<Key, double> means_;
};

}  // namespace vtsetup::bench
