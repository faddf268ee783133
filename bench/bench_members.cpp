// Benchmarks of the member commands on a member file of 9,900 members, run
// in this process with the scripted window system: loading the member list,
// saving a new member, Modify, Delete, and the bulk flag change.
//
// Every save rewrites the whole file (about 1.5 MB) through the temporary
// file, a flush to the disk and a rename, then reloads the member list: the
// figures include that reload, as the commands do.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_program.h"
#include "db/flags.h"

namespace {

using namespace soc::bench;

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
