// Benchmarks of the member commands on a member file of 9,900 members, run
// in this process with the scripted window system: loading the member list,
// saving a new member, Modify, Delete, and the bulk flag change.
//
// Every save rewrites the whole file (about 1.5 MB) through the temporary
// file, a flush to the disk and a rename, then reloads the member list: the
// figures include that reload, as the commands do.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

constexpr int kMembers = 9900;  // the largest member list shown

std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(4 - d.size(), '0') + d;
}

// A member file of kMembers members in name order, every field filled.
std::string member_file() {
  std::string s;
  for (int i = 0; i < kMembers; ++i) {
    s += "#\r\nMember " + std::to_string(100000 + i) + "\r\nJean-Pierre\r\n12 rue de la Paix\r\n"
         "Paris\r\n75002\r\n01 23 45 67 89 jp@example.org\r\nEngineer\r\nFrench\r\n"
         "05 14 1970 @ Lyon\r\nPays dues $\r\n" + ref_of(i) + "\r\n" + ref_of(i) + "\r\nChoir\r\n";
  }
  return s;
}

// One program on a scratch home: window system, services and main window.
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
    setrc("info", "no");  // no hint boxes
    base_ = member_file();
  }
  ~Program() {
    set_window_system(nullptr);
    set_services(nullptr);
    std::error_code ec;
    fs::remove_all(home_, ec);
  }
  // Puts the 9,900-member file back and the counter after it.
  void restore() {
    std::ofstream(home_ / "sociantes_db" / "sociantes.data", std::ios::binary) << base_;
    setrc("ref", ref_of(kMembers));
    task_in = 0;
    show_cust();
  }
  void type(int field, const std::string& s) { ws_.ctl_set_text(form_ctl(form_elem_of_field(field)), s); }
  ScriptedWindowSystem& ws() { return ws_; }

 private:
  fs::path home_;
  std::string base_;
  std::ostream null_{nullptr};
  ScriptedWindowSystem ws_{null_};
  ScriptedServices sys_{null_};
};

Program& program() {
  static Program p;
  return p;
}

void BM_ShowCust(benchmark::State& state) {
  program().restore();
  for (auto _ : state) show_cust();
  state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_ShowCust)->Unit(benchmark::kMillisecond);

void BM_SaveNew(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore();
    do_new();
    p.type(1, "Member 104950b");  // in the middle of the file
    p.type(10, "New member");
    state.ResumeTiming();
    do_ok();
  }
}
BENCHMARK(BM_SaveNew)->Unit(benchmark::kMillisecond);

void BM_Modify(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore();
    selection_made(ref_of(100));
    do_chg();
    p.type(1, "Zorro");  // moves the record from the front to the end
    state.ResumeTiming();
    do_ok();
  }
}
BENCHMARK(BM_Modify)->Unit(benchmark::kMillisecond);

void BM_Delete(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore();
    selection_made(ref_of(4950));
    p.ws().replies.push_back({Reply::yes, {}, 0});
    do_del();
    state.ResumeTiming();
    do_ok();
  }
}
BENCHMARK(BM_Delete)->Unit(benchmark::kMillisecond);

void BM_BulkFlags(benchmark::State& state) {
  program().restore();
  int code = 4;  // Set ! then Reset !, so the file keeps its size
  for (auto _ : state) {
    flg_code = code;
    do_all_flgs();
    code = code == 4 ? 0 : 4;
  }
  state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_BulkFlags)->Unit(benchmark::kMillisecond);

}  // namespace
