#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vtsetup::bench {

// Keeps the library's usual console output and also remembers each benchmark's throughput, so the ratio
// comes from exactly the figures printed above it. With --benchmark_report_aggregates_only only the
// aggregates arrive, and their mean stands in for the single runs.
class ThroughputRecorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto rate = run.counters.find("bytes_per_second");
      if (rate == run.counters.end()) {
        continue;
      }
      if (run.run_type == Run::RT_Iteration) {
        Sum& sum = single_runs_[run.run_name.function_name];
        sum.total += rate->second.value;
        ++sum.runs;
      } else if (run.aggregate_name == "mean") {
        means_[run.run_name.function_name] = rate->second.value;
      }
    }
  }

  // Bytes per second, or 0 when the benchmark was filtered out.
  double BytesPerSecond(const std::string& name) const {
    if (const auto found = single_runs_.find(name); found != single_runs_.end()) {
      return found->second.total / found->second.runs;
    }
    const auto mean = means_.find(name);
    return mean == means_.end() ? 0.0 : mean->second;
  }

 private:
  struct Sum {
    double total = 0.0;
    int runs = 0;
  };
  std::map<std::string, Sum> single_runs_;
  std::map<std::string, double> means_;
};

}  // namespace vtsetup::bench
