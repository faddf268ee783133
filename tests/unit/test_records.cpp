// The member file's record reader and writer, the name order, ordered
// insertion and removal, the reference counter, the identification modes,
// and the safe rewrite of the member file under injected faults.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "platform/fs.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc {
namespace {

// One record as the program writes it: fields 1, 10, 11, 12, 13 given.
std::string rec(const std::string& name, const std::string& ref, const std::string& rem = "",
                const std::string& cat = "", const std::string& id = "") {
  std::string s = "#\r\n" + name + "\r\n";
  for (int f = 2; f <= 9; ++f) s += "\r\n";
  return s + rem + "\r\n" + id + "\r\n" + ref + "\r\n" + cat + "\r\n";
}

// The names (field 1) of every record of a member file text.
std::vector<std::string> names_of(const std::string& text) {
  MemberReader in(text);
  Record r;
  std::vector<std::string> v;
  while (get_data(in, r, kFields) == kFields) v.push_back(r[1]);
  return v;
}

TEST(GetData, ReadsCrLfAndLfRecordsAndStopsAtANonMarkerLine) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> names;
  } cases[] = {
      {"CR LF", rec("Adam", "A0000") + rec("Zola", "A0001"), {"Adam", "Zola"}},
      {"LF only", "#\nAdam\n\n\n\n\n\n\n\n\n\n\nA0000\n\n#x\nZola\n", {"Adam", "Zola"}},
      {"a non-marker line ends the file", rec("Adam", "A0000") + "junk\r\n" + rec("Zola", "A0001"),
       {"Adam"}},
      {"a blank line where a marker is expected is skipped", "\r\n" + rec("Adam", "A0000"), {"Adam"}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(names_of(c.text), c.names) << c.what;
}

TEST(GetData, MissingFieldLinesAtTheEndReadAsEmpty) {
  MemberReader in("#\r\nDupont\r\nJean\r\n");
  Record r;
  r.fill("stale");
  ASSERT_EQ(get_data(in, r, kFields), kFields);
  EXPECT_EQ(r[1], "Dupont");
  EXPECT_EQ(r[2], "Jean");
  for (int i = 3; i <= kFields; ++i) EXPECT_EQ(r[i], "") << "field " << i;
  EXPECT_EQ(get_data(in, r, kFields), 0);
}

TEST(GetData, KeepsEveryFieldWithin62BytesOnWholeCharacters) {
  std::string accented;
  for (int i = 0; i < 40; ++i) accented += "\xC3\xA9";  // 80 bytes of é
  MemberReader in("#\r\n" + std::string(70, 'x') + "\r\n" + accented + "\r\n");
  Record r;
  ASSERT_EQ(get_data(in, r, 2), 2);
  EXPECT_EQ(r[1], std::string(62, 'x'));   // the rest is not taken as field 2
  EXPECT_EQ(r[2].size(), 62u);
  EXPECT_EQ(r[2], accented.substr(0, 62));
}

TEST(PutData, WritesMarkerAndFieldsAndNeverALineEndOrLongField) {
  Record r;
  r[1] = "Dupont";
  r[2] = "two\r\nlines";
  r[3] = std::string(60, 'a') + "\xE2\x82\xAC";  // a euro sign across byte 62
  std::string out;
  EXPECT_EQ(put_data(out, r, 3), 3);
  EXPECT_EQ(out, "#\r\nDupont\r\ntwo  lines\r\n" + std::string(60, 'a') + "\r\n");
}

TEST(ChkAlfa, SignedBytesThenLength) {
  struct Case {
    std::string a, b;
    int result;
  } cases[] = {
      {"Dupont", "Durand", 0},
      {"Durand", "Dupont", 1},
      {"Dupont", "Dupont", 1},        // equal sorts "at or after"
      {"Dup", "Dupont", 0},           // a prefix sorts before
      {"Dupont", "Dup", 1},
      {"", "", 1},
      {"", "A", 0},
      {"\xC3\x89mile", "Adam", 0},    // bytes 0x80.. before every ASCII letter
      {"Adam", "\x80", 1},
      {"\xFF", "\x80", 1},            // among themselves in byte order
      {"adam", "Zola", 1},            // upper case before lower case
      {"Zola", "adam", 0},
      {"Board members", "Board\r\n", 1},
      {"Board", "Board\r\n", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(chk_alfa(c.a, c.b), c.result) << c.a << " / " << c.b;
}

class OrderedInsertion : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int f = 1; f <= kFields; ++f) fld::by_number(f).clear();
  }
  // The member file after inserting a member named name with reference ref.
  std::string insert(const std::string& file, const std::string& name, const std::string& ref) {
    fld::name = name;
    fld::ref = ref;
    MemberReader in(file);
    std::string out;
    int n = ins_data(in, out);
    EXPECT_EQ(n, static_cast<int>(names_of(out).size()));
    return out;
  }
};

