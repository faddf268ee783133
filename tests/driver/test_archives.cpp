// Archives through sociantes-driver: a whole archive on virtual time, the
// pacing setting, names refused, a name used twice, a missing history file,
// network mode; Consult Archives with the file selection.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kRefused =
    "info 1 \" Impossible to create this archive, \\r\\nmay be it exists already ... \"";

// The initial history content of a member with only a name and a category.
std::string fresh(const std::string& name, const std::string& cat) {
  std::string s = "\r\n\r\n" + std::string(29, ' ') + "Sociante's history\r\n" +
                  std::string(29, ' ') + std::string(19, '-') + "\r\n";
  s += "                 Name: " + name + "\r\n";
  for (const char* c : {"        First Name(s)", "              Address", "                 City",
                        "         ZIP/PostCode", "            Tel Email", "           Profession",
                        "          Nationality", "     Birthday & place", "              Remarks"})
    s += std::string(c) + ": \r\n";
  s += "             Category: " + cat + "\r\n";
  s += "       Identification: \r\n";
  return s + std::string(77, '*') + "\r\n";
}

const std::string kMembers =
    rec("Dupont", "A0001", "", "Choir") + rec("Martin", "A0002") + rec("Zed", "A0003");

void three_members(const ScratchHome& h, const std::string& extra_rc = "") {
  make_db(h, kMembers, "Choir\r\n", "ref=A0004\r\nbip=no\r\ninfo=no\r\n" + extra_rc);
  for (const char* r : {"A0001", "A0002", "A0003"})
    h.write(h.db() / (std::string(r) + ".dat"), std::string("old history of ") + r + "\r\n");
}

std::string archive(const std::string& name) {
  return "reply ok \"1003=" + name + "\"\ncmd 16\nshow action\n";
}

TEST(Archives, ThreeMembersOnVirtualTime) {
  ScratchHome h;
  three_members(h);
  const std::string rc = h.read(h.db() / ".sociantes.rc");
  DriverRun r = run_driver(h, "start\nclick 0\n" + archive("JAN") +
                                  "show elapsed\nshow selection\nshow list\nshow status\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  // One second before the archive and one per member.
  EXPECT_TRUE(r.has("elapsed 4000")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(r.has("selection \"\" \"\""));  // the list was reloaded
  EXPECT_EQ(lines_with(r, "row ").size(), 3u);
  EXPECT_TRUE(r.has(
      "status \"Action: Selection     Bip: Off    Info: Off    Net: Local   ID: [0]   Filters: \""));
  const fs::path a = h.db() / "archives.aff" / "JAN";
  for (const char* ref : {"A0001", "A0002", "A0003"})
    EXPECT_EQ(h.read(a / (std::string(ref) + ".dat")), std::string("old history of ") + ref + "\r\n");
  EXPECT_EQ(h.read(a / "sociantes.data"), kMembers);
  EXPECT_EQ(h.read(a / ".sociantes.rc"), rc);
  EXPECT_EQ(h.read(h.db() / "A0001.dat"), fresh("Dupont", "Choir"));
  EXPECT_EQ(h.read(h.db() / "A0002.dat"), fresh("Martin", ""));
  EXPECT_EQ(h.read(h.db() / "A0003.dat"), fresh("Zed", ""));
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), kMembers);
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));

  // The same name again: refused, nothing changes.
  h.write(h.db() / "A0001.dat", "new notes\r\n");
  r = run_driver(h, "start\n" + archive("JAN") + "show elapsed\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has(kRefused)) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(h.db() / "A0001.dat"), "new notes\r\n");
  EXPECT_EQ(h.read(a / "A0001.dat"), "old history of A0001\r\n");
}

TEST(Archives, PacingOffSkipsTheDisplayPauses) {
  ScratchHome h;
  three_members(h, "pacing=no\r\n");
  DriverRun r = run_driver(h, "start\n" + archive("FEB") + "show elapsed\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("elapsed 0")) << r.out;
  EXPECT_EQ(h.read(h.db() / "A0002.dat"), fresh("Martin", ""));
  EXPECT_EQ(h.read(h.db() / "archives.aff" / "FEB" / "A0002.dat"), "old history of A0002\r\n");
}

TEST(Archives, NamesThatAreNoPlainDirectoryNameCreateNothing) {
  const std::string refused[] = {"../x", "a/b", "", ".", "..", std::string(64, 'a'), "a b",
                                 "\xC3\xA9t\xC3\xA9", "x;y", "/tmp/x"};
  for (const auto& name : refused) {
    ScratchHome h;
    three_members(h);
    DriverRun r = run_driver(h, "start\n" + archive(name));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has(kRefused)) << name << "\n" << r.out;
    EXPECT_TRUE(r.has("action 0")) << name;
    EXPECT_FALSE(fs::exists(h.db() / "archives.aff")) << name;
    EXPECT_FALSE(fs::exists(h.path() / "x")) << name;
    EXPECT_EQ(h.read(h.db() / "A0001.dat"), "old history of A0001\r\n") << name;
  }
  ScratchHome h;
  three_members(h, "pacing=no\r\n");
  const std::string longest = std::string(60, 'a') + "-_.";
  DriverRun r = run_driver(h, "start\n" + archive(longest));
  EXPECT_FALSE(r.has(kRefused)) << r.out;
  EXPECT_TRUE(fs::exists(h.db() / "archives.aff" / longest / "sociantes.data"));
}

