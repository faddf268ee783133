// Several sociantes-driver processes on one data directory: concurrent New on
// two workstations of a network data directory, a member selected on one
// workstation and refused on the other, and a program killed while it
// rewrites the member file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// Starts the driver with HOME = home, output to out; the script comes from
// the file script, or from stdin_fd when that is not -1.
pid_t spawn_driver(const fs::path& home, const fs::path& script, const fs::path& out,
                   int stdin_fd = -1) {
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::setenv("HOME", home.c_str(), 1);
  ::unsetenv("XDG_CACHE_HOME");
  int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(fd, 1);
  ::dup2(fd, 2);
  if (stdin_fd >= 0) {
    ::dup2(stdin_fd, 0);
    ::execl(SOC_DRIVER, SOC_DRIVER, static_cast<char*>(nullptr));
  } else {
    ::execl(SOC_DRIVER, SOC_DRIVER, script.c_str(), static_cast<char*>(nullptr));
  }
  ::_exit(127);
}

int wait_exit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A workstation whose local settings point at the shared network directory.
void make_workstation(const ScratchHome& h, const fs::path& share) {
  make_db(h, "", "", "network=yes\r\nwin_net_path=" + share.string() + "\r\n");
}

// Records of a member file text: (name, reference).
std::vector<std::pair<std::string, std::string>> records_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find("\r\n", pos);
    if (nl == std::string::npos) break;
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 2;
  }
  std::vector<std::pair<std::string, std::string>> v;
  for (size_t i = 0; i + 13 < lines.size() && lines[i] == "#"; i += 14)
    v.emplace_back(lines[i + 1], lines[i + 12]);
  return v;
}

