// Runs a fuzz target once on each file named on the command line (or each
// file of each directory named), without libFuzzer: the seed corpus as a
// test under any compiler. Prints the number of inputs run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int run_file(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  const std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int n = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path p = argv[i];
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p))
        if (e.is_regular_file()) n += run_file(e.path());
    } else {
      n += run_file(p);
    }
  }
  std::printf("%d inputs\n", n);
  return n > 0 ? 0 : 1;
}