TEST_F(OrderedInsertion, FirstLastEqualAndEmpty) {
  const std::string file = rec("Dupont", "A0000") + rec("Durand", "A0001");
  EXPECT_EQ(insert(file, "Adam", "A0005"), rec("Adam", "A0005") + file);
  EXPECT_EQ(insert(file, "Zola", "A0005"), file + rec("Zola", "A0005"));
  // An equal name goes before the existing one.
  EXPECT_EQ(insert(file, "Dupont", "A0005"), rec("Dupont", "A0005") + file);
  EXPECT_EQ(insert(file, "Dupuis", "A0005"),
            rec("Dupont", "A0000") + rec("Dupuis", "A0005") + rec("Durand", "A0001"));
  EXPECT_EQ(insert("", "Adam", "A0000"), rec("Adam", "A0000"));
  EXPECT_EQ(names_of(insert(file, "\xC3\x89mile", "A0005")).front(), "\xC3\x89mile");
  EXPECT_EQ(names_of(insert(file + rec("Zola", "A0002"), "adam", "A0005")).back(), "adam");
}

TEST_F(OrderedInsertion, LeavesTheSourceRecordsIntact) {
  // The member is written from the exchange buffer between two source
  // records; the source record that follows must come out unchanged.
  const std::string file = rec("Adam", "A0000", "r1 !", "Arts", "id1") +
                           rec("Zola", "A0001", "r2 $", "Choir", "id2");
  fld::rem = "mine";
  fld::category = "Board";
  EXPECT_EQ(insert(file, "Martin", "A0009"),
            rec("Adam", "A0000", "r1 !", "Arts", "id1") + rec("Martin", "A0009", "mine", "Board") +
                rec("Zola", "A0001", "r2 $", "Choir", "id2"));
}

// Guards Delete and Modify: exactly the selected record leaves, records
// that share its reference stay.
TEST(DelData, LeavesOutOnlyTheNthRecordOfTheReference) {
  const std::string file = rec("A", "A0000") + rec("B", "A0001") + rec("C", "A0000");
  struct Case {
    int nth;
    int left_out;
    std::string out;
  } cases[] = {{0, 1, rec("B", "A0001") + rec("C", "A0000")},
               {1, 1, rec("A", "A0000") + rec("B", "A0001")},
               {2, 0, file}};
  for (const auto& c : cases) {
    MemberReader in(file);
    std::string out;
    EXPECT_EQ(del_data(in, out, "A0000", c.nth), c.left_out) << c.nth;
    EXPECT_EQ(out, c.out) << c.nth;
  }
}

TEST(RefCounter, AdvancesWithCarriesAndEndsAt9999) {
  struct Case {
    const char* ref;
    const char* next;
  } cases[] = {{"A0000", "A0001"}, {"A0009", "A0010"}, {"A0999", "A1000"},
               {"B1299", "B1300"}, {"A9998", "A9999"}, {"A9999", "A10000"}};
  for (const auto& c : cases) {
    EXPECT_EQ(next_ref(c.ref), c.next) << c.ref;
    EXPECT_EQ(chk_ref(c.ref), kRefOk) << c.ref;
  }
  EXPECT_EQ(chk_ref("A10000"), kRefUsedUp);
  for (const char* bad : {"", "A000", "A00000", "00000", "A:000", "A00x0", "A20000"})
    EXPECT_EQ(chk_ref(bad), kRefBad) << bad;
}

