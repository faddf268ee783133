// Benchmarks of the cards: the record card and the member card of a member
// with a 24-level photo, each rendered whole to a PDF file (printer opening
// with its log, fonts, drawing, the PDF written), beside the record card of a
// member without a photo.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_util.h"
#include "db/members.h"
#include "documents/cards.h"
#include "platform/scripted.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

std::string photo_file() {
  std::string s = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 24 1\",\r\n";
  for (int i = 0; i < 24; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\"%c c #%.2x%.2x%.2x\"\r\n", 'a' + i, 10 * i, 10 * i, 10 * i);
    s += buf;
  }
  for (int j = 0; j < 120; ++j) {
    s += "\"";
    for (int p = 0; p < 96; ++p) s += static_cast<char>('a' + (p * 7 + j * 3) % 24);
    s += "\"\r\n";
  }
  return s;
}

// Two members, A0000 with a photo, A0001 without; the print dialog opens at
// once (NO_AUTO) and is answered with a PDF file.
class Program : public bench::BenchProgram {
 public:
  Program() {
    ::setenv("CUPS_SERVER", (data_dir() / "no-cups.sock").c_str(), 1);
    std::ofstream(data_file(), std::ios::binary) << bench::member_file(2);
    fs::create_directories(data_dir() / "photos");
    std::ofstream(data_dir() / "photos" / "A0000.xpm", std::ios::binary) << photo_file();
    std::ofstream(data_dir() / "printer.dat") << "NO_AUTO\r\n";
    pdf = (data_dir() / "card.pdf").string();
  }
  std::string pdf;  // where the cards are written
};

Program& program() {
  static Program p;
  return p;
}

void run(benchmark::State& state, const char* ref, void (*card)()) {
  Program& p = program();
  selection_made(ref);
  for (auto _ : state) {
    p.ws().choices.push_back({Choice::pdf, p.pdf});
    card();
  }
  if (!fs::exists(p.pdf) || fs::file_size(p.pdf) < 1000) state.SkipWithError("no PDF written");
  free_sel();
}

void BM_RecordCardPhoto(benchmark::State& state) { run(state, "A0000", mk_record_card); }
BENCHMARK(BM_RecordCardPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MemberCardPhoto(benchmark::State& state) { run(state, "A0000", mk_id_card); }
BENCHMARK(BM_MemberCardPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecordCardNoPhoto(benchmark::State& state) { run(state, "A0001", mk_record_card); }
BENCHMARK(BM_RecordCardNoPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return soc::bench::run_with_ratios(argc, argv,
                                     {{"BM_RecordCardPhoto", "BM_RecordCardNoPhoto"},
                                      {"BM_MemberCardPhoto", "BM_RecordCardNoPhoto"}});
}
