// Categories and flags through sociantes-driver: the bulk Set / Reset of a
// flag over the selected category, the filter rules, adding and removing
// categories, and the info labels, with the exact files written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

std::string status_line(const std::string& action, const std::string& rule = "") {
  return "status \"" + action + "    Bip: On    Info: On    Net: Local   ID: [0]   Filters: " + rule +
         "\"";
}

TEST(FlagsBulk, SetAddsTheFlagToTheSelectedCategoryOnly) {
  ScratchHome h;
  make_db(h, rec("A", "A0000", "Note", "Choir") + rec("B", "A0001", "Note $", "Choir members") +
                 rec("C", "A0002", "", "Choir") + rec("D", "A0003", "Note", "Arts") +
                 rec("E", "A0004", "has !", "Choir"),
          "Arts\r\nChoir\r\n");
  DriverRun r = run_driver(h, "start\ncategory 2\nreply yes\ncmd 425\nshow status\nshow action\n"
                              "show list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 2 \" Please ensure no other user is being changing data. \\r\\n  Do you "
                    "really want to modify all flags for the selected category? \""))
      << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("A", "A0000", "Note !", "Choir") + rec("B", "A0001", "Note $!", "Choir members") +
                rec("C", "A0002", " !", "Choir") + rec("D", "A0003", "Note", "Arts") +
                rec("E", "A0004", "has !", "Choir"));
  EXPECT_TRUE(r.has(status_line("Action: Selection "))) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(r.has("row \"A0001\" \"\" \"B\" \" !$  \"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
  EXPECT_FALSE(fs::exists(h.tmp() / "sociantes.tmp"));
}

TEST(FlagsBulk, ResetRemovesEveryOccurrenceInAllMembers) {
  ScratchHome h;
  make_db(h, rec("A", "A0000", "a&b & &", "Choir") + rec("B", "A0001", "x !&", "Arts"), "");
  DriverRun r = run_driver(h, "start\nreply yes\ncmd 432\nquit\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("A", "A0000", "ab  ", "Choir") + rec("B", "A0001", "x !", "Arts"));
}

TEST(FlagsBulk, NoAndTheCloseBoxChangeNothing) {
  ScratchHome h;
  const std::string file = rec("A", "A0000", "Note");
  make_db(h, file, "");
  DriverRun r = run_driver(h, "start\nreply closebox\ncmd 426\nshow status\nshow action\ncmd 400\n"
                              "cmd 404\nreply no\ncmd 426\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has(status_line("Action: Selection "))) << r.out;
  EXPECT_EQ(lines_with(r, "action 0").size(), 2u) << r.out;
  EXPECT_FALSE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), file);
}

TEST(FlagsBulk, MemberFileLockedChangesNothing) {
  ScratchHome h;
  const std::string file = rec("A", "A0000", "Note");
  make_db(h, file, "");
  h.write(h.db() / "sociantes.data.lck", "");
  DriverRun r = run_driver(h, "start\nreply yes\ncmd 425\nshow action\nshow elapsed\nquit\n");
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_TRUE(r.has("elapsed 3000")) << r.out;
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked").size(), 1u) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), file);
}

TEST(FlagsBulk, CategoryAndLabelCommandsAreRestrictedInNetworkMode) {
  ScratchHome h;
  const fs::path net = h.path() / "share";
  make_db(h, "", "", "network=yes\r\nwin_net_path=" + net.string() + "\r\n");
  h.write(net / "sociantes.data", rec("A", "A0000", "Note"));
  h.write(net / ".sociantes.rc", kRcHead + "ref=A0001\r\n");
  DriverRun r = run_driver(h, "start\ncmd 425\ncmd 22\ncmd 33\ncmd 23\ncmd 415\nshow action\nquit\n");
  EXPECT_EQ(lines_with(r, "info 1 \" This command is restricted in Network mode. \"").size(), 5u)
      << r.out;
  EXPECT_EQ(lines_with(r, "info 2 ").size() + lines_with(r, "info 3 ").size(), 0u) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(net / "sociantes.data"), rec("A", "A0000", "Note"));
}

TEST(FlagRules, FiltersMenuStoresTheRuleAndShowsIt) {
  ScratchHome h;
  make_db(h, "", "");
  DriverRun r = run_driver(h, "start\ncmd 422\nshow status\ncmd 424\nshow status\ncmd 420\n"
                              "show status\nquit\n");
  EXPECT_EQ(lines_with(r, "status "),
            (std::vector<std::string>{status_line("Action: Selection ", "and"),
                                      status_line("Action: Selection ", "nand"),
                                      status_line("Action: Selection ", "none")}));
  EXPECT_EQ(rc_value(h, "flag_filter"), "none");
}

