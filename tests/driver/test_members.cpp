// Whole edit cycles of the member file through sociantes-driver: New in every
// identification mode, Modify, Delete, Cancel, the one-action rule, the
// category filter, selection under the record lock, and the failure paths of
// Save, checked against the exact bytes of the files written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kIdle =
    "status \"Action: Selection     Bip: On    Info: On    Net: Local   ID: [0]   Filters: \"";

// The history file of a new member with the built-in captions.
std::string history(const std::string& name, const std::string& rem, const std::string& cat,
                    const std::string& id) {
  std::string s = "\r\n\r\n" + std::string(29, ' ') + "Sociante's history\r\n" +
                  std::string(29, ' ') + std::string(19, '-') + "\r\n";
  s += "                 Name: " + name + "\r\n";
  for (const char* c : {"        First Name(s)", "              Address", "                 City",
                        "         ZIP/PostCode", "            Tel Email", "           Profession",
                        "          Nationality", "     Birthday & place"})
    s += std::string(c) + ": \r\n";
  s += "              Remarks: " + rem + "\r\n";
  s += "             Category: " + cat + "\r\n";
  s += "       Identification: " + id + "\r\n";
  return s + std::string(77, '*') + "\r\n";
}

TEST(MemberNew, EveryIdentificationMode) {
  struct Case {
    int mode;
    const char* box_line;   // the Identification entry at New
    bool typed;             // the entry accepts typing
    const char* stored;     // field 11 after Save
  } cases[] = {
      {0, "entry 11 enabled \"\"", true, "typed"},
      {1, "entry 11 disabled \"*****\"", false, "A0000"},
      {2, "entry 11 enabled \"08122026\"", true, "typed"},
      {3, "entry 11 disabled \"08122026*****\"", false, "08122026A0000"},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_db(h, "", "");
    std::string mode = std::to_string(c.mode);
    DriverRun r = run_driver(h, "clock 2026-12-08 10:00:00\nstart\ncmd " +
                                    std::to_string(414 + c.mode) +
                                    "\ncmd 400\nshow form\nshow status\nset 1 Martin\n"
                                    "set 11 typed\ncmd 402\nshow status\nshow list\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has(c.box_line)) << r.out;
    EXPECT_EQ(r.has("error \"entry 11 is disabled\""), !c.typed) << r.out;
    EXPECT_TRUE(r.has("info 0 \" Please fill up the fields and press <Save>  \"")) << r.out;
    EXPECT_TRUE(r.has("status \"Action: New     Bip: On    Info: On    Net: Local   ID: [" + mode +
                      "]   Filters: \""))
        << r.out;
    EXPECT_TRUE(r.has("status \"Action: Selection     Bip: On    Info: On    Net: Local   ID: [" +
                      mode + "]   Filters: \""))
        << r.out;
    EXPECT_TRUE(r.has("row \"A0000\" \"" + std::string(c.stored) + "\" \"Martin\" \"     \""))
        << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Martin", "A0000", " ", "", c.stored));
    EXPECT_EQ(h.read(h.db() / "A0000.dat"), history("Martin", " ", "", c.stored));
    EXPECT_EQ(rc_value(h, "ref"), "A0001");
    EXPECT_EQ(rc_value(h, "id_type"), mode);
    EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck"));
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
    EXPECT_FALSE(fs::exists(h.tmp() / "sociantes.tmp"));
  }
}

TEST(MemberNew, ModeChangedToDateIndexDuringNewAppendsTheReference) {
  ScratchHome h;
  make_db(h, "", "", "ref=A0012\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Martin\nset 11 AB\ncmd 417\ncmd 402\nquit\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Martin", "A0012", " ", "", "ABA0012"));
  EXPECT_EQ(rc_value(h, "ref"), "A0013");
}

