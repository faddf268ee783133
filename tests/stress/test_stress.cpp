// Four workstations on one network data directory, in real time: each makes
// its share of New and Delete with random names, driven line by line through
// a pipe so that the test knows which saves were reported done and which
// were refused. Then the same with one of them killed at a random moment and
// started again. Afterwards the member file, the reference counter, the
// history files and the lock files are checked against what was reported.
//
// Sizes: SOCIANTES_STRESS_NEW and SOCIANTES_STRESS_DELETE per workstation
// (default 250 and 100); SOCIANTES_STRESS_SEED replays a run whose seed a
// failure printed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "db/records.h"
#include "driver/test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

long env_num(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

// One sociantes-driver process fed through a pipe, its output read back
// through another.
class Workstation {
 public:
  Workstation(const fs::path& home, int id) : id_(id) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setenv("HOME", home.c_str(), 1);
      ::unsetenv("XDG_CACHE_HOME");
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      int err = ::open((home / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      ::dup2(err, 2);
      ::execl(SOC_DRIVER, SOC_DRIVER, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_ = in[1];
    from_ = ::fdopen(out[0], "r");
  }
  ~Workstation() {
    if (to_ >= 0) ::close(to_);
    if (from_) std::fclose(from_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, WNOHANG);
  }
  pid_t pid() const { return pid_; }
  int id() const { return id_; }

  // Sends script lines; false when the program is gone.
  bool send(const std::string& lines) {
    return to_ >= 0 && ::write(to_, lines.data(), lines.size()) == static_cast<ssize_t>(lines.size());
  }
  // Reads output lines up to and including the first that starts with
  // prefix; false at the end of the output (the program ended).
  bool until(const std::string& prefix, std::vector<std::string>& lines) {
    lines.clear();
    char* buf = nullptr;
    size_t cap = 0;
    bool found = false;
    for (ssize_t n; !found && (n = ::getline(&buf, &cap, from_)) > 0;) {
      std::string l(buf, static_cast<size_t>(n));
      if (!l.empty() && l.back() == '\n') l.pop_back();
      found = l.compare(0, prefix.size(), prefix) == 0;
      lines.push_back(l);
    }
    std::free(buf);
    return found;
  }
  // Kills the program as a power switch would and reaps it (as the shell
  // that started it would), so that it no longer counts as running.
  void kill_now() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  // Ends the script; the exit status of the program.
  int finish() {
    send("quit\n");
    ::close(to_);
    to_ = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int id_;            // the workstation's number
  pid_t pid_ = -1;    // its program
  int to_ = -1;       // its script
  FILE* from_ = nullptr;  // its output
};

// What the test learnt of one workstation's operations.
struct Ledger {
  std::set<std::string> created;     // New reported done
  std::set<std::string> refused;     // New reported failed
  std::set<std::string> deleted;     // Delete reported done
  std::set<std::string> kept;        // Delete reported failed: the member stays
  std::set<std::string> unknown;     // the operation running when the program was killed
  std::map<std::string, int> messages;  // first line of each failure message, counted
  int news = 0, deletes = 0;         // operations finished with an answer
};

bool has_error(const std::vector<std::string>& lines, Ledger& l) {
  bool err = false;
  for (const auto& s : lines)
    if (s.compare(0, 7, "info 1 ") == 0 || s.compare(0, 6, "error ") == 0) {
      err = true;
      ++l.messages[s.substr(0, 60)];
    }
  return err;
}

// A random name of letters (so that the members sort all over the file)
// made unique by its workstation and number.
std::string random_name(std::mt19937& rng, int ws, int k) {
  std::uniform_int_distribution<int> letter('a', 'z'), len(3, 10);
  std::string s(1, static_cast<char>(letter(rng) - 'a' + 'A'));
  for (int i = len(rng); i > 0; --i) s += static_cast<char>(letter(rng));
  return s + " w" + std::to_string(ws) + "n" + std::to_string(k);
}

// Runs news New and dels Delete in a random order on w (a Delete only once
// the workstation has a member of its own to delete). Stops early when the
// program is gone.
void work(Workstation& w, std::mt19937 rng, int news, int dels, Ledger& l, bool started = false) {
  std::vector<std::string> lines;
  if (!started && !(w.send("realtime on\nstart\nshow action\n") && w.until("action ", lines))) return;
  std::vector<std::string> mine;  // members of this workstation, alive
  int k = 0;
  while (news > 0 || dels > 0) {
    const bool del = dels > 0 && !mine.empty() &&
                     std::uniform_int_distribution<int>(1, news + dels)(rng) > news;
    if (!del) {
      const std::string name = random_name(rng, w.id(), k++);
      l.unknown = {name};
      if (!w.send("cmd 400\nset 1 \"" + name + "\"\ncmd 402\nshow action\n") ||
          !w.until("action ", lines))
        return;
      l.unknown.clear();
      if (has_error(lines, l)) {
        l.refused.insert(name);
      } else {
        l.created.insert(name);
        mine.push_back(name);
      }
      --news;
      ++l.news;
      continue;
    }
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, mine.size() - 1)(rng);
    const std::string name = mine[at];
    l.unknown = {name};
    if (!w.send("show list\n") || !w.until("selected ", lines)) return;
    int row = -1, r = 0;
    std::string ref;
    for (const auto& s : lines) {
      if (s.compare(0, 4, "row ") != 0) continue;
      if (s.find("\" \"" + name + "\" \"") != std::string::npos) {
        row = r;
        ref = s.substr(5, 5);
      }
      ++r;
    }
    if (row < 0) {
      ADD_FAILURE() << "workstation " << w.id() << ": its member " << name << " is not listed";
      l.unknown.clear();
      l.kept.insert(name);
      mine.erase(mine.begin() + static_cast<long>(at));
      --dels;
      continue;
    }
    if (!w.send("click " + std::to_string(row) + "\nshow selection\n") || !w.until("selection ", lines))
      return;
    const bool selected = lines.back() == "selection \"" + ref + "\" \"" + ref + "\"";
    if (!selected) {
      has_error(lines, l);
      l.unknown.clear();
      l.kept.insert(name);
    } else {
      if (!w.send("reply yes\ncmd 403\ncmd 402\nshow action\n") || !w.until("action ", lines)) return;
      l.unknown.clear();
      if (has_error(lines, l)) {
        l.kept.insert(name);
        // A Delete refused at Save leaves the member list empty, as it was
        // during the Delete; the user gets it back with Cancel.
        if (!w.send("cmd 404\nshow action\n") || !w.until("action ", lines)) return;
      } else {
        l.deleted.insert(name);
        mine.erase(mine.begin() + static_cast<long>(at));
      }
    }
    --dels;
    ++l.deletes;
  }
}

// The invariants of the shared directory after the run.
// With killed, the unfinished copy of a history file that a killed New was
// writing may be there: it is removed at a start once it is old enough.
void check_share(const fs::path& share, const std::vector<Ledger>& ledgers, bool killed) {
  std::string text;
  {
    std::ifstream in(share / "sociantes.data", std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
  }
  // The member reader accepts the file and every record has all its fields.
  std::map<std::string, int> names;
  std::set<std::string> refs;
  std::string top;
  {
    MemberReader in(text);
    Record r;
    int n = 0;
    while (in.next(r) == kFields) {
      ++n;
      EXPECT_TRUE(in.whole()) << "record " << n << " (" << r[1] << ") lacks fields";
      EXPECT_TRUE(is_ref(r[12])) << "record " << n << ": reference \"" << r[12] << "\"";
      EXPECT_TRUE(refs.insert(r[12]).second) << "reference " << r[12] << " used twice";
      EXPECT_TRUE(fs::exists(share / (r[12] + ".dat"))) << "no history file for " << r[12];
      ++names[r[1]];
      if (r[12] > top) top = r[12];
    }
    EXPECT_EQ(in.bad_line(), 0) << "the member file is damaged";
    std::size_t markers = text.compare(0, 3, "#\r\n") == 0 ? 1 : 0;
    for (std::size_t p = 0; (p = text.find("\n#\r\n", p)) != std::string::npos; ++p) ++markers;
    EXPECT_EQ(static_cast<std::size_t>(n), markers) << "records the reader did not accept";
  }
  // The counter is beyond every stored reference.
  const std::string rc = [&] {
    std::ifstream in(share / ".sociantes.rc", std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }();
  const std::size_t at = rc.find("\nref=");
  ASSERT_NE(at, std::string::npos) << rc;
  const std::string counter = rc.substr(at + 5, 5);
  EXPECT_GT(counter, top) << "the counter does not stand beyond the last reference";
  for (const auto& [n, count] : names) EXPECT_EQ(count, 1) << n << " stored " << count << " times";
  // Each operation left what it reported.
  auto stored = [&names](const std::string& n) {
    const auto it = names.find(n);
    return it == names.end() ? 0 : it->second;
  };
  for (std::size_t w = 0; w < ledgers.size(); ++w) {
    const Ledger& l = ledgers[w];
    for (const auto& n : l.created)
      if (!l.unknown.count(n)) {
        EXPECT_EQ(stored(n), l.deleted.count(n) ? 0 : 1) << "workstation " << w << ": " << n;
      }
    for (const auto& n : l.refused) EXPECT_EQ(stored(n), 0) << "refused, but stored: " << n;
    for (const auto& n : l.kept) EXPECT_EQ(stored(n), 1) << "not deleted, but gone: " << n;
    for (const auto& n : l.unknown) EXPECT_LE(stored(n), 1) << "killed: " << n;
  }
  // No lock file and no unfinished copy is left.
  for (const auto& e : fs::directory_iterator(share)) {
    const std::string f = e.path().filename().string();
    EXPECT_EQ(f.find(".lck"), std::string::npos) << f;
    if (killed && f.find(".dat.new-") != std::string::npos) continue;
    EXPECT_EQ(f.find(".new-"), std::string::npos) << f;
  }
}

struct Figures {
  int news = 0, deletes = 0, refused = 0, kept = 0;
  std::map<std::string, int> messages;
};

Figures sum(const std::vector<Ledger>& ledgers) {
  Figures f;
  for (const auto& l : ledgers) {
    f.news += l.news;
    f.deletes += l.deletes;
    f.refused += static_cast<int>(l.refused.size());
    f.kept += static_cast<int>(l.kept.size());
    for (const auto& [m, n] : l.messages) f.messages[m] += n;
  }
  return f;
}

class Stress : public ::testing::Test {
 protected:
  void SetUp() override {
    ::signal(SIGPIPE, SIG_IGN);  // a killed program's script pipe
    share_ = share_home_.path() / "share";
    share_home_.write(share_ / "sociantes.data", "");
    share_home_.write(share_ / ".sociantes.rc", kRcHead + "ref=A0000\r\n");
    for (auto& h : homes_)
      make_db(h, "", "", "network=yes\r\nwin_net_path=" + share_.string() + "\r\n");
    seed_ = static_cast<unsigned>(env_num("SOCIANTES_STRESS_SEED", std::random_device{}()));
    news_ = static_cast<int>(env_num("SOCIANTES_STRESS_NEW", 250));
    dels_ = static_cast<int>(env_num("SOCIANTES_STRESS_DELETE", 100));
    std::printf("[ info     ] seed %u (SOCIANTES_STRESS_SEED=%u replays it), %d New and %d Delete "
                "per workstation\n", seed_, seed_, news_, dels_);
  }

  ScratchHome share_home_;
  ScratchHome homes_[4];
  fs::path share_;
  unsigned seed_ = 0;
  int news_ = 0, dels_ = 0;
};

TEST_F(Stress, FourWorkstationsNeverLoseNorRepeatAMember) {
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<Ledger> ledgers(4);
  std::vector<std::unique_ptr<Workstation>> ws;
  for (int i = 0; i < 4; ++i) ws.push_back(std::make_unique<Workstation>(homes_[i].path(), i));
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back(work, std::ref(*ws[i]), std::mt19937(seed_ + i), news_, dels_,
                         std::ref(ledgers[i]), false);
  for (auto& t : threads) t.join();
  for (auto& w : ws) EXPECT_EQ(w->finish(), 0);
  for (const auto& l : ledgers) {
    EXPECT_EQ(l.news, news_);
    EXPECT_EQ(l.deletes, dels_);
  }
  check_share(share_, ledgers, false);
  const Figures f = sum(ledgers);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("[ info     ] %d New (%d refused), %d Delete (%d refused) in %.1f s\n", f.news,
              f.refused, f.deletes, f.kept, s);
  for (const auto& [m, n] : f.messages) std::printf("[ info     ]   %dx %s\n", n, m.c_str());
  // A refusal is a lock another workstation held for the whole wait, never
  // a damaged or unreadable file.
  for (const auto& [m, n] : f.messages)
    EXPECT_NE(m.find("locked by another user"), std::string::npos) << m;
}

TEST_F(Stress, AWorkstationKilledAtRandomMomentsLeavesNothingHalfDone) {
  const auto t0 = std::chrono::steady_clock::now();
  std::mt19937 rng(seed_ ^ 0x5eed);
  std::vector<Ledger> ledgers(4);
  std::vector<std::unique_ptr<Workstation>> ws;
  for (int i = 0; i < 4; ++i) ws.push_back(std::make_unique<Workstation>(homes_[i].path(), i));
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back(work, std::ref(*ws[i]), std::mt19937(seed_ + 100 + i), news_, dels_,
                         std::ref(ledgers[i]), false);
  // Workstation 0 is killed after a random share of its work and started
  // again on the same host; the new program is killed in its turn, and so
  // on. Each start clears the locks the killed program left.
  const int kills = static_cast<int>(env_num("SOCIANTES_STRESS_KILLS", 3));
  int stale = 0, ops_after = 0;
  std::vector<Ledger> restarted;
  restarted.reserve(static_cast<std::size_t>(kills));
  std::vector<std::string> lines;
  for (int k = 0; k < kills; ++k) {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(300, 1500)(rng)));
    Workstation& victim = k == 0 ? *ws[0] : *ws.back();
    victim.kill_now();
    (k == 0 ? threads[0] : threads.back()).join();
    // The locks the killed program held name its process as their owner.
    const std::string owner = "pid=" + std::to_string(victim.pid()) + "\r\n";
    auto held = [&] {
      std::vector<fs::path> v;
      for (const auto& e : fs::directory_iterator(share_))
        if (e.path().extension() == ".lck" && share_home_.read(e.path()).find(owner) != std::string::npos)
          v.push_back(e.path());
      return v;
    };
    stale += static_cast<int>(held().size());
    ws.push_back(std::make_unique<Workstation>(homes_[0].path(), 10 + k));
    ASSERT_TRUE(ws.back()->send("realtime on\nstart\nshow action\n") &&
                ws.back()->until("action ", lines));
    for (const auto& p : held()) ADD_FAILURE() << "the start left the killed program's lock " << p;
    restarted.emplace_back();
    threads.emplace_back(work, std::ref(*ws.back()), std::mt19937(seed_ + 200 + k), news_ / 5,
                         dels_ / 5, std::ref(restarted.back()), true);
  }
  for (std::size_t i = 1; i < threads.size(); ++i)
    if (threads[i].joinable()) threads[i].join();
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(ws[i]->finish(), 0);
  EXPECT_EQ(ws.back()->finish(), 0);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(ledgers[i].news, news_) << "a survivor stopped";
    EXPECT_EQ(ledgers[i].deletes, dels_) << "a survivor stopped";
  }
  for (const auto& l : restarted) ops_after += l.news + l.deletes;
  // A start on the quiet directory removes what the killed programs left
  // (their unfinished copies of files rewritten under a lock).
  {
    Workstation last(homes_[0].path(), 99);
    std::vector<std::string> out;
    EXPECT_TRUE(last.send("start\nshow action\n") && last.until("action ", out));
    EXPECT_EQ(last.finish(), 0);
  }
  EXPECT_GT(restarted.back().news, 0);
  std::vector<Ledger> all = ledgers;
  all.insert(all.end(), restarted.begin(), restarted.end());
  check_share(share_, all, true);
  const Figures f = sum(all);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("[ info     ] %d kills, %d locks of killed programs found, %d operations after the "
              "restarts; %d New (%d refused), %d Delete (%d refused) in %.1f s\n",
              kills, stale, ops_after, f.news, f.refused, f.deletes, f.kept, s);
  for (const auto& [m, n] : f.messages) std::printf("[ info     ]   %dx %s\n", n, m.c_str());
}

}  // namespace
}  // namespace soc::test