TEST(IdentificationModes, ValueStoredAtSave) {
  struct Case {
    int mode;
    std::string box, stored;
  } cases[] = {
      {0, "typed", "typed"},
      {1, "*****", "A0012"},
      {1, "anything", "A0012"},
      {2, "08122026 x", "08122026 x"},
      {3, "08122026*****", "08122026A0012"},
      {3, "*****", "A0012"},
      {3, "AB", "ABA0012"},                     // fewer than 5: appended
      {3, "", "A0012"},
      {3, std::string(62, 'd'), std::string(57, 'd') + "A0012"},
  };
  for (const auto& c : cases) {
    type_id = c.mode;
    EXPECT_EQ(id_at_save(c.box, "A0012"), c.stored) << c.mode << " " << c.box;
  }
  type_id = 0;
}

// ---- the command code on a scratch data directory ------------------------

using MemberFile = test::ProgramTest;

TEST_F(MemberFile, FailedRenameLeavesTheMemberFileAndCounterUnchanged) {
  const std::string file = rec("Dupont", "A0000") + rec("Durand", "A0001");
  write(db() / "sociantes.data", file);
  setrc("ref", "A0002");
  show_cust();
  fs_ops().rename = [](const char*, const char*) {
    errno = EIO;
    return -1;
  };
  dispatch(400);
  ws_.ctl_set_text(form_ctl(form_elem_of_field(1)), "Martin");
  shown();
  dispatch(402);
  fs_ops_reset();
  EXPECT_NE(shown().find("ERROR NEW_7"), std::string::npos);
  EXPECT_EQ(read(db() / "sociantes.data"), file);
  EXPECT_EQ(getrc("ref"), "A0002");
  EXPECT_FALSE(std::filesystem::exists(db() / "A0002.dat"));
  EXPECT_FALSE(std::filesystem::exists(db() / "wait4new.lck"));
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck"));
  EXPECT_EQ(task_in, 0);
}

TEST_F(MemberFile, FailedTemporaryWriteLeavesTheMemberFileUnchanged) {
  const std::string file = rec("Dupont", "A0000") + rec("Durand", "A0001");
  write(db() / "sociantes.data", file);
  show_cust();
  selection_made("A0000");
  // The temporary directory is full; the lock files still fit (their owner
  // is written to a file without a name, or to a copy, that becomes the lock).
  fs_ops().write = [](int fd, const void* buf, size_t n) -> ssize_t {
    char path[512] = {};
    ssize_t len = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    struct stat st;
    const bool unnamed = ::fstat(fd, &st) == 0 && st.st_nlink == 0;
    if (unnamed || (len > 4 && std::string(path, len).find(".lck") != std::string::npos))
      return ::write(fd, buf, n);
    errno = ENOSPC;
    return -1;
  };
  ws_.replies.push_back({Reply::yes, {}, 0});
  dispatch(403);
  EXPECT_EQ(task_in, 2);
  shown();
  dispatch(402);
  fs_ops_reset();
  EXPECT_NE(shown().find("ERROR 7 "), std::string::npos);
  EXPECT_EQ(read(db() / "sociantes.data"), file);
  EXPECT_FALSE(std::filesystem::exists(db() / "sociantes.data.lck"));
}

TEST_F(MemberFile, ModifyKeepsTheFormWhenTheMemberFileIsLocked) {
  write(db() / "sociantes.data", rec("Dupont", "A0000"));
  show_cust();
  selection_made("A0000");
  dispatch(401);
  ws_.ctl_set_text(form_ctl(form_elem_of_field(1)), "Dupond");
  write(db() / "sociantes.data.lck", "");
  shown();
  dispatch(402);
  EXPECT_NE(shown().find("looks locked by another user"), std::string::npos);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(ws_.ctl_get_text(form_ctl(form_elem_of_field(1))), "Dupond");
  EXPECT_EQ(read(db() / "sociantes.data"), rec("Dupont", "A0000"));
  EXPECT_EQ(index_sel, "A0000");  // Modify can be tried again
}

}  // namespace
}  // namespace soc
