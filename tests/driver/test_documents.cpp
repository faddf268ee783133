// Text documents through sociantes-driver: the short and extended listing, the
// address block, the letters and labels mailing files with their questions and
// the scheduler start, the label sheet and address position settings, checked
// against the exact bytes of the files written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// One record with every field that the documents print.
struct Member {
  std::string name, fname, adr, city, post, phone, rem, id, ref, cat;
};
std::string rec_of(const Member& m) {
  return "#\r\n" + m.name + "\r\n" + m.fname + "\r\n" + m.adr + "\r\n" + m.city + "\r\n" + m.post +
         "\r\n" + m.phone + "\r\n\r\n\r\n\r\n" + m.rem + "\r\n" + m.id + "\r\n" + m.ref + "\r\n" +
         m.cat + "\r\n";
}

const std::string kStars(79, '*');
const std::string kDashes(79, '-');
std::string dots(int n) { return std::string(static_cast<std::size_t>(n), '.'); }

std::string header(const std::string& category, const std::string& rule) {
  return kStars + "\r\n************************** LISTING SOCIANTES **************** DATE:08/12/2026\r\n" +
         kStars + "\r\nCATEGORY: " + category + "     Filter: " + rule + "\r\n" + kStars +
         "\r\nIDENTIFICATION  NAME                         FIRST NAME(S)                INFOS\r\n" +
         kDashes + "\r\n";
}

const std::string k29 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabc";    // 29 bytes
const std::string k30 = "123456789012345678901234567890";   // 30 bytes
// 30 bytes whose 28th and 29th bytes are one character (é).
const std::string k30e = std::string(27, 'n') + "\xC3\xA9x";

const Member kA{"Dupont", "Jean", "1 rue Haute", "Paris", "75001", "jean@x.org", "!", "ID1",
                "A0000", "ABC"};
const Member kB{k29, k30, "2 place Basse", "Lyon", "69002", "04 00", "x !$%&", "", "A0001", "AB"};
const Member kC{"B\xC3\xA9r\xC3\xA9nice", "Zo\xC3\xAB", "", "Nice", "06000", "", "", "", "A0002",
                "A"};
const Member kD{k30e, "", "", "", "", "", "note", "", "A0003", ""};

const std::string kLineA = "ID1" + dots(13) + "Dupont" + dots(23) + "Jean" + dots(25) + "!  ";
const std::string kLineB = dots(16) + k29 + k30.substr(0, 28) + "." + "!$%&";
const std::string kLineC = dots(16) + "B\xC3\xA9r\xC3\xA9nice" + dots(21) + "Zo\xC3\xAB" +
                           dots(26) + "   ";
const std::string kLineD = dots(16) + std::string(27, 'n') + ".." + dots(29) + "   ";

void make_listing_db(const ScratchHome& h, const std::string& rc = "ref=A0004\r\n") {
  make_db(h, rec_of(kA) + rec_of(kB) + rec_of(kC) + rec_of(kD), "A\r\nAB\r\n", rc);
}

