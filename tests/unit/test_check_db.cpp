// The start-up check: a new data directory, the upgrade chain from older
// layouts, and the conversion of old option files.
#include <unistd.h>

#include "db/util.h"
#include "fixture.h"
#include "platform/fs.h"

namespace soc {
namespace {

const std::string kHeader = test::kRcHeader;

class CheckDb : public test::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    get_home();
  }
  std::string rc() { return slurp(db() / ".sociantes.rc"); }
  // An old 12-field record.
  static std::string old_record(const std::string& name, const std::string& rem) {
    std::string r = "#\r\n" + name + "\r\n";
    for (int f = 2; f <= 12; ++f) r += (f == 10 ? rem : "f" + std::to_string(f)) + "\r\n";
    return r;
  }
};

TEST_F(CheckDb, NewInstallation) {
  EXPECT_EQ(check_db(), 1);
  EXPECT_EQ(slurp(db() / "sociantes.data"), "");
  EXPECT_EQ(slurp(db() / "sociantes.cat"), "");
  EXPECT_TRUE(std::filesystem::is_directory(db() / "photos"));
  EXPECT_TRUE(std::filesystem::is_directory(home_ / ".cache/sociantes/tmp"));
  EXPECT_EQ(rc(), kHeader + "ref=A0000\r\nversion=sociantes_v3.4.2\r\n");
  EXPECT_EQ(check_db(), 0) << "the second run finds everything current";
}

TEST_F(CheckDb, ExistingDataDirectoryWithoutMemberFileCountsAsFailure) {
  std::filesystem::create_directories(db());
  EXPECT_EQ(check_db(), 2);
  EXPECT_TRUE(std::filesystem::exists(db() / "sociantes.data"));
}

// Guards the creation of a new data directory: it never overwrites a file
// that is there, e.g. a member file that could not be opened.
TEST_F(CheckDb, CreationNeverReplacesExistingFiles) {
  std::filesystem::create_directories(db() / "sociantes.data");  // cannot be opened as a file
  spit(db() / "sociantes.cat", "Board\r\n");
  spit(db() / ".sociantes.rc", kHeader + "ref=A0042\r\n");
  EXPECT_EQ(check_db(), 2);
  EXPECT_EQ(slurp(db() / "sociantes.cat"), "Board\r\n");
  EXPECT_EQ(getrc("ref"), "A0042");
}

TEST_F(CheckDb, VersionDecidesTheUpgradeSteps) {
  struct Case {
    std::string version;   // value of the version setting ("" = none)
    bool upgrades_members; // the member file gains field 13
    bool makes_photos;     // the photos directory is created
  } cases[] = {
      {"sociantes_v2.5", true, false},
      {"sociantes_v2.6", false, false},
      {"sociantes_v3.0", false, false},
      {"sociantes_v1.9", true, true},
      {"", true, true},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(db());
    spit(db() / "sociantes.data", old_record("Dupont", "Board member"));
    spit(db() / "sociantes.cat", "Board\r\n");
    spit(db() / ".sociantes.rc", kHeader + (c.version.empty() ? "" : "version=" + c.version + "\r\n"));
    EXPECT_EQ(check_db(), 3) << c.version;
    EXPECT_EQ(getrc("version"), "sociantes_v3.4.2") << c.version;
    EXPECT_EQ(std::filesystem::exists(db() / "photos"), c.makes_photos) << c.version;
    std::string data = slurp(db() / "sociantes.data");
    if (c.upgrades_members)
      EXPECT_EQ(data, "#\r\nDupont\r\nf2\r\nf3\r\nf4\r\nf5\r\nf6\r\nf7\r\nf8\r\nf9\r\n member\r\n"
                      "f11\r\nf12\r\nBoard\r\n") << c.version;
    else
      EXPECT_EQ(data, old_record("Dupont", "Board member")) << c.version;
  }
}

TEST_F(CheckDb, OldVersionFileMatchingCountsAsCurrent) {
  spit(db() / "sociantes.data", "");
  spit(db() / ".sociantes.rc", kHeader);
  spit(db() / "version.data", "sociantes_v3.4.2\r\n");
  EXPECT_EQ(check_db(), 0);
}

TEST_F(CheckDb, CategoryMatchNeedsABlankOrTheEnd) {
  spit(db() / "sociantes.cat", "Arts\r\nBoard\r\nChoir\r\n");
  spit(db() / "sociantes.data", old_record("A", "Boardroom talk") + old_record("B", "Choir") +
                                    old_record("C", "Arts  two blanks") + old_record("D", ""));
  spit(db() / ".sociantes.rc", kHeader + "version=sociantes_v2.5\r\n");
  ASSERT_EQ(check_db(), 3);
  std::vector<std::string> lines = split_lines(slurp(db() / "sociantes.data"));
  ASSERT_EQ(lines.size(), 4u * 14);
  auto field = [&](int rec, int f) { return lines[static_cast<size_t>(rec * 14 + f)]; };
  EXPECT_EQ(field(0, 10), "Boardroom talk");
  EXPECT_EQ(field(0, 13), "");
  EXPECT_EQ(field(1, 10), "");
  EXPECT_EQ(field(1, 13), "Choir");
  EXPECT_EQ(field(2, 10), "  two blanks");
  EXPECT_EQ(field(2, 13), "Arts");
  EXPECT_EQ(field(3, 13), "");
}

TEST_F(CheckDb, OptionFilesOfTheOldestLayoutAreConverted) {
  spit(db() / "sociantes.data", "");
  spit(db() / ".bipoff", "");
  spit(db() / ".auto_id.dat", "3\r\n");
  spit(db() / "name.data", std::string(40, 'N') + "\r\n");
  spit(db() / "field7.dat", "           Job\r\n");
  spit(db() / "ref.data", "A0123\r\n");
  spit(db() / "page.data", "12\r\n5\r\n99\r\n");
  ASSERT_EQ(check_db(), 3);
  EXPECT_EQ(rc(), kHeader + "bip=no\r\ninfo=yes\r\nid_type=3\r\nnetwork=no\r\ntitle=" +
                      std::string(29, 'N') + "\r\nfield7=           Job\r\nref=A0123\r\n"
                      "page_lt=12\r\npage_up=5\r\nversion=sociantes_v3.4.2\r\n");
  EXPECT_TRUE(std::filesystem::exists(db() / ".bipoff")) << "old files stay";
}

TEST_F(CheckDb, SettingsFilePresentSkipsTheOptionConversion) {
  spit(db() / "sociantes.data", "");
  spit(db() / ".bipoff", "");
  spit(db() / ".sociantes.rc", kHeader + "bip=yes\r\n");
  ASSERT_EQ(check_db(), 3);
  EXPECT_EQ(getrc("bip"), "yes");
}

TEST_F(CheckDb, TemporaryDirectoryOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the directory away";
  std::filesystem::path t = home_ / ".cache/sociantes/tmp";
  std::filesystem::create_directories(t);
  ASSERT_EQ(::chown(t.c_str(), 65534, 65534), 0);
  EXPECT_EQ(mk_tmp_dir(), 1);
  EXPECT_NE(take_output().find("box \"STOP\""), std::string::npos);
  mk_tmp_fname("sociantes.tmp");
  EXPECT_EQ(file_name, "") << "nothing is written into another user's directory";
}

}  // namespace
}  // namespace soc
