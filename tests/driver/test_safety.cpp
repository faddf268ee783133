// Rewrites and locks that cannot be turned against the user: a program ended
// at each step of a member-file rewrite, links planted at predictable sibling
// names, the private data directory, leftovers cleaned at start, stale and
// impossible locks, settings that stay one line, and the record lock on a
// mode switch.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// Names in dir that contain part.
std::vector<std::string> names_with(const fs::path& dir, const std::string& part) {
  std::vector<std::string> v;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().find(part) != std::string::npos)
      v.push_back(e.path().filename().string());
  return v;
}

// The records of a member file text (its marker lines).
std::size_t records_in(const std::string& text) {
  std::size_t n = text.compare(0, 3, "#\r\n") == 0 ? 1 : 0;
  for (std::size_t p = 0; (p = text.find("\n#\r\n", p)) != std::string::npos; ++p) ++n;
  return n;
}

// The driver run with SOCIANTES_CRASH_AT set to point.
DriverRun run_crashing(const ScratchHome& h, const std::string& point, const std::string& script) {
  ::setenv("SOCIANTES_CRASH_AT", point.c_str(), 1);
  DriverRun r = run_driver(h, script);
  ::unsetenv("SOCIANTES_CRASH_AT");
  return r;
}

const std::string kThree = rec("Adam", "A0000", "Note") + rec("Berg", "A0001") + rec("Cole", "A0002");

TEST(CrashPoints, EveryRewriteOfTheMemberFileLeavesTheOldOrTheNewFile) {
  struct Command {
    const char* name;
    const char* script;
    int before;  // replacements the command makes before the member file's
  } commands[] = {
      {"New", "start\ncmd 400\nset 1 Dahl\ncmd 402\nquit\n", 1},   // its history file first
      {"Modify", "start\nclick 0\ncmd 401\nset 1 Zorn\ncmd 402\nquit\n", 0},
      {"Delete", "start\nclick 1\nreply yes\ncmd 403\ncmd 402\nquit\n", 0},
      {"bulk flag Set", "start\nreply yes\ncmd 425\nquit\n", 0},
  };
  struct Point {
    const char* name;
    bool renamed;  // the new file is in place when the program ends
  } points[] = {{"replace:written", false}, {"replace:renamed", true}};
  for (const auto& c : commands) {
    ScratchHome clean;
    make_db(clean, kThree, "", "ref=A0003\r\n");
    ASSERT_EQ(run_driver(clean, c.script).rc, 0) << c.name;
    const std::string after = clean.read(clean.db() / "sociantes.data");
    ASSERT_NE(after, kThree) << c.name << " changes nothing";
    for (const auto& p : points) {
      const std::string what = std::string(c.name) + " at " + p.name;
      ScratchHome h;
      make_db(h, kThree, "", "ref=A0003\r\n");
      DriverRun r = run_crashing(h, std::string(p.name) + "#" + std::to_string(c.before + 1), c.script);
      EXPECT_EQ(r.rc, 86) << what << "\n" << r.out;
      EXPECT_EQ(h.read(h.db() / "sociantes.data"), p.renamed ? after : kThree) << what;
      EXPECT_EQ(names_with(h.db(), ".new-").size(), p.renamed ? 0u : 1u) << what;
      EXPECT_TRUE(fs::exists(h.db() / "sociantes.data.lck")) << what << ": ended as a kill would";

      // A fresh start finds the locks of the ended program and its scratch
      // file, removes them, and works: every member can be selected (their
      // record locks are taken over), a new one saved.
      const std::size_t rows = p.renamed ? records_in(after) : 3u;
      std::string clicks;
      for (std::size_t i = 0; i < rows; ++i) clicks += "click " + std::to_string(i) + "\n";
      DriverRun again = run_driver(h, "start\nshow list\n" + clicks + "show selection\nshow elapsed\n"
                                      "cmd 400\nset 1 Eady\ncmd 402\nquit\n");
      EXPECT_EQ(again.rc, 0) << what << "\n" << again.out;
      EXPECT_EQ(lines_with(again, "info 1").size(), 0u) << what << "\n" << again.out;
      EXPECT_EQ(lines_with(again, "row ").size(), rows) << what;
      EXPECT_EQ(lines_with(again, "selection \"A000").size(), 1u) << what << "\n" << again.out;
      EXPECT_TRUE(again.has("elapsed 0")) << what << "\n" << again.out;
      EXPECT_NE(h.read(h.db() / "sociantes.data").find("\r\nEady\r\n"), std::string::npos) << what;
      EXPECT_EQ(names_with(h.db(), ".new-").size(), 0u) << what;
      EXPECT_EQ(names_with(h.db(), ".lck").size(), 0u) << what;
    }
  }
}

