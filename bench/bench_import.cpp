// Benchmark of the spreadsheet import: 10,000 lines into a member file of
// 9,900 members with pacing=no, beside two floors measured in the same run:
// one durable write of the resulting member file (sibling, flush, rename,
// flush of the directory), and that write together with what the import must
// also create, the 10,000 history files (written, then flushed at once).
// And the export of the 9,900 members beside one read of the member file
// (read whole and parsed into records).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_util.h"
#include "db/util.h"
#include "import/filesel.h"
#include "import/import.h"
#include "db/records.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

constexpr int kMembers = 9900;
constexpr int kLines = 10000;

class Program : public bench::BenchProgram {
 public:
  Program() {
    base_ = bench::member_file(kMembers);
    // Names spread over the whole member file and beyond it, in no order.
    for (int i = 0; i < kLines; ++i)
      lines_ += "Member " + std::to_string(100000 + (i * 7919) % 12000) +
                "b;Anne;3 place du Marche;Lyon;69001;04 00 00 00 00;Teacher;French;"
                "01 02 1980 @ Nice;Imported;Choir;ID" + std::to_string(i) + "\r\n";
    in_path_ = (data_dir().parent_path() / "import.csv").string();
    std::ofstream(in_path_, std::ios::binary) << lines_;
    setrc("pacing", "no");
    setrc("id_type", "0");
    type_id = 0;
  }
  // The member file, the counter and no history file, as before an import.
  void restore() {
    for (const auto& e : fs::directory_iterator(data_dir()))
      if (e.path().extension() == ".dat") fs::remove(e.path());
    std::ofstream(data_file(), std::ios::binary) << base_;
    setrc("ref", "B0000");  // A0000..A9899 are taken; the lines get B0000..B9999
  }
  void run_import() {
    task_in = 21;
    file_sel = in_path_;
    do_import();
  }
  // The member file an import gives.
  const std::string& result() {
    if (result_.empty()) {
      restore();
      run_import();
      std::ifstream in(data_file(), std::ios::binary);
      result_.assign(std::istreambuf_iterator<char>(in), {});
    }
    return result_;
  }

 private:
  std::string base_;     // the member file before the import
  std::string lines_;    // the import file
  std::string in_path_;  // where it lies
  std::string result_;   // the member file after the import
};

Program& program() {
  static Program p;
  return p;
}

void BM_Import(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) {
    state.PauseTiming();
    p.restore();
    state.ResumeTiming();
    p.run_import();
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_Import)->Arg(kLines)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FloorWrite(benchmark::State& state) {
  Program& p = program();
  const std::string content = p.result();
  const std::string path = p.data_file().string();
  for (auto _ : state)
    if (replace_file(path, content) != 0) state.SkipWithError("cannot write");
}
BENCHMARK(BM_FloorWrite)->Arg(kLines)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FloorWithHistories(benchmark::State& state) {
  Program& p = program();
  const std::string content = p.result();
  const std::string path = p.data_file().string();
  const std::string dir = p.data_dir().string() + "/";
  const std::string history(720, 'h');
  for (auto _ : state) {
    state.PauseTiming();
    p.restore();
    state.ResumeTiming();
    for (int i = 0; i < kLines; ++i)
      if (write_file(dir + "B" + bench::ref_of(i).substr(1) + ".dat", history) != 0)
        state.SkipWithError("cannot write");
    sync_fs(dir);
    if (replace_file(path, content) != 0) state.SkipWithError("cannot write");
  }
}
BENCHMARK(BM_FloorWithHistories)
    ->Arg(kLines)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ReadOnce(benchmark::State& state) {
  Program& p = program();
  p.restore();
  for (auto _ : state) {
    std::string text;
    if (!read_file(p.data_file().string(), text)) state.SkipWithError("cannot read");
    MemberReader in(std::move(text));
    Record r;
    int n = 0;
    while (get_data(in, r, kFields) == kFields) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReadOnce)->Arg(kMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Export(benchmark::State& state) {
  Program& p = program();
  p.restore();
  const std::string out = (p.data_dir().parent_path() / "export.csv").string();
  for (auto _ : state) {
    task_in = 20;
    file_sel = out;
    do_excel();
  }
}
BENCHMARK(BM_Export)->Arg(kMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return soc::bench::run_with_ratios(
      argc, argv, {{"BM_Import", "BM_FloorWrite"},
                   {"BM_Import", "BM_FloorWithHistories"},
                   {"BM_Export", "BM_ReadOnce"}});
}
