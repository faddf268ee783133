// Path composition, the settings file, option flags and the lock protocol.
#include <sys/stat.h>

#include "db/util.h"
#include "fixture.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {
namespace {

const std::string kHeader = test::kRcHeader;

class Settings : public test::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    get_home();
  }
  std::filesystem::path rc() const { return db() / ".sociantes.rc"; }
};

TEST_F(Settings, PathComposers) {
  mk_fname("sociantes.data");
  EXPECT_EQ(file_name, home_.string() + "/sociantes_db/sociantes.data");
  mk_fname("");
  EXPECT_EQ(file_name, home_.string() + "/sociantes_db/");
  mk_tmp_fname("sociantes.tmp");
  EXPECT_EQ(file_name, home_.string() + "/.cache/sociantes/tmp/sociantes.tmp");
  mk_nfname("x");  // local mode: the local data directory
  EXPECT_EQ(file_name, home_.string() + "/sociantes_db/x");
}

TEST_F(Settings, NetworkPathWithOrWithoutFinalSeparator) {
  spit(rc(), kHeader);
  nfs = 1;
  for (const char* p : {"/mnt/q/sociantes_db", "/mnt/q/sociantes_db/", "/mnt/q/sociantes_db\\"}) {
    ASSERT_EQ(setrc("win_net_path", p), 1);
    mk_nfname("x");
    EXPECT_EQ(file_name, "/mnt/q/sociantes_db/x") << p;
  }
}

TEST_F(Settings, MissingFileReadsEmptyAndWritesNothing) {
  EXPECT_EQ(getrc("title"), "");
  EXPECT_EQ(setrc("title", "x"), 0);
  EXPECT_FALSE(std::filesystem::exists(rc()));
}

TEST_F(Settings, AppendThenReplaceInPlaceKeepingOrder) {
  spit(rc(), kHeader + "bip=yes\r\ntitle=Club\r\n");
  ASSERT_EQ(setrc("info", "no"), 1);
  EXPECT_EQ(slurp(rc()), kHeader + "bip=yes\r\ntitle=Club\r\ninfo=no\r\n");
  ASSERT_EQ(setrc("bip", "no"), 1);
  EXPECT_EQ(slurp(rc()), kHeader + "bip=no\r\ntitle=Club\r\ninfo=no\r\n");
  EXPECT_EQ(getrc("bip"), "no");
}

TEST_F(Settings, ShortLinesDroppedHeaderKeptLfAccepted) {
  spit(rc(), kHeader + "\r\nx\nbip=yes\n\n");
  ASSERT_EQ(setrc("info", "no"), 1);
  EXPECT_EQ(slurp(rc()), kHeader + "bip=yes\r\ninfo=no\r\n");
}

TEST_F(Settings, KeyMatchingIsExactAndFirstLineWins) {
  spit(rc(), kHeader + "bipx=1\r\ntitle=\r\ntitle=second\r\n");
  EXPECT_EQ(getrc("bip"), "");
  EXPECT_EQ(getrc("title"), "");
  ASSERT_EQ(setrc("bip", "no"), 1);
  EXPECT_EQ(getrc("bipx"), "1");
  EXPECT_EQ(getrc("bip"), "no");
  EXPECT_EQ(getrc("tit"), "");
}