TEST(Archives, MissingHistoryFileStopsAtThatMember) {
  ScratchHome h;
  three_members(h);
  fs::remove(h.db() / "A0002.dat");
  DriverRun r = run_driver(h, "start\n" + archive("MAR") + "show elapsed\nshow status\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" ERROR 101 \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(r.has("elapsed 3000")) << r.out;  // stopped at the second member
  const fs::path a = h.db() / "archives.aff" / "MAR";
  EXPECT_EQ(h.read(a / "A0001.dat"), "old history of A0001\r\n");
  EXPECT_EQ(h.read(h.db() / "A0001.dat"), fresh("Dupont", "Choir"));  // renewed before the stop
  EXPECT_FALSE(fs::exists(h.db() / "A0002.dat"));
  EXPECT_EQ(h.read(h.db() / "A0003.dat"), "old history of A0003\r\n");  // untouched
  EXPECT_FALSE(fs::exists(a / "A0003.dat"));
  EXPECT_FALSE(fs::exists(a / "sociantes.data"));  // the archive says it is incomplete
}

// Regressions: a reference shared by two records was archived twice, the
// second copy being the history the first had just renewed, so the saved
// history was lost; a damaged member file archived the members before the
// damage and then reported nothing.
TEST(Archives, ASharedReferenceIsArchivedOnceAndADamagedFileIsRefused) {
  ScratchHome h;
  const std::string members = rec("Alpha", "A0001") + rec("Beta", "A0001") + rec("Gamma", "A0002");
  make_db(h, members, "", "ref=A0003\r\npacing=no\r\n");
  h.write(h.db() / "A0001.dat", "history of A0001\r\n");
  h.write(h.db() / "A0002.dat", "history of A0002\r\n");
  DriverRun r = run_driver(h, "start\n" + archive("APR"));
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  const fs::path a = h.db() / "archives.aff" / "APR";
  EXPECT_EQ(h.read(a / "A0001.dat"), "history of A0001\r\n");
  EXPECT_EQ(h.read(a / "A0002.dat"), "history of A0002\r\n");
  EXPECT_EQ(h.read(h.db() / "A0001.dat"), fresh("Alpha", ""));
  EXPECT_EQ(h.read(a / "sociantes.data"), members);

  const std::string damaged = rec("Alpha", "A0001") + "stray line\r\n" + rec("Gamma", "A0002");
  h.write(h.db() / "sociantes.data", damaged);
  r = run_driver(h, "start\n" + archive("MAY"));
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_NE(r.out.find("The member file is damaged at line 15"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Nothing was archived. Please repair the file first."), std::string::npos);
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "archives.aff" / "MAY"));
  EXPECT_EQ(h.read(h.db() / "A0002.dat"), fresh("Gamma", ""));  // as the first archive left it
}

TEST(Archives, RefusedInNetworkModeAndDuringAnAction) {
  ScratchHome h;
  three_members(h);
  fs::create_directories(h.path() / "net");
  DriverRun r = run_driver(h, "start\ncmd 400\ncmd 16\ncmd 404\nshow action\n");
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "archives.aff"));
  make_db(h, kMembers, "",
          "ref=A0004\r\nbip=no\r\ninfo=no\r\nnetwork=yes\r\nwin_net_path=" +
              (h.path() / "net").string() + "\r\n");
  r = run_driver(h, "start\ncmd 16\nshow action\n");
  EXPECT_TRUE(r.has("info 1 \" This command is restricted in Network mode. \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "archives.aff"));
}

TEST(ConsultArchives, OpensTheChosenFileInTheEditor) {
  ScratchHome h;
  three_members(h);
  const std::string file = (h.db() / "A0001.dat").string();
  DriverRun r = run_driver(h, "start\nreply file \"" + file +
                                  "\"\ncmd 446\nreply file /nonexistent\ncmd 446\n"
                                  "reply file \"" + h.db().string() + "\"\ncmd 446\n"
                                  "reply cancel\ncmd 446\ncmd 446\n"
                                  "cmd 400\nreply file \"" + file + "\"\ncmd 446\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  // Only the first choice opens; a missing file and a folder are no file;
  // during an action the chosen file is left to that action.
  EXPECT_EQ(lines_with(r, "launch editor"), std::vector<std::string>{"launch editor \"" + file + "\""})
      << r.out;
  EXPECT_EQ(lines_with(r, "info 1 \"     No file!     \"").size(), 2u) << r.out;
}

}  // namespace
}  // namespace soc::test
