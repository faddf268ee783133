// Text helpers: UTF-8 safe cuts, display conversion, line splitting, and the
// driver's quoting and word splitting.
#include <gtest/gtest.h>

#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/scripted.h"
#include "shell/script.h"

namespace soc {

TEST(CutUtf8, NeverSplitsACharacter) {
  struct Case {
    std::string in;
    size_t n;
    std::string out;
  } cases[] = {
      {"abcdef", 3, "abc"},
      {"abc", 5, "abc"},
      {"ab\xC3\xA9z", 3, "ab"},          // é would be cut in the middle
      {"ab\xC3\xA9z", 4, "ab\xC3\xA9"},
      {"\xE2\x82\xAC\xE2\x82\xAC", 4, "\xE2\x82\xAC"},  // two euro signs
      {"", 0, ""},
      {"\xF0\x9F\x98\x80", 3, ""},  // a four-byte character left out whole
      // Bytes that are no UTF-8 (Windows-1252 text of older installations)
      // are characters of their own: "°" is 0xB0, "·" 0xB7.
      {std::string(70, '\xB0'), 62, std::string(62, '\xB0')},
      {"ab\xC3\xA9\xB0\xB7", 5, "ab\xC3\xA9\xB0"},  // é is whole before the stray bytes
      {"\xB7\xB7\xC3\xA9", 3, "\xB7\xB7"},
  };
  for (const auto& c : cases) EXPECT_EQ(cut_utf8(c.in, c.n), c.out) << c.in << " / " << c.n;
}

TEST(DoUtf, KeepsUtf8AndShowsOtherBytesAsWindows1252) {
  EXPECT_EQ(do_utf("Dupont"), "Dupont");
  EXPECT_EQ(do_utf("B\xC3\xA9la"), "B\xC3\xA9la");               // already UTF-8
  EXPECT_EQ(do_utf("B\xE9la"), "B\xC3\xA9la");                   // Latin-1 é
  EXPECT_EQ(do_utf("\x80 5"), "\xE2\x82\xAC 5");                 // Windows-1252 euro
  EXPECT_EQ(do_utf("\x81"), "\xEF\xBF\xBD");                     // undefined byte
  EXPECT_EQ(do_utf("\xC3"), "\xC3\x83");                         // a lone lead byte
  EXPECT_EQ(do_utf("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // surrogate is not UTF-8
}

TEST(SplitLines, AcceptsCrLfAndLf) {
  EXPECT_EQ(split_lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(split_lines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(split_lines("").empty());
  EXPECT_EQ(join_crlf({"x", ""}), "x\r\n\r\n");
}

TEST(DriverQuote, MakesEveryByteVisible) {
  EXPECT_EQ(quote("a \"b\" \\ c"), "\"a \\\"b\\\" \\\\ c\"");
  EXPECT_EQ(quote("\r\n\t"), "\"\\r\\n\\t\"");
  EXPECT_EQ(quote("\x01\xC3\xA9"), "\"\\x01\\xC3\\xA9\"");
}

TEST(DriverWords, QuotedWordsAndEscapes) {
  std::vector<std::string> w;
  ASSERT_TRUE(split_words("reply ok 1003=\"a b\" x", w));
  EXPECT_EQ(w, (std::vector<std::string>{"reply", "ok", "1003=\"a", "b\"", "x"}));
  ASSERT_TRUE(split_words("set 1 \"Du \\\"pont\\\"\\r\\n\\x41\"", w));
  EXPECT_EQ(w, (std::vector<std::string>{"set", "1", "Du \"pont\"\r\nA"}));
  ASSERT_TRUE(split_words("set 1 \"\"", w));
  EXPECT_EQ(w.back(), "");
  EXPECT_FALSE(split_words("set 1 \"open", w));
  EXPECT_FALSE(split_words("set 1 \"bad \\q\"", w));
  EXPECT_FALSE(split_words("set 1 \"\\x4\"", w));
}

}  // namespace soc