TEST(Listing, EmptyMemberFileGivesTheHeaderAndTheClosingLine) {
  ScratchHome h;
  make_db(h, "", "");
  DriverRun r = run_driver(h, "clock 2026-12-08 09:15:00\nstart\ncmd 418\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.db() / "listing.qmd"), header("", "") + kDashes + "\r\n");
  EXPECT_TRUE(r.has("launch editor \"" + (h.db() / "listing.qmd").string() + "\"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
}

TEST(Listing, ShortListingColumnsCutsAndInfos) {
  ScratchHome h;
  make_listing_db(h);
  DriverRun r = run_driver(h, "clock 2026-12-08 09:15:00\nstart\ncmd 418\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.db() / "listing.qmd"),
            header("", "") + kLineA + "\r\n" + kLineB + "\r\n" + kLineC + "\r\n" + kLineD + "\r\n" +
                kDashes + "\r\n");
}

TEST(Listing, ExtendedListingOfACategoryPrefix) {
  ScratchHome h;
  make_listing_db(h);
  // Entry 2 is "AB": members of "AB" and "ABC" pass, "A" and none do not.
  DriverRun r = run_driver(h, "clock 2026-12-08 09:15:00\nstart\ncategory 2\ncmd 419\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.db() / "listing.qmd"),
            header("AB", "") + kLineA + "\r\n1 rue Haute\r\n75001  Paris\r\njean@x.org\r\n\r\n" +
                kLineB + "\r\n2 place Basse\r\n69002  Lyon\r\n04 00\r\n\r\n" + kDashes + "\r\n");
}

TEST(Listing, FlagFilterRuleAndTickedBoxes) {
  struct Case {
    const char* rule_cmd;  // Flags > Filters entry
    const char* flags;     // flag lines of the script
    const char* rule;      // name in the header
    std::string lines;     // member lines expected
  } cases[] = {
      {"421", "flag 2 1\n", "or", kLineB + "\r\n"},
      {"421", "flag 1 1\n", "or", kLineA + "\r\n" + kLineB + "\r\n"},
      {"423", "flag 1 1\n", "nor", kLineC + "\r\n" + kLineD + "\r\n"},
      {"422", "flag 1 1\nflag 4 1\n", "and", kLineB + "\r\n"},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_listing_db(h);
    DriverRun r = run_driver(h, std::string("clock 2026-12-08 09:15:00\nstart\ncmd ") + c.rule_cmd +
                                    "\n" + c.flags + "cmd 418\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(h.read(h.db() / "listing.qmd"), header("", c.rule) + c.lines + kDashes + "\r\n")
        << c.rule << " " << c.flags;
  }
}

TEST(Listing, RefusedWhenBusyAndStoppedByTheMemberFileLock) {
  ScratchHome h;
  make_listing_db(h);
  DriverRun r = run_driver(h, "start\ncmd 400\ncmd 418\ncmd 404\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" Another Functionality is already used!  \"")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "listing.qmd"));

  h.write(h.db() / "sociantes.data.lck", "");
  r = run_driver(h, "start\ncmd 419\nshow action\nquit\n");
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked").size(), 1u) << r.out;
  EXPECT_TRUE(lines_with(r, "launch").empty()) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.db() / "listing.qmd"));
}

