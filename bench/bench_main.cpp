#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_report.h"

namespace {

std::vector<std::pair<std::string, std::string>>& Ratios() {
  static std::vector<std::pair<std::string, std::string>> ratios;
  return ratios;
}

// The console output as usual, plus the real time of every run for the ratios.
class ratio_reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [ours, yardstick] : Ratios()) {
      auto a = times.find(ours), b = times.find(yardstick);
      if (a != times.end() && b != times.end() && b->second > 0)
        std::printf("ratio %-45s / %-40s = %.2f\n", ours.c_str(), yardstick.c_str(),
                    a->second / b->second);
    }
  }

 private:
  std::map<std::string, double> times;
};

}  // namespace

void RegisterRatio(const std::string& ours, const std::string& yardstick) {
  Ratios().emplace_back(ours, yardstick);
}

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ratio_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
