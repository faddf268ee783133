// Helpers of the driver tests.
#include "driver_util.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace soc::test {

namespace fs = std::filesystem;

std::vector<std::string> DriverRun::lines() const {
  std::vector<std::string> v;
  std::istringstream in(out);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

bool DriverRun::has(const std::string& line) const {
  for (const auto& l : lines())
    if (l == line) return true;
  return false;
}

ScratchHome::ScratchHome() {
  std::string tmpl = (fs::temp_directory_path() / "soc-test-XXXXXX").string();
  char* d = ::mkdtemp(tmpl.data());
  dir_ = d ? fs::path(d) : fs::path();
}

ScratchHome::~ScratchHome() {
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

std::string ScratchHome::read(const fs::path& p) const {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void ScratchHome::write(const fs::path& p, const std::string& s) const {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

DriverRun run_driver(const ScratchHome& home, const std::string& script) {
  fs::path script_file = home.path() / "script.txt";
  home.write(script_file, script);
  fs::path out_file = home.path() / "out.txt";
  std::string cmd = "env -u XDG_CACHE_HOME HOME='" + home.path().string() + "' '" SOC_DRIVER "' '" +
                    script_file.string() + "' > '" + out_file.string() + "' 2>&1";
  DriverRun r;
  int status = std::system(cmd.c_str());
  r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = home.read(out_file);
  return r;
}

std::string locked_no_owner(const fs::path& locked) {
  return "info 1 \"  Operation or data looks locked by another user. \\r\\nPlease try again "
         "later... \\r\\n[ " + locked.string() + " ] \\r\\n Lock file: " + locked.string() +
         ".lck \\r\\n It records no owner (an older version, or a program stopped while taking "
         "it). \\r\\n If no workstation is working on these data, \\r\\n delete the lock "
         "file to release the lock. \"";
}

}  // namespace soc::test
