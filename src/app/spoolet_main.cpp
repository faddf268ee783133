// spoolet: the mail printer scheduler that sociantes starts on a mailing
// file (spoolet MAILING). With --script FILE it runs headless on a scripted
// window and virtual time (spoolet --script FILE MAILING), for tests.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/wx_spoolet/spoolet_app.h"
#include "scheduler/headless.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--script") {
    std::ifstream script(argv[2]);
    if (!script) {
      std::cerr << "spoolet: cannot read the script " << argv[2] << "\n";
      return 2;
    }
    std::vector<std::string> args(argv + 3, argv + argc);
    std::string cmd_line = argv[0];
    for (const auto& a : args) cmd_line += " " + a;
    return soc::sched::run_headless(script, std::cout, args, cmd_line);
  }
  return soc::spoolwx::run_spoolet_gui(argc, argv);
}
