// Benchmark of the print scheduler: a labels mailing file of 9,900 members
// printed whole, sheet by sheet, to PDF files on virtual time (the delays
// between parts cost nothing), through the same run state machine and
// label printing as the program. Reported per sheet.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scheduler/spoolet.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

constexpr int kMembers = 9900;

// The scheduler's window without a window: every print dialog writes the
// same PDF file, waits return at once.
class BenchHost final : public sched::SpoolHost {
 public:
  void show_status(const std::string&) override {}
  std::string delay_text() override { return "3"; }
  void error_box(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  PrtPick print_dialog(const std::vector<std::string>&, std::string& value) override {
    ++sheets;
    value = pdf;
    return PrtPick::pdf;
  }
  void sleep_ms(int) override {}
  void start_ticks() override {}
  std::string pdf;  // where each sheet is written
  int sheets = 0;   // sheets printed
};

std::string labels_text() {
  std::string s = "30\r\n30\r\n";
  for (int k = 0; k < kMembers; ++k) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "MEMBERNAME%04d Jean-Pierre\r\n%d rue de la Republique\r\n75%03d Paris\r\n#\r\n", k,
                  k % 200, k % 1000);
    s += buf;
  }
  return s;
}

void BM_LabelsRun9900(benchmark::State& state) {
  char tmpl[] = "/tmp/bench-spoolet-XXXXXX";
  const fs::path home = ::mkdtemp(tmpl);
  ::setenv("HOME", home.c_str(), 1);
  ::unsetenv("XDG_CACHE_HOME");
  ::setenv("CUPS_SERVER", (home / "no-cups.sock").c_str(), 1);
  fs::create_directories(home / "sociantes_db");
  std::ofstream(home / "sociantes_db/printer.dat") << "NO_AUTO\r\n";
  fs::create_directories(home / ".cache/sociantes/tmp");
  const fs::path in = home / ".cache/sociantes/tmp/L3507.qmd";
  const std::string text = labels_text();
  BenchHost host;
  host.pdf = (home / "sheet.pdf").string();
  sched::set_host(&host);
  int sheets = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(in, std::ios::binary) << text;
    sched::reset_run();
    std::string caption, msg;
    sched::take_argument({in.string()}, "spoolet", caption, msg);
    host.sheets = 0;
    state.ResumeTiming();
    sched::do_print();
    while (sched::label_txt.rfind("Status: Ok", 0) != 0) sched::timer_proc();
    sheets = host.sheets;
  }
  if (sheets != (kMembers + 15) / 16 || fs::exists(in)) state.SkipWithError("the run did not print every sheet");
  state.counters["sheets"] = sheets;
  state.counters["per_sheet"] =
      benchmark::Counter(sheets, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  sched::reset_run();
  sched::set_host(nullptr);
  std::error_code ec;
  fs::remove_all(home, ec);
}
BENCHMARK(BM_LabelsRun9900)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
