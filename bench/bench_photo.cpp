// The photo import beside ImageMagick, in the same run, on the same files: a
// 4000 x 3000 colour JPEG (a phone photo) and a 960 x 1200 one. The import
// is the whole jpeg_handler (read, decode, reduce, write the photo file
// through the safe replacement); convert runs as
// `convert in.jpg -resize 96x120! -colorspace gray out.pgm`.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

#include "bench_util.h"
#include "db/records.h"
#include "import/filesel.h"
#include "import/jpeg_handler.h"
#include "shell/dialog.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace soc;

// A colour picture with photo-like content (smooth shapes and fine grain),
// made once per size by convert from a PPM.
fs::path picture(const fs::path& dir, int w, int h) {
  const fs::path jpg = dir / ("in-" + std::to_string(w) + "x" + std::to_string(h) + ".jpg");
  if (fs::exists(jpg)) return jpg;
  const fs::path ppm = dir / "in.ppm";
  {
    std::ofstream f(ppm, std::ios::binary);
    f << "P6\n" << w << " " << h << "\n255\n";
    unsigned seed = 12345;
    std::string row(static_cast<size_t>(w) * 3, '\0');
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        seed = seed * 1103515245u + 12345u;
        const int grain = static_cast<int>((seed >> 16) % 24) - 12;
        const double s = std::sin(x * 0.004) * std::cos(y * 0.005);
        for (int c = 0; c < 3; ++c) {
          int v = static_cast<int>(128 + 100 * s + 20 * c) + grain;
          row[static_cast<size_t>(x) * 3 + c] = static_cast<char>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
      }
      f.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
  }
  const std::string cmd = "convert '" + ppm.string() + "' -quality 90 '" + jpg.string() + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  fs::remove(ppm);
  return jpg;
}

bench::BenchProgram& program() {
  static bench::BenchProgram p;
  return p;
}

void BM_Import(benchmark::State& state) {
  auto& p = program();
  const fs::path jpg = picture(p.data_dir(), static_cast<int>(state.range(0)),
                               static_cast<int>(state.range(1)));
  if (jpg.empty()) return state.SkipWithError("convert cannot make the picture");
  fld::ref = "A0001";
  for (auto _ : state) {
    task_in = 14;
    file_sel = jpg.string();
    jpeg_handler();
  }
  if (!fs::exists(p.data_dir() / "photos" / "A0001.xpm")) state.SkipWithError("no photo written");
}

void BM_Convert(benchmark::State& state) {
  auto& p = program();
  const fs::path jpg = picture(p.data_dir(), static_cast<int>(state.range(0)),
                               static_cast<int>(state.range(1)));
  if (jpg.empty()) return state.SkipWithError("convert cannot make the picture");
  const std::string in = jpg.string(), out = (p.data_dir() / "out.pgm").string();
  for (auto _ : state) {
    const char* argv[] = {"convert", in.c_str(), "-resize", "96x120!", "-colorspace", "gray",
                          out.c_str(), nullptr};
    pid_t pid;
    if (::posix_spawnp(&pid, "convert", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
      return state.SkipWithError("convert cannot start");
    int st = 0;
    ::waitpid(pid, &st, 0);
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) return state.SkipWithError("convert failed");
  }
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Args({4000, 3000})->Args({960, 1200})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Import)->Apply(sizes);
BENCHMARK(BM_Convert)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  return soc::bench::run_with_ratios(argc, argv, {{"BM_Import", "BM_Convert"}});
}
