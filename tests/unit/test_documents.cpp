// The pure rules of the text documents: the dot fill of the listing columns
// and the placing of template definitions on the page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/documents.h"

namespace soc {
namespace {

TEST(InsertLine, CountsUtf8CharactersAndFillsWithDots) {
  struct Case {
    std::string text;
    std::size_t width;
    std::string out;
  } cases[] = {
      {"abc", 5, "abc.."},
      {"", 3, "..."},
      {"abcde", 5, "abcde"},
      {"abcdef", 5, "abcdef"},                   // beyond the width: no dot, no cut
      {"\xC3\xA9t\xC3\xA9", 5, "\xC3\xA9t\xC3\xA9.."},   // été: 3 characters
      {"\xE2\x82\xAC", 2, "\xE2\x82\xAC."},       // one euro sign
      {"\xC0\x80x", 3, "\xC0\x80x.."},            // 0xC0 and 0x80 do not count
      {"\xC1", 1, "\xC1."},
  };
  for (const auto& c : cases) {
    std::string dst = ">";
    insert_line(dst, c.text, c.width);
    EXPECT_EQ(dst, ">" + c.out) << c.text << " / " << c.width;
  }
}

// The rows 1..61 of a page given as its first rows; the others are empty.
std::string page(const std::vector<std::string>& first_rows) {
  std::string s;
  for (const auto& r : first_rows) s += r;
  for (std::size_t i = first_rows.size(); i < 61; ++i) s += "\r\n";
  return s;
}

TEST(RenderForm, KeepsTheFirst32DefinitionsOfTheTemplateAndLeavesOutOfPageRows) {
  Record rec;
  rec[1] = "Name";
  const std::vector<std::string> filler(31, "1 0 1 1");   // field 0: counted, places nothing
  struct Case {
    std::vector<std::string> lines;
    std::string want;
  } cases[] = {
      {[&] { auto v = filler; v.push_back("1 1 2 2"); return v; }(),
       page({"\r\n", "  Name\r\n"})},
      {[&] { auto v = filler; v.push_back("1 0 1 1"); v.push_back("1 1 2 2"); return v; }(),
       page({})},
      // Other templates do not count towards the 32.
      {[&] { auto v = std::vector<std::string>(40, "2 1 1 1"); v.push_back("1 1 2 2"); return v; }(),
       page({"\r\n", "  Name\r\n"})},
      // Rows outside the page, unknown fields and columns past the row are left out.
      {{"1 1 0 0", "1 1 0 72", "1 1 0 -3", "1 13 0 1", "1 1 95 1", "1 1 -1 1"}, page({})},
      // Only the first 31 bytes of a line are read.
      {{"1 1 0                          2", "1 1 0  2   "}, page({"\r\n", "\r\nName\r\n"})},
      {{"garbage", "1 1", "1 1 3 1"}, page({"   Name\r\n"})},
  };
  for (const auto& c : cases) EXPECT_EQ(render_form(c.lines, 1, rec), c.want) << c.lines.back();
}

TEST(RenderForm, ALineNeverPassesColumn95) {
  Record rec;
  rec[1] = std::string(62, 'a');
  rec[2] = std::string(40, 'b');
  const std::string r1 = std::string(79, ' ') + std::string(16, 'a');
  // The second text goes on the extra line under the row, from column 0.
  EXPECT_EQ(render_form({"1 1 79 1", "1 2 3 1"}, 1, rec),
            page({r1 + "\r\n" + std::string(40, 'b') + "\r\n"}));
  EXPECT_EQ(render_form({"1 1 94 1"}, 1, rec), page({std::string(94, ' ') + "a\r\n"}));
}

TEST(FormLines, DeletionKeyEndsWithASpace) {
  const std::vector<std::string> lines = {"1 1 5 3", "1 10 2 2", "1 11 3 3", "1 12 4 4",
                                          "2 1 1 1", "11 1 0 1", "1 1"};
  EXPECT_EQ(form_lines_without(lines, 1, 1),
            (std::vector<std::string>{"1 10 2 2", "1 11 3 3", "1 12 4 4", "2 1 1 1", "11 1 0 1",
                                      "1 1"}));
  EXPECT_EQ(form_lines_without(lines, 1, 12), (std::vector<std::string>{
                                                  "1 1 5 3", "1 10 2 2", "1 11 3 3", "2 1 1 1",
                                                  "11 1 0 1", "1 1"}));
}

}  // namespace
}  // namespace soc