TEST(Address, BlockOfTheCurrentMemberWithThePositionSettings) {
  struct Case {
    std::string rc;      // page_up / page_lt lines
    int up;              // blank lines expected
    std::size_t left;    // indent expected
  } cases[] = {
      {"", 8, 32},
      {"page_up=2\r\npage_lt=3\r\n", 2, 3},
      {"page_up=\r\npage_lt=\r\n", 8, 32},
      {"page_up=0\r\npage_lt=0\r\n", 0, 0},
      {"page_up=1\r\npage_lt=500\r\n", 1, 200},   // the indent is bounded
      // Regression: so are the blank lines (two billion of them ran out of memory).
      {"page_up=2000000000\r\npage_lt=1\r\n", 200, 1},
      {"page_up=-5\r\npage_lt=1\r\n", 0, 1},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_listing_db(h, "ref=A0004\r\n" + c.rc);
    DriverRun r = run_driver(h, "start\nclick 0\nkey alt+v\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    std::string want;
    for (int i = 0; i < c.up; ++i) want += "\r\n";
    const std::string in(c.left, ' ');
    want += in + "Dupont Jean\r\n" + in + "1 rue Haute\r\n" + in + "75001 Paris\r\n";
    EXPECT_EQ(h.read(h.db() / "address.qmd"), want) << c.rc;
    EXPECT_TRUE(r.has("launch editor \"" + (h.db() / "address.qmd").string() + "\"")) << r.out;
  }
}

TEST(Address, PositionDialogsStoreTheNumbersAndNoMemberIsRefused) {
  ScratchHome h;
  make_listing_db(h);
  DriverRun r = run_driver(h, "start\ncmd 411\nreply ok 1003=3\ncmd 8\nshow action\n"
                              "reply ok 1003=x\ncmd 10\nclick 0\ncmd 411\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" Sorry! No member is selected! \"")) << r.out;
  EXPECT_TRUE(r.has("info 6 \"\\r\\n Number of blank lines on top of the address: \\r\\n\"")) << r.out;
  EXPECT_TRUE(r.has("info 6 \" Number of blank column on the left of the address: \"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(rc_value(h, "page_up"), "3");
  EXPECT_EQ(rc_value(h, "page_lt"), "0");   // not a number: atoi gives 0
  EXPECT_EQ(h.read(h.db() / "address.qmd"), "\r\n\r\n\r\nDupont Jean\r\n1 rue Haute\r\n75001 Paris\r\n");
}

const std::string kLettersQuestion =
    "info 2 \" !!! WARNING !!! This function will start \\r\\n the 'MAIL PRINTER SCHEDULER' with "
    "the data \\r\\n filtered by the selected category and flags. \\r\\n Click <YES> to proceed or "
    "<NO> to cancel. \\r\\n\"";
const std::string kLabelsQuestion =
    "info 2 \"Addresses labels will be printed following  the selected category and flags.\\r\\n "
    "Do you want to proceed ? \\r\\n\"";

std::string letter(const Member& m, int up, int lt) {
  std::string s;
  for (int i = 0; i < up; ++i) s += "\r\n";
  const std::string in(static_cast<std::size_t>(lt), ' ');
  return s + in + m.name + " " + m.fname + "\r\n" + in + m.adr + "\r\n" + in + m.post + " " +
         m.city + "\r\n#\r\n";
}

TEST(Mailing, LettersFileWithAndWithoutTheEmailFilter) {
  struct Case {
    std::string rc;     // settings
    std::string want;   // the letters file
  } cases[] = {
      {"", letter(kA, 8, 32) + letter(kB, 8, 32) + letter(kC, 8, 32) + letter(kD, 8, 32)},
      {"mail_email_filter=yes\r\npage_up=0\r\npage_lt=0\r\n",
       letter(kB, 0, 0) + letter(kC, 0, 0) + letter(kD, 0, 0)},
      // The labels filter does not apply to letters.
      {"labels_email_filter=yes\r\npage_up=1\r\npage_lt=2\r\n",
       letter(kA, 1, 2) + letter(kB, 1, 2) + letter(kC, 1, 2) + letter(kD, 1, 2)},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_listing_db(h, "ref=A0004\r\n" + c.rc);
    DriverRun r = run_driver(h, "clock 2026-12-08 14:35:07\nstart\nreply yes\nkey alt+t\n"
                                "show action\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    const fs::path file = h.tmp() / "A3507.qmd";
    EXPECT_EQ(h.read(file), c.want) << c.rc;
    EXPECT_TRUE(r.has(kLettersQuestion)) << r.out;
    EXPECT_TRUE(r.has("launch scheduler \"" + file.string() + "\"")) << r.out;
    EXPECT_TRUE(r.has("action 0"));
    EXPECT_FALSE(fs::exists(h.db() / "sociantes.data.lck"));
  }
}

TEST(Mailing, LettersOfACategoryAndNoDeletesTheFile) {
  ScratchHome h;
  make_listing_db(h, "ref=A0004\r\nflag_filter=or\r\n");
  // Category "AB" with flag $ under the rule or: member B alone.
  DriverRun r = run_driver(h, "clock 2026-12-08 14:05:59\nstart\ncategory 2\nflag 2 1\n"
                              "reply no\ncmd 408\nshow action\nshow status\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has(kLettersQuestion)) << r.out;
  EXPECT_TRUE(lines_with(r, "launch").empty()) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(fs::exists(h.tmp() / "A0559.qmd"));

  r = run_driver(h, "clock 2026-12-08 14:05:59\nstart\ncategory 2\nflag 2 1\nreply yes\n"
                    "cmd 408\nquit\n");
  EXPECT_EQ(h.read(h.tmp() / "A0559.qmd"), letter(kB, 8, 32));
}

TEST(Mailing, LabelsFileHeaderFiltersAndAnswers) {
  struct Case {
    std::string rc;      // settings
    std::string reply;   // answer to the labels question
    std::string want;    // the labels file
  } cases[] = {
      {"", "yes", "30\r\n30\r\n" + letter(kA, 0, 0) + letter(kB, 0, 0) + letter(kC, 0, 0) +
                      letter(kD, 0, 0)},
      {"labels_email_filter=yes\r\nlabels_up=12\r\nlabels_gap=40\r\n", "no",
       "12\r\n40\r\n" + letter(kB, 0, 0) + letter(kC, 0, 0) + letter(kD, 0, 0)},
      // The letters filter does not apply to labels; the letter position neither.
      {"mail_email_filter=yes\r\npage_up=3\r\npage_lt=3\r\n", "no",
       "30\r\n30\r\n" + letter(kA, 0, 0) + letter(kB, 0, 0) + letter(kC, 0, 0) + letter(kD, 0, 0)},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_listing_db(h, "ref=A0004\r\n" + c.rc);
    DriverRun r = run_driver(h, "clock 2026-12-08 23:00:09\nstart\nreply " + c.reply +
                                    "\ncmd 27\nshow action\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    const fs::path file = h.tmp() / "L0009.qmd";
    // The file stays after No as after Yes (the scheduler deletes it).
    EXPECT_EQ(h.read(file), c.want) << c.rc;
    EXPECT_TRUE(r.has(kLabelsQuestion)) << r.out;
    EXPECT_EQ(r.has("launch scheduler \"" + file.string() + "\""), c.reply == "yes") << r.out;
    EXPECT_TRUE(r.has("action 0"));
  }
}

// Regression: an address of "#" alone was written as the line that ends a
// record, so the scheduler read that member as two and every later label
// moved one place.
TEST(Mailing, AnAddressOfAHashAloneDoesNotEndTheRecord) {
  ScratchHome h;
  Member hash = kD;
  hash.adr = "#";
  make_db(h, rec_of(hash) + rec_of(kA), "", "ref=A0004\r\n");
  DriverRun r = run_driver(h, "clock 2026-12-08 23:00:09\nstart\nreply no\ncmd 27\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(h.read(h.tmp() / "L0009.qmd"),
            "30\r\n30\r\n" + k30e + " \r\n# \r\n \r\n#\r\n" + letter(kA, 0, 0));
}

TEST(Mailing, LabelsOfOnlyEmailMembersKeepTheHeader) {
  ScratchHome h;
  make_db(h, rec_of(kA), "", "ref=A0001\r\nlabels_email_filter=yes\r\n");
  DriverRun r = run_driver(h, "clock 2026-12-08 23:00:09\nstart\nreply no\ncmd 27\nquit\n");
  EXPECT_EQ(h.read(h.tmp() / "L0009.qmd"), "30\r\n30\r\n");
}

TEST(Mailing, BusyAndLockedRunsLeaveNoFileAndNoAction) {
  ScratchHome h;
  make_listing_db(h);
  DriverRun r = run_driver(h, "clock 2026-12-08 14:35:07\nstart\ncmd 400\ncmd 408\ncmd 27\n"
                              "show action\ncmd 404\nquit\n");
  EXPECT_EQ(lines_with(r, "info 1 \" Another Functionality is already used!  \"").size(), 2u)
      << r.out;
  EXPECT_TRUE(r.has("action 1"));
  EXPECT_FALSE(fs::exists(h.tmp() / "A3507.qmd"));
  EXPECT_FALSE(fs::exists(h.tmp() / "L3507.qmd"));

  h.write(h.db() / "sociantes.data.lck", "");
  r = run_driver(h, "clock 2026-12-08 14:35:07\nstart\ncmd 408\nshow action\ncmd 27\n"
                    "show action\nquit\n");
  EXPECT_EQ(lines_with(r, "info 1 \"  Operation or data looks locked").size(), 2u) << r.out;
  EXPECT_EQ(lines_with(r, "info 2").size(), 0u) << r.out;
  EXPECT_EQ(lines_with(r, "action 0").size(), 2u) << r.out;
  EXPECT_FALSE(fs::exists(h.tmp() / "A3507.qmd"));
  EXPECT_FALSE(fs::exists(h.tmp() / "L3507.qmd"));
}

TEST(Mailing, LabelSheetAdjustmentStoresBothNumbers) {
  ScratchHome h;
  make_listing_db(h);
  DriverRun r = run_driver(h, "clock 2026-12-08 23:00:09\nstart\nreply ok 1074=25 1075=x7\n"
                              "cmd 26\nshow action\nreply no\ncmd 27\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 10 \"\\r\\nLabels are printed by 2 on the width and their number on the "
                    "height depends on the next parameters in millimeters:\""))
      << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(rc_value(h, "labels_up"), "25");
  EXPECT_EQ(rc_value(h, "labels_gap"), "0");
  EXPECT_EQ(h.read(h.tmp() / "L0009.qmd").substr(0, 7), "25\r\n0\r\n");
}

TEST(Mailing, QmdOpensTheEditorAlone) {
  ScratchHome h;
  make_db(h, "", "");
  DriverRun r = run_driver(h, "start\ncmd 447\nquit\n");
  EXPECT_TRUE(r.has("launch editor")) << r.out;
}

const std::string kBadValue = "info 1 \"Bad value!\"";

TEST(Templates, AddStoresDefinitionsAndRefusesBadValues) {
  ScratchHome h;
  make_db(h, "", "");
  h.write(h.db() / "form.data", "1 1 5 3");   // a last line without its line end
  DriverRun r = run_driver(
      h, "start\n"
         "reply ok 1074=2 1075=0 1076=69\ncmd 433\nshow action\n"
         "reply ok 1074=13 1075=5 1076=3\ncmd 433\n"
         "reply ok 1074=0 1075=5 1076=3\ncmd 433\n"
         "reply ok 1074=1 1075=80 1076=3\ncmd 433\n"
         "reply ok 1074=1 1075=-1 1076=3\ncmd 433\n"
         "reply ok 1074=1 1075=5 1076=0\ncmd 433\n"
         "reply ok 1074=1 1075=5 1076=70\ncmd 433\n"
         "reply ok 1074=1 1075=5 1076=-2\ncmd 433\n"
         "reply ok 1074=12 1075=79 1076=1\ncmd 436\nshow action\n"
         "reply close\ncmd 434\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 9 \"\\r\\n Please enter the number[1-12]\\r\\n and coordonnates X[1-79] "
                    "Y[1-30] \\r\\n of the field you want to insert in the Template \\r\\n\""))
      << r.out;
  EXPECT_EQ(lines_with(r, kBadValue).size(), 7u) << r.out;
  EXPECT_EQ(lines_with(r, "action 0").size(), 2u) << r.out;
  EXPECT_EQ(h.read(h.db() / "form.data"), "1 1 5 3\r\n1 2 0 69\r\n4 12 79 1\r\n");
}

// Regression: a definitions file that is there but cannot be read (here a
// link to a share that is not mounted) was taken for an empty one, and Add
// replaced it with the new definition alone.
TEST(Templates, AddRefusesADefinitionsFileThatCannotBeRead) {
  ScratchHome h;
  make_db(h, "", "");
  fs::create_symlink(h.path() / "unmounted" / "form.data", h.db() / "form.data");
  DriverRun r = run_driver(h, "start\nreply ok 1074=2 1075=5 1076=9\ncmd 433\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" The template definitions cannot be read: \\r\\n" +
                    (h.db() / "form.data").string() + " \""))
      << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_TRUE(fs::is_symlink(h.db() / "form.data"));
}

TEST(Templates, DeletingField1KeepsFields10To12AndOtherTemplates) {
  ScratchHome h;
  make_db(h, "", "");
  h.write(h.db() / "form.data",
          "1 1 5 3\r\n1 10 2 2\r\n1 11 3 3\r\n2 1 0 1\r\n1 12 4 4\r\n1 1 7 9\r\n11 1 1 1\r\n");
  DriverRun r = run_driver(h, "start\nreply ok 1003=1\ncmd 437\nshow action\n"
                              "reply ok 1003=7\ncmd 437\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 6 \"\\r\\n Please, select the field[1-12] to delete. \\r\\n\"")) << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(h.db() / "form.data"),
            "1 10 2 2\r\n1 11 3 3\r\n2 1 0 1\r\n1 12 4 4\r\n11 1 1 1\r\n");

  // No definitions file: nothing happens, none is created.
  fs::remove(h.db() / "form.data");
  r = run_driver(h, "start\nreply ok 1003=1\ncmd 440\nshow action\nquit\n");
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_FALSE(fs::exists(h.db() / "form.data"));
}

