// Whole command sequences through sociantes-driver: the start-up report, the
// option toggles, the caption and setting dialogs, the network mode commands.
#include <gtest/gtest.h>

#include "driver_util.h"

namespace soc::test {
namespace {

const std::string kHeader =
    "##################################################################\r\n"
    "#        RC for Sociantes. Please, do not edit manually!\r\n"
    "##################################################################\r\n";
const std::string kBanner =
    "info 5 \" Sociantes \\r\\n Member database manager for associations \\r\\n "
    "sociantes_v3.4.2 \\r\\n This program comes with no warranty. \"";
const std::string kIdle =
    "Action: Selection     Bip: On    Info: On    Net: Local   ID: [0]   Filters: ";

std::string status(const std::string& s) { return "status \"" + s + "\""; }

// The output lines of r that begin with word and a blank.
std::vector<std::string> lines_of(const DriverRun& r, const std::string& word) {
  std::vector<std::string> v;
  for (const auto& l : r.lines())
    if (l.rfind(word + " ", 0) == 0) v.push_back(l);
  return v;
}

TEST(Startup, FirstStartOnAnEmptyHome) {
  ScratchHome h;
  DriverRun r = run_driver(h, "start\nshow status\nshow title\nshow categories\nshow list\n");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out,
            "beep\n" + kBanner + "\n"
            "beep\n"
            "info 5 \" The Sociantes database has been initialized \\r\\n in the 'sociantes_db' "
            "directory in $HOME(Linux) or C:\\\\(Windows) \"\n" +
                status(kIdle) + "\n"
                "title \"Sociantes  [  ]\"\n"
                "category 0 \"All\"\nselected -1\n"
                "selected -1\n");
}

TEST(Startup, SecondStartReportsNothingAndQuitStoresTheSize) {
  ScratchHome h;
  run_driver(h, "start\nquit\n");
  std::string rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nwinh="), std::string::npos);
  EXPECT_NE(rc.find("\r\nwinw="), std::string::npos);
  EXPECT_NE(rc.find("\r\ncol1="), std::string::npos);
  DriverRun r = run_driver(h, "start\n");
  EXPECT_EQ(r.out, "beep\n" + kBanner + "\n");
}

TEST(Startup, UpgradeIsReported) {
  ScratchHome h;
  h.write(h.db() / "sociantes.data", "");
  h.write(h.db() / ".sociantes.rc", kHeader + "version=sociantes_v3.0\r\n");
  DriverRun r = run_driver(h, "start\n");
  EXPECT_TRUE(r.has("info 5 \" Upgrade on version: sociantes_v3.4.2 \\r\\n OK \\r\\n\"")) << r.out;
}

TEST(Startup, FatalMessageWhenTheDataDirectoryCannotBeMade) {
  ScratchHome h;
  h.write(h.path() / "sociantes_db", "a file where the directory should be");
  DriverRun r = run_driver(h, "start\nshow status\n");
  EXPECT_EQ(r.rc, 0) << "the program keeps running";
  EXPECT_TRUE(r.has("info 1 \" !!! FATAL ERROR !!! \\r\\n The Sociantes can't be initialized. "
                    "\\r\\n The application won't work! \""))
      << r.out;
}

TEST(Options, BipAndHintToggles) {
  ScratchHome h;
  DriverRun r = run_driver(h,
                           "start\ncmd 450\nshow status\ncmd 448\nshow status\n"
                           "cmd 458\ncmd 451\ncmd 449\nshow status\n");
  auto l = r.lines();
  EXPECT_EQ(l[l.size() - 4], status("Action: Selection     Bip: Off    Info: On    Net: Local   "
                                    "ID: [0]   Filters: "));
  EXPECT_EQ(l[l.size() - 3], status("Action: Selection     Bip: Off    Info: Off    Net: Local   "
                                    "ID: [0]   Filters: "));
  EXPECT_EQ(l[l.size() - 2], "info 5 \" Version: sociantes_v3.4.2 \\n\"") << "no beep with bip off";
  EXPECT_EQ(l[l.size() - 1], status(kIdle));
  std::string rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nbip=yes\r\n"), std::string::npos);
  EXPECT_NE(rc.find("\r\ninfo=yes\r\n"), std::string::npos);
}

TEST(Dialogs, LabelTitleAndAddressPosition) {
  ScratchHome h;
  DriverRun r = run_driver(h,
                           "start\n"
                           "reply ok 1003=Job\ncmd 6\n"
                           "reply ok \"1003=A very long label text\"\ncmd 7\n"
                           "reply ok \"1003=The Chess Club of Kleinstadt\"\ncmd 19\n"
                           "reply ok 1003=007x\ncmd 8\n"
                           "reply ok 1003=-1\ncmd 10\n"
                           "show status\n");
  EXPECT_TRUE(r.has("info 3 \" Please enter the new Label. \\r\\n15 characters max. length\\r\\n and "
                    "restart to update the window.  \""))
      << r.out;
  EXPECT_TRUE(r.has("info 6 \"\\r\\n Number of blank lines on top of the address: \\r\\n\""));
  EXPECT_TRUE(r.has("info 6 \" Number of blank column on the left of the address: \""));
  EXPECT_TRUE(r.has(status(kIdle))) << "every completion ends its action";
  std::string rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nfield7=" + std::string(18, ' ') + "Job\r\n"), std::string::npos) << rc;
  EXPECT_NE(rc.find("\r\nfield8=      A very long lab\r\n"), std::string::npos) << rc;
  EXPECT_NE(rc.find("\r\ntitle=The Chess Club of Kl\r\n"), std::string::npos) << rc;
  EXPECT_NE(rc.find("\r\npage_up=7\r\n"), std::string::npos) << rc;
  EXPECT_NE(rc.find("\r\npage_lt=0\r\n"), std::string::npos) << rc;  // held, not wrapped

  DriverRun again = run_driver(h, "start\nshow title\nshow form\n");
  EXPECT_TRUE(again.has("title \"Sociantes  [ The Chess Club of Kl ]\"")) << again.out;
  EXPECT_TRUE(again.has("label 7 \"                  Job\""));
  EXPECT_TRUE(again.has("label 8 \"      A very long lab\""));
}

TEST(Dialogs, CloseBoxAbandonsTheActionAndAddressPositionReplacesOne) {
  ScratchHome h;
  DriverRun r = run_driver(h,
                           "start\nreply closebox\ncmd 19\nshow status\nshow action\n"
                           "cmd 400\ncmd 6\n"              // refused: New runs
                           "reply close\ncmd 8\nshow status\n");  // replaces it, Close ends
  EXPECT_EQ(lines_of(r, "status"), std::vector<std::string>(2, status(kIdle))) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \""));
  EXPECT_EQ(h.read(h.db() / ".sociantes.rc").find("title="), std::string::npos);
}