TEST_F(Settings, ValueMayHoldEqualSignsAndOverlongLinesAreCut) {
  spit(rc(), kHeader + "smtp_server=a=b\r\ntitle=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(getrc("smtp_server"), "a=b");
  EXPECT_EQ(getrc("title").size(), kRcLineMax - 6);
}

TEST_F(Settings, FailedReplaceLeavesTheOldFileWhole) {
  // Guards the rewrite: a full disk or a failed rename never truncates the
  // settings file.
  spit(rc(), kHeader + "title=Club\r\n");
  fs_ops().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  EXPECT_EQ(setrc("title", "Other"), 0);
  fs_ops_reset();
  fs_ops().rename = [](const char*, const char*) { return -1; };
  EXPECT_EQ(setrc("title", "Other"), 0);
  fs_ops_reset();
  EXPECT_EQ(slurp(rc()), kHeader + "title=Club\r\n");
  for (const auto& e : std::filesystem::directory_iterator(db()))
    EXPECT_EQ(e.path().filename(), ".sociantes.rc") << "a sibling file was left behind";
}

TEST_F(Settings, OptionFlags) {
  struct Case {
    std::string lines;
    int bip, info, type, net, rule;
  } cases[] = {
      {"", 1, 1, 0, 0, 0},
      {"bip=no\r\ninfo=no\r\n", 0, 0, 0, 0, 0},
      {"bip=off\r\ninfo=\r\n", 1, 1, 0, 0, 0},
      {"id_type=3\r\nflag_filter=nand\r\n", 1, 1, 3, 0, 4},
      {"id_type=x\r\nflag_filter=weird\r\nnetwork=yes\r\n", 1, 1, 0, 1, 0},
  };
  for (const auto& c : cases) {
    listing_type = 0;
    spit(rc(), kHeader + c.lines);
    chk_options();
    EXPECT_EQ(bip, c.bip) << c.lines;
    EXPECT_EQ(info_flg, c.info) << c.lines;
    EXPECT_EQ(type_id, c.type) << c.lines;
    EXPECT_EQ(nfs, c.net) << c.lines;
    EXPECT_EQ(listing_type, c.rule) << c.lines;
  }
}

TEST_F(Settings, NetworkModeTakesIdTypeAndDirsFromTheNetworkSettings) {
  std::filesystem::path net = home_ / "share";
  spit(net / ".sociantes.rc", kHeader + "id_type=2\r\ndirs=yes\r\n");
  spit(rc(), kHeader + "network=yes\r\nid_type=1\r\nwin_net_path=" + net.string() + "\r\n");
  chk_options();
  EXPECT_EQ(nfs, 1);
  EXPECT_EQ(type_id, 2);
  EXPECT_EQ(dirs, 1);
  EXPECT_EQ(getnrc("id_type"), "2");
  ASSERT_EQ(setnrc("ref", "A0042"), 1);
  EXPECT_EQ(getnrc("ref"), "A0042");
  EXPECT_EQ(getrc("ref"), "");
  EXPECT_FALSE(std::filesystem::exists(net / ".sociantes.rc.lck"));
}

// Lock files: fresh, held by another workstation, released.
TEST_F(Settings, LockFreshHeldAndReleased) {
  std::filesystem::create_directories(db());
  mk_fname("A0001");
  ASSERT_EQ(lock_f(), 0);
  EXPECT_EQ(file_name, db().string() + "/A0001") << "the current path is unchanged";
  EXPECT_TRUE(std::filesystem::exists(db() / "A0001.lck"));
  EXPECT_EQ(sys_.elapsed_ms(), 0);

  // Held (by us, as another workstation would): 10 tests, 10 waits of 300 ms.
  EXPECT_EQ(lock_f(), 1);
  EXPECT_EQ(sys_.elapsed_ms(), 3000);
  const std::string design = "info 1 \"  Operation or data looks locked by another user. "
                             "\\r\\nPlease try again later... \\r\\n[ " + db().string() + "/A0001 ] ";
  EXPECT_EQ(take_output().substr(0, design.size()), design) << "the design's text comes first";

  EXPECT_EQ(unlock_f(), 0);
  EXPECT_FALSE(std::filesystem::exists(db() / "A0001.lck"));
  EXPECT_EQ(unlock_f(), 0) << "a missing lock file is no error";
  EXPECT_EQ(lock_f(), 0);
}


TEST_F(Settings, LockOnAMissingDirectoryIsNotTaken) {
  // The design would report the lock as taken; nothing was created, so it
  // fails, at once and with its cause rather than as a lock of another user.
  mk_fname("nowhere/sociantes.data");
  EXPECT_EQ(lock_f(), 1);
  EXPECT_EQ(sys_.elapsed_ms(), 0);
  EXPECT_EQ(take_output(), "info 1 \" The lock file cannot be created: \\r\\n[ " + db().string() +
                               "/nowhere/sociantes.data.lck ] \\r\\n No such file or directory: the "
                               "directory does not exist or is not mounted. \\r\\n The operation is "
                               "abandoned; nothing was changed. \"\n");
  EXPECT_EQ(file_name, db().string() + "/nowhere/sociantes.data");
}

TEST_F(Settings, SetnrcFailsWhileTheNetworkSettingsAreLocked) {
  spit(rc(), kHeader + "ref=A0001\r\n");
  spit(db() / ".sociantes.rc.lck", "");
  EXPECT_EQ(setnrc("ref", "A0002"), 0);
  EXPECT_EQ(getrc("ref"), "A0001");
  EXPECT_TRUE(std::filesystem::exists(db() / ".sociantes.rc.lck")) << "another's lock stays";
}

TEST_F(Settings, TemporaryDirectoryIsPrivate) {
  ASSERT_EQ(mk_tmp_dir(), 0);
  struct stat st;
  ASSERT_EQ(::stat((home_ / ".cache/sociantes/tmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::chmod((home_ / ".cache/sociantes/tmp").c_str(), 0755);
  ASSERT_EQ(mk_tmp_dir(), 0);
  ASSERT_EQ(::stat((home_ / ".cache/sociantes/tmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "loosened permissions are tightened again";
}

}  // namespace
}  // namespace soc
