// The scheduler's run through its headless mode on virtual time: when each
// part prints, the status line at every step, the delay selector, pause and
// resume, the toolbar presses that do nothing, the part files and the
// mailing file, the start-up refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "spoolet_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// Three letters, the last one closed.
std::string three_letters() {
  return letter({"", "  Dupont Jean", "  1 rue Haute", "  75001 Paris"}) +
         letter({"", "  Martin Anne", "  2 rue Basse", "  69001 Lyon"}) +
         letter({"", "  Bernard Paul", "  3 quai Vert", "  13001 Marseille"});
}

// The output lines that report a print dialog, in order.
std::vector<std::string> prints(const DriverRun& r) {
  std::vector<std::string> v;
  for (const auto& l : r.lines())
    if (l.rfind("print ", 0) == 0) v.push_back(l);
  return v;
}

TEST(SpooletRun, ThreeLettersWithDelayThreeFromStartToOk) {
  SpoolHome s;
  const std::string in = s.mailing("A3507.qmd", three_letters());
  const std::string dir = s.home().path().string();
  const DriverRun r = s.run("reply pdf-dir " + dir +
                                "\ndelay 3\nshow status\ncmd 400\nshow status\n"
                                "tick\nshow status\nshow state\ntick 2\nshow status\n"
                                "tick\nshow status\ntick 3\nshow status\n"
                                "tick 2\nshow status\ntick\nshow status\nshow elapsed\n",
                            in);
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string base = (s.tmp() / "A3507").string();
  const std::string p = "\"" + dir + "/print-";
  const std::vector<std::string> expected = {
      "status \"Input file: " + in + "\"",
      "status \"Status: Printing: " + in + "\"",
      // First tick: the part of 3 left is copied, 300 ms pass, it prints.
      "print 1300 pdf " + p + "1.pdf\"",
      "status \"Status: Waiting  Done: 1/3\"",
      "state n=2 tot=3 tics=2 wait=3 pause=0",
      "status \"Status: Waiting  Done: 1/3\"",
      // Three seconds after the print.
      "print 4600 pdf " + p + "2.pdf\"",
      "status \"Status: Waiting  Done: 2/3\"",
      "print 7900 pdf " + p + "3.pdf\"",
      "status \"Status: Waiting  Done: 3/3\"",
      "status \"Status: Waiting  Done: 3/3\"",
      "status \"Status: Ok Done: 3/3\"",
      "elapsed 10900",
  };
  EXPECT_EQ(r.lines(), expected);
  EXPECT_FALSE(fs::exists(in)) << "the mailing file goes after the last part";
  // Each part file goes when the next one is made; the last one stays.
  EXPECT_FALSE(fs::exists(base + "3.txt"));
  EXPECT_FALSE(fs::exists(base + "2.txt"));
  EXPECT_EQ(s.home().read(base + "1.txt"), "\r\n  Bernard Paul\r\n  3 quai Vert\r\n  13001 Marseille\r\n");
  EXPECT_FALSE(fs::exists(s.tmp() / "print_dbg.txt")) << "a print without failure deletes its log";
}

