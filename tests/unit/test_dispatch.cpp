// The command dispatch: an id that is no command is reported as not handled
// (the window then passes it on) and does nothing; a command is handled,
// whether built or saying openly that it is not.
#include <string>
#include <vector>

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

// Every id of the menus, the toolbar and the accelerators is a command: the
// ones not built yet are handled by saying so (the built ones are run by
// their own tests).
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
  EXPECT_GT(unbuilt, 0);
  EXPECT_TRUE(command_built(400));
  EXPECT_FALSE(command_built(99999));
}

}  // namespace
}  // namespace soc
