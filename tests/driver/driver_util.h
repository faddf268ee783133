// Running sociantes-driver from tests: a scratch HOME per test, a script in,
// the output lines and the exit code out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace soc::test {

struct DriverRun {
  int rc = -1;          // exit code of the driver
  std::string out;      // everything it printed
  std::vector<std::string> lines() const;  // the output split into lines
  bool has(const std::string& line) const; // one output line equals line
};

// A scratch home directory, removed at the end of the test.
class ScratchHome {
 public:
  ScratchHome();
  ~ScratchHome();
  const std::filesystem::path& path() const { return dir_; }
  std::filesystem::path db() const { return dir_ / "sociantes_db"; }   // the data directory
  std::filesystem::path tmp() const { return dir_ / ".cache/sociantes/tmp"; }
  std::string read(const std::filesystem::path& p) const;          // whole file, "" if missing
  void write(const std::filesystem::path& p, const std::string& s) const;

 private:
  std::filesystem::path dir_;
};

// Runs the driver with HOME set to home on the script text.
DriverRun run_driver(const ScratchHome& home, const std::string& script);

// The output line of the lock message for the file locked (a path) whose
// lock file records no owner.
std::string locked_no_owner(const std::filesystem::path& locked);

}  // namespace soc::test
