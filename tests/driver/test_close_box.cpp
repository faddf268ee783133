// The title-bar close box of every dialog that has a close button, through
// sociantes-driver: it abandons the action as Close (No) does, the status
// line is refreshed, the next command is not refused, and nothing is stored.
// A Delete question closed with the close box deletes nothing at the next
// Save.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

const std::string kIdle =
    "status \"Action: Selection     Bip: On    Info: On    Net: Local   ID: [0]   Filters: \"";

TEST(CloseBox, EveryDialogWithACloseButtonAbandonsItsAction) {
  struct Case {
    int command;         // the command that opens the dialog
    const char* before;  // script lines before it
    const char* opened;  // the start of the dialog's output line
  } const cases[] = {
      {403, "click 0\n", "info 2 \"  Are you sure ??? "},
      {22, "", "info 3 \" Please, enter a new category"},
      {33, "", "info 3 \"Please, enter the category you want to delete"},
      {23, "", "info 3 \"  Please enter 4 info labels"},
      {6, "", "info 3 \" Please enter the new Label."},
      {7, "", "info 3 \" Please enter the new Label."},
      {19, "", "info 3 \" Here you can enter your association name."},
      {8, "", "info 6 \"\\r\\n Number of blank lines on top"},
      {10, "", "info 6 \" Number of blank column on the left"},
      {32, "", "info 3 \"Please entrer the path that links to the database."},
      {425, "", "info 2 \" Please ensure no other user"},
      {432, "", "info 2 \" Please ensure no other user"},
      {458, "", "info 5 \" Version: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("command " + std::to_string(c.command));
    ScratchHome h;
    const std::string members = rec("Martin", "A0000", "Note !", "Choir");
    make_db(h, members, "Choir\r\n");
    // The close box, then Save (which must find nothing to do) and New
    // (which must not be refused).
    DriverRun r = run_driver(h, std::string("start\n") + c.before + "reply closebox\ncmd " +
                                    std::to_string(c.command) +
                                    "\nshow action\nshow status\nshow list\ncmd 402\ncmd 400\n"
                                    "show action\ncmd 404\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(lines_with(r, c.opened).size(), 1u) << r.out;
    const auto actions = lines_with(r, "action ");
    ASSERT_EQ(actions.size(), 2u) << r.out;
    EXPECT_EQ(actions[0], "action 0") << r.out;
    EXPECT_EQ(actions[1], "action 1") << "New is not refused\n" << r.out;
    EXPECT_EQ(lines_with(r, "status ").front(), kIdle) << r.out;
    EXPECT_TRUE(r.has("row \"A0000\" \"\" \"Martin\" \" !   \"")) << "the list is shown\n" << r.out;
    EXPECT_TRUE(lines_with(r, "info 1 ").empty()) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), members);
    EXPECT_EQ(h.read(h.db() / "sociantes.cat"), "Choir\r\n");
    EXPECT_FALSE(std::filesystem::exists(h.db() / "sociantes.flg"));
    for (const char* key : {"title", "field7", "field8", "page_up", "page_lt", "win_net_path"})
      EXPECT_EQ(rc_value(h, key), "<missing>") << key;
  }
}

// The same Delete answered with Yes stays pending and Save deletes: what
// spared the member above is the close box.
TEST(CloseBox, DeleteConfirmedWithYesStillDeletes) {
  ScratchHome h;
  make_db(h, rec("Martin", "A0000") + rec("Zola", "A0001"), "");
  DriverRun r = run_driver(h, "start\nclick 0\nreply yes\ncmd 403\nshow action\ncmd 402\n"
                              "show action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("action 2")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Zola", "A0001"));
}

}  // namespace
}  // namespace soc::test