TEST(SpooletRun, DelaySelectorReadEverySecond) {
  struct Case {
    const char* name;
    std::string first;           // the delay typed before Print/Resume
    std::string script;          // after the first print at 1300
    std::vector<std::string> at; // every print, in milliseconds
  };
  const std::vector<Case> cases = {
      // 100 shortened to 3 during the wait: at the next tick the countdown
      // is 3 (then 2 after the tick), so the part prints 4 ticks later.
      {"shortened", "100", "tick 5\ndelay 3\ntick\nshow state\ntick 3\n", {"1300", "10600"}},
      // A longer delay does not lengthen a countdown under way.
      {"lengthened", "3", "delay 300\ntick 4\n", {"1300", "4600"}},
      {"letters give ten", "abc", "tick 10\n", {"1300", "11600"}},
      {"zero gives ten", "0", "tick 10\n", {"1300", "11600"}},
      {"negative gives ten", "-4", "tick 10\n", {"1300", "11600"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SpoolHome s;
    const std::string in = s.mailing("A0102.qmd", three_letters());
    const DriverRun r = s.run("reply pdf-dir " + s.home().path().string() + "\ndelay " + c.first +
                                  "\ncmd 400\ntick\n" + c.script,
                              in);
    ASSERT_EQ(r.rc, 0) << r.out;
    std::vector<std::string> at;
    for (const auto& l : prints(r)) at.push_back(l.substr(6, l.find(' ', 6) - 6));
    EXPECT_EQ(at, c.at) << r.out;
    if (c.name == std::string("shortened")) {
      EXPECT_TRUE(r.has("state n=2 tot=3 tics=2 wait=3 pause=0"));
    }
  }
}

TEST(SpooletRun, PauseAndResumeKeepTheCountdown) {
  SpoolHome s;
  const std::string in = s.mailing("A1111.qmd", three_letters());
  const DriverRun r = s.run("reply pdf-dir " + s.home().path().string() +
                                "\ndelay 3\n"
                                // Pause before any run is ignored: the first press starts it.
                                "cmd 401\ntick 2\nshow status\nshow state\ncmd 400\ntick\n"
                                // Print/Resume during a run never paused does nothing.
                                "cmd 400\nshow state\n"
                                "cmd 401\ntick 5\nshow status\nshow state\n"
                                "cmd 400\ntick\nshow status\nshow state\ntick 2\nshow elapsed\n",
                            in);
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string dir = s.home().path().string();
  const std::vector<std::string> expected = {
      "status \"Input file: " + in + "\"",
      "state n=0 tot=0 tics=0 wait=10 pause=0",
      "print 3300 pdf \"" + dir + "/print-1.pdf\"",
      "state n=2 tot=3 tics=2 wait=3 pause=0",
      "status \"Status: Stopped  Done: 1/3\"",
      "state n=2 tot=3 tics=2 wait=3 pause=1",
      // Resumed: the countdown goes on from 2.
      "status \"Status: Waiting  Done: 1/3\"",
      "state n=2 tot=3 tics=1 wait=3 pause=2",
      "print 11600 pdf \"" + dir + "/print-2.pdf\"",
      "elapsed 11600",
  };
  EXPECT_EQ(r.lines(), expected);
}

TEST(SpooletRun, TicksDuringThePrintDialogDoNotCountDown) {
  SpoolHome s;
  const std::string in = s.mailing("A1212.qmd", three_letters());
  const std::string dir = s.home().path().string();
  // The first print dialog stands five seconds; the timer fires inside it.
  const DriverRun r = s.run("reply pdf-dir " + dir + "\nreply stand 5\ndelay 3\ncmd 400\ntick\nshow state\n"
                            "show elapsed\ntick 3\n",
                            in);
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::vector<std::string> expected = {
      "print 6300 pdf \"" + dir + "/print-1.pdf\"",
      "state n=2 tot=3 tics=2 wait=3 pause=0",
      "elapsed 6300",
      "print 9600 pdf \"" + dir + "/print-2.pdf\"",
  };
  EXPECT_EQ(r.lines(), expected);
}

TEST(SpooletRun, MissingMailingFileEndsAtTheFirstTick) {
  SpoolHome s;
  const std::string in = (s.tmp() / "L2222.qmd").string();
  const DriverRun r = s.run("cmd 400\nshow status\ntick\nshow status\n", in);
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::vector<std::string> expected = {
      "box \"Error\" \"Error printing labals\"",
      "status \"Input file: " + in + "\"",
      "status \"Status: Ok Done: 0/0\"",
  };
  EXPECT_EQ(r.lines(), expected);
}

TEST(SpooletRun, ArgumentAndKindOfFile) {
  SpoolHome s;
  // A directory whose name puts an "L" eighth in the path: the kind is read
  // from the file's own name, and blanks belong to the path.
  const fs::path odd = s.home().path() / "xxL dir" / "A4444.qmd";
  s.home().write(odd, letter({"Only"}));
  struct Case {
    std::vector<std::string> args;
    std::string first_line;  // first output line
    int rc;
  };
  const std::string prog = SOC_SPOOLET;
  const std::vector<Case> cases = {
      {{}, "box \"Error in command...\" \"" + prog + "\"", 1},
      {{"ab"}, "box \"Error in command...\" \"" + prog + " ab\"", 1},
      {{"/tmp/A1.qmd", "/tmp/L1.qmd"}, "box \"Error in command...\" \"" + prog + " /tmp/A1.qmd /tmp/L1.qmd\"", 1},
      {{"/tmp/X1234.qmd"}, "box \"Error in file name\" \"/tmp/X1234.qmd\"", 1},
      {{"/tmp/Lab/a1234.qmd"}, "box \"Error in file name\" \"/tmp/Lab/a1234.qmd\"", 1},
      {{"\"/tmp/L1234.qmd\""}, "status \"Input file: /tmp/L1234.qmd\"", 0},
      {{odd.string()}, "status \"Input file: " + odd.string() + "\"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first_line);
    const DriverRun r = s.run("show status\n", c.args);
    EXPECT_EQ(r.rc, c.rc);
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines()[0], c.first_line);
  }
  // The odd path prints as letters (a part file, not a label sheet).
  const DriverRun r = s.run("trace on\nreply cancel\ncmd 400\ntick\n", odd.string());
  const std::string part = (odd.parent_path() / "A44441.txt").string();
  const std::vector<std::string> expected = {
      "status-line \"Status: Printing: " + odd.string() + "\"",
      "status-line \"Status: Setting up:" + part + " Done: 0/1\"", "print 1300 cancel",
      "status-line \"Status: Waiting  Done: 1/1\""};
  EXPECT_EQ(r.lines(), expected);
  EXPECT_TRUE(fs::exists(odd.parent_path() / "A44441.txt"));
}

TEST(SpooletRun, ScriptErrorsAndQuit) {
  SpoolHome s;
  const std::string in = s.mailing("A0001.qmd", three_letters());
  DriverRun r = s.run("cmd 400\nbogus line\nshow status\n", in);
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(r.has("error \"bogus line\"")) << r.out;
  r = s.run("cmd 403\nshow status\n", in);
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.lines(), std::vector<std::string>{"quit"});
  EXPECT_TRUE(fs::exists(in)) << "Quit leaves the mailing file";
}

}  // namespace
}  // namespace soc::test
