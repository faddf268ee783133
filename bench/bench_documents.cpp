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

std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(4 - d.size(), '0') + d;
}

// One program on a scratch home with a 9,900-member file, every field filled.
class Program {
 public:
  Program() {
    std::string tmpl = (fs::temp_directory_path() / "soc-bench-XXXXXX").string();
    home_ = ::mkdtemp(tmpl.data());
    ::setenv("HOME", home_.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    reset_program_state();
    set_window_system(&ws_);
    set_services(&sys_);
    wm_create();
    setrc("info", "no");
    std::string s;
    for (int i = 0; i < kMembers; ++i)
      s += "#\r\nMember " + std::to_string(100000 + i) + "\r\nJean-Pierre\r\n12 rue de la Paix\r\n"
           "Paris\r\n75002\r\n01 23 45 67 89 jp@example.org\r\nEngineer\r\nFrench\r\n"
           "05 14 1970 @ Lyon\r\nPays dues $\r\n" + ref_of(i) + "\r\n" + ref_of(i) + "\r\nChoir\r\n";
    std::ofstream(data_file(), std::ios::binary) << s;
  }
  ~Program() {
    set_window_system(nullptr);
    set_services(nullptr);
    std::error_code ec;
    fs::remove_all(home_, ec);
  }
  std::string data_file() const { return (home_ / "sociantes_db" / "sociantes.data").string(); }

 private:
  fs::path home_;
  std::ostream null_{nullptr};
  ScriptedWindowSystem ws_{null_};
  ScriptedServices sys_{null_};
};

Program& program() {
  static Program p;
  return p;
}

void BM_ReadMembers(benchmark::State& state) {
  const std::string path = program().data_file();
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
