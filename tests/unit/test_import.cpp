// The spreadsheet import in-process: the field check and the splitting of a
// line, and the one-pass import compared byte for byte with the import done
// the plain way, one line after the other, on random member files (unsorted,
// equal names, long and accented names) and random import files.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "db/members.h"
#include "db/util.h"
#include "import/filesel.h"
#include "import/import.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "program_fixture.h"
#include "shell/dialog.h"

namespace soc::test {
namespace {

TEST(ImportLines, FieldCheckTable) {
  struct Case {
    std::string text;     // the import file
    int semis;            // ";" required
    int bad;              // expected result: 0 or the line number
    bool too_long;        // expected fault
    std::size_t lines;    // lines kept when it passes
  };
  const std::string l510 = std::string(500, 'x') + std::string(10, ';');
  const std::vector<Case> cases = {
      {"", 10, 0, false, 0},
      {"a;;;;;;;;;;", 10, 0, false, 1},                      // no line end at the end
      {"a;;;;;;;;;;\r\nb;;;;;;;;;;\r\n", 10, 0, false, 2},    // CR LF; no empty line after
      {"\xEF\xBB\xBF" "a;;;;;;;;;;\n", 10, 0, false, 1},      // byte-order mark skipped
      {"a;;;;;;;;;;\n\nb;;;;;;;;;;\n", 10, 2, false, 0},      // an empty line has no field
      {"a;;;;;;;;;;\nb;;;;;;;;;\n", 10, 2, false, 0},         // one ";" short
      {"a;;;;;;;;;;;\n", 11, 0, false, 1},
      {"a;;;;;;;;;;\n", 11, 1, false, 0},
      {l510 + "\n" + l510 + "\n", 10, 0, false, 2},           // 510 bytes: one line
      {l510 + "\n" + "y" + l510 + "\n", 10, 2, true, 0},      // 511 bytes: refused, not split
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    bool too_long = true;
    EXPECT_EQ(chk_fields(c.text, c.semis, lines, too_long), c.bad) << c.text.substr(0, 30);
    EXPECT_EQ(too_long, c.too_long) << c.text.substr(0, 30);
    if (c.bad == 0) {
      EXPECT_EQ(lines.size(), c.lines) << c.text.substr(0, 30);
    }
  }
}

TEST(ImportLines, ColumnsLandInTheirFieldsCutOnWholeCharacters) {
  // 61 bytes, then a two-byte character across the 62-byte limit.
  const std::string long_name = std::string(61, 'n') + "\xC3\xA9" "z";
  type_id = 0;
  unpack_data(long_name + ";fn;ad;ci;po;ph;ac;na;bi;re;ca;ID");
  EXPECT_EQ(fld::name, std::string(61, 'n'));
  EXPECT_EQ(fld::fname, "fn");
  EXPECT_EQ(fld::rem, "re");
  EXPECT_EQ(fld::category, "ca");
  EXPECT_EQ(fld::id, "ID");
  type_id = 3;
  fld::id = "old";
  unpack_data("n;;;;;;;;;r;" + std::string(63, 'c'));
  EXPECT_EQ(fld::rem, "r");
  EXPECT_EQ(fld::category, std::string(62, 'c'));
  EXPECT_EQ(fld::id, "");
  std::tm d{};
  d.tm_mday = 8;
  d.tm_mon = 11;
  d.tm_year = 126;
  EXPECT_EQ(import_id("x", "A0012", d), "08122026A0012");
  type_id = 1;
  EXPECT_EQ(import_id("x", "A0012", d), "A0012");
  type_id = 2;
  EXPECT_EQ(import_id("x", "A0012", d), "x");
  type_id = 0;
}

// ---- the import one line after the other -------------------------------------

struct Plain {
  std::string data;               // the member file
  std::string counter;            // the setting ref
  std::vector<std::string> refs;  // references given, in line order
};

// Each line is read, given the next reference that no stored record uses,
// and inserted before the first record whose Name sorts at or after its own.
Plain import_plainly(std::string data, const std::vector<std::string>& lines, std::string counter,
                     const std::tm& date) {
  static const int cols_mode02[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11};
  Plain p;
  for (const std::string& line : lines) {
    std::string top;
    {
      MemberReader in(data);
      Record r;
      while (get_data(in, r, kFields) == kFields)
        if (is_ref(r[12]) && (top.empty() || ref_key(r[12]) > ref_key(top))) top = r[12];
    }
    if (chk_ref(counter) != kRefOk) break;
    const std::string given = ref_to_give(counter, top);
    if (chk_ref(given) != kRefOk) break;
    Record n;
    std::size_t pos = 0;
    for (int c = 0; c < import_semis(type_id) + 1; ++c) {
      std::size_t end = line.find(';', pos);
      if (end == std::string::npos) end = line.size();
      n[static_cast<std::size_t>(cols_mode02[c])] = cut_utf8(line.substr(pos, end - pos), 62);
      pos = end + 1;
    }
    char d[40];
    std::snprintf(d, sizeof d, "%02d%02d%04d", date.tm_mday, date.tm_mon + 1, date.tm_year + 1900);
    if (type_id == 1) n[11] = given;
    if (type_id == 3) n[11] = d + given;
    n[12] = given;
    std::string out;
    bool placed = false;
    MemberReader in(data);
    Record r;
    while (get_data(in, r, kFields) == kFields) {
      if (!placed && chk_alfa(r[1], n[1]) == 1) {
        put_data(out, n, kFields);
        placed = true;
      }
      in.put_raw(out);
    }
    if (!placed) put_data(out, n, kFields);
    data = out;
    counter = next_ref(given);
    p.refs.push_back(given);
  }
  p.data = data;
  p.counter = counter;
  return p;
}

class ImportProperty : public ProgramTest {};

TEST_F(ImportProperty, OnePassEqualsLineByLine) {
  std::mt19937 rng(20261208);
  auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
  const std::vector<std::string> names = {
      "", "a", "A", "ab", "Ab", "b", "Mike", "mike", "Mike", "Z", "\xC3\xA9t\xC3\xA9",
      "\xC3\xA9", std::string(61, 'q') + "\xC3\xA9zz", std::string(70, 'q'), std::string(62, 'q')};
  const std::vector<std::string> values = {"", "x", "1 rue", "\xC3\xA9l\xC3\xA8ve", "r $",
                                           std::string(64, 'v')};
  const std::vector<std::string> counters = {"A0000", "A0005", "A0030", "A9997", "B0001", "bad", ""};
  setrc("pacing", "no");
  const std::string path = (home_ / "in.csv").string();
  for (int round = 0; round < 100; ++round) {
    type_id = static_cast<int>(rng() % 4);
    // A member file in no particular order, references repeated or none.
    std::string data;
    const int members = static_cast<int>(rng() % 8);
    for (int m = 0; m < members; ++m) {
      Record r;
      for (int f = 2; f <= kFields; ++f) r[static_cast<std::size_t>(f)] = pick(values);
      r[1] = pick(names);
      const int k = static_cast<int>(rng() % 40);
      r[12] = k < 35 ? "A00" + std::to_string(10 + k) : (k < 38 ? "zz" : "B0002");
      put_data(data, r, kFields);
    }
    if (rng() % 4 == 0) {  // a member file with LF line ends
      std::string lf;
      for (char c : data)
        if (c != '\r') lf += c;
      data = lf;
    }
    std::vector<std::string> lines;
    std::string file;
    const int n = static_cast<int>(rng() % 10);
    for (int i = 0; i < n; ++i) {
      std::string l = pick(names);
      for (int c = 1; c < import_semis(type_id) + 1; ++c) l += ";" + pick(values);
      lines.push_back(l);
      file += l + (rng() % 2 ? "\r\n" : "\n");
    }
    const std::string counter = pick(counters);
    write(db() / "sociantes.data", data);
    setrc("ref", counter);
    spit(path, file);
    for (const auto& e : std::filesystem::directory_iterator(db()))
      if (e.path().extension() == ".dat" && e.path().filename() != "sociantes.data")
        std::filesystem::remove(e.path());

    const Plain want = import_plainly(data, lines, counter, local_now());
    task_in = 21;
    file_sel = path;
    do_import();
    const std::string shown = take_output();
    ASSERT_EQ(read(db() / "sociantes.data"), want.refs.empty() ? data : want.data)
        << "round " << round << "\n" << shown;
    ASSERT_EQ(getrc("ref"), want.refs.empty() ? counter : want.counter) << "round " << round;
    for (const std::string& ref : want.refs)
      ASSERT_TRUE(std::filesystem::exists(db() / (ref + ".dat"))) << ref << " round " << round;
    ASSERT_EQ(task_in, 0);
  }
}

}  // namespace
}  // namespace soc::test
