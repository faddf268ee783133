// Benchmarks of the member commands, each beside its floor, on member files
// of 1,000, 5,000 and 9,900 members, run in this one long-lived process with
// the scripted window system: loading the member list (of the file as last
// read, and of a file another workstation changed), saving a new member,
// Modify, Delete, and the bulk flag change. The list of a changed file is
// measured with one record changed and with every record changed.
//
// The floor of an operation is what it must do at least, measured in the same
// run on the same file: for the list, reading the member file and splitting it
// into lines; for a save, writing a file of the same size to a sibling,
// flushing it, renaming it over the member file and flushing the directory
// (for New also the two small durable writes of the history file and the
// counter). At the end a table gives each operation's wall time as a ratio of
// its floor, with the processor times of both. Every save includes the reload
// of the member list, as the commands do.
//
// The sizes alternate in this one process as they would in a long-running
// program; the counter "faults" gives the page faults per operation, which
// show whether the large buffers are kept between operations. Run with
// --default_allocator to see the same without keep_large_buffers().
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench_util.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "platform/fs.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

using bench::member_file;
using bench::ref_of;

// Writes content durably over path: sibling, fsync, rename, fsync of the directory.
void durable_write(const std::string& path, const std::string& dir, const std::string& content) {
  std::string tmp = path + ".floor";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()) ||
      ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0)
    std::abort();
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ::fsync(dfd);
  ::close(dfd);
}

// The benchmark program with member files of several sizes.
class Program : public bench::BenchProgram {
 public:
  const std::string& base(int n) {
    std::string& b = bases_[n];
    if (b.empty()) b = member_file(n);
    return b;
  }
  // Puts the n-member file back and the counter after it. The file is
  // written durably, as the floor leaves it, so that an operation does not
  // pay for flushing or dropping what the preparation left unwritten.
  void restore(int n) {
    durable_write(data_file().string(), data_dir().string(), base(n));
    setrc("ref", ref_of(n));
    task_in = 0;
    show_cust();
  }
  void type(int field, const std::string& s) { ws().ctl_set_text(form_ctl(form_elem_of_field(field)), s); }

 private:
  std::map<int, std::string> bases_;  // member files by size
};

Program& program() {
  static Program p;
  return p;
}

int members(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// Minor page faults of this process so far.
long faults() {
  struct rusage ru {};
  ::getrusage(RUSAGE_SELF, &ru);
  return ru.ru_minflt;
}

// Reports the page faults per iteration of the benchmark since start.
void report_faults(benchmark::State& state, long start) {
  state.counters["faults"] =
      benchmark::Counter(static_cast<double>(faults() - start), benchmark::Counter::kAvgIterations);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(5000)->Arg(9900)->Unit(benchmark::kMillisecond)->UseRealTime();
}

// ---- Floors -----------------------------------------------------------------

// Reads the whole file with one read and splits it into line views.
std::size_t read_split(const std::string& path, std::string& buf, std::vector<std::string_view>& lines) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  ::fstat(fd, &st);
  buf.resize(static_cast<std::size_t>(st.st_size));
  if (::read(fd, buf.data(), buf.size()) != static_cast<ssize_t>(buf.size())) std::abort();
  ::close(fd);
  lines.clear();
  std::string_view v(buf);
  while (!v.empty()) {
    std::size_t e = v.find('\n');
    std::string_view line = v.substr(0, e);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    v.remove_prefix(e == std::string_view::npos ? v.size() : e + 1);
  }
  return lines.size();
}

void BM_ReadSplit(benchmark::State& state) {
  Program& p = program();
  p.restore(members(state));
  std::string path = p.data_file().string();
  std::string buf;
  std::vector<std::string_view> lines;
  for (auto _ : state) benchmark::DoNotOptimize(read_split(path, buf, lines));
}
BENCHMARK(BM_ReadSplit)->Apply(sizes);

void BM_Floor(benchmark::State& state) {
  Program& p = program();
  p.restore(members(state));
  const std::string& content = p.base(members(state));
  std::string path = p.data_file().string(), dir = p.data_dir().string();
  for (auto _ : state) durable_write(path, dir, content);
}
BENCHMARK(BM_Floor)->Apply(sizes);

// The floor of New: the member file and the two small files it also writes.
void BM_FloorNew(benchmark::State& state) {
  Program& p = program();
  p.restore(members(state));
  const std::string& content = p.base(members(state));
  std::string path = p.data_file().string(), dir = p.data_dir().string();
  std::string small(300, 'x');
  for (auto _ : state) {
    durable_write(path, dir, content);
    durable_write(dir + "/A9998.dat", dir, small);
    durable_write(dir + "/.floor.rc", dir, small);
  }
}
BENCHMARK(BM_FloorNew)->Apply(sizes);

