// The texts of the member card: field 9 split at its "@" and the cuts of
// the panels, counted in characters.
#include <gtest/gtest.h>

#include "documents/cards.h"

namespace soc::test {
namespace {

TEST(CardTexts, BirthFieldSplitAtTheFirstAt) {
  struct {
    const char* field;  // field 9
    const char* date;   // printed at y 86
    const char* place;  // printed at y 82
  } cases[] = {
      {"05 17 1961 @ Riverton", "05 17 1961 ", "Riverton"},
      {"05 17 1961", "05 17 1961", ""},
      {"05 17 1961 @", "05 17 1961 ", ""},
      {"05 17 1961 @ ", "05 17 1961 ", ""},
      {"@ Lyon @ Nice", "", "Lyon @ Nice"},
      {"01 01 2000 @ Saint-Remy-de-Provence-sur-Mer", "01 01 2000 ", "Saint-Remy-de-Prove"},
  };
  for (const auto& c : cases) {
    std::string date, place;
    split_birth(c.field, date, place);
    EXPECT_EQ(date, c.date) << c.field;
    EXPECT_EQ(place, c.place) << c.field;
  }
}

TEST(CardTexts, CutsCountCharactersNotBytes) {
  EXPECT_EQ(first_chars(std::string(40, 'x'), 32), std::string(32, 'x'));
  EXPECT_EQ(first_chars("short", 22), "short");
  // 21 two-byte characters and more: 22 characters are 44 bytes.
  std::string e;
  for (int i = 0; i < 25; ++i) e += "\xC3\xA9";
  EXPECT_EQ(first_chars(e, 22), e.substr(0, 44));
  // A Windows-1252 byte counts as one character and comes out as UTF-8.
  EXPECT_EQ(first_chars("B\xE9raud", 2), "B\xC3\xA9");
}

}  // namespace
}  // namespace soc::test