TEST(Dialogs, NoReplyQueuedClosesTheDialog) {
  ScratchHome h;
  DriverRun r = run_driver(h, "start\ncmd 19\nshow action\n");
  EXPECT_TRUE(r.has("action 0"));
}

TEST(Network, PathModeAndRestrictions) {
  ScratchHome h;
  std::string share = (h.path() / "share").string();
  DriverRun r = run_driver(h,
                           "start\n"
                           "cmd 457\n"  // no path yet
                           "reply ok \"1003=" + share + "\\\\\"\ncmd 32\n"
                           "cmd 457\nshow status\n"
                           "cmd 32\ncmd 19\ncmd 6\n"
                           "cmd 456\nshow status\n");
  EXPECT_TRUE(r.has("info 1 \"The MS Network Path is not defined.\"")) << r.out;
  EXPECT_TRUE(r.has("info 3 \"Please entrer the path that links to the database.\\r\\n Example: "
                    "Q:\\\\sociantes_db or \\\\\\\\Machine\\\\sociantes_db\""))
      << r.out;
  EXPECT_TRUE(r.has("info 1 \"\\r\\n !! WARNING !! Please restart.\""));
  EXPECT_TRUE(r.has(status("Action: Selection     Bip: On    Info: On    Net: Client   ID: [0]   "
                           "Filters: ")));
  int restricted = 0;
  for (const auto& l : r.lines())
    restricted += l == "info 1 \" This command is restricted in Network mode. \"";
  EXPECT_EQ(restricted, 3);
  EXPECT_EQ(r.lines().back(), status(kIdle));
  std::string rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nwin_net_path=" + share + "\\\r\n"), std::string::npos) << "stored as typed";
  EXPECT_NE(rc.find("\r\nnetwork=no\r\n"), std::string::npos);
}

