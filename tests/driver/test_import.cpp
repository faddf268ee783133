// Spreadsheet export and import through sociantes-driver, checked against the
// exact bytes of the files written: the export with its filters, the import
// in the identification modes, the field check, names placed as inserting the
// lines one by one places them (equal names, a hand-edited unsorted member
// file), the failures part-way, and kills at every step of the import.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// A record with all 13 fields given.
std::string full(const std::vector<std::string>& f) {
  std::string s = "#\r\n";
  for (const auto& v : f) s += v + "\r\n";
  return s;
}

// A script that starts on 8 December 2026, imports path and shows the outcome.
std::string import_script(const fs::path& path) {
  return "clock 2026-12-08 09:15:00\nstart\nreply file " + path.string() +
         "\ncmd 21\nshow action\nshow elapsed\nquit\n";
}

std::string rc_mode(int mode, const std::string& ref) {
  return "ref=" + ref + "\r\nid_type=" + std::to_string(mode) + "\r\n";
}

const std::string kBravo = rec("Bravo", "A0003");
const std::string kDelta = rec("Delta", "A0004");
const std::string kCharlieLine = "Charlie;Jean;1 rue;Paris;75000;tel;act;nat;birth;rem $;Choir";

TEST(Import, Mode3IdentificationIsDateAndReferenceInsideAndAtTheEnd) {
  ScratchHome h;
  make_db(h, kBravo + kDelta, "", rc_mode(3, "A0012"));
  h.write(h.path() / "in.csv", kCharlieLine + "\r\nZulu;;;;;;;;;;\n");
  DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"),
            kBravo +
                full({"Charlie", "Jean", "1 rue", "Paris", "75000", "tel", "act", "nat", "birth",
                      "rem $", "08122026A0012", "A0012", "Choir"}) +
                kDelta + rec("Zulu", "A0013", "", "", "08122026A0013"));
  EXPECT_EQ(rc_value(h, "ref"), "A0014");
  const std::string bar(77, '*');
  EXPECT_EQ(h.read(h.db() / "A0012.dat"),
            "\r\n\r\n                             Sociante's history\r\n"
            "                             -------------------\r\n"
            "                 Name: Charlie\r\n        First Name(s): Jean\r\n"
            "              Address: 1 rue\r\n                 City: Paris\r\n"
            "         ZIP/PostCode: 75000\r\n            Tel Email: tel\r\n"
            "           Profession: act\r\n          Nationality: nat\r\n"
            "     Birthday & place: birth\r\n              Remarks: rem $\r\n"
            "             Category: Choir\r\n       Identification: 08122026A0012\r\n" +
                bar + "\r\n");
  EXPECT_NE(h.read(h.db() / "A0013.dat").find("                 Name: Zulu\r\n"), std::string::npos);
  // One second before and after the field check, one per line.
  EXPECT_TRUE(r.has("info 4 \" Analysing the file, Please wait. \"")) << r.out;
  EXPECT_TRUE(r.has("elapsed 4000")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
  EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck"));
}

