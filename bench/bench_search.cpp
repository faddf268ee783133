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
#include <ctime>
#include <new>
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

// The plain read of a whole file: open, size, one read, into a buffer that
// begins on a 64-byte boundary (where the kernel copies fastest).
struct Aligned {
  char* p = nullptr;  // the buffer
  std::size_t cap = 0;  // its size
  ~Aligned() { ::operator delete[](p, std::align_val_t{64}); }
  char* room(std::size_t n) {
    if (n > cap) {
      ::operator delete[](p, std::align_val_t{64});
      p = static_cast<char*>(::operator new[](n, std::align_val_t{64}));
      cap = n;
    }
    return p;
  }
};

std::size_t read_once(const std::string& path, Aligned& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  ::fstat(fd, &st);
  const auto size = static_cast<std::size_t>(st.st_size);
  char* p = out.room(size);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, p + got, size - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return got;
}

double us_since(Clock::time_point t) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

// The processor time of this thread (user and system), in microseconds: on
// a machine shared with other work, the part of a wall time that was spent
// here.
double cpu_us() {
  struct timespec ts;
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

void BM_SearchOneOkVsRead(benchmark::State& state) {
  Program& p = program();
  p.restore();
  const std::string path = (p.home() / "sociantes_db" / "sociantes.data").string();
  Aligned text;
  read_once(path, text);  // in the page cache from here on
  double read_us = 0, search_us = 0, read_cpu = 0, search_cpu = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    double c0 = cpu_us();
    benchmark::DoNotOptimize(read_once(path, text));
    read_us += us_since(t0);
    read_cpu += cpu_us() - c0;
    search_reset();
    task_in = 4;
    dlg_input = "member 109899";
    t0 = Clock::now();
    c0 = cpu_us();
    do_srch();
    search_us += us_since(t0);
    search_cpu += cpu_us() - c0;
    if (index_sel != ref_of(kMembers - 1)) state.SkipWithError("the last member was not found");
  }
  task_in = 0;
  free_sel();
  const double n = static_cast<double>(state.iterations());
  state.counters["read_us"] = read_us / n;
  state.counters["search_us"] = search_us / n;
  state.counters["ratio"] = search_us / read_us;
  state.counters["read_cpu_us"] = read_cpu / n;
  state.counters["search_cpu_us"] = search_cpu / n;
  state.counters["cpu_ratio"] = search_cpu / read_cpu;
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
