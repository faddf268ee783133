// The one-pass scan of the member file and the one-pass rewrites built on it,
// checked against the record reader (MemberReader, put_raw, ins_data,
// del_data) on files as editors and other systems leave them; the durable
// order of New's files; several settings in one rewrite; the display
// conversion's fast path.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/members.h"
#include "db/records.h"
#include "db/search.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

namespace soc {
namespace {

// A 13-field record, field i holding name + i (field 1: name, field 12: ref).
std::string record(const std::string& name, const std::string& ref, const std::string& eol = "\r\n") {
  std::string s = "#" + eol + name + eol;
  for (int i = 2; i <= 13; ++i) s += (i == 12 ? ref : name + std::to_string(i)) + eol;
  return s;
}

// Member files as they may be found: the reader's every kind of input.
struct Text {
  const char* what;
  std::string text;
};
std::vector<Text> texts() {
  const std::string a = record("Adam", "A0000"), b = record("Berg", "A0001"),
                    c = record("Cole", "A0000"), d = record("Dahl", "A0003");
  return {
      {"empty", ""},
      {"CR LF", a + b + c + d},
      {"LF only", record("Adam", "A0000", "\n") + record("Cole", "A0002", "\n")},
      {"lone CR", record("Adam", "A0000", "\r") + record("Cole", "A0002", "\r")},
      {"mixed line ends in one record", "#\nAdam\r\nx\r" + b.substr(3 + 6) + c},
      {"CR CR LF", "\r\r\n" + a + b},
      {"byte-order mark", "\xEF\xBB\xBF" + a + b},
      {"blank lines between records", a + "\r\n  \t\r\n" + b + "\n" + c + d},
      {"blank lines at the end", a + b + "\r\n\r\n"},
      {"last line without a line end", a + b.substr(0, b.size() - 2)},
      {"record cut short at the end", a + b + "#\r\nEady\r\nx"},
      {"record cut short after its marker", a + "#"},
      {"field over 62 bytes and a split character",
       record(std::string(61, 'L') + "\xC3\xA9" + "tail", "A0005") + b},
      {"field over 62 bytes of Windows-1252 text",
       record(std::string(70, '\xB0'), "A0006") + record("x" + std::string(66, '\xB7'), "A0007")},
      {"damaged after two records", a + b + "stray\r\n" + c},
      {"leading blank before a marker", a + " #\r\n" + b},
      {"NUL where a marker is expected", a + std::string(1, '\0') + "\r\n" + b},
      {"a byte-order mark elsewhere", a + "\xEF\xBB\xBF" + b},
      {"long runs", a + b + c + d + a + b + c + d + "\r\n" + a + b},
  };
}

TEST(MemberScan, ReadsWhatTheRecordReaderReadsAndCopiesWhatPutRawWrites) {
  for (const auto& t : texts()) {
    MemberScan scan;
    const int bad = scan.scan(t.text);
    MemberReader in(t.text);
    Record r;
    std::string raw;
    std::size_t k = 0;
    for (; in.next(r) == kFields; ++k) {
      ASSERT_LT(k, scan.size()) << t.what;
      EXPECT_EQ(scan.line(k), in.line()) << t.what << " record " << k;
      EXPECT_EQ(scan.whole(k), in.whole()) << t.what << " record " << k;
      for (int f = 1; f <= kFields; ++f) {
        EXPECT_EQ(scan.field(k, f), in.field(f)) << t.what << " record " << k << " field " << f;
        EXPECT_EQ(scan.shown(k, f), r[static_cast<std::size_t>(f)]) << t.what << " field " << f;
      }
      std::string one, mine;
      in.put_raw(one);
      scan.copy(mine, k, k + 1);
      EXPECT_EQ(mine, one) << t.what << " record " << k;
      one.clear();
      mine.clear();
      in.put_raw(one, 10, "changed !");
      scan.copy_with(mine, k, 10, "changed !");
      EXPECT_EQ(mine, one) << t.what << " record " << k;
      in.put_raw(raw);
    }
    EXPECT_EQ(scan.size(), k) << t.what;
    EXPECT_EQ(bad, in.bad_line()) << t.what;
    EXPECT_EQ(scan.bad_line(), in.bad_line()) << t.what;
    // Whole runs in one piece give the same bytes as record by record.
    std::string all;
    scan.copy(all, 0, scan.size());
    EXPECT_EQ(all, raw) << t.what;
    for (std::size_t from = 0; from <= scan.size(); ++from) {
      std::string head, tail;
      scan.copy(head, 0, from);
      scan.copy(tail, from, scan.size());
      EXPECT_EQ(head + tail, raw) << t.what << " split at " << from;
    }
  }
}

// A long field of Windows-1252 bytes in 0x80..0xBF (each a character of its
// own) is cut to 62 bytes like any other, not to nothing, by the reader, the
// scan and the search alike.
TEST(MemberReader, CutsLongWindows1252FieldsTo62Bytes) {
  const std::string degrees(70, '\xB0');
  const std::string text = record(degrees, "A0006");
  MemberReader in(text);
  Record r;
  ASSERT_EQ(in.next(r), kFields);
  EXPECT_EQ(r[1], std::string(62, '\xB0'));
  MemberScan scan;
  scan.scan(text);
  EXPECT_EQ(scan.shown(0, 1), r[1]);
  std::string low;
  std::vector<std::uint32_t> nl;
  fold_text(text, low, nl);
  SrchScan s{};
  srch_scan(text, low, nl, srch_records(text, nl), "", fold_lower("\xB0\xB0\xB0"), s);
  EXPECT_TRUE(s.hit);
}

// The old two-step rewrites as the reference: leave a record out, then insert.
std::string two_steps(const std::string& text, const std::string& ref, int nth, bool insert) {
  std::string rest;
  {
    MemberReader in(text);
    if (ref.empty()) {
      Record r;
      while (in.next(r) == kFields) in.put_raw(rest);
    } else {
      del_data(in, rest, ref, nth);
    }
  }
  if (!insert) return rest;
  MemberReader in(rest);
  std::string out;
  ins_data(in, out);
  return out;
}

TEST(InsSorted, OnePassGivesTheBytesOfLeavingOutThenInserting) {
  for (int f = 1; f <= kFields; ++f) fld::by_number(f).clear();
  const char* names[] = {"", "Aaron", "Adam", "Bear", "Berg", "Zorn", "\xC3\x89mile", "adam"};
  struct Leave {
    const char* ref;
    int nth;
  } leaves[] = {{"", 0}, {"A0000", 0}, {"A0000", 1}, {"A0001", 0}, {"A0003", 0}, {"A0009", 0}};
  for (const auto& t : texts()) {
    MemberScan scan;
    if (scan.scan(t.text) != 0) continue;  // a rewrite never uses a damaged file
    for (const auto& l : leaves) {
      const std::size_t k = *l.ref ? find_ref(scan, l.ref, l.nth) : kNoRecord;
      for (const char* name : names) {
        fld::name = name;
        fld::ref = "A0042";
        fld::rem = "New !";
        const NewRecord rec = member_record();
        std::string out;
        ins_sorted(scan, out, {&rec}, k);
        EXPECT_EQ(out, two_steps(t.text, l.ref, l.nth, true))
            << t.what << ", leaving out " << l.ref << "#" << l.nth << ", inserting " << name;
      }
      std::string out;
      ins_sorted(scan, out, {}, k);
      EXPECT_EQ(out, two_steps(t.text, l.ref, l.nth, false)) << t.what << ", deleting " << l.ref;
    }
  }
}

TEST(InsSorted, SeveralNewRecordsInNameOrderInOnePass) {
  const std::string a = record("Adam", "A0000"), m = record("Marx", "A0001"), z = record("Zola", "A0002");
  auto nr = [](const std::string& name) { return NewRecord{name, "#\r\n" + name + "\r\n"}; };
  const NewRecord aa = nr("Aaron"), b1 = nr("Berg"), b2 = nr("Berg"), m2 = nr("Marx"), zz = nr("Zz");
  std::string out;
  const std::string file = a + m + z;  // the scan points into it
  MemberScan scan;
  scan.scan(file);
  ins_sorted(scan, out, {&aa, &b1, &b2, &m2, &zz});
  EXPECT_EQ(out, aa.text + a + b1.text + b2.text + m2.text + m + z + zz.text);
  out.clear();
  ins_sorted(scan, out, {&aa, &zz}, 1);
  EXPECT_EQ(out, aa.text + a + z + zz.text);
}

TEST(FindRef, CountsOnlyRecordsOfThatReference) {
  const std::string file = record("A", "A0000") + record("B", "A0001") + record("C", "A0000");
  MemberScan scan;
  scan.scan(file);
  EXPECT_EQ(find_ref(scan, "A0000", 0), 0u);
  EXPECT_EQ(find_ref(scan, "A0000", 1), 2u);
  EXPECT_EQ(find_ref(scan, "A0000", 2), kNoRecord);
  EXPECT_EQ(find_ref(scan, "A0001", 0), 1u);
  EXPECT_EQ(find_ref(scan, "", 0), kNoRecord);
}

// The scan a rewrite keeps while it writes must be the scan of what it wrote.
void expect_scan_of(const MemberScan& kept, const std::string& out, const std::string& what) {
  MemberScan fresh;
  ASSERT_EQ(fresh.scan(out), 0) << what;
  EXPECT_EQ(kept.text().data(), out.data()) << what;
  ASSERT_EQ(kept.size(), fresh.size()) << what;
  for (std::size_t k = 0; k < fresh.size(); ++k) {
    EXPECT_EQ(kept.line(k), fresh.line(k)) << what << " record " << k;
    EXPECT_TRUE(kept.whole(k)) << what << " record " << k;
    for (int f = 1; f <= kFields; ++f)
      EXPECT_EQ(kept.field(k, f), fresh.field(k, f)) << what << " record " << k << " field " << f;
  }
}

TEST(KeptScan, IsTheScanOfTheTextWrittenAndNamesWhereEachRecordCameFrom) {
  fld::rem = "New !";
  fld::ref = "A0042";
  for (const auto& t : texts()) {
    MemberScan scan;
    if (scan.scan(t.text) != 0) continue;
    for (std::size_t leave = 0; leave <= scan.size(); ++leave) {
      for (const char* name : {"", "Bear", "Zorn", "\xC3\x89mile"}) {
        fld::name = name;
        const NewRecord rec = member_record();
        const std::vector<const NewRecord*> add = {&rec};
        for (bool insert : {true, false}) {
          const std::string what = std::string(t.what) + ", leaving out " + std::to_string(leave) +
                                   (insert ? ", inserting " + std::string(name) : "");
          MemberScan kept;
          kept.begin_kept();
          std::string out;
          ins_sorted(scan, out, insert ? add : std::vector<const NewRecord*>{},
                     leave < scan.size() ? leave : kNoRecord, &kept);
          ASSERT_TRUE(kept.end_kept(out)) << what;
          expect_scan_of(kept, out, what);
          std::size_t added = 0;
          long long prev = -1;  // the origin of the copy before
          for (std::size_t k = 0; k < kept.size(); ++k) {
            EXPECT_EQ(kept.changed(k), 0) << what;
            const std::size_t o = kept.origin(k);
            if (o == kNoRecord) {
              ++added;
              EXPECT_EQ(kept.field(k, 1), fld::name) << what;
              continue;
            }
            EXPECT_NE(o, leave) << what;
            EXPECT_GT(static_cast<long long>(o), prev) << what;  // in file order
            prev = static_cast<long long>(o);
            for (int f = 1; f <= kFields; ++f) EXPECT_EQ(kept.field(k, f), scan.field(o, f)) << what;
          }
          EXPECT_EQ(added, insert ? 1u : 0u) << what;
        }
      }
    }
    // The bulk flag change: every other record with its remarks changed.
    MemberScan kept;
    kept.begin_kept();
    std::string out;
    for (std::size_t k = 0; k < scan.size(); ++k) {
      if (k % 2)
        scan.copy_with(out, k, 10, "flag !", &kept);
      else
        scan.copy(out, k, k + 1, &kept);
    }
    ASSERT_TRUE(kept.end_kept(out)) << t.what;
    expect_scan_of(kept, out, std::string(t.what) + ", flags");
    for (std::size_t k = 0; k < kept.size(); ++k) {
      EXPECT_EQ(kept.origin(k), k) << t.what;
      EXPECT_EQ(kept.changed(k), k % 2 ? 10 : 0) << t.what;
    }
  }
}

// The scan of a file another workstation changed, taken in part from the
// scan of the file before: the same as a fresh scan of the new text, for
// every kind of file and every kind of change (bytes changed in a record,
// records added and removed at the start, in the middle and at the end,
// blank lines, a damaged line, line ends changed), and each record taken
// from the old scan names the record it was there.
TEST(ChangedScan, IsTheFreshScanOfTheNewText) {
  std::mt19937 rng(4242);
  const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
  const std::vector<std::string> pieces = {
      record("Emil", "A0010"), record("Finn", "A0011"), "\r\n", "\n  \r\n", "stray\r\n",
      "x", "\r", "\n", "#", record("Gus", "A0012", "\n"), "\xEF\xBB\xBF"};
  int taken = 0, edits = 0;
  std::vector<Text> all = texts();
  std::string many;
  for (int i = 0; i < 20; ++i)
    many += record("N" + std::to_string(i), "B00" + std::to_string(10 + i), i % 7 == 3 ? "\n" : "\r\n") +
            (i % 5 == 4 ? "\r\n" : "");
  all.push_back({"twenty records, some with LF and blank lines", many});
  for (const auto& t : all) {
    MemberScan old;
    old.scan(t.text);
    for (int round = 0; round < 300; ++round) {
      std::string now = t.text;
      // One to three changes: a piece put in, a stretch taken out, a byte changed.
      for (int c = 0, n = 1 + static_cast<int>(pick(2)); c < n; ++c) {
        const std::size_t at = pick(now.size());
        switch (pick(2)) {
          case 0: now.insert(at, pieces[pick(pieces.size() - 1)]); break;
          case 1: now.erase(at, pick(40)); break;
          default:
            if (at < now.size()) now[at] = "#\r\nAz! "[pick(6)];
        }
      }
      const std::string what = std::string(t.what) + ", round " + std::to_string(round);
      MemberScan fresh, mended;
      const int bad = fresh.scan(now);
      ASSERT_EQ(mended.scan_changed(old, now), bad) << what;
      ASSERT_EQ(mended.bad_line(), bad) << what;
      ASSERT_EQ(mended.size(), fresh.size()) << what;
      ++edits;
      for (std::size_t k = 0; k < fresh.size(); ++k) {
        ASSERT_EQ(mended.line(k), fresh.line(k)) << what << " record " << k;
        ASSERT_EQ(mended.whole(k), fresh.whole(k)) << what << " record " << k;
        for (int f = 1; f <= kFields; ++f)
          ASSERT_EQ(mended.field(k, f), fresh.field(k, f)) << what << " record " << k << " field " << f;
        std::string a, b;
        mended.copy(a, k, k + 1);
        fresh.copy(b, k, k + 1);
        ASSERT_EQ(a, b) << what << " record " << k;
        const std::size_t o = mended.origin(k);
        if (o == kNoRecord) continue;
        ++taken;
        ASSERT_LT(o, old.size()) << what;
        // The same member's row: Name, identification and reference the
        // same; the remarks too unless named; every field when none is.
        const int c = mended.changed(k);
        for (int f = 1; f <= kFields; ++f) {
          if (f == 1 || f == 11 || f == 12 || c == 0 || (f == 10 && c != 10)) {
            ASSERT_EQ(mended.field(k, f), old.field(o, f)) << what << " record " << k << " from " << o;
          }
        }
      }
    }
  }
  // Records are taken, not read again, wherever the old scan can give them
  // (these files hold one to four records, several of them damaged).
  EXPECT_GT(taken, edits / 3) << taken << " records taken in " << edits << " changes";
}

TEST(ChangedScan, OneChangedRecordOfAThousandIsTheOnlyOneReadAgain) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += record("M" + std::to_string(1000 + i), "A" + std::to_string(1000 + i));
  MemberScan old;
  ASSERT_EQ(old.scan(text), 0);
  for (const auto& [what, change] : std::vector<std::pair<std::string, std::function<void(std::string&)>>>{
           {"a byte of record 500", [](std::string& s) { s[s.find("M1500") + 1] = 'X'; }},
           {"record 500 longer", [](std::string& s) { s.insert(s.find("M1500"), "Longer "); }},
           {"record 0 removed", [](std::string& s) { s.erase(0, s.find("#", 1)); }},
           {"a record at the end", [](std::string& s) { s += record("Zed", "B0000"); }},
           {"every remark changed in place", [](std::string& s) {
              for (int i = 0; i < 1000; ++i) s[s.find("\nM" + std::to_string(1000 + i) + "10\r") + 6] = '!';
            }}}) {
    std::string now = text;
    change(now);
    MemberScan mended;
    ASSERT_EQ(mended.scan_changed(old, now), 0) << what;
    std::size_t anew = 0;
    for (std::size_t k = 0; k < mended.size(); ++k) anew += mended.origin(k) == kNoRecord;
    EXPECT_LE(anew, 1u) << what;
    if (what == "every remark changed in place") {
      for (std::size_t k = 0; k < mended.size(); ++k) {
        ASSERT_EQ(mended.changed(k), 10) << k;
      }
    }
    EXPECT_EQ(mended.size() + (what == "record 0 removed") - (what == "a record at the end"), 1000u)
        << what;
  }
}

TEST(KeptScan, RefusesATextItDidNotNoteWhole) {
  const std::string file = record("Adam", "A0000") + record("Berg", "A0001");
  MemberScan scan;
  scan.scan(file);
  struct Case {
    const char* what;
    void (*write)(const MemberScan& in, std::string& out, MemberScan& kept);
  } cases[] = {
      {"a record appended without a note",
       [](const MemberScan& in, std::string& out, MemberScan& kept) {
         in.copy(out, 0, 1, &kept);
         in.copy(out, 1, 2);
       }},
      {"text after the last record",
       [](const MemberScan& in, std::string& out, MemberScan& kept) {
         in.copy(out, 0, 2, &kept);
         out += "\r\n";
       }},
      {"a new record of two lines",
       [](const MemberScan& in, std::string& out, MemberScan& kept) {
         const NewRecord short_one{"Aaron", "#\r\nAaron\r\n"};
         ins_sorted(in, out, {&short_one}, kNoRecord, &kept);
       }},
      {"a field changed to two lines",
       [](const MemberScan& in, std::string& out, MemberScan& kept) {
         in.copy_with(out, 0, 10, "one\r\ntwo", &kept);
         in.copy(out, 1, 2, &kept);
       }},
      {"a line end without its LF",
       [](const MemberScan& in, std::string& out, MemberScan& kept) {
         in.copy(out, 0, 1, &kept);
         const std::size_t start = out.size();
         out += "#\r\nA\rB\r\n";
         for (int i = 2; i <= kFields; ++i) out += "x\r\n";
         kept.note_added(out, start);
       }},
  };
  for (const auto& c : cases) {
    MemberScan kept;
    kept.begin_kept();
    std::string out;
    c.write(scan, out, kept);
    EXPECT_FALSE(kept.end_kept(out)) << c.what;
    EXPECT_EQ(kept.size(), 0u) << c.what;
  }
  // Nothing written: an empty member file.
  MemberScan kept;
  kept.begin_kept();
  EXPECT_TRUE(kept.end_kept(""));
  EXPECT_EQ(kept.size(), 0u);
}

TEST(DoUtf, PlainStartsOfEveryLengthBeforeAConvertedByte) {
  for (std::size_t n = 0; n < 20; ++n) {
    const std::string head(n, 'a');
    EXPECT_EQ(do_utf(head), head) << n;
    EXPECT_EQ(do_utf(head + "\xE9" + head), head + "\xC3\xA9" + head) << n;
    EXPECT_EQ(do_utf(head + "\xC3\xA9" + head + "\x80"), head + "\xC3\xA9" + head + "\xE2\x82\xAC") << n;
  }
}

TEST(ReadFile, ReusesTheRoomAndRefusesADirectory) {
  const std::string dir = ::testing::TempDir() + "soc-read-file";
  ::mkdir(dir.c_str(), 0700);
  const std::string p = dir + "/f";
  ASSERT_EQ(replace_file(p, std::string(100000, 'x')), 0);
  std::string buf;
  ASSERT_TRUE(read_file(p, buf));
  EXPECT_EQ(buf, std::string(100000, 'x'));
  ASSERT_EQ(replace_file(p, "short"), 0);
  ASSERT_TRUE(read_file(p, buf));
  EXPECT_EQ(buf, "short");
  EXPECT_FALSE(read_file(dir, buf));
  EXPECT_FALSE(read_file(dir + "/none", buf));
  EXPECT_EQ(buf, "short");
  ::unlink(p.c_str());
  ::rmdir(dir.c_str());
}

// ---- durable order of the files, settings in one rewrite ---------------------

std::vector<std::string> events;  // fsync and rename calls, in order

int logged_fsync(int fd) {
  struct stat st;
  events.push_back(::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? "fsync dir" : "fsync file");
  return ::fsync(fd);
}
int logged_rename(const char* from, const char* to) {
  std::string t = to;
  events.push_back("rename " + t.substr(t.rfind('/') + 1));
  return ::rename(from, to);
}

class DurableOrder : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    events.clear();
  }
  void log_calls() {
    fs_ops().fsync = logged_fsync;
    fs_ops().rename = logged_rename;
  }
};

