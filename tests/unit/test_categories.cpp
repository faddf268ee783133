// Categories: adding and removing names in the categories file, the category
// table and list, and the selected category across a reload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/categories.h"
#include "db/members.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc {
namespace {

using Lines = std::vector<std::string>;

TEST(CatLines, AddPlacesInNameOrderBeforeEqualNames) {
  struct Case {
    Lines before;
    std::string name;
    Lines after;
  } cases[] = {
      {{"Arts", "Choir"}, "Board", {"Arts", "Board", "Choir"}},
      {{"Arts", "Board", "Choir"}, "Board", {"Arts", "Board", "Board", "Choir"}},
      {{"Board members"}, "Board", {"Board", "Board members"}},
      {{"Board"}, "Board members", {"Board", "Board members"}},
      {{"Arts"}, "Zoo", {"Arts", "Zoo"}},
      {{"Arts"}, "Aaa", {"Aaa", "Arts"}},
      {{"Arts"}, "arts", {"Arts", "arts"}},         // lower case after upper case
      {{"Arts"}, "\xC3\x89t\xC3\xA9", {"\xC3\x89t\xC3\xA9", "Arts"}},
      {{}, "Arts", {"Arts"}},
  };
  for (const auto& c : cases) EXPECT_EQ(cat_add_lines(c.before, c.name), c.after) << c.name;
}

TEST(CatLines, RemoveTakesOnlyExactLines) {
  EXPECT_EQ(cat_rm_lines({"Arts", "Board", "Board members", "Board", "Choir"}, "Board"),
            (Lines{"Arts", "Board members", "Choir"}));
  EXPECT_EQ(cat_rm_lines({"Arts"}, "Art"), (Lines{"Arts"}));
}

using CategoryFile = test::ProgramTest;

TEST_F(CategoryFile, AddAndRemoveThroughTheDialogText) {
  const auto path = db() / "sociantes.cat";
  std::filesystem::remove(path);
  tmp_str = "Choir";
  EXPECT_EQ(mk_cat_file(1), 0);                      // missing file: created
  EXPECT_EQ(read(path), "Choir\r\n");
  tmp_str = "Arts";
  mk_cat_file(1);
  tmp_str = std::string(40, 'B');                    // cut to 31
  mk_cat_file(1);
  EXPECT_EQ(read(path), "Arts\r\n" + std::string(31, 'B') + "\r\nChoir\r\n");
  tmp_str = "";
  EXPECT_EQ(mk_cat_file(1), 1);                      // empty: nothing changes
  tmp_str = "Arts";
  EXPECT_EQ(mk_cat_file(0), 0);
  EXPECT_EQ(read(path), std::string(31, 'B') + "\r\nChoir\r\n");
  std::filesystem::remove(path);
  EXPECT_EQ(mk_cat_file(0), 1);                      // missing at removal: nothing
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CategoryFile, TableHolds62NamesOfAtMost31Characters) {
  std::string text;
  for (int i = 0; i < 70; ++i) text += "Cat" + std::to_string(100 + i) + std::string(30, 'x') + "\r\n";
  write(db() / "sociantes.cat", text);
  update_cats();
  auto* list = ws_.control(cat_list_ctl());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->items.size(), 63u);
  EXPECT_EQ(list->items[0], "All");
  EXPECT_EQ(cat_txt[1], ("Cat100" + std::string(30, 'x')).substr(0, 31));
  EXPECT_EQ(cat_txt[62].substr(0, 6), "Cat161");
  EXPECT_EQ(cat_txt[63], "");
}

TEST_F(CategoryFile, TheSelectedNameStaysSelectedWhenTheTableShifts) {
  write(db() / "sociantes.cat", "Arts\r\nChoir\r\n");
  update_cats();
  cat_sel(2);
  EXPECT_EQ(cat_txt[cat], "Choir");
  tmp_str = "Board";
  mk_cat_file(1);
  update_cats();
  EXPECT_EQ(cat, 3);
  EXPECT_EQ(cat_txt[cat], "Choir");
  EXPECT_EQ(ws_.list_selection(cat_list_ctl()), 3);
  tmp_str = "Choir";
  mk_cat_file(0);
  update_cats();
  EXPECT_EQ(cat, 0);  // gone: back to "All"
}

}  // namespace
}  // namespace soc
