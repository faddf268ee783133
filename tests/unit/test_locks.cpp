// Lock files with their owner: fresh, held by a live process, left by a dead
// one, held on another host, old-style empty; locks that cannot be created;
// and settings values that must stay one line.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/util.h"
#include "fixture.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "shell/dialog.h"

namespace soc {
namespace {

const std::string kDesign =
    "info 1 \"  Operation or data looks locked by another user. \\r\\nPlease try again later... "
    "\\r\\n[ ";

// A process id that ran on this host and has ended.
long last_dead = 0;
long dead_pid() {
  pid_t p = ::fork();
  if (p == 0) ::_exit(0);
  ::waitpid(p, nullptr, 0);
  return last_dead = p;
}

class Locks : public test::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    get_home();
    std::filesystem::create_directories(db());
    sys_.set_clock(kNow);
  }
  void TearDown() override {
    fs_ops_reset();
    link_new_unnamed(true);
    CommandTest::TearDown();
  }
  // A lock record as another program writes it.
  static std::string record(const std::string& host, long pid, const std::string& machine,
                            const std::string& boot) {
    return "host=" + host + "\r\npid=" + std::to_string(pid) + "\r\nuser=ann\r\nmachine=" +
           machine + "\r\nboot=" + boot + "\r\ntime=2026-03-01 10:00:00 UTC\r\n";
  }
  static constexpr std::time_t kNow = 1772359200 + 3725;  // 2026-03-01 11:02:05 UTC
};

TEST_F(Locks, EachKindOfLockFile) {
  const std::string lck = db().string() + "/A0001.lck";
  const std::string here = host_name(), machine = machine_id(), boot = boot_id();
  const std::string tail_owner = "\\r\\n Lock file: " + lck + " \\r\\n Owner: user ann, process ";
  struct Case {
    const char* what;
    bool planted;          // a lock file is there before lock_f
    std::string content;   // its content
    int result;            // of lock_f
    long waited;           // ms
    std::string message;   // after the design's text and the path ("" = none shown)
  } cases[] = {
      {"fresh", false, "", 0, 0, ""},
      {"dead process on this host", true, record(here, dead_pid(), machine, boot), 0, 0, ""},
      {"this host restarted since", true, record(here, process_id(), machine, "earlier-boot"), 0,
       0, ""},
      {"live process on this host", true, record(here, process_id(), machine, boot), 1, 3000,
       tail_owner + std::to_string(process_id()) + " on this host (" + here +
           "), still running, \\r\\n since 2026-03-01 10:00:00 UTC (62 minutes). \\r\\n Finish "
           "the operation in that program or close it, then try again. "},
      {"another host", true, record("ws-other", 4242, "m", "b"), 1, 3000,
       tail_owner + "4242 on host ws-other, \\r\\n since 2026-03-01 10:00:00 UTC (62 minutes). "
                          "\\r\\n If that program no longer runs there, \\r\\n delete the lock "
                          "file to release the lock. "},
      // A machine that has the same host name (a cloned workstation): its
      // lock is never judged from here, whatever its process id.
      {"another machine of the same name", true, record(here, dead_pid(), "other-machine", "b"), 1,
       3000,
       tail_owner + std::to_string(last_dead) + " on host " + here +
           ", \\r\\n since 2026-03-01 10:00:00 UTC (62 minutes). \\r\\n If that program no "
           "longer runs there, \\r\\n delete the lock file to release the lock. "},
      {"empty, old style", true, "", 1, 3000,
       "\\r\\n Lock file: " + lck + " \\r\\n It records no owner (an older version, or a program "
       "stopped while taking it). \\r\\n If no workstation is working on these data, \\r\\n "
       "delete the lock file to release the lock. "},
      {"record cut short", true, record(here, dead_pid(), machine, boot).substr(0, 20), 1, 3000,
       "\\r\\n Lock file: " + lck + " \\r\\n It records no owner (an older version, or a program "
       "stopped while taking it). \\r\\n If no workstation is working on these data, \\r\\n "
       "delete the lock file to release the lock. "},
  };
  for (auto& c : cases) {
    std::filesystem::remove(lck);
    if (c.planted) spit(lck, c.content);
    const long before = sys_.elapsed_ms();
    take_output();
    mk_fname("A0001");
    EXPECT_EQ(lock_f(), c.result) << c.what;
    EXPECT_EQ(sys_.elapsed_ms() - before, c.waited) << c.what;
    EXPECT_EQ(file_name, db().string() + "/A0001") << c.what;
    std::string out = take_output();
    if (c.message.empty()) {
      EXPECT_EQ(out, "") << c.what;
      // Taken: the file records this program.
      EXPECT_EQ(slurp(lck).substr(0, 5 + here.size() + 6), "host=" + here + "\r\npid=") << c.what;
      EXPECT_NE(slurp(lck).find("\r\npid=" + std::to_string(process_id()) + "\r\nuser=" +
                                user_name() + "\r\nmachine=" + machine + "\r\nboot=" + boot +
                                "\r\ntime="),
                std::string::npos)
          << c.what;
    } else {
      EXPECT_EQ(out, kDesign + db().string() + "/A0001 ] " + c.message + "\"\n") << c.what;
      EXPECT_EQ(slurp(lck), c.content) << c.what << ": another's lock stays as it was";
    }
  }
}

TEST_F(Locks, UnlockLeavesALockThatRecordsAnotherOwner) {
  const std::string lck = db().string() + "/A0002.lck";
  mk_fname("A0002");
  ASSERT_EQ(lock_f(), 0);
  // Deleted by hand and taken since by another workstation.
  spit(lck, record("ws-other", 77, "m", "b"));
  EXPECT_EQ(unlock_f(), 0);
  EXPECT_TRUE(std::filesystem::exists(lck));
  spit(lck, "");  // an old-style lock: removed as the design says
  EXPECT_EQ(unlock_f(), 0);
  EXPECT_FALSE(std::filesystem::exists(lck));
}

