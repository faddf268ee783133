// sociantes-driver: the command code of sociantes run from a script.
#include <fstream>
#include <iostream>

#include "platform/fs.h"
#include "shell/script.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  soc::keep_large_buffers();
  if (argc > 2) {
    std::cerr << "usage: sociantes-driver [SCRIPT]\n";
    return 2;
  }
  if (argc == 2) {
    std::ifstream in(argv[1]);
    if (!in) {
      std::cerr << "sociantes-driver: cannot open " << argv[1] << "\n";
      return 2;
    }
    return soc::run_script(in, std::cout);
  }
  return soc::run_script(std::cin, std::cout);
}
