// The member search through sociantes-driver: the dialog that stays open
// across OKs, stepping from hit to hit, the beep and reload at the end, a
// changed criterion, the category filter with the marked row, a locked hit,
// the empty criterion and a private copy that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kPrompt =
    "info 3 \" Please enter a criteria and press <OK> \\r\\n Matching members will be displayed. \"";

// One record with name, address (field 3), reference and category.
std::string member(const std::string& name, const std::string& adr, const std::string& ref,
                   const std::string& cat) {
  std::string s = "#\r\n" + name + "\r\n\r\n" + adr + "\r\n";
  for (int f = 4; f <= 11; ++f) s += "\r\n";
  return s + ref + "\r\n" + cat + "\r\n";
}

// Dupont (Choir), Martin living rue Dupuis, Zed (Choir); beeps and hints off,
// so that every beep line is the search's own.
void three_members(const ScratchHome& h) {
  make_db(h,
          member("Dupont", "1 place Verte", "A0001", "Choir") +
              member("Martin", "3 rue Dupuis", "A0002", "") +
              member("Zed", "zz", "A0003", "Choir"),
          "Choir\r\n", "ref=A0004\r\nbip=no\r\ninfo=no\r\n");
}

TEST(Search, StepsFromHitToHitThenBeepsAndReloads) {
  ScratchHome h;
  three_members(h);
  // One OK per dialog, so that the state after each hit can be shown; the
  // criterion stays the same, so each search goes on after the last hit.
  const std::string one = "reply ok 1003=DUP\nreply close\ncmd 405\nshow selection\nshow list\n";
  DriverRun r = run_driver(h, "start\n" + one + "show action\nshow status\n" + one + one + one +
                                  "quit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  auto sel = lines_with(r, "selection ");
  ASSERT_EQ(sel.size(), 4u) << r.out;
  EXPECT_EQ(sel[0], "selection \"A0001\" \"A0001\"");
  EXPECT_EQ(sel[1], "selection \"A0002\" \"A0002\"");
  EXPECT_EQ(sel[2], "selection \"\" \"\"");
  EXPECT_EQ(sel[3], "selection \"\" \"\"");
  auto marked = lines_with(r, "selected ");
  ASSERT_EQ(marked.size(), 4u);
  EXPECT_EQ(marked[0], "selected 0");
  EXPECT_EQ(marked[1], "selected 1");
  EXPECT_EQ(marked[2], "selected -1");
  // The end beeps, and every further OK with the same criterion beeps again.
  EXPECT_EQ(lines_with(r, "beep").size(), 2u) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(r.has(
      "status \"Action: Selection     Bip: Off    Info: Off    Net: Local   ID: [0]   Filters: \""));
  // The end of the search reloaded the list, which released the last lock.
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "A0002.lck"));
  // The private copy in the temporary directory is the member file.
  EXPECT_EQ(h.read(h.tmp() / "sociantes.tmp"), h.read(h.db() / "sociantes.data"));
}

