// The command-test fixture with the main window created as at start-up (data
// directory, form, category and member lists), for tests of the member
// commands. Injected file-system faults are undone after each test.
#pragma once

#include <filesystem>
#include <string>

#include "fixture.h"
#include "platform/fs.h"
#include "shell/mainwin.h"

namespace soc::test {

class ProgramTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    wm_create();
    out_.str("");
  }
  void TearDown() override {
    fs_ops_reset();
    CommandTest::TearDown();
  }

  std::string read(const std::filesystem::path& p) const { return slurp(p); }
  void write(const std::filesystem::path& p, const std::string& s) const { spit(p, s); }
  std::string shown() { return take_output(); }
  const std::filesystem::path& dir_ = home_;  // the scratch home
};

}  // namespace soc::test