TEST(MemberNew, InsertsInNameOrderWithFormFieldsAndFlags) {
  ScratchHome h;
  const std::string dupont = rec("Dupont", "A0000"), durand = rec("Durand", "A0001");
  make_db(h, dupont + durand, "Board\r\nChoir\r\n", "ref=A0002\r\n");
  DriverRun r = run_driver(h,
                           "start\ncategory 2\ncmd 400\nshow form\nset 1 Dupont\nset 2 Jean\n"
                           "set 10 \"Pays dues!\"\nflag 1 1\nflag 3 1\ncmd 402\n"
                           "cmd 400\nset 1 \"\\xC3\\x89mile\"\ncmd 402\n"
                           "cmd 400\nset 1 adam\ncategory 1\ncmd 402\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("entry 13 enabled \"Choir\"")) << r.out;  // the selected category
  std::string jean = "#\r\nDupont\r\nJean\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nPays dues !%\r\n\r\nA0002\r\n"
                     "Choir\r\n";
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("\xC3\x89mile", "A0003", " ", "Choir") + jean +
                                                   dupont + durand +
                                                   rec("adam", "A0004", " ", "Board"));
  // Listed with the filter Board chosen during the last New.
  EXPECT_EQ(lines_with(r, "row "), (std::vector<std::string>{"row \"A0004\" \"\" \"adam\" \"     \""}));
}

TEST(MemberNew, EmptyNameKeepsTheActionAndAnotherActionIsRefused) {
  ScratchHome h;
  make_db(h, rec("Dupont", "A0000"), "");
  DriverRun r = run_driver(h, "start\nclick 0\ncmd 400\ncmd 402\nshow action\ncmd 400\ncmd 401\n"
                              "cmd 403\ncmd 425\ncmd 416\nshow action\ncmd 404\nshow action\n"
                              "show list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \"  Empty NAME field !!! \"")) << r.out;
  EXPECT_EQ(lines_with(r, "action "), (std::vector<std::string>{"action 1", "action 1", "action 0"}));
  // New, Modify and the bulk flag change meet the running action; Delete
  // first finds that New has released the selection.
  EXPECT_EQ(lines_with(r, "info 1 \" Another Functionality is already used!  \"").size(), 3u)
      << r.out;
  EXPECT_TRUE(r.has("info 1 \" Sorry! No member is selected! \"")) << r.out;
  EXPECT_TRUE(r.has("row \"A0000\" \"\" \"Dupont\" \"     \"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Dupont", "A0000"));
  EXPECT_EQ(rc_value(h, "ref"), "A0000");
}

TEST(MemberNew, FieldsAreOneLineOf62BytesAtMost) {
  ScratchHome h;
  make_db(h, "", "");
  std::string euros;
  for (int i = 0; i < 21; ++i) euros += "\\xE2\\x82\\xAC";  // 63 bytes
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 \"" + euros + "\"\nset 3 \"rue\\r\\nde Paris\"\n"
                              "set 10 \"" + std::string(70, 'r') + "\"\ncmd 402\nquit\n");
  std::string name;
  for (int i = 0; i < 20; ++i) name += "\xE2\x82\xAC";  // 60 bytes: the 21st would pass 62
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            "#\r\n" + name + "\r\n\r\nrue  de Paris\r\n\r\n\r\n\r\n\r\n\r\n\r\n" +
                std::string(58, 'r') + "\r\n\r\nA0000\r\n\r\n");
}

TEST(MemberNew, ReferencesEndAt9999) {
  ScratchHome h;
  make_db(h, "", "", "ref=A9999\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Last\ncmd 402\ncmd 400\nshow action\nquit\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Last", "A9999", " "));
  EXPECT_EQ(rc_value(h, "ref"), "A10000");
  EXPECT_TRUE(r.has("info 1 \" All member references up to A9999 have been given out. \\r\\n No new "
                    "member can be added. \""))
      << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
}

TEST(MemberNew, MalformedCounterAtSave) {
  for (const char* counter : {"A12", "A:000", ""}) {
    ScratchHome h;
    make_db(h, "", "", std::string("ref=") + counter + "\r\n");
    DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Late\ncmd 402\nshow action\nshow list\nquit\n");
    EXPECT_TRUE(r.has("info 1 \" ERROR NEW_0 \"")) << r.out;
    EXPECT_TRUE(r.has("action 0")) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), "") << counter;
    EXPECT_EQ(rc_value(h, "ref"), counter);
    EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck")) << counter;
  }
}

TEST(MemberNew, HistoryFileNotCreatableStillAdvancesTheCounter) {
  ScratchHome h;
  make_db(h, "", "");
  fs::create_directories(h.db() / "A0000.dat");  // no file can take its place
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Martin\ncmd 402\nshow action\n"
                              "cmd 400\nset 1 Nadal\ncmd 402\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" ERROR NEW_14 \"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Martin", "A0000", " ") + rec("Nadal", "A0001", " "));
  EXPECT_EQ(rc_value(h, "ref"), "A0002");
  EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck"));
  EXPECT_TRUE(fs::exists(h.db() / "A0001.dat"));
}

