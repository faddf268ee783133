// Resource lookup: the directories searched for the program's images.
#include "platform/wx/resources.h"

#include <sys/stat.h>

#include <array>

#include "platform/process.h"

namespace soc::wxui {

namespace {

bool is_file(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The resource directories, in search order, each with a final '/'.
const std::array<std::string, 3>& resource_dirs() {
  static const std::array<std::string, 3> dirs = {
      program_dir() + "../share/sociantes/",
      std::string(SOC_SOURCE_RESOURCES) + "/",
      std::string(SOC_INSTALLED_RESOURCES) + "/",
  };
  return dirs;
}

}  // namespace

std::string resource_path(const std::string& name) {
  for (const std::string& dir : resource_dirs()) {
    std::string p = dir + name + ".png";
    if (is_file(p)) return p;
  }
  return "";
}

}  // namespace soc::wxui