TEST(Import, Mode1IdentificationIsTheReferenceAndMode0TakesTheLastColumn) {
  ScratchHome h;
  make_db(h, kBravo, "", rc_mode(1, "A0007"));
  h.write(h.path() / "in.csv", "Alpha;;;;;;;;;;Cat\r\n");
  ASSERT_EQ(run_driver(h, import_script(h.path() / "in.csv")).rc, 0);
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Alpha", "A0007", "", "Cat", "A0007") + kBravo);

  // Mode 0: a file the export wrote passes the check, its columns shifted
  // (the identification becomes the Name, the category the identification).
  ScratchHome g;
  make_db(g, full({"Nom", "Pre", "Adr", "Vil", "CP", "Tel", "Pro", "Nat", "Nai", "Rem !", "ID9",
                   "A0000", "Cat"}),
          "", rc_mode(0, "A0001"));
  DriverRun r = run_driver(g, "start\nreply file " + (g.path() / "x.csv").string() +
                                  "\ncmd 20\nreply file " + (g.path() / "x.csv").string() +
                                  "\ncmd 21\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(g.read(g.path() / "x.csv"), "ID9;Nom;Pre;Adr;Vil;CP;Tel;Pro;Nat;Nai;Rem !;Cat\r\n");
  EXPECT_EQ(g.read(g.db() / "sociantes.data"),
            full({"ID9", "Nom", "Pre", "Adr", "Vil", "CP", "Tel", "Pro", "Nat", "Nai", "Cat",
                  "A0001", "Rem !"}) +
                full({"Nom", "Pre", "Adr", "Vil", "CP", "Tel", "Pro", "Nat", "Nai", "Rem !",
                      "ID9", "A0000", "Cat"}));
}

TEST(Import, WrongFieldCountOrLongLineImportsNothing) {
  struct Case {
    std::string file;      // the import file
    std::string message;   // the error line shown
  };
  const std::string ok = "A;;;;;;;;;;;x\r\n";  // 11 ";" (mode 0)
  const std::vector<Case> cases = {
      {ok + ok + "B;;;;;;;;;;\r\n" + ok, " The Number of fields incorrect in line: 3 \\n"},
      {ok + "C;;;;;;;;;;;;\r\n", " The Number of fields incorrect in line: 2 \\n"},
      {ok + "\r\n" + ok, " The Number of fields incorrect in line: 2 \\n"},
      {ok + std::string(500, 'x') + ";;;;;;;;;;;\r\n",  // 511 bytes
       " The line is longer than 510 characters: line 2 \\n"},
  };
  for (const Case& c : cases) {
    ScratchHome h;
    make_db(h, kBravo, "", rc_mode(0, "A0005"));
    h.write(h.path() / "in.csv", c.file);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("info 1 \"" + c.message + "\"")) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kBravo);
    EXPECT_EQ(rc_value(h, "ref"), "A0005");
    EXPECT_FALSE(fs::exists(h.db() / "A0005.dat"));
    EXPECT_TRUE(r.has("action 0"));
    EXPECT_TRUE(r.has("elapsed 1000")) << r.out;  // the pause before the check only
  }
  // A line of exactly 510 bytes is one line.
  ScratchHome h;
  make_db(h, "", "", rc_mode(0, "A0000"));
  h.write(h.path() / "in.csv", std::string(499, 'y') + ";;;;;;;;;;;");
  ASSERT_EQ(run_driver(h, import_script(h.path() / "in.csv")).rc, 0);
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec(std::string(62, 'y'), "A0000"));
}

TEST(Import, EqualNamesAndAnUnsortedMemberFileAsLineByLine) {
  ScratchHome h;
  const std::string m1 = rec("Mike", "A0001"), a2 = rec("Alpha", "A0002"),
                    m3 = rec("Mike", "A0003"), z0 = rec("Zed", "A0000");
  make_db(h, m1 + a2 + m3 + z0, "", rc_mode(1, "A0002"));  // counter behind the file
  h.write(h.path() / "in.csv", "Mike;;;;;;;;;;\nBeta;;;;;;;;;;\nMike;;;;;;;;;;\nAaron;;;;;;;;;;\nZzz;;;;;;;;;;\n");
  ASSERT_EQ(run_driver(h, import_script(h.path() / "in.csv")).rc, 0);
  auto n = [](const char* name, const char* ref) { return rec(name, ref, "", "", ref); };
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), n("Aaron", "A0007") + n("Beta", "A0005") +
                                                   n("Mike", "A0006") + n("Mike", "A0004") + m1 +
                                                   a2 + m3 + z0 + n("Zzz", "A0008"));
  EXPECT_EQ(rc_value(h, "ref"), "A0009");
}