TEST(MemberNew, MemberFolderWhenFoldersAreOn) {
  ScratchHome h;
  make_db(h, "", "", "ref=A0000\r\ndirs=yes\r\n");
  fs::create_directories(h.db() / "A0001_dir");  // exists already: the save goes on
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 A\ncmd 402\ncmd 400\nset 1 B\ncmd 402\nquit\n");
  EXPECT_TRUE(fs::is_directory(h.db() / "A0000_dir"));
  EXPECT_EQ(lines_with(r, "info 1 ").size(), 1u) << r.out;
  EXPECT_TRUE(r.has("info 1 \" ERROR NEW_DIR \"")) << r.out;
  EXPECT_EQ(rc_value(h, "ref"), "A0002");
}

TEST(MemberNew, NumberingLockHeldElsewhere) {
  ScratchHome h;
  make_db(h, "", "");
  h.write(h.db() / "wait4new.lck", "");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Martin\ncmd 402\nshow action\nshow elapsed\n"
                              "show list\nquit\n");
  EXPECT_TRUE(r.has(locked_no_owner(h.db() / "wait4new"))) << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_TRUE(r.has("elapsed 3000")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), "");
  EXPECT_TRUE(fs::exists(h.db() / "wait4new.lck"));  // another's lock stays
  EXPECT_EQ(rc_value(h, "ref"), "A0000");
}

TEST(MemberModify, MovesTheRecordAndKeepsReferenceAndHistory) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000", "old !", "Arts", "id0") + rec("Dupont", "A0001") + rec("Zola", "A0002"),
          "Arts\r\nChoir\r\n");
  h.write(h.db() / "A0000.dat", "history as the user wrote it\r\n");
  DriverRun r = run_driver(h, "start\nclick 0\nshow selection\nshow form\ncmd 401\nshow status\n"
                              "show list\nshow form\nset 1 Zorro\nset 11 id9\nflag 2 1\ncategory 2\n"
                              "cmd 402\nshow status\nshow list\nshow selection\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("selection \"A0000\" \"A0000\"")) << r.out;
  EXPECT_TRUE(r.has("entry 1 disabled \"Adam\"")) << r.out;
  EXPECT_TRUE(r.has("entry 1 enabled \"Adam\"")) << r.out;
  EXPECT_TRUE(r.has("flags 1 0 0 0")) << r.out;
  EXPECT_TRUE(r.has("info 0 \"  Please modify the fields and press <Save> \\r\\n Note that the "
                    "History file is not automatically updated  \""))
      << r.out;
  EXPECT_TRUE(r.has("status \"Action: Modify     Bip: On    Info: On    Net: Local   ID: [0]   "
                    "Filters: \""))
      << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("Dupont", "A0001") + rec("Zola", "A0002") + rec("Zorro", "A0000", "old !$", "Choir", "id9"));
  EXPECT_EQ(h.read(h.db() / "A0000.dat"), "history as the user wrote it\r\n");
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
  EXPECT_TRUE(r.has("selection \"\" \"\"")) << r.out;
  EXPECT_TRUE(r.has(kIdle)) << r.out;
  EXPECT_EQ(rc_value(h, "ref"), "A0000");
}

