// Benchmarks of the member search and the archive on a member file of 9,900
// members, run in this process with the scripted window system.
//
// The search of one OK is measured against reading the member file once from
// the page cache, in the same run, with a criterion that only the last member
// holds: every OK looks through all records. Two cases: the member file as
// it usually stands between two OKs, not written for two seconds or more
// (an OK sees that it is the file read before and does not read it again),
// and the member file touched just before each OK (the OK reads it and
// compares it with the bytes it kept). The archive copies and renews 9,900 history files (each
// written durably) with the pacing setting off.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <new>
#include <string>
#include <thread>

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
  const bool settled = state.range(0) == 1;
  Aligned text;
  read_once(path, text);  // in the page cache from here on
  if (settled) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  const std::string lock_probe = path + ".probe";
  double read_us = 0, search_us = 0, read_cpu = 0, search_cpu = 0, lock_us = 0;
  for (auto _ : state) {
    if (!settled) ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);  // written just now
    auto t0 = Clock::now();
    double c0 = cpu_us();
    benchmark::DoNotOptimize(read_once(path, text));
    read_us += us_since(t0);
    read_cpu += cpu_us() - c0;
    // What taking and releasing a record lock costs the file system: one
    // file created and removed in the data directory (shown, not a floor).
    t0 = Clock::now();
    const int lfd = ::open(lock_probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (lfd >= 0) ::close(lfd);
    ::unlink(lock_probe.c_str());
    lock_us += us_since(t0);
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
  state.counters["file_create_us"] = lock_us / n;
  state.counters["read_cpu_us"] = read_cpu / n;
  state.counters["search_cpu_us"] = search_cpu / n;
  state.counters["cpu_ratio"] = search_cpu / read_cpu;
}
BENCHMARK(BM_SearchOneOkVsRead)->ArgName("settled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
