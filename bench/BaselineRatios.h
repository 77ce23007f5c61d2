// Benchmark figures as ratios against a baseline measured in the same run,
// and the machine they came from, so that figures from a loaded or a
// different machine can still be compared.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints the number of cores, the CPU model and the load average.
void PrintMachine();

// The console reporter that also keeps the mean wall time of every
// benchmark, aggregates left out.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(bool Color) : ConsoleReporter(Color ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& Runs) override;
  // Prints the wall time of every other benchmark divided by that of
  // Baseline, which is described by What.
  void PrintRatios(const std::string& Baseline, const std::string& What) const;

 private:
  struct Sum {
    double Seconds = 0;
    int Runs = 0;
  };
  std::vector<std::string> Order_;
  std::map<std::string, Sum> Times_;
};
