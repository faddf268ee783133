// Flags: the remarks field composed from the form, the filter rules over
// every tick pattern, adding and removing one flag, the list's flag column,
// and the info-labels file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "db/flags.h"
#include "db/records.h"
#include "db/util.h"
#include "program_fixture.h"
#include "shell/dialog.h"

namespace soc {
namespace {

// Sets flg1..flg4 from a pattern of four '0' / '1'.
void tick(const char* pattern) {
  int* s[4] = {&flg1, &flg2, &flg3, &flg4};
  for (int k = 0; k < 4; ++k) *s[k] = pattern[k] == '1' ? 1 : 0;
}

TEST(BldRem, ComposesTextBlankAndTickedFlags) {
  const std::string t58(58, 't'), t60(60, 't');
  std::string accents;
  for (int i = 0; i < 30; ++i) accents += "\xC3\xA9";  // 60 bytes
  struct Case {
    const char* ticks;
    std::string text, rem;
  } cases[] = {
      {"1010", "Pays dues!", "Pays dues !%"},
      {"0001", t58, t58 + "&"},                  // 58 characters: no blank
      {"0100", "", " $"},
      {"0000", "", " "},
      {"1111", "ends in blank ", "ends in blank !$%&"},
      {"0000", "old flags !$ stay out&", "old flags  stay out "},
      {"1000", t60 + "!!", t58 + "!"},           // cut to 58
      {"1111", std::string(63, 'x') + "!$%&y", std::string(58, 'x') + "!$%&"},
      {"0010", accents, accents.substr(0, 58) + "%"},
      {"0010", "a" + accents, "a" + accents.substr(0, 56) + "%"},  // never inside a character
  };
  for (const auto& c : cases) {
    tick(c.ticks);
    std::string rem = bld_rem(c.text);
    EXPECT_EQ(rem, c.rem) << c.ticks << " " << c.text;
    EXPECT_LE(rem.size(), kFieldMax);
  }
  tick("0000");
}

// Flag set (bit k = flag k+1) of a remarks field.
int present_of(const std::string& rem) {
  int m = 0;
  for (int k = 0; k < 4; ++k)
    if (rem.find(kFlagChars[k]) != std::string::npos) m |= 1 << k;
  return m;
}

TEST(EvalFlg, EveryRuleOverEveryTickAndFlagPattern) {
  // The rules as set relations between ticked boxes T and member flags P.
  auto expected = [](int rule, int t, int p) {
    switch (rule) {
      case 0: return 1;
      case 1: return (t & p) != 0 ? 1 : 0;         // or
      case 2: return (t & ~p) == 0 ? 1 : 0;        // and: T within P
      case 3: return (t & p) == 0 ? 1 : 0;         // nor
      case 4: return (t & ~p) != 0 ? 1 : 0;        // nand: not (T within P)
      default: return 0;
    }
  };
  for (int rule = 0; rule <= 5; ++rule) {
    listing_type = rule;
    for (int t = 0; t < 16; ++t) {
      char pat[5] = {};
      for (int k = 0; k < 4; ++k) pat[k] = (t >> k) & 1 ? '1' : '0';
      tick(pat);
      for (int p = 0; p < 16; ++p) {
        std::string rem = "Note ";
        for (int k = 3; k >= 0; --k)  // flags in any order in the field
          if ((p >> k) & 1) rem += kFlagChars[k];
        ASSERT_EQ(present_of(rem), p);
        EXPECT_EQ(eval_flg(rem), expected(rule, t, p)) << "rule " << rule << " ticks " << pat
                                                         << " rem " << rem;
      }
    }
  }
  listing_type = 0;
  tick("0000");
}

TEST(EvalFlg, CasesNamedForTheRules) {
  struct Case {
    int rule;
    const char* ticks;
    const char* rem;
    int pass;
  } cases[] = {
      {1, "0000", "all !$%&", 0},   // or, nothing ticked: none pass
      {2, "0000", "", 1},           // and, nothing ticked: all pass
      {3, "0000", "!$%&", 1},       // nor, nothing ticked: all pass
      {4, "0000", "", 0},           // nand, nothing ticked: none pass
      {4, "1100", "x !$", 0},       // nand !$: a member with both is kept out
      {4, "1100", "x !", 1},
      {4, "1100", "x %&", 1},
      {9, "1000", "!", 0},          // an unknown rule lets nobody through
  };
  for (const auto& c : cases) {
    listing_type = c.rule;
    tick(c.ticks);
    EXPECT_EQ(eval_flg(c.rem), c.pass) << c.rule << " " << c.ticks << " " << c.rem;
  }
  listing_type = 0;
  tick("0000");
}

TEST(AddRmFlg, OneFlagInARemarksField) {
  const std::string t62(62, 't');
  struct Case {
    std::string rem;
    char c;
    bool add;
    std::string after;
    int changed;
  } cases[] = {
      {"Note", '!', true, "Note !", 1},
      {"Note $", '!', true, "Note $!", 1},
      {"Note ", '&', true, "Note &", 1},
      {"", '%', true, " %", 1},
      {"Note !", '!', true, "Note !", 0},
      {"!in front", '!', true, "!in front", 0},  // present anywhere
      {t62, '!', true, std::string(60, 't') + " !", 1},   // never past 62
      {std::string(58, 't') + " $%&", '!', true, std::string(57, 't') + " $%&!", 1},
      {std::string(59, 't') + "\xC3\xA9", '!', true, std::string(59, 't') + " !", 1},  // a whole character
      {std::string(70, ' '), '!', true, std::string(61, ' ') + "!", 1},  // a long field as stored
      {"Note" + std::string(66, ' ') + "$", '&', true, std::string(60, ' ') + "$&", 1},
      {"a!b!c !", '!', false, "abc ", 1},
      {"Note $", '!', false, "Note $", 0},
  };
  for (const auto& c : cases) {
    std::string rem = c.rem;
    EXPECT_EQ(c.add ? add_flg(rem, c.c) : rm_flg(rem, c.c), c.changed) << c.rem;
    EXPECT_EQ(rem, c.after) << c.rem << " " << c.c;
    EXPECT_LE(rem.size(), kFieldMax);
  }
}

using InfoLabels = test::ProgramTest;

TEST_F(InfoLabels, FourLabelsMakeTheFileAnythingElseRemovesIt) {
  const auto flg = db() / "sociantes.flg";
  struct Case {
    std::string text;
    bool stored;
    std::string file;
  } cases[] = {
      {"A B C D", true, "A\r\nB\r\nC\r\nD\r\n"},
      {"Paid Board Mail Guest ", true, "Paid\r\nBoard\r\nMail\r\nGuest\r\n"},
      {"A B C", false, ""},
      {"A  B C D", false, ""},   // a double blank is an empty label
      {"A B C D E", false, ""},
  };
  for (const auto& c : cases) {
    write(flg, "old\r\n");
    tmp_str = c.text;
    EXPECT_EQ(mk_info_file(), c.stored ? 0 : 1) << c.text;
    EXPECT_EQ(std::filesystem::exists(flg), c.stored) << c.text;
    if (c.stored) {
      EXPECT_EQ(read(flg), c.file);
    }
    EXPECT_EQ(shown().find("info 1"), c.stored ? std::string::npos : 0u) << c.text;
  }
  tmp_str = "";
  EXPECT_EQ(mk_info_file(), 0);  // empty: the defaults return
  EXPECT_FALSE(std::filesystem::exists(flg));
}

TEST_F(InfoLabels, CaptionsAreCutTo10AndMissingLinesKeepDefaults) {
  write(db() / "sociantes.flg", "Membership fee\r\nBoard\r\n");
  mk_flags_bnts();
  EXPECT_EQ(flag_names[0], "Membership");
  EXPECT_EQ(flag_names[1], "Board");
  EXPECT_EQ(flag_names[2], "Info-%");
  EXPECT_EQ(flag_names[3], "Info-&&");
}

}  // namespace
}  // namespace soc
