// References through sociantes-driver: the counter never hands out a
// reference a stored record uses (after a kill between the rewrite and the
// counter, a hand-edited counter, a lost settings file); Modify and Delete
// touch exactly the record selected, also when others share its reference;
// a reference that is not one letter and four digits never names a file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// Runs the driver with the crash point name armed.
DriverRun run_crashing(const ScratchHome& h, const char* point, const std::string& script) {
  ::setenv("SOCIANTES_CRASH_AT", point, 1);
  DriverRun r = run_driver(h, script);
  ::unsetenv("SOCIANTES_CRASH_AT");
  return r;
}

// Field 12 of every record of a member file written by the program.
std::vector<std::string> refs_of(const std::string& text) {
  std::vector<std::string> v;
  size_t pos = 0, line = 0;
  while (pos < text.size()) {
    size_t nl = text.find("\r\n", pos);
    if (nl == std::string::npos) break;
    if (line % 14 == 12) v.push_back(text.substr(pos, nl - pos));
    pos = nl + 2;
    ++line;
  }
  return v;
}

TEST(Counter, KilledBetweenTheRewriteAndTheCounterNeverRepeatsAReference) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000"), "", "ref=A0001\r\n");
  DriverRun r = run_crashing(h, "new:after_replace", "start\ncmd 400\nset 1 Martin\ncmd 402\nquit\n");
  ASSERT_EQ(r.rc, 86) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A0000") + rec("Martin", "A0001", " "));
  EXPECT_EQ(rc_value(h, "ref"), "A0001") << "the kill came before the counter";
  // The killed program's locks, removed by hand as a user would.
  ASSERT_TRUE(fs::exists(h.db() / "wait4new.lck"));
  fs::remove(h.db() / "wait4new.lck");
  fs::remove(h.db() / "sociantes.data.lck");
  r = run_driver(h, "start\ncmd 400\nset 1 Nadal\ncmd 402\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  std::vector<std::string> refs = refs_of(h.read(h.db() / "sociantes.data"));
  EXPECT_EQ(refs, (std::vector<std::string>{"A0000", "A0001", "A0002"}));
  EXPECT_EQ(rc_value(h, "ref"), "A0003");
  EXPECT_TRUE(fs::exists(h.db() / "A0002.dat"));
}

TEST(Counter, TakesTheLargerOfTheCounterAndOnePastTheHighestStoredReference) {
  struct Case {
    const char* what;
    std::string counter;
    std::vector<std::string> stored;  // references in the member file
    std::string given;                // reference of the new member
    std::string next;                 // the counter afterwards
  } cases[] = {
      {"counter behind (hand-edited)", "A0001", {"A0000", "A0004", "A0002"}, "A0005", "A0006"},
      {"counter ahead", "A0100", {"A0000", "A0004"}, "A0100", "A0101"},
      {"carry", "A0000", {"A0999"}, "A1000", "A1001"},
      {"only references of a letter and four digits count", "A0003",
       {"A0001", "A99999", "../x", "Z12", ""}, "A0003", "A0004"},
      {"a later letter", "A0009", {"B0002"}, "B0003", "B0004"},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    std::string file;
    for (size_t i = 0; i < c.stored.size(); ++i) file += rec("M" + std::to_string(i), c.stored[i]);
    make_db(h, file, "", "ref=" + c.counter + "\r\n");
    DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Zz\ncmd 402\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), file + rec("Zz", c.given, " ")) << c.what;
    EXPECT_EQ(rc_value(h, "ref"), c.next) << c.what;
  }
}

TEST(Counter, AStoredLastReferenceUsesTheReferencesUp) {
  ScratchHome h;
  make_db(h, rec("Adam", "A9999"), "", "ref=A0001\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Zz\ncmd 402\nshow action\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" All member references up to A9999 have been given out. \\r\\n No new "
                    "member can be added. \""))
      << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A9999"));
  EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
}

