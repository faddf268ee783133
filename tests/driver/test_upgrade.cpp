// The start-up upgrade through sociantes-driver: the layout of the member
// file is decided from the file itself, never from the settings. A current
// member file is never converted, whatever the settings file says or lacks;
// a real 12-field file is converted after a copy is kept beside it; a file
// that is damaged, or settings that cannot be read, stop the upgrade with a
// message.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kUpgraded = "info 5 \" Upgrade on version: sociantes_v3.4.2 \\r\\n OK \\r\\n\"";

// An old 12-field record: the category at the start of the remarks.
std::string old_rec(const std::string& name, const std::string& ref, const std::string& rem) {
  std::string s = "#\r\n" + name + "\r\n";
  for (int f = 2; f <= 9; ++f) s += "\r\n";
  return s + rem + "\r\n\r\n" + ref + "\r\n";
}

const std::string kCurrent = rec("Adam", "A0000", "note", "Board") +
                             rec("Bob", "A0001", "", "Choir") + rec("Zola", "A0002", "x !", "Board");

TEST(Upgrade, ACurrentMemberFileIsNeverConverted) {
  struct Case {
    const char* what;
    bool rc_file;        // the settings file exists
    std::string rc;      // its content
  } cases[] = {
      {"settings file missing", false, ""},
      {"settings file empty", true, ""},
      {"no version line", true, kRcHead + "ref=A0003\r\n"},
      {"stale version 2.5", true, kRcHead + "ref=A0003\r\nversion=sociantes_v2.5\r\n"},
      {"version 1.0", true, kRcHead + "ref=A0003\r\nversion=sociantes_v1.0\r\n"},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_db(h, kCurrent, "Board\r\nChoir\r\n");
    fs::remove(h.db() / ".sociantes.rc");
    if (c.rc_file) h.write(h.db() / ".sociantes.rc", c.rc);
    DriverRun r = run_driver(h, "start\nshow list\ncategory 1\nshow list\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has(kUpgraded)) << c.what << r.out;
    EXPECT_EQ(lines_with(r, "info 1 ").size(), 0u) << c.what << r.out;
    EXPECT_EQ(lines_with(r, "row ").size(), 5u) << c.what << r.out;  // 3, then 2 of Board
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kCurrent) << c.what;
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.v2")) << c.what;
    EXPECT_EQ(rc_value(h, "version"), "sociantes_v3.4.2") << c.what;
    EXPECT_EQ(rc_value(h, "ref"), "A0003") << c.what;
  }
}

TEST(Upgrade, TheOldLayoutIsConvertedAndACopyKept) {
  ScratchHome h;
  const std::string old = old_rec("Adam", "A0000", "Board member") +
                          old_rec("Bob", "A0001", std::string(70, 'r')) +
                          old_rec("Zola", "A0002", "Choir");
  make_db(h, old, "Board\r\nChoir\r\n");
  h.write(h.db() / ".sociantes.rc", kRcHead + "ref=A0003\r\nversion=sociantes_v2.5\r\n");
  DriverRun r = run_driver(h, "start\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has(kUpgraded)) << r.out;
  EXPECT_EQ(lines_with(r, "row ").size(), 3u) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("Adam", "A0000", " member", "Board") + rec("Bob", "A0001", std::string(70, 'r')) +
                rec("Zola", "A0002", "", "Choir"));
  EXPECT_EQ(h.read(h.db() / "sociantes.data.v2"), old);
  // A second start finds everything current.
  r = run_driver(h, "start\nquit\n");
  EXPECT_FALSE(r.has(kUpgraded)) << r.out;
}

TEST(Upgrade, AnEarlierCopyIsNeverOverwritten) {
  ScratchHome h;
  const std::string old = old_rec("Adam", "A0000", "Board member");
  make_db(h, old, "Board\r\n");
  h.write(h.db() / ".sociantes.rc", kRcHead + "ref=A0001\r\nversion=sociantes_v2.5\r\n");
  h.write(h.db() / "sociantes.data.v2", "an earlier copy\r\n");
  DriverRun r = run_driver(h, "start\nquit\n");
  EXPECT_TRUE(r.has(kUpgraded)) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data.v2"), "an earlier copy\r\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data.v2.1"), old);
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A0000", " member", "Board"));
}

TEST(Upgrade, ADamagedOldFileIsNotConverted) {
  ScratchHome h;
  const std::string old = old_rec("Adam", "A0000", "Board member") +
                          old_rec("Bob", "A0001", "") + "stray\r\n" + old_rec("Zola", "A0002", "Choir");
  make_db(h, old, "Board\r\nChoir\r\n");
  h.write(h.db() / ".sociantes.rc", kRcHead + "ref=A0003\r\nversion=sociantes_v2.5\r\n");
  DriverRun r = run_driver(h, "start\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" The member file is in the old layout of 12 fields, \\r\\n but it is "
                    "damaged at line 27: \\r\\n " + (h.db() / "sociantes.data").string() +
                    " \\r\\n It was not converted. Please repair it and start again. \""))
      << r.out;
  EXPECT_FALSE(r.has(kUpgraded)) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), old);
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.v2"));
  EXPECT_EQ(rc_value(h, "version"), "sociantes_v2.5") << "tried again at the next start";
}

TEST(Upgrade, SettingsThatCannotBeReadUpgradeNothing) {
  ScratchHome h;
  make_db(h, kCurrent, "Board\r\nChoir\r\n");
  fs::remove(h.db() / ".sociantes.rc");
  fs::create_directories(h.db() / ".sociantes.rc");  // there, and not readable as a file
  DriverRun r = run_driver(h, "start\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" The settings file cannot be read: \\r\\n " +
                    (h.db() / ".sociantes.rc").string() +
                    " \\r\\n The data directory was not upgraded and nothing was written. \\r\\n "
                    "Every setting has its default until the file can be read. \""))
      << r.out;
  EXPECT_FALSE(r.has(kUpgraded)) << r.out;
  EXPECT_EQ(lines_with(r, "row ").size(), 3u) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), kCurrent);
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.v2"));

}

TEST(Upgrade, SettingsWithoutReadPermissionUpgradeNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads a file without read permission";
  ScratchHome h;
  make_db(h, kCurrent, "Board\r\nChoir\r\n");
  fs::remove(h.db() / ".sociantes.rc");
  h.write(h.db() / ".sociantes.rc", kRcHead + "ref=A0003\r\nversion=sociantes_v2.5\r\n");
  fs::permissions(h.db() / ".sociantes.rc", fs::perms::none);
  DriverRun r = run_driver(h, "start\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" The settings file cannot be read: \\r\\n " +
                    (h.db() / ".sociantes.rc").string() +
                    " \\r\\n The data directory was not upgraded and nothing was written. \\r\\n "
                    "Every setting has its default until the file can be read. \""))
      << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), kCurrent);
}

}  // namespace
}  // namespace soc::test
