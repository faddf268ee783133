// The match test of the member search and the scan of the member file's
// bytes, compared with the member-file reader on awkward files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "db/search.h"

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

}  // namespace
}  // namespace soc::test
