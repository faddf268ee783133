// Member folders through sociantes-driver: switched off, the question and
// its No, switching on (existing folders, a damaged reference, a locked
// member file), opening the current member's folder, a new member's folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kQuestion = "info 2 \"Do you really want to create a older\\r\\n for each member?\"";

void members(const ScratchHome& h) {
  make_db(h, rec("Dupont", "A0001") + rec("Evil", "../evil") + rec("Martin", "A0002"), "",
          "ref=A0003\r\nbip=no\r\ninfo=no\r\n");
}

TEST(Folders, OffThenOnThenOpened) {
  ScratchHome h;
  members(h);
  fs::create_directories(h.db() / "A0002_dir");  // made by hand earlier
  DriverRun r = run_driver(h,
                           "start\nclick 0\ncmd 461\nreply no\ncmd 460\nshow action\n"
                           "reply yes\ncmd 460\nshow action\nshow status\ncmd 460\n"
                           "cmd 461\nclick 2\ncmd 461\ncmd 404\ncmd 461\n"
                           "cmd 400\nset 1 Zola\ncmd 402\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  std::vector<std::string> want_info = {
      "info 1 \"Folders are not activated\"", kQuestion, kQuestion,
      "info 1 \"Folders are activated\"",
      "info 1 \" Sorry! No member is selected! \""};
  std::vector<std::string> shown;
  for (const auto& l : r.lines())
    if (l.rfind("info 1 ", 0) == 0 || l.rfind("info 2 ", 0) == 0) shown.push_back(l);
  EXPECT_EQ(shown, want_info) << r.out;
  EXPECT_EQ(lines_with(r, "action "), (std::vector<std::string>{"action 0", "action 0"}));
  EXPECT_EQ(lines_with(r, "launch "),
            (std::vector<std::string>{
                "launch explorer \"" + (h.db() / "A0001_dir").string() + "\"",
                "launch explorer \"" + (h.db() / "A0002_dir").string() + "\""}))
      << r.out;
  EXPECT_TRUE(fs::is_directory(h.db() / "A0001_dir"));
  EXPECT_TRUE(fs::is_directory(h.db() / "A0002_dir"));
  EXPECT_TRUE(fs::is_directory(h.db() / "A0003_dir"));  // the new member's, when saved
  EXPECT_FALSE(fs::exists(h.path() / "evil_dir"));      // a damaged reference makes none
  EXPECT_EQ(rc_value(h, "dirs"), "yes");
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
}

TEST(Folders, NoAndRefusals) {
  ScratchHome h;
  members(h);
  DriverRun r = run_driver(h, "start\nreply no\ncmd 460\nshow action\n");
  EXPECT_TRUE(r.has(kQuestion)) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "A0001_dir"));
  EXPECT_EQ(rc_value(h, "dirs"), "<missing>");

  // Regression: a folder that could not be made (here a file has its name)
  // was ignored and the folders were said to be activated.
  h.write(h.db() / "A0001_dir", "a file\r\n");
  r = run_driver(h, "start\nreply yes\ncmd 460\nshow action\n");
  EXPECT_TRUE(r.has("info 1 \" A member folder cannot be created: \\r\\n[ " +
                    (h.db() / "A0001_dir").string() + " ] \\r\\n The folders are not activated. \""))
      << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(rc_value(h, "dirs"), "<missing>");
  fs::remove(h.db() / "A0001_dir");
  for (const auto& e : fs::directory_iterator(h.db()))
    if (e.path().filename().string().ends_with("_dir")) fs::remove(e.path());

  // The member file is locked by another workstation: nothing is switched on.
  h.write(h.db() / "sociantes.data.lck", "");
  r = run_driver(h, "start\nreply yes\ncmd 460\nshow action\n");
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked").size(), 1u) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "A0001_dir"));
  EXPECT_EQ(rc_value(h, "dirs"), "<missing>");
  EXPECT_TRUE(fs::exists(h.db() / "sociantes.data.lck"));  // another's lock stays
  fs::remove(h.db() / "sociantes.data.lck");

  r = run_driver(h, "start\ncmd 400\ncmd 460\n");
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  fs::create_directories(h.path() / "net");
  make_db(h, rec("Dupont", "A0001"), "",
          "ref=A0003\r\nbip=no\r\ninfo=no\r\nnetwork=yes\r\nwin_net_path=" +
              (h.path() / "net").string() + "\r\n");
  r = run_driver(h, "start\ncmd 460\n");
  EXPECT_TRUE(r.has("info 1 \" This command is restricted in Network mode. \"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "A0001_dir"));
}

}  // namespace
}  // namespace soc::test
