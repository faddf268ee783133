// The choice of the program sociantes starts as its print scheduler: beside
// the running program, else in the installation's bin directory, else the
// bare name for a PATH lookup. Real files with and without the execute bit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "documents/documents.h"
#include "platform/process.h"
#include "platform/services.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc {
namespace {

namespace fs = std::filesystem;

class ProgramLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "soc-prog-XXXXXX").string();
    root_ = ::mkdtemp(tmpl.data());
    fs::create_directories(own());
    fs::create_directories(bin());
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string own() const { return (root_ / "opt" / "bin").string(); }
  std::string bin() const { return (root_ / "usr" / "bin").string(); }
  static void put(const std::string& path, mode_t mode) {
    std::ofstream(path) << "#!/bin/sh\n";
    ::chmod(path.c_str(), mode);
  }

  fs::path root_;
};

TEST_F(ProgramLookup, BesideFirstThenBinThenPath) {
  struct Case {
    const char* what;
    mode_t own_mode;   // 0: no file beside the program
    mode_t bin_mode;   // 0: no file in bin
    int expect;        // 0 beside, 1 bin, 2 bare name
  } cases[] = {
      {"both executable", 0755, 0755, 0},
      {"only in bin", 0, 0755, 1},
      {"beside but not executable", 0644, 0755, 1},
      {"beside, bin has none", 0755, 0, 0},
      {"nowhere", 0, 0, 2},
      {"neither executable", 0644, 0600, 2},
  };
  for (const auto& c : cases) {
    fs::remove(own() + "/spoolet");
    fs::remove(bin() + "/spoolet");
    if (c.own_mode) put(own() + "/spoolet", c.own_mode);
    if (c.bin_mode) put(bin() + "/spoolet", c.bin_mode);
    const std::string expect[] = {own() + "/spoolet", bin() + "/spoolet", "spoolet"};
    // Directories given with and without their final '/'.
    EXPECT_EQ(find_program("spoolet", own() + "/", bin()), expect[c.expect]) << c.what;
    EXPECT_EQ(find_program("spoolet", own(), bin() + "/"), expect[c.expect]) << c.what;
  }
}

TEST_F(ProgramLookup, DirectoryOfThatNameOrEmptyDirsDoNotCount) {
  fs::create_directories(own() + "/spoolet");
  put(bin() + "/spoolet", 0755);
  EXPECT_EQ(find_program("spoolet", own(), bin()), bin() + "/spoolet");
  EXPECT_EQ(find_program("spoolet", "", ""), "spoolet");
  EXPECT_EQ(find_program("spoolet", "", bin()), bin() + "/spoolet");
}

TEST(ProgramDir, NamesTheDirectoryOfThisTestProgram) {
  const std::string dir = program_dir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(fs::exists(dir + "unit_tests")) << dir;
  // This test program is executable where it lies, so it is found beside.
  EXPECT_EQ(installed_program("unit_tests"), dir + "unit_tests");
}

// Regression: where the desktop names an application for plain text but
// gtk-launch is not installed, the shell ended at the failed exec and the
// fallback editor never started.
TEST(EditorAlone, FallsBackWhenGtkLaunchIsMissing) {
  std::string tmpl = (fs::temp_directory_path() / "soc-editor-XXXXXX").string();
  const fs::path dir = ::mkdtemp(tmpl.data());
  std::ofstream(dir / "xdg-mime") << "#!/bin/sh\necho gedit.desktop\n";
  std::ofstream(dir / "fallback") << "#!/bin/sh\n: > '" << (dir / "ran").string() << "'\n";
  fs::permissions(dir / "xdg-mime", fs::perms::owner_all);
  fs::permissions(dir / "fallback", fs::perms::owner_all);
  // Only the two scripts on the PATH: no gtk-launch.
  const std::string cmd = "PATH='" + dir.string() + "' VISUAL='" + (dir / "fallback").string() +
                          "' /bin/sh -c '" + kEditorAlone + "'";
  ASSERT_EQ(std::string(kEditorAlone).find('\''), std::string::npos);
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  EXPECT_TRUE(fs::exists(dir / "ran"));
  fs::remove_all(dir);
}

TEST(Spawn, SaysWhetherTheProgramStarted) {
  EXPECT_EQ(spawn_detached({"/bin/true"}), 0);
  EXPECT_EQ(spawn_detached({"/nonexistent/spoolet", "x.qmd"}), 1);
}

// Guards against a print run that silently never happens: Yes to the
// letters question when the scheduler cannot be started said nothing.
class SchedulerStart : public test::ProgramTest {};

TEST_F(SchedulerStart, ASchedulerThatCannotStartIsSaidAndTheMailingFileStays) {
  for (const bool fails : {false, true}) {
    sys_.set_launch_fails(fails);
    ws_.replies.push_back({Reply::yes, {}, 0});
    dispatch(408);
    const std::string out = take_output();
    ASSERT_FALSE(fmail.empty());
    EXPECT_NE(out.find("launch scheduler"), std::string::npos) << out;
    const bool said = out.find(" The print scheduler spoolet cannot be started. \\r\\n Nothing is "
                               "printed; the mailing file stays: \\r\\n[ " + fmail + " ] ") !=
                      std::string::npos;
    EXPECT_EQ(said, fails) << out;
    EXPECT_TRUE(fs::exists(fmail)) << "the scheduler deletes it, not the program";
    EXPECT_EQ(task_in, 0);
  }
}

}  // namespace
}  // namespace soc
