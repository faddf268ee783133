// A fixture for tests that call the command code directly: a scratch HOME,
// fresh program state, and the scripted window system and services writing
// their output lines to a string.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/scripted.h"
#include "shell/script.h"

namespace soc::test {

// The three header lines of a settings file.
inline const std::string kRcHeader =
    "##################################################################\r\n"
    "#        RC for Sociantes. Please, do not edit manually!\r\n"
    "##################################################################\r\n";

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "soc-unit-XXXXXX").string();
    home_ = ::mkdtemp(tmpl.data());
    ::setenv("HOME", home_.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    reset_program_state();
    set_window_system(&ws_);
    set_services(&sys_);
  }
  void TearDown() override {
    set_window_system(nullptr);
    set_services(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }

  std::filesystem::path db() const { return home_ / "sociantes_db"; }
  static std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static void spit(const std::filesystem::path& p, const std::string& s) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << s;
  }
  // Output lines printed so far, then forgotten.
  std::string take_output() {
    std::string s = out_.str();
    out_.str("");
    return s;
  }

  std::filesystem::path home_;
  std::ostringstream out_;
  ScriptedWindowSystem ws_{out_};
  ScriptedServices sys_{out_};
};

}  // namespace soc::test