// ---- Operations -------------------------------------------------------------

void BM_ShowCust(benchmark::State& state) {
  program().restore(members(state));
  const long f0 = faults();
  for (auto _ : state) show_cust();
  report_faults(state, f0);
  state.SetItemsProcessed(state.iterations() * members(state));
}
BENCHMARK(BM_ShowCust)->Apply(sizes);

// The list of a member file that another workstation changed since it was
// last read (one remark differs each time): read, scanned and every row built.
void BM_ShowCustChanged(benchmark::State& state) {
  Program& p = program();
  const int n = members(state);
  p.restore(n);
  std::string changed = p.base(n);
  const std::size_t at = changed.find("Pays dues $");
  const long f0 = faults();
  for (auto _ : state) {
    state.PauseTiming();
    changed[at + 10] = changed[at + 10] == '$' ? '!' : '$';
    std::ofstream(p.data_file(), std::ios::binary) << changed;
    state.ResumeTiming();
    show_cust();
  }
  report_faults(state, f0);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ShowCustChanged)->Apply(sizes);

// The same when another workstation changed every record (its bulk flag
// change): nothing can be taken from the last scan, every row is built.
void BM_ShowCustAllChanged(benchmark::State& state) {
  Program& p = program();
  const int n = members(state);
  p.restore(n);
  std::string flagged = p.base(n), plain = p.base(n);
  for (std::size_t at = 0; (at = flagged.find("Pays dues $", at)) != std::string::npos; at += 11)
    flagged[at + 10] = '!';
  bool now_flagged = false;
  const long f0 = faults();
  for (auto _ : state) {
    state.PauseTiming();
    now_flagged = !now_flagged;
    std::ofstream(p.data_file(), std::ios::binary) << (now_flagged ? flagged : plain);
    state.ResumeTiming();
    show_cust();
  }
  report_faults(state, f0);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ShowCustAllChanged)->Apply(sizes);

void BM_SaveNew(benchmark::State& state) {
  Program& p = program();
  int n = members(state);
  const long f0 = faults();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore(n);
    do_new();
    p.type(1, "Member " + std::to_string(100000 + n / 2) + "b");  // in the middle of the file
    p.type(10, "New member");
    state.ResumeTiming();
    do_ok();
  }
  report_faults(state, f0);
}
BENCHMARK(BM_SaveNew)->Apply(sizes);

void BM_Modify(benchmark::State& state) {
  Program& p = program();
  const long f0 = faults();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore(members(state));
    selection_made(ref_of(100));
    do_chg();
    p.type(1, "Zorro");  // moves the record from the front to the end
    state.ResumeTiming();
    do_ok();
  }
  report_faults(state, f0);
}
BENCHMARK(BM_Modify)->Apply(sizes);

void BM_Delete(benchmark::State& state) {
  Program& p = program();
  int n = members(state);
  const long f0 = faults();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore(n);
    selection_made(ref_of(n / 2));
    p.ws().replies.push_back({Reply::yes, {}, 0});
    do_del();
    state.ResumeTiming();
    do_ok();
  }
  report_faults(state, f0);
}
BENCHMARK(BM_Delete)->Apply(sizes);

void BM_BulkFlags(benchmark::State& state) {
  program().restore(members(state));
  int code = 4;  // Set ! then Reset !, so the file keeps its size
  const long f0 = faults();
  for (auto _ : state) {
    flg_code = code;
    do_all_flgs();
    code = code == 4 ? 0 : 4;
  }
  report_faults(state, f0);
  state.SetItemsProcessed(state.iterations() * members(state));
}
BENCHMARK(BM_BulkFlags)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  // --default_allocator: the allocator as it is without keep_large_buffers().
  bool keep = true;
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--default_allocator") {
      keep = false;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  if (keep) soc::keep_large_buffers();
  return soc::bench::run_with_ratios(argc, argv,
                                     {{"BM_ShowCust", "BM_ReadSplit"}, {"BM_ShowCustChanged", "BM_ReadSplit"},
                                      {"BM_ShowCustAllChanged", "BM_ReadSplit"},
                                      {"BM_SaveNew", "BM_FloorNew"},
                                      {"BM_Modify", "BM_Floor"},      {"BM_Delete", "BM_Floor"},
                                      {"BM_BulkFlags", "BM_Floor"}});
}