TEST(FlagBoxes, SaveComposesTheRemarksFromTheBoxes) {
  ScratchHome h;
  make_db(h, rec("A", "A0000", "Pays dues! $", "", "x"), "");
  DriverRun r = run_driver(h, "start\nclick 0\nflag 4 1\ncmd 401\nshow form\nflag 2 0\nflag 3 1\n"
                              "cmd 402\nquit\n");
  // Modify resets the boxes from the member, whatever was ticked before.
  EXPECT_TRUE(r.has("flags 1 1 0 0")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("A", "A0000", "Pays dues !%", "", "x"));
}

TEST(Categories, AddAndRemoveThroughTheDialogs) {
  ScratchHome h;
  make_db(h, "", "Arts\r\nChoir\r\n");
  DriverRun r = run_driver(h,
                           "start\ncategory 2\n"
                           "reply ok 1003=Board\ncmd 22\nshow status\nshow categories\n"
                           "reply ok 1003=Board\ncmd 22\n"
                           "reply ok \"1003=Board members\"\ncmd 22\n"
                           "reply ok 1003=Board\ncmd 33\nshow categories\n"
                           "reply ok 1003=\ncmd 22\nreply close\ncmd 33\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 3 \" Please, enter a new category(max 24 chars).\\r\\n\"")) << r.out;
  EXPECT_TRUE(r.has("info 3 \"Please, enter the category you want to delete .\\r\\n\"")) << r.out;
  EXPECT_TRUE(r.has(status_line("Action: Selection "))) << r.out;
  EXPECT_EQ(lines_with(r, "category "),
            (std::vector<std::string>{"category 0 \"All\"", "category 1 \"Arts\"",
                                      "category 2 \"Board\"", "category 3 \"Choir\"",
                                      "category 0 \"All\"", "category 1 \"Arts\"",
                                      "category 2 \"Board members\"", "category 3 \"Choir\""}));
  // Choir stays the selected category while its slot moves.
  EXPECT_EQ(lines_with(r, "selected "), (std::vector<std::string>{"selected 3", "selected 3"}));
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(h.db() / "sociantes.cat"), "Arts\r\nBoard members\r\nChoir\r\n");
  EXPECT_FALSE(fs::exists(h.tmp() / "cat.tmp.lck"));
}

// Guards the category filter: removing the selected category must not leave
// a filtered list under "All"; members keep their category; long hand-written
// lines survive the rewrite whole.
TEST(Categories, RemovingTheSelectedCategoryShowsAllMembers) {
  ScratchHome h;
  const std::string longline(70, 'L');
  make_db(h, rec("Adam", "A0000", "", "Arts") + rec("Bach", "A0001", "", "Board"),
          "Arts\r\nBoard\r\n" + longline + "\r\n");
  DriverRun r = run_driver(h, "start\ncategory 2\nshow list\nreply ok 1003=Board\ncmd 33\n"
                              "show categories\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "row "),
            (std::vector<std::string>{"row \"A0001\" \"\" \"Bach\" \"     \"",
                                      "row \"A0000\" \"\" \"Adam\" \"     \"",
                                      "row \"A0001\" \"\" \"Bach\" \"     \""}));
  EXPECT_TRUE(r.has("selected 0")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.cat"), "Arts\r\n" + longline + "\r\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("Adam", "A0000", "", "Arts") + rec("Bach", "A0001", "", "Board"));
}

TEST(InfoLabels, DialogIsPrefilledAndStoresFourLabels) {
  ScratchHome h;
  make_db(h, "", "");
  DriverRun r = run_driver(h,
                           "start\nreply ok \"1003=Paid Board Mail Guest\"\ncmd 23\nshow status\n"
                           "quit\n");
  EXPECT_TRUE(r.has("info 3 \"  Please enter 4 info labels  of 10 characters length max. separated "
                    "with <Spaces>. \\r\\n You should restart to update the window.  \""))
      << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.flg"), "Paid\r\nBoard\r\nMail\r\nGuest\r\n");
  EXPECT_TRUE(r.has(status_line("Action: Selection "))) << r.out;

  // The next start shows the labels and the dialog offers them again.
  r = run_driver(h, "start\nshow form\nreply ok\ncmd 23\nquit\n");
  EXPECT_TRUE(r.has("flaglabel 2 \"Board\"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.flg"), "Paid\r\nBoard\r\nMail\r\nGuest\r\n");
  // An answer without four labels removes the file.
  r = run_driver(h, "start\nreply ok \"1003=Only two\"\ncmd 23\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" The info labels were not stored: 2 labels were given, 4 are needed, "
                    "\\r\\n separated by single blanks. \\r\\n The default labels apply at the next "
                    "start. \""))
      << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.flg"));
  // Without the file the dialog offers the default labels.
  r = run_driver(h, "start\nreply ok\ncmd 23\nquit\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.flg"), "Info-!\r\nInfo-$\r\nInfo-%\r\nInfo-&&\r\n");
}

}  // namespace
}  // namespace soc::test
