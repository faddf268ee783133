// The archive's dialog: the progress text per member, and the dialog closed
// after every failure (its buttons are greyed while the archive runs).
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "db/archives.h"
#include "db/util.h"
#include "platform/fs.h"
#include "program_fixture.h"
#include "shell/dialog.h"

namespace soc::test {
namespace {

// A dialog that records its message texts and whether it was ended.
class RecordingDialog final : public Dialog {
 public:
  const DialogTemplate& tmpl() const override { return *template_for_kind(3); }
  void set_text(int id, const std::string& s) override {
    if (id == 1005) texts.push_back(s);
  }
  std::string get_text(int) const override { return ""; }
  void enable(int, bool) override {}
  bool can_press(int) const override { return false; }  // the archive greys its buttons
  void remove(int) override {}
  void set_picture(int, const std::string&) override {}
  void end(int) override { ended_ = true; }
  bool ended() const override { return ended_; }
  std::vector<std::string> texts;  // what control 1005 showed, in order
 private:
  bool ended_ = false;
};

int renames = 0;      // renames so far
int fail_rename = 0;  // the rename that fails (1 = the first)
int counting_rename(const char* from, const char* to) {
  if (++renames == fail_rename) {
    errno = EIO;
    return -1;
  }
  return ::rename(from, to);
}

class ArchiveDialog : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    std::string members;
    for (const char* r : {"A0001", "A0002", "A0003"}) {
      members += "#\r\nName " + std::string(r) + "\r\n";
      for (int f = 2; f <= 11; ++f) members += "\r\n";
      members += std::string(r) + "\r\n\r\n";
      write(db() / (std::string(r) + ".dat"), "old\r\n");
    }
    write(db() / "sociantes.data", members);
    setrc("pacing", "no");
    renames = 0;
    fail_rename = 0;
  }
  int run(const std::string& name, RecordingDialog& d) {
    task_in = 16;
    tmp_str = name;
    do_arch(d);
    return task_in;
  }
};

TEST_F(ArchiveDialog, ShowsProgressAndClosesAtTheEnd) {
  RecordingDialog d;
  EXPECT_EQ(run("JAN", d), 0);
  EXPECT_EQ(d.texts, (std::vector<std::string>{" Archive 1/3 OK ", " Archive 2/3 OK ",
                                               " Archive 3/3 OK "}));
  EXPECT_TRUE(d.ended());
}

TEST_F(ArchiveDialog, ClosesAfterEveryFailure) {
  struct Case {
    const char* what;
    int fail_rename;      // 0 = none
    bool missing_second;  // A0002.dat removed
    const char* message;
    std::size_t progress;  // progress texts shown before the stop
  } cases[] = {
      {"missing history file", 0, true, " ERROR 101 ", 2},
      {"archive copy not written", 3, false, " ERROR 101 ", 2},
      {"history not renewed", 2, false, " ERROR 102 ", 1},
      {"member file not copied", 7, false, " ERROR 103 ", 3},
  };
  int n = 0;
  for (const auto& c : cases) {
    if (c.missing_second)
      std::filesystem::remove(db() / "A0002.dat");
    else
      write(db() / "A0002.dat", "old\r\n");
    renames = 0;
    fail_rename = c.fail_rename;
    fs_ops().rename = counting_rename;
    RecordingDialog d;
    EXPECT_EQ(run("N" + std::to_string(++n), d), 0) << c.what;
    fs_ops_reset();
    EXPECT_TRUE(d.ended()) << c.what;
    EXPECT_EQ(d.texts.size(), c.progress) << c.what;
    EXPECT_NE(shown().find("info 1 \"" + std::string(c.message) + "\""), std::string::npos)
        << c.what;
  }
}

}  // namespace
}  // namespace soc::test
