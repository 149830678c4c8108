// A console reporter that also keeps each benchmark's real time per
// iteration, so that a benchmark program can print its runs as ratios to a
// baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      cpuTimes_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Time per iteration in the benchmark's unit; 0 when it did not run.
  double time(const std::string& name) const { return lookUp(times_, name); }
  // Processor time per iteration: on a busy machine the fairer figure.
  double cpuTime(const std::string& name) const { return lookUp(cpuTimes_, name); }

 private:
  static double lookUp(const std::map<std::string, double>& times, const std::string& name) {
    const auto found = times.find(name);
    return found == times.end() ? 0.0 : found->second;
  }
  std::map<std::string, double> times_;
  std::map<std::string, double> cpuTimes_;
};
