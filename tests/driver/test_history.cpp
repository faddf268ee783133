// History files and the history search through sociantes-driver, with the
// real /bin/sh and GNU grep over real history files: the exact result file,
// the script, a criterion of two words, hostile criteria that must neither
// run anything nor reach other files, and the failure paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kStars(75, '*');

void members_with_history(const ScratchHome& h) {
  make_db(h, rec("Dupont", "A0001") + rec("Martin", "A0002") + rec("Zed", "A0003"), "",
          "ref=A0004\r\nbip=no\r\ninfo=no\r\n");
  h.write(h.db() / "A0001.dat", "\r\n\r\nhistory of Dupont\r\nPaid 2019\r\nPaid 2020\r\n");
  h.write(h.db() / "A0002.dat",
          "Paid 2019 late\r\nNote: a;b $(x) `y` 'q' \"z\" |w\r\n");
  h.write(h.db() / "A0003.dat", "nothing paid\r\n");
  h.write(h.db() / "B0001.dat", "Paid 2019 (not a history file name)\r\n");
}

std::string grep_run(const std::string& crit) {
  return "reply ok \"1003=" + crit + "\"\ncmd 11\nshow action\n";
}

TEST(History, OpensTheCurrentMembersFile) {
  ScratchHome h;
  members_with_history(h);
  DriverRun r = run_driver(h, "start\ncmd 409\nclick 1\ncmd 409\ncmd 400\ncmd 409\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  auto l = r.lines();
  EXPECT_TRUE(r.has("info 1 \" Sorry! No member is selected! \"")) << r.out;
  EXPECT_TRUE(r.has("launch editor \"" + (h.db() / "A0002.dat").string() + "\"")) << r.out;
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  EXPECT_EQ(lines_with(r, "launch ").size(), 1u);
}

TEST(HistorySearch, FormatsRealGrepOutputPerFile) {
  ScratchHome h;
  members_with_history(h);
  DriverRun r = run_driver(h, "start\n" + grep_run("Paid 2019") + "show status\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string tmp = h.tmp().string() + "/";
  const std::string db = h.db().string() + "/";
  // The whole output: prompt, wait notice, script, editor, and back to idle.
  std::vector<std::string> want = {
      "info 3 \"               Please enter a criteria:                  \"",
      "info 4 \"    Please, wait....   \"",
      "launch script \"" + tmp + "do_grep.sh\"",
      "launch editor \"" + tmp + "grep_out.txt\"",
      "action 0",
      "status \"Action: Selection     Bip: Off    Info: Off    Net: Local   ID: [0]   Filters: \""};
  auto l = r.lines();
  ASSERT_GE(l.size(), want.size());
  EXPECT_EQ(std::vector<std::string>(l.end() - static_cast<long>(want.size()), l.end()), want)
      << r.out;
  // Two words are one criterion: "Paid 2019" as a phrase, in A????.dat only.
  EXPECT_EQ(h.read(h.tmp() / "grep_out.txt"),
            kStars + "\r\n" + db + "A0001.dat:\r\nPaid 2019\r\n" + kStars + "\r\n" + db +
                "A0002.dat:\r\nPaid 2019 late\r\n");
  EXPECT_EQ(h.read(h.tmp() / "do_grep.sh"),
            "grep -a -H -e 'Paid 2019' -- '" + db + "'A????.dat 2>/dev/null </dev/null > '" + tmp +
                "grep.clt'\nrm -f '" + tmp + "wait.flg'\n");
  EXPECT_FALSE(fs::exists(h.tmp() / "wait.flg"));
}

// Regression: in a UTF-8 locale grep took a history file holding a
// Windows-1252 byte (or, in any locale, a NUL) for a binary file and printed
// no line of it, so that member was silently missing from the result.
TEST(HistorySearch, FilesWithOldCharactersOrNulsAreSearchedToo) {
  ScratchHome h;
  members_with_history(h);
  h.write(h.db() / "A0002.dat", "Paid 2019 \xE9t\xE9\r\n");
  h.write(h.db() / "A0003.dat", std::string("Paid 2019\0x\r\n", 13));
  ::setenv("LC_ALL", "C.UTF-8", 1);
  DriverRun r = run_driver(h, "start\n" + grep_run("Paid 2019"));
  ::unsetenv("LC_ALL");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string db = h.db().string() + "/";
  EXPECT_EQ(h.read(h.tmp() / "grep_out.txt"),
            kStars + "\r\n" + db + "A0001.dat:\r\nPaid 2019\r\n" + kStars + "\r\n" + db +
                "A0002.dat:\r\nPaid 2019 \xE9t\xE9\r\n" + kStars + "\r\n" + db +
                "A0003.dat:\r\n" + std::string("Paid 2019\0x\r\n", 13));
}

TEST(HistorySearch, HostileCriteriaAreSearchedAsText) {
  ScratchHome h;
  members_with_history(h);
  const std::string p = h.path().string() + "/";
  h.write(h.path() / "secret.txt", "Paid secret\n");
  struct Case {
    std::string crit;    // as typed
    bool found;          // A0002.dat holds it as text
  } cases[] = {
      {"Paid " + p + "secret.txt", false},  // a second word is no file name
      {"x'; touch " + p + "P1; echo '", false},
      {"$(touch " + p + "P2)", false},
      {"`touch " + p + "P3`", false},
      {"\\\"; touch " + p + "P4; \\\"", false},
      {"|touch " + p + "P5", false},
      {";touch " + p + "P6", false},
      {"-f /etc/passwd", false},
      {"a;b $(x) `y` 'q' \\\"z\\\" |w", true},
  };
  for (const auto& c : cases) {
    DriverRun r = run_driver(h, "start\n" + grep_run(c.crit));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("action 0")) << r.out;
    const std::string result = h.read(h.tmp() / "grep_out.txt");
    EXPECT_EQ(result.find("secret"), std::string::npos) << c.crit;
    EXPECT_EQ(result.find("root"), std::string::npos) << c.crit;
    EXPECT_EQ(result.find("A0002.dat:") != std::string::npos, c.found) << c.crit << "\n" << result;
  }
  for (const char* f : {"P1", "P2", "P3", "P4", "P5", "P6"})
    EXPECT_FALSE(fs::exists(h.path() / f)) << f << " was created";
}

TEST(HistorySearch, FailuresEndTheAction) {
  ScratchHome h;
  members_with_history(h);
  // The script cannot be written: the search cannot start.
  fs::create_directories(h.tmp() / "do_grep.sh");
  DriverRun r = run_driver(h, "start\n" + grep_run("Paid"));
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \"Grep failed...\"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.tmp() / "wait.flg"));
  fs::remove(h.tmp() / "do_grep.sh");
  // grep's output cannot be written: no result, " No data ! ".
  fs::create_directories(h.tmp() / "grep.clt");
  r = run_driver(h, "start\n" + grep_run("Paid"));
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" No data ! \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(lines_with(r, "launch editor").empty()) << r.out;
  EXPECT_EQ(lines_with(r, "error").size(), 0u) << r.out;  // nothing of the shell's reaches us
}

}  // namespace
}  // namespace soc::test