TEST(SiblingFiles, LinksPlantedAtThePredictableNamesAreNotFollowed) {
  // Another user who can write a shared directory plants links at the names
  // a save would have used (the program's process id after the name) to a
  // file of the user's. The save goes on and that file stays untouched.
  ScratchHome h;
  make_db(h, rec("Adam", "A0000"), "", "ref=A0001\r\n");
  const fs::path victim = h.path() / "victim.txt";
  h.write(victim, "precious");
  h.write(h.path() / "script.txt", "start\ncmd 400\nset 1 Berg\ncmd 402\nquit\n");
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    char c;
    ::close(go[1]);
    if (::read(go[0], &c, 1) != 1) ::_exit(127);
    ::setenv("HOME", h.path().c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    int fd = ::open((h.path() / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::execl(SOC_DRIVER, SOC_DRIVER, (h.path() / "script.txt").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(go[0]);
  const std::string id = std::to_string(pid);
  for (const char* target : {"sociantes.data", "A0001.dat", ".sociantes.rc"})
    fs::create_symlink(victim, h.db() / (std::string(target) + ".new" + id));
  ASSERT_EQ(::write(go[1], "g", 1), 1);
  ::close(go[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << h.read(h.path() / "out.txt");
  EXPECT_EQ(h.read(victim), "precious");
  EXPECT_EQ(records_in(h.read(h.db() / "sociantes.data")), 2u);
  EXPECT_NE(h.read(h.db() / "sociantes.data").find("\r\nBerg\r\n"), std::string::npos);
  EXPECT_EQ(rc_value(h, "ref"), "A0002");
  EXPECT_NE(h.read(h.db() / "A0001.dat").find("Berg"), std::string::npos);
  EXPECT_EQ(names_with(h.db(), ".new").size(), 3u) << "the planted links are not the program's";
}

TEST(SiblingFiles, APrivateDataDirectoryAndModesKept) {
  ScratchHome h;
  ASSERT_EQ(run_driver(h, "start\nquit\n").rc, 0);
  struct stat st;
  ASSERT_EQ(::stat(h.db().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "a new local data directory is the user's alone";
  // A member file the user made private stays private after a save.
  ASSERT_EQ(::chmod((h.db() / "sociantes.data").c_str(), 0600), 0);
  ASSERT_EQ(::chmod((h.db() / ".sociantes.rc").c_str(), 0600), 0);
  ASSERT_EQ(run_driver(h, "start\ncmd 400\nset 1 Adam\ncmd 402\nquit\n").rc, 0);
  ASSERT_EQ(::stat((h.db() / "sociantes.data").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((h.db() / ".sociantes.rc").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SiblingFiles, LeftoversAreRemovedAtStartWhenNobodyCanBeWritingThem) {
  ScratchHome h;
  make_db(h, kThree, "", "ref=A0003\r\n");
  const std::time_t now = std::time(nullptr);
  auto plant = [&](const std::string& name, long age) {
    h.write(h.db() / name, "partial");
    struct timeval tv[2] = {{now - age, 0}, {now - age, 0}};
    ::utimes((h.db() / name).c_str(), tv);
  };
  plant(".sociantes.rc.new-OLDOLD11", 3600);  // a killed settings write, an hour ago
  plant("A0001.dat.new-FRESH222", 5);         // may be another program's, writing now
  plant("sociantes.data.new-MEMBER33", 5);    // the member file's, under its lock
  h.write(h.tmp() / "cat.tmp.new-OLDOLD44", "partial");
  struct timeval old[2] = {{now - 3600, 0}, {now - 3600, 0}};
  ::utimes((h.tmp() / "cat.tmp.new-OLDOLD44").c_str(), old);

  // While another workstation holds the member-file lock, its sibling stays
  // and the start does not wait.
  h.write(h.db() / "sociantes.data.lck", "host=ws-other\r\npid=12\r\nuser=ann\r\nmachine=m\r\nboot=b\r\n"
                                         "time=2026-03-01 10:00:00 UTC\r\n");
  DriverRun r = run_driver(h, "start\nshow elapsed\nquit\n");
  EXPECT_TRUE(r.has("elapsed 0")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / ".sociantes.rc.new-OLDOLD11"));
  EXPECT_FALSE(fs::exists(h.tmp() / "cat.tmp.new-OLDOLD44"));
  EXPECT_TRUE(fs::exists(h.db() / "A0001.dat.new-FRESH222"));
  EXPECT_TRUE(fs::exists(h.db() / "sociantes.data.new-MEMBER33"));
  EXPECT_TRUE(fs::exists(h.db() / "sociantes.data.lck"));

  fs::remove(h.db() / "sociantes.data.lck");
  r = run_driver(h, "start\nquit\n");
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.new-MEMBER33"));
  EXPECT_TRUE(fs::exists(h.db() / "A0001.dat.new-FRESH222"));
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), kThree);
}

TEST(Locks, ALockThatCannotBeCreatedIsReportedAtOnce) {
  // The network directory is not mounted: New is abandoned at once with the
  // cause, not after three seconds as a lock of another user.
  ScratchHome h;
  const fs::path share = h.path() / "unmounted";
  make_db(h, "", "", "network=yes\r\nwin_net_path=" + share.string() + "\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Dahl\ncmd 402\nshow elapsed\nshow action\n"
                              "quit\n");
  EXPECT_TRUE(r.has("info 1 \" The lock file cannot be created: \\r\\n[ " +
                    (share / "wait4new.lck").string() +
                    " ] \\r\\n No such file or directory: the directory does not exist or is not "
                    "mounted. \\r\\n The operation is abandoned; nothing was changed. \""))
      << r.out;
  EXPECT_TRUE(r.has("elapsed 0")) << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked").size(), 0u) << r.out;
}

// Guards against a lock file that names nobody: a program killed between
// creating a lock file and writing its owner into it left an empty lock that
// no start could judge, and every workstation was refused until a user
// deleted it. The owner is now in the file before the file has its name.
TEST(Locks, AProgramKilledWhileTakingALockLeavesNoLockThatNamesNobody) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000"), "", "ref=A0001\r\n");
  // Killed as it takes its first lock (the start takes the member-file lock
  // to clean up), then as it takes the numbering lock of a New.
  for (const char* at : {"link:written", "link:written#2"}) {
    ::setenv("SOCIANTES_CRASH_AT", at, 1);
    DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Dahl\ncmd 402\nquit\n");
    ::unsetenv("SOCIANTES_CRASH_AT");
    ASSERT_EQ(r.rc, 86) << at << r.out;
    // No lock; on a file system without unnamed files, the owner's copy.
    const auto named = names_with(h.db(), ".lck");
    EXPECT_EQ(named.size(), names_with(h.db(), ".lck.new-").size()) << at;
    EXPECT_LE(named.size(), 1u) << at;
  }
  // The next start removes the copies of the killed programs; New is not
  // refused and nothing is left.
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Dahl\ncmd 402\nshow elapsed\nquit\n");
  EXPECT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("elapsed 0")) << r.out;
  EXPECT_EQ(lines_with(r, "info 1").size(), 0u) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A0000") + rec("Dahl", "A0001", " "));
  EXPECT_EQ(names_with(h.db(), ".lck"), std::vector<std::string>{});
}

TEST(Settings, ALineBreakInADialogEntryNeverStartsASetting) {
  ScratchHome h;
  make_db(h, "", "");
  DriverRun r = run_driver(h, "start\nreply ok \"1003=Club\\r\\nnetwork=yes\"\ncmd 19\n"
                              "reply ok \"1003=/mnt/q\\nnetwork=yes\"\ncmd 32\nshow status\nquit\n");
  EXPECT_TRUE(r.has("status \"Action: Selection     Bip: On    Info: On    Net: Local   ID: [0]   "
                    "Filters: \""))
      << r.out;
  EXPECT_EQ(rc_value(h, "title"), "Club");
  EXPECT_EQ(rc_value(h, "win_net_path"), "/mnt/q");
  EXPECT_EQ(rc_value(h, "network"), "<missing>");
  DriverRun again = run_driver(h, "start\nshow title\nshow status\nquit\n");
  EXPECT_TRUE(again.has("title \"Sociantes  [ Club ]\"")) << again.out;
  EXPECT_NE(again.out.find("Net: Local"), std::string::npos) << again.out;
}

TEST(Settings, NumbersBeyondTheirRangeAreHeldNotWrapped) {
  // A window size past any screen, a negative column width, an address
  // position typed negative and an identification mode past the last.
  ScratchHome h;
  make_db(h, "", "", "winh=99999999999\r\nwinw=1200\r\ncol1=-300\r\ncol2=4294967597\r\n"
                     "id_type=4294967297\r\n");
  DriverRun r = run_driver(h, "start\nshow status\nreply ok 1003=-5\ncmd 8\n"
                              "reply ok 1003=99999\ncmd 10\nquit\n");
  EXPECT_NE(r.out.find("ID: [3]"), std::string::npos) << r.out;
  std::string rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nwinh=32767\r\nwinw=1200\r\ncol1=126\r\ncol2=32767\r\n"),
            std::string::npos)
      << rc;
  EXPECT_EQ(rc_value(h, "page_up"), "0");
  EXPECT_EQ(rc_value(h, "page_lt"), "200");
}

TEST(ModeSwitch, TheRecordLockIsReleasedWhereItWasTaken) {
  ScratchHome h;
  const fs::path share = h.path() / "share";
  h.write(share / "sociantes.data", rec("Netta", "A0000"));
  h.write(share / ".sociantes.rc", kRcHead + "ref=A0001\r\n");
  make_db(h, rec("Loca", "A0000"), "", "win_net_path=" + share.string() + "\r\n");

  // Local to network with a member selected: the local lock goes.
  // Regression: the local rows stayed, and a click on "Loca" then selected,
  // changed or deleted the network member of the same reference; the list
  // now shows the network members.
  DriverRun r =
      run_driver(h, "start\nclick 0\ncmd 457\nshow selection\nshow form\nshow list\n");
  EXPECT_TRUE(r.has("selection \"\" \"\"")) << r.out;
  EXPECT_TRUE(r.has("entry 1 disabled \"\"")) << r.out;
  EXPECT_EQ(lines_with(r, "row ").size(), 1u) << r.out;
  EXPECT_NE(lines_with(r, "row ")[0].find("Netta"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
  EXPECT_FALSE(fs::exists(share / "A0000.lck"));
  h.write(h.db() / ".sociantes.rc", kRcHead + "win_net_path=" + share.string() + "\r\n");

  // Regression: a mode that could not be stored was taken anyway, and the
  // next reading of the settings switched back without a word.
  ::setenv("SOCIANTES_FAULT", "rename:EIO@.sociantes.rc", 1);
  r = run_driver(h, "start\ncmd 457\nshow status\n");
  ::unsetenv("SOCIANTES_FAULT");
  EXPECT_NE(r.out.find("The settings file cannot be written"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Please restart"), std::string::npos) << r.out;
  EXPECT_NE(lines_with(r, "status ")[0].find("Net: Local"), std::string::npos) << r.out;
  EXPECT_EQ(rc_value(h, "network"), "<missing>");
  r = run_driver(h, "start\ncmd 457\n");  // stored this time

  // Network to local: the lock on the network directory goes.
  r = run_driver(h, "start\nclick 0\nshow form\ncmd 456\nshow selection\n");
  EXPECT_TRUE(r.has("entry 1 disabled \"Netta\"")) << r.out;
  EXPECT_FALSE(fs::exists(share / "A0000.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
}

}  // namespace
}  // namespace soc::test
