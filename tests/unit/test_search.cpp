// The match test of the member search and the scan of the member file's
// bytes, compared with the member-file reader on awkward files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "db/members.h"
#include "db/records.h"
#include "db/search.h"
#include "db/util.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

TEST(SearchMatch, FoldsAsciiLettersOnly) {
  struct Case {
    const char* field;
    const char* crit;
    int hit;
  } cases[] = {
      {"Dupont", "DUP", 1},          {"3 rue Dupuis", "dup", 1},
      {"aab", "ab", 1},              {"ab", "aab", 0},
      {"Zed", "ZED", 1},             {"", "a", 0},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", 0},  // é and É differ: bytes above 0x7F stay
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9T", 1},
      {"[x]", "[X]", 1},             {"@", "`", 0},  // '@' and '`' are no letters
  };
  for (const auto& c : cases)
    EXPECT_EQ(search_line(c.field, c.crit), c.hit) << c.field << " / " << c.crit;
  EXPECT_EQ(fold_lower("AZaz@[`{\x80\xC9"), "azaz@[`{\x80\xC9");
}

TEST(SearchMatch, OnePassFoldsEveryByteAndFindsEveryLineEnd) {
  // Every byte value, at every offset of the sixteen-byte blocks and in
  // the tail, with line feeds among them.
  std::string text;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) {
      text += static_cast<char>(b);
      if ((b + round) % 7 == 0) text += '\n';
    }
  text += "TAIL\nX";
  std::string low;
  std::vector<std::uint32_t> nl;
  fold_text(text, low, nl);
  EXPECT_EQ(low, fold_lower(text));
  std::vector<std::uint32_t> want;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') want.push_back(static_cast<std::uint32_t>(i));
  EXPECT_EQ(nl, want);
}

