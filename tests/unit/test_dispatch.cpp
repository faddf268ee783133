// The command dispatch: an id that is no command is reported as not handled
// (the window then passes it on) and does nothing; a command is handled,
// whether built or saying openly that it is not.
#include <string>
#include <vector>

#include "db/members.h"
#include "fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc {
namespace {

class Dispatch : public test::CommandTest {};

TEST_F(Dispatch, UnknownIdsAreNotHandledAndDoNothing) {
  task_in = 0;
  for (int id : {0, -1, 1, 2, 5, 9, 12, 13, 399, 462, 1001, 1004, 99999}) {
    EXPECT_EQ(dispatch(id), 1) << id;
    EXPECT_EQ(take_output(), "") << id;
    EXPECT_EQ(task_in, 0) << id;
  }
}

// Every id of the menus, the toolbar and the accelerators is a command with
// a body (each is run by its own tests); a command not built would say so.
TEST_F(Dispatch, EveryTableIdIsACommand) {
  std::vector<int> ids;
  for (const auto& m : menu_table())
    if (m.id != 0) ids.push_back(m.id);
  for (const auto& t : toolbar_table()) ids.push_back(t.command);
  for (const auto& a : accel_table()) ids.push_back(a.command);
  int unbuilt = 0;
  for (int id : ids) {
    if (command_built(id)) continue;
    ++unbuilt;
    EXPECT_EQ(dispatch(id), 0) << id;
    EXPECT_EQ(take_output(), "error \"command " + std::to_string(id) + " not built\"\n") << id;
  }
  EXPECT_EQ(unbuilt, 0) << "every command of the menus, toolbar and accelerators is built";
  EXPECT_TRUE(command_built(400));
  EXPECT_FALSE(command_built(99999));
}

// Greyed items: Modify and Delete need a selected member and no action, Save
// an edit or a confirmed delete, Cancel any action; a greyed command would
// be refused by the command itself.
TEST_F(Dispatch, CommandsAreGreyedWhenTheyCannotApply) {
  struct Case {
    int action;            // task_in
    const char* selected;  // index_sel
    bool modify, save, cancel;
  } const cases[] = {
      {0, "", false, false, false},    {0, "A0001", true, false, false},
      {1, "", false, true, true},      {3, "A0001", false, true, true},
      {2, "A0001", false, true, true}, {19, "A0001", false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.action) + " " + c.selected);
    task_in = c.action;
    index_sel = c.selected;
    EXPECT_EQ(command_enabled(401), c.modify);
    EXPECT_EQ(command_enabled(403), c.modify);
    EXPECT_EQ(command_enabled(402), c.save);
    EXPECT_EQ(command_enabled(404), c.cancel);
    EXPECT_TRUE(command_enabled(400));
  }
  index_sel.clear();
  task_in = 0;
}

// The accelerator text of a label, in both of the designed spellings, and
// labels without one.
TEST_F(Dispatch, MenuLabelsSplitIntoTextAndShortcut) {
  struct Case {
    const char* label;
    const char* text;
    char key;
  } const cases[] = {
      {"New  <alt>n", "New", 'n'},          {"Mailing<  alt>t", "Mailing", 't'},
      {"Record card  <alt>j", "Record card", 'j'}, {"Quit", "Quit", 0},
      {"Date+<?> [2]", "Date+<?> [2]", 0},  {"&&", "&&", 0},
  };
  for (const Case& c : cases) {
    const Shortcut s = menu_shortcut(c.label);
    EXPECT_EQ(s.text, c.text) << c.label;
    EXPECT_EQ(s.key, c.key) << c.label;
  }
  int with_key = 0;
  for (const MenuEntry& e : menu_table()) with_key += menu_shortcut(e.label).key != 0;
  EXPECT_EQ(with_key, 14);  // every item of the Actions menu
}

}  // namespace
}  // namespace soc