int count_prefix(const std::string& out, const std::string& prefix) {
  int n = 0;
  for (size_t p = 0; (p = out.find("\n" + prefix, p)) != std::string::npos; ++p) ++n;
  if (out.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

const std::string kLocked = "info 1 \"  Operation or data looks locked by another user.";

TEST(TwoWorkstations, ConcurrentNewNeverRepeatsAReferenceNorLosesARecord) {
  ScratchHome share_home, w1, w2;
  const fs::path share = share_home.path() / "share";
  share_home.write(share / "sociantes.data", "");
  share_home.write(share / ".sociantes.rc", kRcHead + "ref=A0000\r\n");
  make_workstation(w1, share);
  make_workstation(w2, share);
  const int n = 100;
  // Both programs wait on their script pipes, then get their scripts at the
  // same moment, so that their saves overlap.
  std::vector<pid_t> pids;
  std::vector<int> pipes;
  for (const ScratchHome* w : {&w1, &w2}) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pids.push_back(spawn_driver(w->path(), "", w->path() / "out.txt", fds[0]));
    ::close(fds[0]);
    pipes.push_back(fds[1]);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (int i = 0; i < 2; ++i) {
    std::string tag = i == 0 ? "one-" : "two-";
    std::string script = "realtime on\nstart\n";
    for (int k = 0; k < n; ++k)
      script += "cmd 400\nset 1 " + tag + std::to_string(k) + "\ncmd 402\n";
    script += "show elapsed\nquit\n";
    ASSERT_EQ(::write(pipes[i], script.data(), script.size()), static_cast<ssize_t>(script.size()));
  }
  for (int fd : pipes) ::close(fd);
  for (pid_t p : pids) EXPECT_EQ(wait_exit(p), 0);

  int refused = 0;
  long waited_ms = 0;  // time spent waiting for locks held by the other one
  for (const ScratchHome* w : {&w1, &w2}) {
    std::string out = w->read(w->path() / "out.txt");
    refused += count_prefix(out, kLocked);
    size_t e = out.rfind("elapsed ");
    ASSERT_NE(e, std::string::npos) << out;
    waited_ms += std::stol(out.substr(e + 8));
    EXPECT_EQ(count_prefix(out, "info 1 \" ERROR"), 0) << out;
  }
  auto records = records_of(share_home.read(share / "sociantes.data"));
  EXPECT_EQ(static_cast<int>(records.size()), 2 * n - refused);
  // Each reference handed out exactly once, in sequence, and the counter
  // stands after the last.
  std::set<std::string> refs;
  for (const auto& [name, ref] : records) refs.insert(ref);
  EXPECT_EQ(refs.size(), records.size());
  for (int i = 0; i < static_cast<int>(records.size()); ++i) {
    EXPECT_TRUE(refs.count(ref_of(i))) << ref_of(i);
    EXPECT_TRUE(fs::exists(share / (ref_of(i) + ".dat"))) << ref_of(i);
  }
  const std::string next = ref_of(static_cast<int>(records.size()));
  EXPECT_NE(share_home.read(share / ".sociantes.rc").find("ref=" + next + "\r\n"),
            std::string::npos);
  // How often the reference sequence switches between the workstations.
  std::vector<std::string> by_ref(records.size());
  for (const auto& [name, ref] : records)
    if (std::stoul(ref.substr(1)) < by_ref.size()) by_ref[std::stoul(ref.substr(1))] = name;
  int switches = 0;
  for (size_t i = 1; i < by_ref.size(); ++i) switches += by_ref[i].substr(0, 4) != by_ref[i - 1].substr(0, 4);
  std::printf("[ info     ] %d of %d saves waited in vain for a lock; %ld ms waited; %d switches\n",
              refused, 2 * n, waited_ms, switches);
  EXPECT_GT(waited_ms, 0) << "the two programs never met at a lock";
  for (const auto& e : fs::directory_iterator(share)) {
    std::string f = e.path().filename().string();
    EXPECT_EQ(f.find(".lck"), std::string::npos) << f;
    EXPECT_EQ(f.find(".new"), std::string::npos) << f;
  }
}

// A shared directory holding Adam (A0000) and Zola (A0001), and workstation
// w1 started on it reading its script from a pipe, with Adam selected (its
// lock taken). The pipe's write end is left in script_fd; the process id
// is returned, or -1 when the lock never appeared.
pid_t start_holding_adam(const ScratchHome& share_home, const ScratchHome& w1, int& script_fd) {
  const fs::path share = share_home.path() / "share";
  share_home.write(share / "sociantes.data", rec("Adam", "A0000") + rec("Zola", "A0001"));
  share_home.write(share / ".sociantes.rc", kRcHead + "ref=A0002\r\n");
  make_workstation(w1, share);
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t p1 = spawn_driver(w1.path(), "", w1.path() / "out.txt", fds[0]);
  ::close(fds[0]);
  script_fd = fds[1];
  const std::string first = "realtime on\nstart\nclick 0\n";
  if (::write(script_fd, first.data(), first.size()) != static_cast<ssize_t>(first.size()))
    return -1;
  for (int i = 0; i < 200 && !fs::exists(share / "A0000.lck"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return fs::exists(share / "A0000.lck") ? p1 : -1;
}

TEST(TwoWorkstations, AMemberSelectedOnOneIsRefusedOnTheOther) {
  ScratchHome share_home, w1, w2;
  const fs::path share = share_home.path() / "share";
  // Workstation 1 reads its script from a pipe and keeps Adam selected.
  int script_fd = -1;
  const pid_t p1 = start_holding_adam(share_home, w1, script_fd);
  ASSERT_GT(p1, 0);
  make_workstation(w2, share);

  DriverRun r2 = run_driver(w2, "realtime on\nstart\nclick 0\nshow selection\nshow elapsed\n"
                                "click 1\nshow selection\nquit\n");
  // The design's message first, then the lock file and its owner: the
  // other program, alive on this host.
  auto locked = lines_with(r2, kLocked + " \\r\\nPlease try again later... \\r\\n[ " +
                                   (share / "A0000").string() + " ] \\r\\n Lock file: " +
                                   (share / "A0000.lck").string() + " \\r\\n Owner: user ");
  ASSERT_EQ(locked.size(), 1u) << r2.out;
  EXPECT_NE(locked[0].find(", process " + std::to_string(p1) + " on this host ("), std::string::npos)
      << locked[0];
  EXPECT_NE(locked[0].find("still running"), std::string::npos) << locked[0];
  EXPECT_TRUE(r2.has("selection \"\" \"\"")) << r2.out;
  EXPECT_TRUE(r2.has("elapsed 3000")) << r2.out;
  EXPECT_TRUE(r2.has("selection \"A0001\" \"A0001\"")) << r2.out;  // another member is free

  const std::string rest = "show selection\nquit\n";
  ASSERT_EQ(::write(script_fd, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(script_fd);
  EXPECT_EQ(wait_exit(p1), 0);
  std::string out1 = w1.read(w1.path() / "out.txt");
  EXPECT_NE(out1.find("selection \"A0000\" \"A0000\""), std::string::npos) << out1;
  EXPECT_FALSE(fs::exists(share / "A0000.lck"));
  EXPECT_FALSE(fs::exists(share / "A0001.lck"));

  // Released at quit: now workstation 2 gets it.
  r2 = run_driver(w2, "start\nclick 0\nshow selection\nquit\n");
  EXPECT_TRUE(r2.has("selection \"A0000\" \"A0000\"")) << r2.out;
}

// Regression: a click on the row of a member that another workstation had
// deleted since the list was read selected its reference with the form of
// the member shown before, and a Modify then stored that member under it.
TEST(TwoWorkstations, ARowOfAMemberDeletedElsewhereSelectsNothing) {
  ScratchHome share_home, w1;
  const fs::path share = share_home.path() / "share";
  int script_fd = -1;
  const pid_t p1 = start_holding_adam(share_home, w1, script_fd);
  ASSERT_GT(p1, 0);
  share_home.write(share / "sociantes.data", rec("Adam", "A0000"));  // Zola deleted elsewhere
  const std::string rest = "click 1\nshow selection\nshow form\nshow list\nquit\n";
  ASSERT_EQ(::write(script_fd, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(script_fd);
  EXPECT_EQ(wait_exit(p1), 0);
  const std::string out = w1.read(w1.path() / "out.txt");
  EXPECT_NE(out.find("This member is no longer in the member file"), std::string::npos) << out;
  EXPECT_NE(out.find("selection \"\" \"\""), std::string::npos) << out;
  EXPECT_NE(out.find("entry 1 disabled \"\""), std::string::npos) << out;
  EXPECT_EQ(out.find("Zola"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(share / "A0000.lck"));
  EXPECT_FALSE(fs::exists(share / "A0001.lck"));
}

TEST(KilledRewrite, LeavesTheOldOrTheNewMemberFileComplete) {
  ScratchHome h;
  std::string before, after;
  for (int i = 0; i < 9900; ++i) {
    std::string name = "Member " + std::to_string(100000 + i);
    before += rec(name, ref_of(i), "Note ", "Choir", "id");
    after += rec(name, ref_of(i), "Note !", "Choir", "id");
  }
  make_db(h, before, "", "ref=A9900\r\n");
  std::string script = "start\n";
  for (int k = 0; k < 400; ++k) script += "reply yes\ncmd 425\nreply yes\ncmd 429\n";
  h.write(h.path() / "script.txt", script);

  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> delay_ms(150, 900);
  int inside = 0;
  const int rounds = 12;
  for (int round = 0; round < rounds; ++round) {
    pid_t p = spawn_driver(h.path(), h.path() / "script.txt", h.path() / "out.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(rng)));
    ::kill(p, SIGKILL);
    ::waitpid(p, nullptr, 0);
    std::string now = h.read(h.db() / "sociantes.data");
    EXPECT_TRUE(now == before || now == after)
        << "round " << round << ": a member file of " << now.size() << " bytes";
    // What a killed program leaves behind: its lock and its unfinished copy.
    if (fs::exists(h.db() / "sociantes.data.lck")) ++inside;
    fs::remove(h.db() / "sociantes.data.lck");
    for (const auto& e : fs::directory_iterator(h.db()))
      if (e.path().filename().string().find(".new") != std::string::npos) fs::remove(e.path());
  }
  // The kills landed inside the rewrite at least sometimes.
  EXPECT_GT(inside, 0);
  std::printf("[ info     ] %d of %d kills landed inside a rewrite\n", inside, rounds);
}

}  // namespace
}  // namespace soc::test