TEST_F(DurableOrder, NewFlushesTheMemberFileBeforeTheCounterNamesItsReference) {
  // The history file, then the member file (a kill between them leaves no
  // member without its history file), share one flush of their directory;
  // the counter is renamed only after it, so that a power cut can never keep
  // an advanced counter with the record undone.
  write(db() / "sociantes.data", record("Adam", "A0000"));
  setrc("ref", "A0001");
  show_cust();
  dispatch(400);
  ws_.ctl_set_text(form_ctl(form_elem_of_field(1)), "Berg");
  log_calls();
  dispatch(402);
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename A0001.dat", "fsync file",
                                              "rename sociantes.data", "fsync dir", "fsync file",
                                              "rename .sociantes.rc", "fsync dir"}));
  EXPECT_NE(read(db() / "sociantes.data").find("\r\nBerg\r\n"), std::string::npos);
  EXPECT_EQ(getrc("ref"), "A0002");
}

TEST_F(DurableOrder, EveryOtherSaveFlushesItsOwnDirectory) {
  write(db() / "sociantes.data", record("Adam", "A0000") + record("Berg", "A0001"));
  show_cust();
  ws_.list_select(member_list_ctl(), 0);
  selection_made("A0000");
  ws_.replies.push_back({Reply::yes, {}, 0});
  dispatch(403);
  log_calls();
  dispatch(402);
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename sociantes.data", "fsync dir"}));
  EXPECT_EQ(read(db() / "sociantes.data"), record("Berg", "A0001"));
}