TEST(Network, StatusLineOfAClientWithRules) {
  ScratchHome h;
  std::string share = (h.path() / "share").string();
  h.write(h.path() / "share" / ".sociantes.rc", kHeader + "id_type=1\r\ntitle=Net Club\r\n");
  h.write(h.path() / "share" / "sociantes.data", "");
  h.write(h.db() / "sociantes.data", "");
  h.write(h.db() / ".sociantes.rc", kHeader + "version=sociantes_v3.4.2\r\nnetwork=yes\r\n"
                                              "flag_filter=and\r\nwin_net_path=" + share + "\r\n");
  DriverRun r = run_driver(h, "start\nshow status\nshow title\n");
  EXPECT_TRUE(r.has(status("Action: Selection     Bip: On    Info: On    Net: Client   ID: [1]   "
                           "Filters: and")))
      << r.out;
  EXPECT_TRUE(r.has("title \"Sociantes  [ Net Club ]\""));
}

// Every command is built now; an id that is no command and an unknown
// accelerator do nothing, and a bad line stops the script.
TEST(Driver, UnknownCommandsDoNothingAndBadLinesStop) {
  ScratchHome h;
  DriverRun r = run_driver(h, "start\ncmd 9999\nkey alt+z\nshow action\nbogus\nshow status\n");
  EXPECT_FALSE(r.has("error \"command 9999 not built\"")) << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_EQ(r.rc, 2);
  EXPECT_EQ(r.lines().back(), "error \"unknown command: bogus\"") << "nothing runs after it";
}

TEST(Driver, CommentsAreNeverParsed) {
  ScratchHome h;
  DriverRun r = run_driver(h, "# say \"hello\n  # \\q\nstart\nshow action\n");
  EXPECT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("action 0"));
}

// Labels from the settings are cut to 21 bytes without splitting a character
// and shown like every other file text.
TEST(Startup, FieldLabelsAreCutAtACharacterAndShownAsText) {
  ScratchHome h;
  h.write(h.db() / "sociantes.data", "");
  h.write(h.db() / ".sociantes.rc", kHeader + "version=sociantes_v3.4.2\r\nfield7=" +
                                      std::string(20, ' ') + "\xC3\xA9tude\r\nfield8=\xE9l\xE8ve\r\n");
  DriverRun r = run_driver(h, "start\nshow form\n");
  EXPECT_TRUE(r.has("label 7 \"" + std::string(20, ' ') + "\"")) << r.out;
  EXPECT_TRUE(r.has("label 8 \"\\xC3\\xA9l\\xC3\\xA8ve\"")) << r.out;
}

TEST(Network, OneCharacterPathIsNotDefined) {
  ScratchHome h;
  DriverRun r = run_driver(h, "start\nreply ok 1003=Q\ncmd 32\ncmd 457\nshow status\n");
  EXPECT_TRUE(r.has("info 1 \"The MS Network Path is not defined.\"")) << r.out;
  EXPECT_EQ(r.lines().back(), status(kIdle));
}

TEST(Driver, WwwAndQuitByAccelerator) {
  ScratchHome h;
  DriverRun r = run_driver(h, "start\ncmd 459\nkey alt+q\nshow status\n");
  EXPECT_TRUE(r.has("launch browser \"https://sociantes.example.org/\"")) << r.out;
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.lines().back(), "launch browser \"https://sociantes.example.org/\"")
      << "the script ends with the main window";
  EXPECT_NE(h.read(h.db() / ".sociantes.rc").find("winh="), std::string::npos);
}

}  // namespace
}  // namespace soc::test

namespace soc::test {
namespace {

// The window size memory: the computed minimum on a first start, the stored
// size afterwards; column widths of 1 or less are ignored.
TEST(WindowSize, MinimumFirstThenStoredSize) {
  ScratchHome h;
  run_driver(h, "start\nquit\n");
  std::string rc = h.read(h.db() / ".sociantes.rc");
  // Scripted metrics: boxes need 1099 x 330; frame 4, caption 23, fonty 15,
  // status bar 20. The Names column holds 34 average characters (7 pixels),
  // 56 more than its title needs: the window is that much wider.
  EXPECT_NE(rc.find("\r\nwinh=458\r\nwinw=1163\r\ncol1=126\r\ncol2=238\r\n"), std::string::npos)
      << rc;

  std::string kept = rc.substr(0, rc.find("winh="));
  h.write(h.db() / ".sociantes.rc", kept + "winh=600\r\nwinw=1200\r\ncol1=1\r\ncol2=300\r\n");
  run_driver(h, "start\nquit\n");
  rc = h.read(h.db() / ".sociantes.rc");
  EXPECT_NE(rc.find("\r\nwinh=600\r\nwinw=1200\r\ncol1=126\r\ncol2=300\r\n"), std::string::npos)
      << rc;
}

}  // namespace
}  // namespace soc::test
