// The member-file reader on its own (line ends, line numbers, the copy as
// stored, the layout of old and new files), and the failure paths of Modify
// and the bulk flag change: a failed rename is reported, a member file that
// cannot be read leaves no lock behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "platform/fs.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

namespace soc {
namespace {

// One record of n fields, field i holding name + i.
std::string record(const std::string& name, int n, const std::string& eol = "\r\n") {
  std::string s = "#" + eol;
  for (int i = 1; i <= n; ++i) s += name + std::to_string(i) + eol;
  return s;
}

TEST(MemberReader, LineEndsLineNumbersAndTheRecordAsStored) {
  struct Case {
    const char* what;
    std::string text;
    int records;   // records read
    int bad;       // damaged line
    int last;      // marker line of the last record read
  } cases[] = {
      {"CR LF", record("a", 13) + record("b", 13), 2, 0, 15},
      {"lone CR counts one line per CR", record("a", 13, "\r") + record("b", 13, "\r"), 2, 0, 15},
      {"CR CR LF is two line ends", "\r\r\n" + record("a", 13), 1, 0, 3},
      {"byte-order mark", "\xEF\xBB\xBF" + record("a", 13), 1, 0, 1},
      {"a mark elsewhere is damage", record("a", 13) + "\xEF\xBB\xBF" + record("b", 13), 1, 15, 1},
      {"blank and blanks-only lines", " \r\n\t\r\n" + record("a", 13) + "\r\n" + record("b", 13), 2, 0,
       18},
      {"record cut short at the end", record("a", 13) + record("b", 5), 2, 0, 15},
  };
  for (const auto& c : cases) {
    MemberReader in(c.text);
    Record r;
    int n = 0;
    while (in.next(r) == kFields) ++n;
    EXPECT_EQ(n, c.records) << c.what;
    EXPECT_EQ(in.bad_line(), c.bad) << c.what;
    EXPECT_EQ(in.line(), c.last) << c.what;
  }
}

TEST(MemberReader, CopiesTheRecordAsStoredAndCutsOnlyWhatItHandsOut) {
  const std::string longf(70, 'x');
  MemberReader in("#note\n" + longf + "\r" + "b\r\n");
  Record r;
  ASSERT_EQ(in.next(r), kFields);
  EXPECT_FALSE(in.whole());
  EXPECT_EQ(r[1], std::string(62, 'x'));
  EXPECT_EQ(in.field(1), longf);
  std::string out;
  in.put_raw(out);
  std::string expect = "#note\r\n" + longf + "\r\nb\r\n";
  for (int i = 3; i <= kFields; ++i) expect += "\r\n";
  EXPECT_EQ(out, expect);
  out.clear();
  in.put_raw(out, 2, "new");
  EXPECT_EQ(out, "#note\r\n" + longf + "\r\nnew\r\n" + expect.substr(expect.find("b\r\n") + 3));
}

TEST(DataLayout, DecidedFromTheRecordsThemselves) {
  struct Case {
    const char* what;
    std::string text;
    int layout;
    bool old_first;
    int bad;
  } cases[] = {
      {"empty", "", kFields, false, 0},
      {"13 fields", record("a", 13) + record("b", 13), kFields, false, 0},
      {"one 13-field record", record("a", 13), kFields, false, 0},
      {"12 fields", record("a", 12) + record("b", 12) + record("c", 12), 12, false, 0},
      {"one 12-field record", record("a", 12), 12, false, 0},
      {"13 fields, damaged late", record("a", 13) + record("b", 13) + "x\r\n", 0, false, 29},
      {"12 fields, damaged late", record("a", 12) + record("b", 12) + "x\r\n" + record("c", 12), 0,
       true, 27},
      {"13 fields, last record cut short", record("a", 13) + record("b", 13) + "#\r\nc\r\n", 0,
       false, 29},
  };
  for (const auto& c : cases) {
    int bad = -1;
    bool old = true;
    EXPECT_EQ(data_layout(c.text, bad, old), c.layout) << c.what;
    EXPECT_EQ(old, c.old_first) << c.what;
    EXPECT_EQ(bad, c.bad) << c.what;
  }
}

// Guards the category order: a new name is compared with each line taken
// with its line end, so a name that continues a line with a byte sorting
// before CR goes before it.
TEST(CatLines, NewNameIsComparedWithTheLineAndItsLineEnd) {
  EXPECT_EQ(cat_add_lines({"Board", "Choir"}, "Board\xC3\xA9"),
            (std::vector<std::string>{"Board\xC3\xA9", "Board", "Choir"}));
  EXPECT_EQ(cat_add_lines({"Board"}, "Board\t"), (std::vector<std::string>{"Board\t", "Board"}));
}

// ---- failure paths of Modify and the bulk flag change --------------------

std::string rec(const std::string& name, const std::string& ref) {
  std::string s = "#\r\n" + name + "\r\n";
  for (int f = 2; f <= 11; ++f) s += "\r\n";
  return s + ref + "\r\n\r\n";
}

using SaveFaults = test::ProgramTest;

TEST_F(SaveFaults, ModifyReportsAFailedRenameAndChangesNothing) {
  const std::string file = rec("Dupont", "A0000") + rec("Durand", "A0001");
  write(db() / "sociantes.data", file);
  show_cust();
  selection_made("A0000");
  dispatch(401);
  ws_.ctl_set_text(form_ctl(form_elem_of_field(1)), "Zorro");
  fs_ops().rename = [](const char*, const char*) {
    errno = EIO;
    return -1;
  };
  shown();
  dispatch(402);
  fs_ops_reset();
  EXPECT_NE(shown().find(" ERROR 17 \\r\\n The member file cannot be replaced. \\r\\n The changes are "
                         "not saved. "),
            std::string::npos);
  EXPECT_EQ(read(db() / "sociantes.data"), file);
  EXPECT_EQ(task_in, 0);
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck"));
}

TEST_F(SaveFaults, AnUnreadableMemberFileLeavesNoLockBehind) {
  const std::string file = rec("Dupont", "A0000");
  write(db() / "sociantes.data", file);
  show_cust();
  selection_made("A0000");
  dispatch(401);
  // The member file becomes something that cannot be read as a file.
  std::filesystem::rename(db() / "sociantes.data", db() / "kept");
  std::filesystem::create_directories(db() / "sociantes.data");
  shown();
  dispatch(402);
  EXPECT_NE(shown().find(" ERROR 15 "), std::string::npos);
  EXPECT_EQ(task_in, 0);
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck")) << "Modify";

  ws_.replies.push_back({Reply::yes, {}, 0});
  dispatch(425);
  EXPECT_NE(shown().find(" ERROR FLG_1 "), std::string::npos);
  EXPECT_EQ(task_in, 0);
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck")) << "bulk flag change";
}

}  // namespace
}  // namespace soc