TEST(Templates, EditPlacesTheFieldsOfTheSelectedMember) {
  ScratchHome h;
  Member m = kA;
  const std::string birth = "abcdefghijklmno\xC3\xA9 1970 @ Lyon";   // é at bytes 16 and 17
  std::string file = rec_of(m);
  file.replace(file.find("\r\n\r\n\r\n!"), 6, "\r\n\r\n" + birth + "\r\n");
  make_db(h, file, "");
  h.write(h.db() / "form.data",
          "1 1 5 3\r\n"
          "1 2 20 3\r\n"     // same row, after the end of the first text
          "1 5 3 3\r\n"      // same row, left of the end: an extra line under it
          "1 11 0 5\r\n"     // X = 0: an extra line under an empty row
          "2 1 1 6\r\n"      // another template
          "1 12 79 6\r\n"
          "1 0 1 1\r\n"      // field 0 places nothing
          "1 9 79 7\r\n"     // cut at column 95, never inside a character
          "1 4 1 62\r\n");   // rows 62 to 71 are not written
  DriverRun r = run_driver(h, "start\ncmd 441\nclick 0\ncmd 441\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" Sorry! No member is selected! \"")) << r.out;
  EXPECT_TRUE(r.has("launch editor \"" + (h.db() / "form.qmd").string() + "\"")) << r.out;
  std::string want = "\r\n\r\n     Dupont         Jean\r\n75001\r\n\r\n\r\nABC\r\n" +
                     std::string(79, ' ') + "ID1\r\n" + std::string(79, ' ') + "abcdefghijklmno\r\n";
  for (int row = 8; row <= 61; ++row) want += "\r\n";
  EXPECT_EQ(h.read(h.db() / "form.qmd"), want);

  fs::remove(h.db() / "form.data");
  r = run_driver(h, "start\nclick 0\ncmd 444\nquit\n");
  EXPECT_TRUE(r.has("info 1 \" No data ! \"")) << r.out;
}

}  // namespace
}  // namespace soc::test