// Guards the display conversion: text of an older Windows installation is
// shown converted but written back with its own bytes when left unchanged.
TEST(MemberModify, UnchangedWindows1252TextKeepsItsBytes) {
  ScratchHome h;
  make_db(h, rec("B\xE9la", "A0000", "", "Ch\x9Cur") + rec("Dupont", "A0001"), "Ch\x9Cur\r\n");
  DriverRun r = run_driver(h, "start\nclick 0\nshow form\ncmd 401\nset 11 \"caf\xC3\xA9\"\n"
                              "category 1\ncmd 402\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("entry 1 disabled \"B\\xC3\\xA9la\"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            rec("B\xE9la", "A0000", " ", "Ch\x9Cur", "caf\xC3\xA9") + rec("Dupont", "A0001"));
}

// Guards New after viewing a member: the typed bytes are stored, not the
// bytes of the member shown before.
TEST(MemberNew, TypedTextIsStoredAsTypedAfterViewingAMember) {
  ScratchHome h;
  make_db(h, rec("B\xE9la", "A0000"), "", "ref=A0001\r\n");
  DriverRun r = run_driver(h, "start\nclick 0\ncmd 404\ncmd 400\nset 1 \"B\xC3\xA9la\"\ncmd 402\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("B\xC3\xA9la", "A0001", " ") + rec("B\xE9la", "A0000"));
}

// The malformed counter ends the action but keeps what was typed in the form.
TEST(MemberNew, MalformedCounterKeepsTheForm) {
  ScratchHome h;
  make_db(h, "", "", "ref=A12\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Late\ncmd 402\nshow form\nshow status\n");
  EXPECT_TRUE(r.has("entry 1 enabled \"Late\"")) << r.out;
  EXPECT_TRUE(r.has(kIdle)) << r.out;
}

TEST(MemberModify, IdentificationStaysReadOnlyInModes1And3) {
  for (const char* mode : {"1", "3"}) {
    ScratchHome h;
    make_db(h, rec("Adam", "A0000", "", "", "A0000"), "", std::string("ref=A0001\r\nid_type=") + mode + "\r\n");
    DriverRun r = run_driver(h, "start\nclick 0\ncmd 401\nshow form\n");
    EXPECT_TRUE(r.has("entry 1 enabled \"Adam\"")) << mode << r.out;
    EXPECT_TRUE(r.has("entry 11 disabled \"A0000\"")) << mode << r.out;
  }
}

TEST(MemberDelete, YesThenSaveRemovesTheMemberNoKeepsIt) {
  ScratchHome h;
  const std::string adam = rec("Adam", "A0000"), zola = rec("Zola", "A0001");
  make_db(h, adam + zola, "");
  h.write(h.db() / "A0001.dat", "history\r\n");
  DriverRun r = run_driver(h, "start\nclick 1\nreply no\ncmd 403\nshow status\nshow list\n"
                              "click 1\nreply yes\ncmd 403\nshow status\nshow list\ncmd 400\n"
                              "cmd 402\nshow status\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string question =
      "info 2 \"  Are you sure ??? \\r\\n  Please Click 'Yes' and then press <Save> \\r\\n  "
      "otherwise 'No' to cancel. \\r\\n\"";
  EXPECT_EQ(lines_with(r, "info 2 ").size(), 2u) << r.out;
  EXPECT_TRUE(r.has(question)) << r.out;
  const std::string delete_status =
      "status \"Action: Delete     Bip: On    Info: On    Net: Local   ID: [0]   Filters: \"";
  // No: the list is back and the member file untouched; Yes: the action
  // stays, the list stays empty, New is refused, Save deletes.
  std::vector<std::string> statuses = lines_with(r, "status ");
  ASSERT_EQ(statuses.size(), 3u) << r.out;
  EXPECT_EQ(statuses[0], kIdle);
  EXPECT_EQ(statuses[1], delete_status);
  EXPECT_EQ(statuses[2], kIdle);
  EXPECT_EQ(lines_with(r, "row "),
            (std::vector<std::string>{"row \"A0000\" \"\" \"Adam\" \"     \"",
                                      "row \"A0001\" \"\" \"Zola\" \"     \"",
                                      "row \"A0000\" \"\" \"Adam\" \"     \""}));
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), adam);
  EXPECT_EQ(h.read(h.db() / "A0001.dat"), "history\r\n");
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));
  EXPECT_FALSE(fs::exists(h.tmp() / "sociantes.tmp"));
}

TEST(MemberCancel, ReloadsTheListAndReleasesTheRecordLock) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000"), "");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Nobody\ncmd 404\nshow action\nshow list\n"
                              "click 0\ncmd 401\ncmd 404\nshow selection\nshow form\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "row ").size(), 1u) << r.out;
  EXPECT_TRUE(r.has("selection \"\" \"\"")) << r.out;
  EXPECT_TRUE(r.has("entry 1 disabled \"\"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A0000"));
  EXPECT_EQ(rc_value(h, "ref"), "A0000");
}

TEST(MemberList, CategoryFilterIsAPrefixTest) {
  ScratchHome h;
  make_db(h, rec("A", "A0000", "!", "Board") + rec("B", "A0001", "x $&", "Board members") +
                 rec("C", "A0002", "", "Choir") + rec("D", "A0003", "", ""),
          "Board\r\nChoir\r\n");
  DriverRun r = run_driver(h, "start\nshow categories\ncategory 1\nshow list\ncategory 2\nshow list\n"
                              "category 0\nshow list\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "category "),
            (std::vector<std::string>{"category 0 \"All\"", "category 1 \"Board\"",
                                      "category 2 \"Choir\""}));
  EXPECT_EQ(lines_with(r, "row "),
            (std::vector<std::string>{
                // Board
                "row \"A0000\" \"\" \"A\" \" !   \"", "row \"A0001\" \"\" \"B\" \"  $ &\"",
                // Choir
                "row \"A0002\" \"\" \"C\" \"     \"",
                // All
                "row \"A0000\" \"\" \"A\" \" !   \"", "row \"A0001\" \"\" \"B\" \"  $ &\"",
                "row \"A0002\" \"\" \"C\" \"     \"", "row \"A0003\" \"\" \"D\" \"     \""}));
}