TEST_F(DurableOrder, SeveralSettingsInOneRewrite) {
  setrc("col1", "10");
  setrc("other", "kept");
  log_calls();
  EXPECT_EQ(setrc_many({{"winh", "480"}, {"col1", "99\r\nnetwork=yes"}, {"winw", "640"}}), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename .sociantes.rc", "fsync dir"}));
  EXPECT_EQ(getrc("winh"), "480");
  EXPECT_EQ(getrc("col1"), "99");
  EXPECT_EQ(getrc("winw"), "640");
  EXPECT_EQ(getrc("other"), "kept");
  EXPECT_EQ(getrc("network"), "");
  const std::string rc = read(db() / ".sociantes.rc");
  EXPECT_EQ(rc.find("col1=99\r\n"), rc.find("col1="));  // in its old place, once
  EXPECT_LT(rc.find("winh=480"), rc.find("winw=640"));  // new keys in the given order
  // The window closed: its size and column widths in one rewrite.
  events.clear();
  wm_destroy();
  EXPECT_EQ(events, (std::vector<std::string>{"fsync file", "rename .sociantes.rc", "fsync dir"}));
}

TEST_F(DurableOrder, ANewMemberFileThatCannotBeWrittenIsNamedBesideTheMemberFile) {
  write(db() / "sociantes.data", record("Adam", "A0000"));
  show_cust();
  ws_.list_select(member_list_ctl(), 0);
  selection_made("A0000");
  ws_.replies.push_back({Reply::yes, {}, 0});
  dispatch(403);
  // The sibling cannot be created (its name leads into no directory); the
  // lock files still can.
  fs_ops().sibling_tag = [] { return std::string("/none/x"); };
  shown();
  dispatch(402);
  const std::string s = shown();
  EXPECT_NE(s.find(" ERROR 7 \\r\\n The temporary file cannot be written: \\r\\n " +
                   (db() / "sociantes.data").string() + ".new-XXXXXXXX \\r\\n The member is not "
                   "deleted. "),
            std::string::npos)
      << s;
  EXPECT_EQ(read(db() / "sociantes.data"), record("Adam", "A0000"));
}

}  // namespace
}  // namespace soc
