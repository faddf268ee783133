// The archive's dialog: the progress text per member, and the dialog closed
// after every failure (its buttons are greyed while the archive runs).
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "db/archives.h"
#include "db/util.h"
#include "platform/fs.h"
#include "program_fixture.h"
#include "shell/dialog.h"

#include <sys/stat.h>

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

// What reached the disk and in which order: "rename NAME" (the target's
// last two path components) and "flush DIR/" (a directory's last component).
std::vector<std::string> events;
std::string last_two(const std::string& path) {
  const std::filesystem::path p(path);
  return (p.parent_path().filename() / p.filename()).string();
}
int logging_rename(const char* from, const char* to) {
  events.push_back("rename " + last_two(to));
  return ::rename(from, to);
}
int logging_fsync(int fd) {
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    events.push_back("flush " + std::filesystem::read_symlink(link).filename().string() + "/");
  }
  return ::fsync(fd);
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

// No history is lost if the machine stops at any moment: each copy in the
// archive (file and directory) is on the disk before the history file it
// saves is replaced, and every renewal before the archive's member file that
// says the archive is complete. The renewed files' directory is flushed once.
TEST_F(ArchiveDialog, EachCopyReachesTheDiskBeforeItsHistoryIsRenewed) {
  events.clear();
  fs_ops().rename = logging_rename;
  fs_ops().fsync = logging_fsync;
  RecordingDialog d;
  EXPECT_EQ(run("APR", d), 0);
  fs_ops_reset();
  auto at = [&](const std::string& e, std::size_t from = 0) {
    return static_cast<std::size_t>(std::find(events.begin() + static_cast<long>(from), events.end(), e) -
                                    events.begin());
  };
  const std::size_t complete = at("rename APR/sociantes.data");
  ASSERT_LT(complete, events.size());
  for (const char* r : {"A0001", "A0002", "A0003"}) {
    const std::size_t copied = at("rename APR/" + std::string(r) + ".dat");
    const std::size_t renewed = at("rename sociantes_db/" + std::string(r) + ".dat");
    ASSERT_LT(renewed, events.size()) << r;
    EXPECT_LT(at("flush APR/", copied), renewed) << r;
    EXPECT_LT(at("flush sociantes_db/", renewed), complete) << r;
  }
  EXPECT_EQ(std::count(events.begin(), events.end(), "flush sociantes_db/"), 1);
}

}  // namespace
}  // namespace soc::test
