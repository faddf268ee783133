// The program as the benchmarks run it: one long-lived process on a scratch
// home, with the scripted window system and services writing nowhere, the
// main window created and hints off.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>
#include <ostream>
#include <string>

#include <unistd.h>

#include "db/util.h"
#include "platform/scripted.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace soc::bench {

// The reference number i ("A0012" for 12).
inline std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(4 - d.size(), '0') + d;
}

// A member file of n members in name order, every field filled.
inline std::string member_file(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += "#\r\nMember " + std::to_string(100000 + i) + "\r\nJean-Pierre\r\n12 rue de la Paix\r\n"
         "Paris\r\n75002\r\n01 23 45 67 89 jp@example.org\r\nEngineer\r\nFrench\r\n"
         "05 14 1970 @ Lyon\r\nPays dues $\r\n" + ref_of(i) + "\r\n" + ref_of(i) + "\r\nChoir\r\n";
  }
  return s;
}

class BenchProgram {
 public:
  BenchProgram() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "soc-bench-XXXXXX").string();
    home_ = ::mkdtemp(tmpl.data());
    ::setenv("HOME", home_.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    reset_program_state();
    set_window_system(&ws_);
    set_services(&sys_);
    wm_create();
    setrc("info", "no");  // no hint boxes
  }
  ~BenchProgram() {
    set_window_system(nullptr);
    set_services(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  BenchProgram(const BenchProgram&) = delete;
  BenchProgram& operator=(const BenchProgram&) = delete;

  std::filesystem::path data_file() const { return home_ / "sociantes_db" / "sociantes.data"; }
  std::filesystem::path data_dir() const { return home_ / "sociantes_db"; }
  ScriptedWindowSystem& ws() { return ws_; }

 private:
  std::filesystem::path home_;
  std::ostream null_{nullptr};
  ScriptedWindowSystem ws_{null_};
  ScriptedServices sys_{null_};
};

// The console report, then each operation's wall time over its floor's, for
// every argument both were run with.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Pairs of benchmark names: operation, floor.
  explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
      : pairs_(std::move(pairs)) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.run_type == Run::RT_Iteration)
        ms_[r.run_name.function_name][r.run_name.args] = {r.GetAdjustedRealTime(),
                                                          r.GetAdjustedCPUTime()};
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-18s %-8s %10s %10s %7s %10s %10s\n", "operation", "members", "op ms",
                "floor ms", "ratio", "op cpu", "floor cpu");
    for (const auto& [op_name, floor_name] : pairs_)
      for (const auto& [args, op] : ms_[op_name]) {
        auto f = ms_[floor_name].find(args);
        if (f == ms_[floor_name].end() || f->second.wall <= 0) continue;
        std::printf("%-18s %-8s %10.2f %10.2f %6.2fx %10.2f %10.2f\n", op_name.c_str() + 3,
                    args.c_str(), op.wall, f->second.wall, op.wall / f->second.wall, op.cpu,
                    f->second.cpu);
      }
  }

 private:
  struct Times {
    double wall = 0;  // wall time per iteration, in the benchmark's unit
    double cpu = 0;   // processor time per iteration, the same unit
  };
  std::vector<std::pair<std::string, std::string>> pairs_;  // operation, floor
  std::map<std::string, std::map<std::string, Times>> ms_;  // times by benchmark and argument
};

// Runs the benchmarks of the program with the ratio table of pairs.
inline int run_with_ratios(int argc, char** argv,
                           std::vector<std::pair<std::string, std::string>> pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace soc::bench
