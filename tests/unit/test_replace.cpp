// Safe replacement of a file: what reaches the disk and in which order, the
// replaced file's permissions and group, sibling names nobody can plant a
// link at, and the removal of siblings left by a killed replacement.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fs.h"

namespace soc {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> events;   // fsync and rename calls, in order

int counting_fsync(int fd) {
  struct stat st;
  events.push_back(::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? "fsync dir" : "fsync file");
  return ::fsync(fd);
}
int counting_rename(const char* from, const char* to) {
  events.push_back("rename");
  return ::rename(from, to);
}

class Replace : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "soc-replace-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
    events.clear();
  }
  void TearDown() override {
    fs_ops_reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static void spit(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
  std::vector<std::string> entries() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir_)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  static struct stat stat_of(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st;
  }
  fs::path dir_;
};

// Regression: read_file took a pipe for an empty file after waiting for a
// writer forever, and read a device such as /dev/zero until memory ran out.
TEST_F(Replace, ReadFileReadsRegularFilesOnly) {
  std::string out = "old";
  const fs::path fifo = dir_ / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(read_file(fifo.string(), out));
  EXPECT_FALSE(read_file("/dev/zero", out));
  EXPECT_FALSE(read_file(dir_.string(), out));
  spit(dir_ / "f", "text\r\n");
  EXPECT_TRUE(read_file((dir_ / "f").string(), out));
  EXPECT_EQ(out, "text\r\n");
}

