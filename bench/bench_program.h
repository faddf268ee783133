// The program the benchmarks run: a scratch home with the scripted window
// system and services, the main window created, and a member file of 9,900
// members in name order with every field filled.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "db/members.h"
#include "db/util.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace soc::bench {

namespace fs = std::filesystem;
using namespace soc;

inline constexpr int kMembers = 9900;  // the largest member list shown

inline std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(4 - d.size(), '0') + d;
}

// A member file of kMembers members in name order, every field filled.
inline std::string member_file() {
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
  const fs::path& home() const { return home_; }

 private:
  fs::path home_;
  std::string base_;
  std::ostream null_{nullptr};
  ScriptedWindowSystem ws_{null_};
  ScriptedServices sys_{null_};
};

inline Program& program() {
  static Program p;
  return p;
}

}  // namespace soc::bench
