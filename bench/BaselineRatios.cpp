#include "bench/BaselineRatios.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

void PrintMachine() {
  std::string Model = "unknown CPU";
  std::ifstream CpuInfo("/proc/cpuinfo");
  for (std::string Line; std::getline(CpuInfo, Line);) {
    if (Line.starts_with("model name")) {
      Model = Line.substr(Line.find(':') + 2);
      break;
    }
  }
  double Load[3] = {};
  std::ifstream("/proc/loadavg") >> Load[0] >> Load[1] >> Load[2];
  std::printf("machine: %ld cores, %s, load average %.2f %.2f %.2f\n", ::sysconf(_SC_NPROCESSORS_ONLN), Model.c_str(),
              Load[0], Load[1], Load[2]);
}

void RatioReporter::ReportRuns(const std::vector<Run>& Runs) {
  // Each repetition, or only their mean where the aggregates alone are
  // reported.
  for (const Run& R : Runs) {
    const bool Mean = R.run_type == Run::RT_Aggregate && R.aggregate_name == "mean";
    if ((R.run_type != Run::RT_Iteration && !Mean) || R.error_occurred || R.iterations == 0) continue;
    const std::string Name = R.run_name.function_name;
    if (!Times_.contains(Name)) Order_.push_back(Name);
    Sum& S = Times_[Name];
    if (Mean) S = {};
    S.Seconds += R.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(R.time_unit);
    ++S.Runs;
  }
  ConsoleReporter::ReportRuns(Runs);
}

void RatioReporter::PrintRatios(const std::string& Baseline, const std::string& What) const {
  const auto Base = Times_.find(Baseline);
  if (Base == Times_.end()) {
    std::printf("no ratios: %s did not run\n", Baseline.c_str());
    return;
  }
  const double BaseSeconds = Base->second.Seconds / Base->second.Runs;
  std::printf("wall time against %s (%s, %.0f ms):\n", What.c_str(), Baseline.c_str(), BaseSeconds * 1e3);
  for (const std::string& Name : Order_) {
    if (Name == Baseline) continue;
    const Sum& S = Times_.at(Name);
    std::printf("  %-24s %6.2f x\n", Name.c_str(), S.Seconds / S.Runs / BaseSeconds);
  }
}