TEST_F(Replace, TheNewFileThenTheDirectoryReachTheDisk) {
  // A replacement whose new file is not flushed before the rename, or whose
  // rename is not flushed with the directory, can leave an empty or an old
  // file after a power cut.
  fs_ops().fsync = counting_fsync;
  fs_ops().rename = counting_rename;
  const fs::path p = dir_ / "sociantes.data";
  spit(p, "old");
  ASSERT_EQ(replace_file(p.string(), "new"), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename", "fsync dir"}));
  EXPECT_EQ(slurp(p), "new");
  events.clear();
  ASSERT_EQ(replace_file((dir_ / "new.dat").string(), "first"), 0);  // a file not there before
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename", "fsync dir"}));
}

TEST_F(Replace, KeepsPermissionBitsAndGroup) {
  const fs::path p = dir_ / "sociantes.data";
  spit(p, "old");
  for (mode_t mode : {0600, 0640, 0664, 0604}) {
    ASSERT_EQ(::chmod(p.c_str(), mode), 0);
    ASSERT_EQ(replace_file(p.string(), "new"), 0);
    EXPECT_EQ(stat_of(p).st_mode & 0777, mode) << std::oct << mode;
  }
  // A group other than the user's own: root may give any, others one of
  // their supplementary groups.
  gid_t other = ::getegid();
  if (::geteuid() == 0) {
    other = ::getegid() == 1 ? 2 : 1;
  } else {
    gid_t groups[64];
    int n = ::getgroups(64, groups);
    for (int i = 0; i < n; ++i)
      if (groups[i] != ::getegid()) other = groups[i];
  }
  if (other == ::getegid()) {
    std::printf("[ skipped  ] group kept: this user belongs to one group only\n");
  } else {
    ASSERT_EQ(::chown(p.c_str(), static_cast<uid_t>(-1), other), 0);
    ASSERT_EQ(::chmod(p.c_str(), 0660), 0);
    ASSERT_EQ(replace_file(p.string(), "newer"), 0);
    EXPECT_EQ(stat_of(p).st_gid, other);
    EXPECT_EQ(stat_of(p).st_mode & 0777, 0660u);
  }
  // A file that did not exist gets 0666 less the umask.
  mode_t old_mask = ::umask(027);
  ASSERT_EQ(replace_file((dir_ / "A0000.dat").string(), "h"), 0);
  ::umask(old_mask);
  EXPECT_EQ(stat_of(dir_ / "A0000.dat").st_mode & 0777, 0640u);
}

TEST_F(Replace, APlantedLinkAtTheSiblingNameIsNeverFollowed) {
  // Whoever can write the directory plants a symbolic link at the name the
  // sibling will have; the save must neither write through it nor remove it.
  const fs::path p = dir_ / "sociantes.data", victim = dir_ / "victim";
  spit(p, "old");
  spit(victim, "precious");
  static int calls;
  calls = 0;
  fs_ops().sibling_tag = [] { return std::string(++calls == 1 ? "AAAAAAAA" : "BBBBBBBB"); };
  fs::create_symlink(victim, dir_ / "sociantes.data.new-AAAAAAAA");
  ASSERT_EQ(replace_file(p.string(), "new"), 0);
  EXPECT_EQ(calls, 2) << "the taken name was given up for another";
  EXPECT_EQ(slurp(victim), "precious");
  EXPECT_EQ(slurp(p), "new");
  EXPECT_TRUE(fs::is_symlink(dir_ / "sociantes.data.new-AAAAAAAA"));
  // A dangling link is no better.
  fs::remove(victim);
  calls = 0;
  ASSERT_EQ(replace_file(p.string(), "newer"), 0);
  EXPECT_FALSE(fs::exists(victim)) << "a file was created through a dangling link";
  EXPECT_EQ(slurp(p), "newer");
  // Names are not predictable: two real ones differ.
  fs_ops_reset();
  EXPECT_NE(fs_ops().sibling_tag(), fs_ops().sibling_tag());
  EXPECT_EQ(fs_ops().sibling_tag().size(), 8u);
}

TEST_F(Replace, LeftoverSiblingsAreRecognisedAndRemovedByAgeOrByTarget) {
  struct Entry {
    const char* name;
    bool sibling;
  } names[] = {{"sociantes.data.new-Ab3dE6gH", true},  {".sociantes.rc.new-00000000", true},
               {"A0001.dat.new-zzzzzzzz", true},       {"sociantes.data.new-Ab3dE6g", false},
               {"sociantes.data.new-Ab3dE6gHi", false}, {"sociantes.data.new-Ab3d_6gH", false},
               {"club.newsletter", false},              {".new-ABCDEFGH", false},
               {"sociantes.data", false}};
  for (const auto& n : names) EXPECT_EQ(is_sibling_name(n.name), n.sibling) << n.name;

  const std::time_t now = std::time(nullptr);
  auto plant = [&](const std::string& name, long age) {
    spit(dir_ / name, "x");
    struct timeval tv[2] = {{now - age, 0}, {now - age, 0}};
    ::utimes((dir_ / name).c_str(), tv);
  };
  plant("sociantes.data", 5000);
  plant("sociantes.data.new-OLDOLD11", 3600);
  plant("sociantes.data.new-FRESH111", 10);
  plant(".sociantes.rc.new-OLDOLD22", 3600);
  plant(".sociantes.rc.new-FRESH222", 10);
  plant("club.newsletter", 3600);
  fs::create_directory(dir_ / "A0001_dir.new-OLDDIR33");  // not a file: left alone
  EXPECT_EQ(remove_old_siblings(dir_.string() + "/", now, 900), 2);
  EXPECT_EQ(entries(), (std::vector<std::string>{".sociantes.rc.new-FRESH222", "A0001_dir.new-OLDDIR33",
                                                 "club.newsletter", "sociantes.data",
                                                 "sociantes.data.new-FRESH111"}));
  // Under the member file's lock: its siblings go whatever their age, no other.
  EXPECT_EQ(remove_siblings((dir_ / "sociantes.data").string()), 1);
  EXPECT_EQ(entries(), (std::vector<std::string>{".sociantes.rc.new-FRESH222", "A0001_dir.new-OLDDIR33",
                                                 "club.newsletter", "sociantes.data"}));
}

}  // namespace
}  // namespace soc
