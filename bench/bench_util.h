// The program as the benchmarks run it: one long-lived process on a scratch
// home, with the scripted window system and services writing nowhere, the
// main window created and hints off.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include <unistd.h>

#include "db/util.h"
#include "platform/scripted.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace soc::bench {

// The reference number i ("A0012" for 12).
inline std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(4 - d.size(), '0') + d;
}

// A member file of n members in name order, every field filled.
inline std::string member_file(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += "#\r\nMember " + std::to_string(100000 + i) + "\r\nJean-Pierre\r\n12 rue de la Paix\r\n"
         "Paris\r\n75002\r\n01 23 45 67 89 jp@example.org\r\nEngineer\r\nFrench\r\n"
         "05 14 1970 @ Lyon\r\nPays dues $\r\n" + ref_of(i) + "\r\n" + ref_of(i) + "\r\nChoir\r\n";
  }
  return s;
}

class BenchProgram {
 public:
  BenchProgram() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "soc-bench-XXXXXX").string();
    home_ = ::mkdtemp(tmpl.data());
    ::setenv("HOME", home_.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    reset_program_state();
    set_window_system(&ws_);
    set_services(&sys_);
    wm_create();
    setrc("info", "no");  // no hint boxes
  }
  ~BenchProgram() {
    set_window_system(nullptr);
    set_services(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  BenchProgram(const BenchProgram&) = delete;
  BenchProgram& operator=(const BenchProgram&) = delete;

  std::filesystem::path data_file() const { return home_ / "sociantes_db" / "sociantes.data"; }
  std::filesystem::path data_dir() const { return home_ / "sociantes_db"; }
  ScriptedWindowSystem& ws() { return ws_; }

 private:
  std::filesystem::path home_;
  std::ostream null_{nullptr};
  ScriptedWindowSystem ws_{null_};
  ScriptedServices sys_{null_};
};

}  // namespace soc::bench
