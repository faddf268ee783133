// The program of the search and archive benchmarks: the benchmark program of
// bench_util.h with its member file of 9,900 members put back on demand.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_util.h"
#include "db/members.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::bench {

namespace fs = std::filesystem;
using namespace soc;

inline constexpr int kMembers = 9900;  // the largest member list shown

class Program : public BenchProgram {
 public:
  // Puts the 9,900-member file back and the counter after it.
  void restore() {
    if (base_.empty()) base_ = member_file(kMembers);
    std::ofstream(data_file(), std::ios::binary) << base_;
    setrc("ref", ref_of(kMembers));
    task_in = 0;
    show_cust();
  }
  void type(int field, const std::string& s) { ws().ctl_set_text(form_ctl(form_elem_of_field(field)), s); }
  fs::path home() const { return data_dir().parent_path(); }

 private:
  std::string base_;  // the member file put back by restore()
};

inline Program& program() {
  static Program p;
  return p;
}

}  // namespace soc::bench