TEST(Counter, ALostSettingsFileGoesOnAfterTheHighestReference) {
  ScratchHome h;
  const std::string file = rec("Adam", "A0000", "", "Choir") + rec("Bob", "A0007", "", "Choir");
  make_db(h, file, "Choir\r\n");
  fs::remove(h.db() / ".sociantes.rc");
  DriverRun r = run_driver(h, "start\nshow list\ncmd 400\nset 1 Carl\ncmd 402\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "row ").size(), 2u) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("Adam", "A0000", "", "Choir") + rec("Bob", "A0007", "", "Choir") +
                rec("Carl", "A0008", " "));
  EXPECT_EQ(rc_value(h, "ref"), "A0009");
}

// Guards Modify and Delete: records sharing the selected member's reference
// stay as they are.
TEST(Selection, ModifyAndDeleteTouchExactlyTheRecordSelected) {
  const std::string adam = rec("Adam", "A0001", "", "", "id-a"), bob = rec("Bob", "A0000"),
                    zola = rec("Zola", "A0001", "", "", "id-z");
  {
    ScratchHome h;
    make_db(h, adam + bob + zola, "", "ref=A0002\r\n");
    DriverRun r = run_driver(h, "start\nclick 2\nshow form\nreply yes\ncmd 403\ncmd 402\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("entry 11 disabled \"id-z\"")) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), adam + bob);
  }
  {
    ScratchHome h;
    make_db(h, adam + bob + zola, "", "ref=A0002\r\n");
    DriverRun r = run_driver(h, "start\nclick 2\ncmd 401\nset 1 Yves\ncmd 402\n"
                                "click 0\ncmd 401\nset 2 Jo\ncmd 402\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    std::string yves = rec("Yves", "A0001", " ", "", "id-z");
    std::string adam2 = rec("Adam", "A0001", " ", "", "id-a");
    adam2.replace(adam2.find("Adam\r\n") + 6, 0, "Jo");
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), adam2 + bob + yves);
  }
}

// Guards the file names built from references: a reference that is not one
// letter and four digits is listed, cannot be selected, releases the member
// selected before, and names no lock file.
TEST(Selection, AReferenceThatIsNoReferenceSelectsNothing) {
  for (const std::string ref : {"", "../x", "wait4new", "A123", "A12345", "1A234", "A 123"}) {
    ScratchHome h;
    const std::string file = rec("Adam", "A0000") + rec("Odd", ref);
    make_db(h, file, "", "ref=A0001\r\n");
    DriverRun r = run_driver(h, "start\nshow list\nclick 0\nclick 1\nshow selection\nshow form\n"
                                "reply yes\ncmd 403\ncmd 402\ncmd 401\nshow action\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("row \"" + ref + "\" \"\" \"Odd\" \"     \"")) << ref << r.out;
    const std::string msg =
        ref.empty() ? "info 1 \" This member has no reference and cannot be selected. \\r\\n Please "
                      "give it one in field 12 of its record in the member file. \""
                    : "info 1 \" This member cannot be selected: its reference \\\"" + ref +
                          "\\\" \\r\\n is not one letter and four digits. \\r\\n Please correct "
                          "field 12 of its record in the member file. \"";
    EXPECT_TRUE(r.has(msg)) << ref << r.out;
    EXPECT_TRUE(r.has("selection \"\" \"\"")) << ref << r.out;
    EXPECT_TRUE(r.has("entry 1 disabled \"\"")) << ref << r.out;
    EXPECT_TRUE(r.has("selected -1")) << ref << r.out;
    EXPECT_EQ(lines_with(r, "info 1 \" Sorry! No member is selected! \"").size(), 2u) << ref << r.out;
    EXPECT_TRUE(r.has("action 0")) << ref;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), file) << ref;
    EXPECT_FALSE(fs::exists(h.db() / "A0000.lck")) << ref << ": the earlier selection is released";
    EXPECT_FALSE(fs::exists(h.path() / "x.lck")) << ref;
    EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck")) << ref;
  }
}

}  // namespace
}  // namespace soc::test
