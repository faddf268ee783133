// The window's own rules as a script sees them: the quit question during an
// edit, the form boxes that stop at their field's limit, and the title that
// follows the association name.
#include <gtest/gtest.h>

#include "driver_util.h"

namespace soc::test {
namespace {

// Quit while New or Modify runs asks first (kind 2) and takes a queued
// reply: No keeps the program and the action, Yes ends it with the usual
// shutdown. Without an edit, quit asks nothing.
TEST(Window, QuitDuringAnEditAsksAndTakesAReply) {
  const char* const question = "info 2 \" A member is being edited and not saved. \\r\\n Quit anyway? \"";
  ScratchHome h;
  DriverRun r = run_driver(h,
                           "start\ncmd 400\nset 1 Durand\nreply no\nquit\nshow action\n"
                           "cmd 402\nclick 0\ncmd 401\nreply closebox\nquit\nshow action\n"
                           "show selection\nreply yes\nquit\nshow action\n");
  EXPECT_EQ(r.rc, 0);
  const std::vector<std::string> lines = r.lines();
  std::vector<std::string> asked, actions;
  for (const std::string& l : lines) {
    if (l == question) asked.push_back(l);
    if (l.rfind("action ", 0) == 0) actions.push_back(l);
  }
  EXPECT_EQ(asked.size(), 3u) << r.out;
  // "show action" after Yes is never read: the window is gone
  EXPECT_EQ(actions, (std::vector<std::string>{"action 1", "action 3"})) << r.out;
  EXPECT_TRUE(r.has("selection \"A0000\" \"A0000\"")) << r.out;
  // the shutdown released the member's lock and stored the size
  EXPECT_FALSE(std::filesystem::exists(h.db() / "A0000.lck"));
  EXPECT_NE(h.read(h.db() / ".sociantes.rc").find("\r\nwinw="), std::string::npos);

  r = run_driver(h, "start\nquit\nshow action\n");
  for (const std::string& l : r.lines()) EXPECT_NE(l, question);
  EXPECT_FALSE(r.has("action 0")) << "quit without an edit ends at once";
}

// Typed text stops at the field's limit: 62 bytes, 31 for the category;
// nothing is cut at Save. The title follows the association name at once.
TEST(Window, FormBoxesStopAtTheFieldLimitAndTitleFollowsTheName) {
  ScratchHome h;
  const std::string name(70, 'n'), cat(40, 'c');
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 " + name + "\nset 13 " + cat +
                                  "\nshow form\ncmd 402\nreply ok 1003=Amicale\ncmd 19\n"
                                  "show title\nquit\n");
  EXPECT_TRUE(r.has("entry 1 enabled \"" + std::string(62, 'n') + "\"")) << r.out;
  EXPECT_TRUE(r.has("entry 13 enabled \"" + std::string(31, 'c') + "\"")) << r.out;
  EXPECT_NE(h.read(h.db() / "sociantes.data").find(std::string(62, 'n') + "\r\n"),
            std::string::npos);
  EXPECT_TRUE(r.has("title \"Sociantes  [ Amicale ]\"")) << r.out;
}

}  // namespace
}  // namespace soc::test