TEST(Search, DialogStaysOpenAcrossOks) {
  ScratchHome h;
  three_members(h);
  DriverRun r = run_driver(h,
                           "start\nreply ok 1003=dup\nreply ok 1003=dup\nreply close\ncmd 405\n"
                           "show selection\nshow list\nshow form\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, kPrompt).size(), 1u) << r.out;  // one dialog for both OKs
  EXPECT_TRUE(r.has("selection \"A0002\" \"A0002\"")) << r.out;
  EXPECT_TRUE(r.has("selected 1"));
  EXPECT_TRUE(r.has("entry 3 disabled \"3 rue Dupuis\"")) << r.out;
  EXPECT_TRUE(fs::exists(h.db() / "A0002.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));  // the first hit's lock went at the second OK
}

TEST(Search, ChangedCriterionStartsAgainFromTheFirstRecord) {
  ScratchHome h;
  three_members(h);
  DriverRun r = run_driver(h,
                           "start\nreply ok 1003=dup\nreply ok 1003=dup\nreply ok 1003=ZZ\n"
                           "reply ok 1003=dup\nreply close\ncmd 405\nshow selection\nshow list\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  // Dupont, Martin, then Zed for ZZ, then DUP again from the start: Dupont.
  EXPECT_TRUE(r.has("selection \"A0001\" \"A0001\"")) << r.out;
  EXPECT_TRUE(r.has("selected 0"));
  EXPECT_TRUE(lines_with(r, "beep").empty()) << r.out;
}

TEST(Search, CategoryFilterAndTheMarkedRow) {
  ScratchHome h;
  three_members(h);
  // Choir lists Dupont and Zed; Martin (rue Dupuis) is passed over, and Zed
  // is row 1 of the filtered list (row 2 of the whole file).
  DriverRun r = run_driver(h,
                           "start\ncategory 1\nreply ok 1003=ZZ\nreply close\n"
                           "cmd 405\nshow selection\nshow list\n"
                           "reply ok 1003=dupuis\nreply close\ncmd 405\nshow selection\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  auto sel = lines_with(r, "selection ");
  ASSERT_EQ(sel.size(), 2u) << r.out;
  EXPECT_EQ(sel[0], "selection \"A0003\" \"A0003\"");
  EXPECT_EQ(lines_with(r, "row ").size(), 2u) << r.out;
  EXPECT_TRUE(r.has("selected 1")) << r.out;
  EXPECT_EQ(sel[1], "selection \"\" \"\"");  // Dupuis is outside the category: not found
  EXPECT_EQ(lines_with(r, "beep").size(), 1u) << r.out;
}

TEST(Search, LockedHitIsPassedOverByTheNextOk) {
  ScratchHome h;
  three_members(h);
  h.write(h.db() / "A0001.lck", "");  // another workstation holds Dupont
  DriverRun r = run_driver(h,
                           "start\nreply ok 1003=dup\nreply close\ncmd 405\nshow selection\n"
                           "show list\nreply ok 1003=dup\nreply close\ncmd 405\nshow selection\n"
                           "show list\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked by another user.").size(), 1u)
      << r.out;
  auto sel = lines_with(r, "selection ");
  ASSERT_EQ(sel.size(), 2u);
  EXPECT_EQ(sel[0], "selection \"\" \"\"");
  EXPECT_EQ(sel[1], "selection \"A0002\" \"A0002\"");
  auto marked = lines_with(r, "selected ");
  EXPECT_EQ(marked[0], "selected -1");
  EXPECT_EQ(marked[1], "selected 1");  // Martin's row: the locked row still counts
  EXPECT_TRUE(fs::exists(h.db() / "A0001.lck"));  // another's lock stays
}

TEST(Search, EmptyCriterionAndUnwritableCopy) {
  ScratchHome h;
  three_members(h);
  DriverRun r = run_driver(h, "start\nreply ok 1003=\nreply ok 1003=dup\ncmd 405\nshow action\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" No criteria! \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  // The empty criterion closed the dialog: the next reply was not taken by it.
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));

  // The private copy cannot be written: ERROR 1, the dialog stays open.
  fs::create_directories(h.tmp() / "sociantes.tmp");
  r = run_driver(h, "start\nreply ok 1003=dup\nreply close\ncmd 405\nshow selection\nshow action\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" ERROR 1 \"")) << r.out;
  EXPECT_TRUE(r.has("selection \"\" \"\""));
  EXPECT_TRUE(r.has("action 0"));  // closed by the close button after the error
}

}  // namespace
}  // namespace soc::test

namespace soc::test {
namespace {

// Regression: files the member list reads whole (a byte-order mark, blank
// lines between records, lone CR line ends) are searched whole too; the
// search used to stop at the first blank line and never reach Zed.
TEST(Search, FindsMembersAfterWhatTheListReaderAccepts) {
  const std::string a = member("Dupont", "1 place Verte", "A0001", "");
  const std::string z = member("Zed", "3 rue Dupuis", "A0003", "");
  std::string lone_cr = a + z;
  for (std::size_t p = 0; (p = lone_cr.find("\r\n", p)) != std::string::npos;) lone_cr.erase(p + 1, 1);
  const std::string texts[] = {"\xEF\xBB\xBF" + a + z, a + "\r\n  \r\n" + z, lone_cr};
  for (const auto& text : texts) {
    ScratchHome h;
    make_db(h, text, "", "ref=A0004\r\nbip=no\r\ninfo=no\r\n");
    const std::string one = "reply ok 1003=dupuis\nreply close\ncmd 405\nshow selection\n";
    DriverRun r = run_driver(h, "start\n" + one + "quit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(lines_with(r, "selection "), std::vector<std::string>{"selection \"A0003\" \"A0003\""})
        << r.out;
  }
}

}  // namespace
}  // namespace soc::test