TEST_F(Locks, ALockThatCannotBeCreatedFailsAtOnceWithItsCause) {
  const std::string tail = ". \\r\\n The operation is abandoned; nothing was changed. \"\n";
  // Not a directory where one is expected.
  spit(db() / "plain", "x");
  mk_fname("plain/sociantes.data");
  EXPECT_EQ(lock_f(), 1);
  EXPECT_EQ(take_output(), "info 1 \" The lock file cannot be created: \\r\\n[ " + file_name +
                               ".lck ] \\r\\n Not a directory: the directory does not exist or is "
                               "not mounted" + tail);
  // A full disk: no room for the owner record; nothing is left behind.
  fs_ops().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  mk_fname("sociantes.data");
  EXPECT_EQ(lock_f(), 1);
  EXPECT_EQ(take_output(), "info 1 \" The lock file cannot be created: \\r\\n[ " + file_name +
                               ".lck ] \\r\\n No space left on device: the disk is full" + tail);
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck"));
  fs_ops_reset();
  EXPECT_EQ(sys_.elapsed_ms(), 0) << "no wait for a lock that cannot exist";
  // A read-only directory.
  if (::geteuid() == 0) {
    std::printf("[ skipped  ] read-only directory: root writes into any directory\n");
    return;
  }
  std::filesystem::create_directories(db() / "ro");
  ::chmod((db() / "ro").c_str(), 0555);
  mk_fname("ro/sociantes.data");
  EXPECT_EQ(lock_f(), 1);
  EXPECT_NE(take_output().find("Permission denied: the directory cannot be written"),
            std::string::npos);
  EXPECT_EQ(sys_.elapsed_ms(), 0);
}

TEST_F(Locks, WithoutUnnamedFilesTheOwnerGoesThroughACopyThatAStartRemovesOnceItsOwnerIsGone) {
  // As on a network file system: the owner is written to a named copy that
  // is linked to the lock's name and removed.
  link_new_unnamed(false);
  const std::string here = host_name(), machine = machine_id(), boot = boot_id();
  mk_fname("A0003");
  ASSERT_EQ(lock_f(), 0);
  EXPECT_NE(slurp(db() / "A0003.lck").find("\r\npid=" + std::to_string(process_id()) + "\r\n"),
            std::string::npos);
  // Copies left by programs killed before the link: the dead one's goes at
  // a start, the one of a program still running stays, and so does the lock.
  const auto copies = [this] {
    std::vector<std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(db()))
      if (e.path().filename().string().find(".lck.new-") != std::string::npos)
        v.push_back(e.path().filename().string());
    return v;
  };
  EXPECT_EQ(copies(), std::vector<std::string>{});
  spit(db() / "A0004.lck.new-DEADDEAD", record(here, dead_pid(), machine, boot));
  spit(db() / "A0005.lck.new-LIVELIVE", record(here, process_id(), machine, boot));
  clean_scratch();
  EXPECT_EQ(copies(), std::vector<std::string>{"A0005.lck.new-LIVELIVE"});
  EXPECT_TRUE(std::filesystem::exists(db() / "A0003.lck"));
  // A lock held on another host: refused, and no copy is left behind.
  spit(db() / "A0006.lck", record("ws-other", 4242, "m", "b"));
  mk_fname("A0006");
  EXPECT_EQ(lock_f(), 1);
  EXPECT_EQ(copies(), std::vector<std::string>{"A0005.lck.new-LIVELIVE"});
}

TEST_F(Locks, SettingValuesStayOneLineAndNumbersStayInRange) {
  spit(db() / ".sociantes.rc", test::kRcHeader + "network=no\r\n");
  struct Case {
    const char* value;
    const char* stored;
  } cases[] = {{"Club\r\nnetwork=yes", "Club"}, {"Club\nnetwork=yes", "Club"},
               {"Club\rnetwork=yes", "Club"}, {"\r\nnetwork=yes", ""}, {"Plain Club", "Plain Club"}};
  for (const auto& c : cases) {
    ASSERT_EQ(setrc("title", c.value), 1) << c.value;
    EXPECT_EQ(getrc("title"), c.stored) << c.value;
    EXPECT_EQ(getrc("network"), "no") << c.value;
  }
  EXPECT_EQ(slurp(db() / ".sociantes.rc"), test::kRcHeader + "network=no\r\ntitle=Plain Club\r\n");
  // The network settings take the same cut.
  ASSERT_EQ(setnrc("ref", "A0001\r\nnetwork=yes"), 1);
  EXPECT_EQ(getnrc("ref"), "A0001");
  EXPECT_EQ(getrc("network"), "no");

  struct Num {
    const char* text;
    long lo, hi, want;
  } nums[] = {{"2", 0, 3, 2},         {"7", 0, 3, 3},
              {"-1", 0, 3, 0},        {"4294967297", 0, 3, 3},
              {"x", 0, 3, 0},         {"99999999999999999999", 0, 32767, 32767},
              {" 640px", 0, 32767, 640}, {"-99999999999999999999", 5, 9, 5}};
  for (const auto& n : nums) EXPECT_EQ(clamp_num(n.text, n.lo, n.hi), n.want) << n.text;
  // An identification mode out of range is held at the last mode, not wrapped.
  spit(db() / ".sociantes.rc", test::kRcHeader + "id_type=4294967297\r\n");
  chk_options();
  EXPECT_EQ(type_id, 3);
}

}  // namespace
}  // namespace soc