// The block scan against the library's find: needles of 1 to 70 bytes over
// texts of every length around the 16-, 32- and 64-byte blocks, from every
// start, with the needle placed at the start, inside, across a block end,
// at the very end, and only partly (first and last byte right, middle
// wrong).
TEST(SearchMatch, BlockScanFindsWhatFindFinds) {
  std::mt19937 rng(7);
  auto text_of = [&](std::size_t n) {
    std::string t(n, ' ');
    for (char& c : t) c = "ab\n\xC3"[rng() % 4];
    return t;
  };
  int checked = 0;
  for (std::size_t nlen : {1u, 2u, 3u, 13u, 31u, 32u, 33u, 63u, 64u, 65u, 70u}) {
    const std::string needle = text_of(nlen);
    std::string near = needle;  // first and last byte right, the middle wrong
    if (nlen > 2) near[nlen / 2] = needle[nlen / 2] == 'x' ? 'y' : 'x';
    for (std::size_t len : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 64u, 95u, 96u, 97u, 130u, 200u}) {
      for (std::size_t at : {std::size_t{0}, len / 3, len > nlen ? len - nlen : 0, std::size_t{62}}) {
        std::string hay = text_of(len);
        if (at + nlen <= len) hay.replace(at, nlen, needle);
        if (len > 2 * nlen + 1) hay.replace(len / 2 - 1, nlen, near);
        for (std::size_t from = 0; from <= len + 1; ++from) {
          ASSERT_EQ(find_text(hay, needle, from), std::string_view(hay).find(needle, from))
              << "needle " << nlen << " text " << len << " at " << at << " from " << from;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
  EXPECT_EQ(find_text("abc", "", 1), 1u);
  EXPECT_EQ(find_text("abc", "", 4), std::string_view::npos);
  EXPECT_EQ(find_text("ab", "abc"), std::string_view::npos);
}

// The reference: the member-file reader and the match test, record by record.
SrchScan reference(const std::string& text, const std::string& category, const std::string& crit,
                   SrchScan s) {
  MemberReader in(text);
  Record r;
  int j = 0;
  s.hit = false;
  while (get_data(in, data_xchg, kFields) == kFields) {
    ++j;
    if (j <= s.pm) continue;
    if (!category.empty() && data_xchg[13].compare(0, category.size(), category) != 0) continue;
    ++s.cnt;
    if (lookup(crit)) {
      s.pm = j;
      s.hit = true;
      return s;
    }
  }
  s.pm = j;
  return s;
}

std::string rec(const std::string& name, const std::string& adr, const std::string& cat,
                const std::string& eol = "\r\n") {
  std::string s = "#" + eol + name + eol + eol + adr + eol;
  for (int f = 4; f <= 12; ++f) s += eol;
  return s + cat + eol;
}

TEST(SearchScan, AgreesWithTheMemberFileReader) {
  const std::string long_line = std::string(60, 'x') + "DUPONT";  // the match lies beyond 62 bytes
  const std::string utf8_cut = std::string(61, 'y') + "\xC3\xA9";  // é would be split at 62
  const std::string texts[] = {
      rec("Dupont", "", "Choir") + rec("Martin", "rue Dupuis", "") + rec("Zed", "", "Choir"),
      rec(long_line, "", "") + rec("dup", "", ""),
      rec(utf8_cut, "", "") + rec("\xC3\xA9", "", ""),
      rec("Du", "pont", "") + rec("a", "dup", ""),                // no match across two lines
      "#dup\r\n" + rec("x", "", "").substr(3) + rec("dup", "", ""),  // the marker line holds it
      rec("dup", "", "", "\n") + rec("DUP", "", "Choir", "\n"),     // LF line ends
      rec("a", "", "") + "junk\r\n" + rec("dup", "", ""),          // reading stops at junk
      rec("a", "", "") + "#\r\ndup\r\n",                              // fields missing at the end
      rec("dup", "", "Choir") + rec("dup", "", "Choirs") + rec("dup", "", "Cho"),
      "",
  };
  for (const auto& text : texts) {
    for (const std::string cat : {"", "Choir"}) {
      for (const std::string crit : {"dup", "\xC3\xA9", "y\xC3", "du\r\npont", "pont", "#"}) {
        SrchScan want{}, got{};
        // Step from hit to hit as the OKs do, until the end.
        for (int step = 0; step < 8; ++step) {
          want = reference(text, cat, crit, want);
          std::string low;
          std::vector<std::uint32_t> nl;
          fold_text(text, low, nl);
          srch_scan(text, low, nl, srch_records(text, nl), cat, fold_lower(crit), got);
          ASSERT_EQ(got.hit, want.hit) << text << "|" << cat << "|" << crit << " step " << step;
          ASSERT_EQ(got.pm, want.pm) << text << "|" << cat << "|" << crit << " step " << step;
          ASSERT_EQ(got.cnt, want.cnt) << text << "|" << cat << "|" << crit << " step " << step;
          if (!got.hit) break;
        }
      }
    }
  }
}

// Searches as the OKs of one dialog do, in this process, the files changed
// between the OKs as another workstation or another program would.
class SearchCopy : public ProgramTest {
 protected:
  static std::string member(const std::string& name, const std::string& adr,
                            const std::string& ref) {
    std::string s = "#\r\n" + name + "\r\n\r\n" + adr + "\r\n";
    for (int f = 4; f <= 11; ++f) s += "\r\n";
    return s + ref + "\r\n\r\n";
  }
  // One OK of the search dialog with criterion crit; the member selected.
  std::string ok(const std::string& crit) {
    task_in = 4;
    dlg_input = crit;
    do_srch();
    return index_sel;
  }
  static std::filesystem::path tmp() { return tmp_root; }
  std::string copy() const { return read(tmp() / "sociantes.tmp"); }
  std::string members() const { return read(db() / "sociantes.data"); }
  void TearDown() override {
    free_sel();
    search_reset();
    ProgramTest::TearDown();
  }
};

TEST_F(SearchCopy, EveryOkSeesTheMemberFileAndRestoresTheCopy) {
  // Martin lives rue Dupuis, Zed at zzz; the same sizes after each change.
  write(db() / "sociantes.data", member("Dupont", "1 place Verte", "A0001") +
                                     member("Martin", "3 rue Dupuis", "A0002") +
                                     member("Zed", "zzz", "A0003"));
  ASSERT_EQ(ok("dup"), "A0001");
  EXPECT_EQ(copy(), members());

  // Rewritten in place, same size: Martin moves away, Zed moves to dup.
  std::string text = members();
  text.replace(text.find("Dupuis"), 6, "Xupuis");
  text.replace(text.find("zzz"), 3, "dup");
  write(db() / "sociantes.data", text);
  EXPECT_EQ(ok("dup"), "A0003");
  EXPECT_EQ(copy(), text);
  EXPECT_EQ(list_cnt, 3);

  // The copy removed, replaced by another file, cut short: written again.
  const std::filesystem::path tmp = SearchCopy::tmp();
  std::filesystem::remove(tmp / "sociantes.tmp");
  EXPECT_EQ(ok("zed"), "A0003");
  EXPECT_EQ(copy(), text);
  write(tmp / "other", std::string(text.size(), 'x'));
  std::filesystem::rename(tmp / "other", tmp / "sociantes.tmp");
  EXPECT_EQ(ok("martin"), "A0002");
  EXPECT_EQ(copy(), text);
  std::filesystem::resize_file(tmp / "sociantes.tmp", 10);
  EXPECT_EQ(ok("verte"), "A0001");
  EXPECT_EQ(copy(), text);

  // A member added by New between two OKs of the same criterion.
  text += member("Dupuy", "", "A0004");
  write(db() / "sociantes.data", text);
  EXPECT_EQ(ok("verte"), "");  // nothing after Dupont holds it
  EXPECT_EQ(ok("dupuy"), "A0004");
  EXPECT_EQ(copy(), text);
}

// An OK skips reading a member file that is still the file read before;
// guards that a write in place is seen even when it keeps the size and puts
// the old modification time back (its change time still moves).
TEST_F(SearchCopy, AnUnchangedFileIsTrustedOnlyUntilItIsWritten) {
  const std::filesystem::path f = db() / "sociantes.data";
  write(f, member("Dupont", "1 place Verte", "A0001") + member("Zed", "zzz", "A0002"));
  // Times two seconds old count as settled.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  ASSERT_EQ(ok("dup"), "A0001");
  EXPECT_EQ(ok("dup"), "");  // the same file: nothing after Dupont
  search_reset();
  const auto when = std::filesystem::last_write_time(f);
  std::string text = members();
  text.replace(text.find("zzz"), 3, "dup");
  {
    std::fstream io(f, std::ios::in | std::ios::out | std::ios::binary);
    io.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  std::filesystem::last_write_time(f, when);
  ASSERT_EQ(ok("dup"), "A0001");
  EXPECT_EQ(ok("dup"), "A0002");
  EXPECT_EQ(copy(), text);
}

TEST_F(SearchCopy, TellsRecordsSharingAReferenceApart) {
  write(db() / "sociantes.data", member("Dupont", "", "A0001") + member("Dupuis", "", "A0002"));
  ASSERT_EQ(ok("dupuis"), "A0002");
  EXPECT_EQ(sel_nth, 0);
  // The second record now shares the first one's reference.
  write(db() / "sociantes.data", member("Dupont", "", "A0001") + member("Dupuis", "", "A0001"));
  ASSERT_EQ(ok("puis"), "A0001");  // a new criterion: from the first record again
  EXPECT_EQ(sel_nth, 1);
  EXPECT_EQ(data_xchg[1], "Dupuis");
  ASSERT_EQ(ok("dupont"), "A0001");
  EXPECT_EQ(sel_nth, 0);
}

}  // namespace
}  // namespace soc::test
