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
    MemberReader in(std::move(text));
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

}  // namespace

int main(int argc, char** argv) {
  return soc::bench::run_with_ratios(
      argc, argv, {{"BM_ExtendedListing", "BM_ReadMembers"}, {"BM_LettersMailing", "BM_ReadMembers"}});
}