TEST(Import, FailuresPartWayKeepTheEarlierLinesAndTheCounterAhead) {
  const std::string three = "L1;;;;;;;;;;\r\nL2;;;;;;;;;;\r\nL3;;;;;;;;;;\r\n";
  {  // The history file of the second line cannot be created: its record stays.
    ScratchHome h;
    make_db(h, "", "", rc_mode(1, "A0010"));
    fs::create_directories(h.db() / "A0011.dat");
    h.write(h.path() / "in.csv", three);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_TRUE(r.has("info 1 \" ERROR I08 \"")) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"),
              rec("L1", "A0010", "", "", "A0010") + rec("L2", "A0011", "", "", "A0011"));
    EXPECT_EQ(rc_value(h, "ref"), "A0012");
    EXPECT_TRUE(r.has("elapsed 3000")) << r.out;  // only L1 was shown
  }
  {  // The references run out after two lines.
    ScratchHome h;
    make_db(h, "", "", rc_mode(0, "A9998"));
    h.write(h.path() / "in.csv", "L1;;;;;;;;;;;\r\nL2;;;;;;;;;;;\r\nL3;;;;;;;;;;;\r\n");
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_TRUE(r.has("info 1 \" All member references up to A9999 have been given out. \\r\\n No "
                      "new member can be added. \""))
        << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("L1", "A9998") + rec("L2", "A9999"));
    EXPECT_EQ(rc_value(h, "ref"), "A10000");
  }
  {  // The stored next reference is none: nothing is imported.
    ScratchHome h;
    make_db(h, kBravo, "", rc_mode(1, "B12"));
    h.write(h.path() / "in.csv", three);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_TRUE(r.has("info 1 \" ERROR NEW_0 \"")) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kBravo);
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
    EXPECT_FALSE(fs::exists(h.db() / "wait4new.lck"));
  }
  {  // The numbering lock is held elsewhere: nothing is imported, no lock stays.
    ScratchHome h;
    make_db(h, kBravo, "", rc_mode(1, "A0010"));
    h.write(h.db() / "wait4new.lck", "");
    h.write(h.path() / "in.csv", three);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_TRUE(r.has(locked_no_owner(h.db() / "wait4new"))) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kBravo);
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
    EXPECT_TRUE(r.has("action 0"));
    // An empty file passes the check and changes nothing.
    h.write(h.path() / "in.csv", "");
    r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_EQ(lines_with(r, "info 1"), std::vector<std::string>{}) << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kBravo);
    EXPECT_EQ(rc_value(h, "ref"), "A0010");
  }
  {  // A damaged member file is refused whole.
    ScratchHome h;
    const std::string damaged = kBravo + "stray\r\n" + kDelta;
    make_db(h, damaged, "", rc_mode(1, "A0010"));
    h.write(h.path() / "in.csv", three);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    EXPECT_NE(r.out.find("Nothing was changed. Please repair the file first."), std::string::npos)
        << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), damaged);
    EXPECT_EQ(rc_value(h, "ref"), "A0010");
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
  }
}

TEST(Export, FiltersEmptyFieldsCancelAndUnwritableFile) {
  ScratchHome h;
  const std::string a = full({"Dupont", "Jean", "", "Paris", "", "", "", "", "", "x !", "ID1",
                              "A0000", "AB"});
  const std::string b = rec("Martin", "A0001", "y", "AB");
  const std::string c = rec("Petit", "A0002", "z !", "B");
  // A field longer than 62 bytes is exported whole.
  const std::string d = rec(std::string(70, 'L'), "A0003", "!", "ABC");
  make_db(h, a + b + c + d, "AB\r\nB\r\n");
  const fs::path out = h.path() / "out.csv";
  DriverRun r = run_driver(
      h, "start\nreply cancel\ncmd 20\nshow action\nshow status\nreply file " + out.string() +
             "\ncmd 20\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "action"), (std::vector<std::string>{"action 0", "action 0"}));
  EXPECT_EQ(lines_with(r, "status")[0].find("Export"), std::string::npos);
  EXPECT_EQ(h.read(out), "ID1;Dupont;Jean;;Paris;;;;;;x !;AB\r\n;Martin;;;;;;;;;y;AB\r\n"
                         ";Petit;;;;;;;;;z !;B\r\n;" + std::string(70, 'L') + ";;;;;;;;;!;ABC\r\n");
  EXPECT_TRUE(r.has("info 0 \" The CSV file have been created. \\r\\n Columns are separated with ' "
                    "; ' \""))
      << r.out;

  // Category "AB" (a prefix of ABC) and the OR filter on "!".
  r = run_driver(h, "start\ncategory 1\ncmd 421\nflag 1 1\nreply file " + out.string() +
                        "\ncmd 20\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(out), "ID1;Dupont;Jean;;Paris;;;;;;x !;AB\r\n;" + std::string(70, 'L') +
                             ";;;;;;;;;!;ABC\r\n");

  // Regression: the chosen file was emptied before the member file was read,
  // so an export refused by another workstation's lock destroyed it.
  h.write(h.db() / "sociantes.data.lck",
          "host=ws-other\r\npid=12\r\nuser=ann\r\nmachine=m\r\nboot=b\r\n"
          "time=2026-12-08 09:00:00 UTC\r\n");
  h.write(out, "kept;row\r\n");
  r = run_driver(h, "start\nreply file " + out.string() + "\ncmd 20\nshow action\nquit\n");
  EXPECT_NE(r.out.find("Operation or data looks locked by another user."), std::string::npos) << r.out;
  EXPECT_EQ(h.read(out), "kept;row\r\n");
  EXPECT_TRUE(r.has("action 0"));
  fs::remove(h.db() / "sociantes.data.lck");

  // Regression: the file selection opens in the data directory, and the
  // member file, the settings or a history file chosen there (or in an
  // archive) was replaced by the export and success reported.
  make_db(h, a + b, "AB\r\n");
  h.write(h.db() / "A0000.dat", "history\r\n");
  h.write(h.db() / "archives.aff" / "JAN" / "sociantes.data", a);
  fs::create_symlink(h.db() / "sociantes.data", h.path() / "link.csv");
  const std::string ref_before = rc_value(h, "ref");
  for (const fs::path& own : {h.db() / "sociantes.data", h.db() / ".sociantes.rc",
                              h.db() / "A0000.dat", h.db() / "archives.aff" / "JAN" / "sociantes.data",
                              h.path() / "link.csv"}) {
    r = run_driver(h, "start\nreply file " + own.string() + "\ncmd 20\nshow action\nquit\n");
    EXPECT_NE(r.out.find("This file belongs to the member database and cannot be the export file"),
              std::string::npos)
        << own << r.out;
    EXPECT_TRUE(r.has("action 0")) << own;
  }
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), a + b);
  EXPECT_EQ(h.read(h.db() / ".sociantes.rc").find("Martin"), std::string::npos);
  EXPECT_EQ(rc_value(h, "ref"), ref_before);
  EXPECT_EQ(h.read(h.db() / "A0000.dat"), "history\r\n");
  EXPECT_EQ(h.read(h.db() / "archives.aff" / "JAN" / "sociantes.data"), a);
  // A file of the user's own in the data directory is no file of the database.
  r = run_driver(h, "start\nreply file " + (h.db() / "mine.csv").string() + "\ncmd 20\nquit\n");
  EXPECT_EQ(h.read(h.db() / "mine.csv"), "ID1;Dupont;Jean;;Paris;;;;;;x !;AB\r\n;Martin;;;;;;;;;y;AB\r\n");

  // A directory cannot be the export file.
  r = run_driver(h, "start\nreply file " + h.path().string() + "\ncmd 20\nshow action\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" The file can't be opened. \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
}

