// The formatting of grep's output, and the bound on the wait for the history
// search measured in real time while the program runs on virtual time, with
// stand-in `grep` programs put first on the search path.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "db/history.h"
#include "db/util.h"
#include "platform/services.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc::test {
namespace {

const std::string kStars(75, '*');

TEST(FormatGrep, OneBlockPerFile) {
  struct Case {
    std::string raw, want;
  } cases[] = {
      // Two lines of one file: one separator, one file line, two texts.
      {"c:\\sociantes_db\\A0001.dat:Paid 2019\r\nc:\\sociantes_db\\A0001.dat:Paid 2020\r\n",
       kStars + "\r\nc:\\sociantes_db\\A0001.dat:\r\nPaid 2019\r\nPaid 2020\r\n"},
      // The file part ends at the first colon (not the second character).
      {"/d/A0001.dat:Note: x\n/d/A0002.dat:y\n/d/A0001.dat:z\n",
       kStars + "\r\n/d/A0001.dat:\r\nNote: x\n" + kStars + "\r\n/d/A0002.dat:\r\ny\n" + kStars +
           "\r\n/d/A0001.dat:\r\nz\n"},
      // A line without a colon stays under the last file; an empty result
      // gives an empty file.
      {"/d/A0001.dat:a\nloose\n", kStars + "\r\n/d/A0001.dat:\r\na\nloose\n"},
      {"", ""},
      // A long line is kept whole.
      {"/d/A0001.dat:" + std::string(400, 'x') + "\n",
       kStars + "\r\n/d/A0001.dat:\r\n" + std::string(400, 'x') + "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_grep_text(c.raw), c.want) << c.raw;
}

// Puts a stand-in grep first on the search path for one test.
class GrepBound : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    bin_ = home_ / "bin";
    std::filesystem::create_directories(bin_);
    ::setenv("PATH", (bin_.string() + ":" + old_path_).c_str(), 1);
    write(db() / "A0001.dat", "Paid 2019\r\n");
    setrc("bip", "no");
    set_status();
    out_.str("");
  }
  void TearDown() override {
    ::setenv("PATH", old_path_.c_str(), 1);
    grep_bound_ms = 60000;
    ProgramTest::TearDown();
  }
  void fake_grep(const std::string& body) {
    const auto p = bin_ / "grep";
    write(p, "#!/bin/sh\n" + body);
    ::chmod(p.c_str(), 0755);
  }
  // The history search for crit; returns the real milliseconds it took.
  long long search(const std::string& crit) {
    ws_.replies.push_back({Reply::ok, {{1003, crit}}, 0});
    const long long t0 = steady_ms();
    dispatch(11);
    return steady_ms() - t0;
  }
  std::string old_path_;
  std::filesystem::path bin_;
};

std::string real_grep() {
  for (const char* p : {"/usr/bin/grep", "/bin/grep"})
    if (::access(p, X_OK) == 0) return p;
  return "";
}

TEST_F(GrepBound, AGrepThatNeverEndsIsStoppedAfterTheBound) {
  grep_bound_ms = 1500;
  const auto pid_file = home_ / "grep.pid";
  fake_grep("echo $$ > '" + pid_file.string() + "'\nexec sleep 30\n");
  const long long took = search("Paid");
  const std::string out = take_output();
  EXPECT_NE(out.find("info 1 \"Grep failed...\""), std::string::npos) << out;
  EXPECT_EQ(out.find("launch editor"), std::string::npos) << out;
  EXPECT_EQ(task_in, 0);
  EXPECT_GE(took, 1500);
  EXPECT_LT(took, 10000);
  // The stand-in was ended with its script: gone, or a zombie about to be reaped.
  std::ifstream pf(pid_file);
  int pid = 0;
  pf >> pid;
  ASSERT_GT(pid, 1);
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string a, b, state;
    gone = !(stat >> a >> b >> state) || state == "Z";
    if (!gone) ::usleep(20000);
  }
  EXPECT_TRUE(gone) << "the stalled grep still runs";
  EXPECT_FALSE(std::filesystem::exists(home_ / ".cache/sociantes/tmp/wait.flg"));
}

TEST_F(GrepBound, VirtualTimeDoesNotRunOutTheBoundOfASlowGrep) {
  const std::string grep = real_grep();
  if (grep.empty()) GTEST_SKIP() << "no grep in /usr/bin or /bin";
  // Two real seconds are more than a hundred polls of one virtual second.
  fake_grep("sleep 2\nexec " + grep + " \"$@\"\n");
  const long long took = search("Paid");
  const std::string out = take_output();
  EXPECT_GE(took, 2000);
  EXPECT_EQ(out.find("Grep failed"), std::string::npos) << out;
  EXPECT_NE(out.find("launch editor"), std::string::npos) << out;
  EXPECT_GT(sys_.elapsed_ms(), 60000);  // the virtual clock went past the bound meanwhile
  EXPECT_EQ(slurp(home_ / ".cache/sociantes/tmp/grep_out.txt"),
            kStars + "\r\n" + db().string() + "/A0001.dat:\r\nPaid 2019\r\n");
}

}  // namespace
}  // namespace soc::test