TEST(MemberList, ListsTheFirst9900Records) {
  ScratchHome h;
  std::string file;
  for (int i = 0; i < 10000; ++i) {
    file += rec("N" + std::to_string(100000 + i), ref_of(i));
  }
  make_db(h, file, "");
  DriverRun r = run_driver(h, "start\nshow list\nquit\n");
  std::vector<std::string> rows = lines_with(r, "row ");
  ASSERT_EQ(rows.size(), 9900u);
  EXPECT_EQ(rows.back(), "row \"A9899\" \"\" \"N109899\" \"     \"");
}

TEST(MemberList, NetworkDirectoryWithoutMemberFile) {
  ScratchHome h;
  const fs::path net = h.path() / "share";
  make_db(h, "", "", "network=yes\r\nwin_net_path=" + net.string() + "\r\n");
  h.write(net / ".sociantes.rc", kRcHead + "ref=A0000\r\n");
  DriverRun r = run_driver(h, "start\ncmd 400\nset 1 X\ncmd 402\nshow action\nquit\n");
  EXPECT_TRUE(r.has("info 1 \"FATAL ERROR\\r\\nNo access to the database\"")) << r.out;
  EXPECT_TRUE(r.has("info 1 \" ERROR NEW_3\"")) << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_FALSE(fs::exists(net / "wait4new.lck"));
  EXPECT_FALSE(fs::exists(net / "sociantes.data.lck"));
  EXPECT_FALSE(fs::exists(net / "sociantes.data"));
}

TEST(MemberSelect, RecordLockIsTakenMovedAndReleased) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000", "Note $!") + rec("Zola", "A0001"), "");
  DriverRun r = run_driver(h, "start\nclick 0\nshow form\nshow list\nclick 1\nshow selection\n"
                              "click -1\nshow selection\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("flags 1 1 0 0")) << r.out;
  EXPECT_TRUE(r.has("entry 10 disabled \"Note $!\"")) << r.out;
  EXPECT_TRUE(r.has("selected 0")) << r.out;
  EXPECT_EQ(lines_with(r, "selection "),
            (std::vector<std::string>{"selection \"A0001\" \"A0001\"",
                                      "selection \"A0001\" \"A0001\""}));
  // quit released the last lock; the first was released by the second click
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "A0001.lck"));
}

TEST(MemberSelect, LockedMemberIsNotSelected) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000") + rec("Zola", "A0001"), "");
  h.write(h.db() / "A0001.lck", "");
  DriverRun r = run_driver(h, "start\nclick 1\nshow elapsed\nshow selection\nshow list\nshow form\n"
                              "cmd 401\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has(locked_no_owner(h.db() / "A0001"))) << r.out;
  EXPECT_TRUE(r.has("elapsed 3000")) << r.out;
  EXPECT_TRUE(r.has("selection \"\" \"\"")) << r.out;
  EXPECT_TRUE(r.has("selected -1")) << r.out;
  EXPECT_TRUE(r.has("entry 1 disabled \"\"")) << r.out;
  EXPECT_TRUE(r.has("info 1 \" Sorry! No member is selected! \"")) << r.out;
  EXPECT_TRUE(fs::exists(h.db() / "A0001.lck"));  // the other workstation's lock stays
}

TEST(MemberSave, MemberFileLockedAtDeleteReleasesTheSelection) {
  ScratchHome h;
  make_db(h, rec("Adam", "A0000"), "");
  h.write(h.db() / "sociantes.data.lck", "");
  DriverRun r = run_driver(h, "start\nclick 0\nreply yes\ncmd 403\ncmd 402\nshow action\n"
                              "show selection\nquit\n");
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_TRUE(r.has("selection \"\" \"A0000\"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "A0000.lck"));
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Adam", "A0000"));
}

}  // namespace
}  // namespace soc::test