// The number of reference ref ("A0012" gives 12).
int ref_number(const std::string& ref) { return std::atoi(ref.c_str() + 1); }

// The references of the records of a member file text, in file order; the
// text must be whole records of 13 fields (14 lines each).
std::vector<std::string> refs_of(const std::string& text) {
  std::vector<std::string> refs;
  std::size_t pos = 0;
  int line = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) return {"<cut>"};
    const std::string l = text.substr(pos, end - pos);
    if (line % 14 == 0 && l != "#") return {"<no marker>"};
    if (line % 14 == 12) refs.push_back(l);
    ++line;
    pos = end + 2;
  }
  return line % 14 == 0 ? refs : std::vector<std::string>{"<short>"};
}

// Kills a 2,000-line import at each of its steps (and inside the
// replacements of the settings and member files): the member file is the old
// one or the whole new one, and the counter is never behind a reference it
// holds.
void kill_import_at(const std::vector<const char*>& points) {
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += "N" + std::to_string((i * 7919) % 2000) + ";;;;;;;;;;\r\n";
  const std::string old = rec("K", "A0100") + rec("B", "A0001");
  for (const char* point : points) {
    ScratchHome h;
    make_db(h, old, "", rc_mode(1, "A0101") + "pacing=no\r\n");
    h.write(h.path() / "in.csv", lines);
    ::setenv("SOCIANTES_CRASH_AT", point, 1);
    DriverRun r = run_driver(h, import_script(h.path() / "in.csv"));
    ::unsetenv("SOCIANTES_CRASH_AT");
    EXPECT_EQ(r.rc, 86) << point;
    const std::string now = h.read(h.db() / "sociantes.data");
    const int counter = ref_number(rc_value(h, "ref"));
    if (now == old) {
      EXPECT_GT(counter, 100) << point;
      continue;
    }
    const std::vector<std::string> refs = refs_of(now);
    ASSERT_EQ(refs.size(), 2002u) << point << " " << refs.front();
    int top = 0;
    for (const std::string& ref : refs) top = std::max(top, ref_number(ref));
    EXPECT_EQ(top, 2100) << point;
    EXPECT_GT(counter, top) << point;
  }
}

TEST(Import, KilledAtItsStepsLeavesOldOrNewAndTheCounterAhead) {
  kill_import_at({"import:history#1", "import:history#1000", "import:counter", "import:replaced"});
}

TEST(Import, KilledWhileReplacingTheMemberFileLeavesOldOrNew) {
  // The second replacement of the import is the member file's.
  kill_import_at({"replace:written#2", "replace:renamed#2"});
}

}  // namespace
}  // namespace soc::test
