// Benchmarks of the text documents on a member file of 9,900 members: the
// Extended Listing and the letters mailing file, each beside reading the
// member file once (the whole file read and parsed into records), which every
// document must do at least. At the end a table gives each document's wall
// time as a ratio of that read.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "bench_util.h"
#include "db/records.h"
#include "db/util.h"
#include "documents/documents.h"
#include "platform/fs.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

constexpr int kMembers = 9900;

// The benchmark program with a 9,900-member file.
class Program : public bench::BenchProgram {
 public:
  Program() { std::ofstream(data_file(), std::ios::binary) << bench::member_file(kMembers); }
};

Program& program() {
  static Program p;
  return p;
}

void BM_ReadMembers(benchmark::State& state) {
  const std::string path = program().data_file().string();
  for (auto _ : state) {
    std::string text;
    if (!read_file(path, text)) std::abort();
    LineReader in(std::move(text));
    Record r;
    int n = 0;
    while (get_data(in, r, kFields) == kFields) ++n;
    if (n != kMembers) std::abort();
  }
}
BENCHMARK(BM_ReadMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExtendedListing(benchmark::State& state) {
  program();
  for (auto _ : state) listing(1);
}
BENCHMARK(BM_ExtendedListing)->Unit(benchmark::kMillisecond)->UseRealTime();

// The letters file is written whole; the question is closed unanswered,
// which deletes the file again.
void BM_LettersMailing(benchmark::State& state) {
  program();
  for (auto _ : state) mailing(0);
}
BENCHMARK(BM_LettersMailing)->Unit(benchmark::kMillisecond)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.run_type == Run::RT_Iteration)
        ms_[r.run_name.function_name] = r.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double floor = ms_["BM_ReadMembers"];
    if (floor <= 0) return;
    std::printf("\n%-18s %10s %10s %7s\n", "document", "ms", "read ms", "ratio");
    for (const char* name : {"BM_ExtendedListing", "BM_LettersMailing"})
      if (ms_.count(name))
        std::printf("%-18s %10.2f %10.2f %6.2fx\n", name + 3, ms_[name], floor, ms_[name] / floor);
  }

 private:
  std::map<std::string, double> ms_;  // wall ms by benchmark
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
