// Benchmarks of the member search and the archive on a member file of 9,900
// members, run in this process with the scripted window system.
//
// The search of one OK is measured against reading the member file once from
// the page cache, in the same run, with a criterion that only the last member
// holds: every OK reads the file, writes the private copy and looks through
// all records. The archive copies and renews 9,900 history files (each
// written durably) with the pacing setting off.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench_program.h"
#include "db/archives.h"
#include "db/search.h"

namespace {

using namespace soc::bench;
using Clock = std::chrono::steady_clock;

// The plain read of a whole file: open, size, one read.
std::size_t read_once(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  ::fstat(fd, &st);
  out.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return got;
}

double us_since(Clock::time_point t) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

void BM_SearchOneOkVsRead(benchmark::State& state) {
  Program& p = program();
  p.restore();
  const std::string path = (p.home() / "sociantes_db" / "sociantes.data").string();
  std::string text;
  read_once(path, text);  // in the page cache from here on
  double read_us = 0, search_us = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    benchmark::DoNotOptimize(read_once(path, text));
    read_us += us_since(t0);
    search_reset();
    task_in = 4;
    dlg_input = "member 109899";
    t0 = Clock::now();
    do_srch();
    search_us += us_since(t0);
    if (index_sel != ref_of(kMembers - 1)) state.SkipWithError("the last member was not found");
  }
  task_in = 0;
  free_sel();
  const double n = static_cast<double>(state.iterations());
  state.counters["read_us"] = read_us / n;
  state.counters["search_us"] = search_us / n;
  state.counters["ratio"] = search_us / read_us;
}
BENCHMARK(BM_SearchOneOkVsRead)->Unit(benchmark::kMillisecond);

// A dialog that only takes the archive's progress texts.
class QuietDialog final : public soc::Dialog {
 public:
  const soc::DialogTemplate& tmpl() const override { return *soc::template_for_kind(3); }
  void set_text(int, const std::string&) override {}
  std::string get_text(int) const override { return ""; }
  void enable(int, bool) override {}
  bool can_press(int) const override { return false; }
  void remove(int) override {}
  void set_picture(int, const std::string&) override {}
  void end(int) override {}
  bool ended() const override { return false; }
};

void BM_Archive(benchmark::State& state) {
  Program& p = program();
  p.restore();
  setrc("pacing", "no");
  const fs::path db = p.home() / "sociantes_db";
  for (int i = 0; i < kMembers; ++i)
    std::ofstream(db / (ref_of(i) + ".dat"), std::ios::binary) << "history of " << ref_of(i)
                                                               << "\r\n";
  int run = 0;
  QuietDialog d;
  for (auto _ : state) {
    task_in = 16;
    tmp_str = "BENCH" + std::to_string(++run);
    do_arch(d);
    if (!fs::exists(db / "archives.aff" / tmp_str / "sociantes.data"))
      state.SkipWithError("the archive is incomplete");
  }
  state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_Archive)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
