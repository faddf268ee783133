// The photo file reader: the 24- and 16-level forms told apart by their
// header, rows that are short or missing, symbols outside the grey table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "import/photo_file.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// A photo file: header lines, palette of n entries, then the rows, CR LF.
std::string xpm(int palette, const std::vector<std::string>& rows, const char* eol = "\r\n") {
  std::string s = std::string("/* XPM */") + eol + "static char * test_xpm[] = {" + eol + "\"96 120 " +
                  std::to_string(palette) + " 1\"," + eol;
  for (int i = 0; i < palette; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\"%c c #%.2x%.2x%.2x\"", 'a' + i, 10 * i, 10 * i, 10 * i);
    s += buf + std::string(eol);
  }
  for (const auto& r : rows) s += r + eol;
  return s;
}
std::string row(char c) { return "\"" + std::string(96, c) + "\""; }

class PhotoFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "soc-photo-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
  }
  void TearDown() override { fs::remove_all(dir_); }
  int read(const std::string& text, Photo& p) {
    std::ofstream(dir_ / "A0000.xpm", std::ios::binary) << text;
    return read_photo((dir_ / "A0000.xpm").string(), p);
  }
  static int at(const Photo& p, int col, int r) { return p.grey[static_cast<std::size_t>(r * 96 + col)]; }
  fs::path dir_;
};

TEST_F(PhotoFile, HeaderLengthChoosesTheGreyTable) {
  // Lines up to and including the first pixel row: 3 + palette + 1.
  struct {
    int palette;      // palette lines
    int levels;       // table chosen
    int grey_of_c;    // grey of symbol "c"
  } cases[] = {{24, 24, 20}, {16, 16, 32}, {19, 16, 32}, {20, 24, 20}};
  for (const auto& c : cases) {
    Photo p;
    ASSERT_EQ(read(xpm(c.palette, std::vector<std::string>(120, row('c'))), p), 0);
    EXPECT_EQ(p.levels, c.levels) << c.palette << " palette lines";
    EXPECT_EQ(at(p, 0, 0), c.grey_of_c);
    EXPECT_EQ(at(p, 95, 119), c.grey_of_c);
  }
}

TEST_F(PhotoFile, SymbolsOutsideTheTableTakeTheNearestEntry) {
  std::string r = row('a');
  r[1] = '`';         // before "a"
  r[2] = 'x';         // the last of 24
  r[3] = 'y';         // past it
  r[4] = '\xFF';      // far past it
  r[5] = ' ';
  r[96] = 'q';        // the last pixel, past the 16 entries of the older form
  Photo p24, p16;
  ASSERT_EQ(read(xpm(24, {r}), p24), 0);
  const int want24[] = {0, 230, 230, 230, 0};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(at(p24, k, 0), want24[k]) << k;
  EXPECT_EQ(at(p24, 95, 0), 160);
  ASSERT_EQ(read(xpm(16, {r}), p16), 0);
  EXPECT_EQ(at(p16, 1, 0), 240);
  EXPECT_EQ(at(p16, 95, 0), 240);
}

TEST_F(PhotoFile, ShortRowsAndAnEarlyEndLeaveRowsBlank) {
  std::vector<std::string> rows = {row('b'), "\"" + std::string(95, 'b'),
                                   "\"" + std::string(96, 'd'), row('e')};
  Photo p;
  ASSERT_EQ(read(xpm(24, rows, "\n"), p), 0);
  EXPECT_EQ(at(p, 10, 0), 10);
  EXPECT_EQ(at(p, 10, 1), -1) << "a line of 96 characters is no full row";
  EXPECT_EQ(at(p, 95, 2), 30) << "97 characters without the closing quote is one";
  EXPECT_EQ(at(p, 0, 3), 40);
  for (int r = 4; r < 120; ++r) EXPECT_EQ(at(p, 50, r), -1) << r;
  ASSERT_EQ(p.grey.size(), 96u * 120u);
}

TEST_F(PhotoFile, MissingFileOrNoPixelRow) {
  Photo p;
  EXPECT_EQ(read_photo((dir_ / "none.xpm").string(), p), 1);
  EXPECT_EQ(read(xpm(24, {}), p), 2);
  EXPECT_EQ(read("", p), 2);
}

}  // namespace
}  // namespace soc::test
