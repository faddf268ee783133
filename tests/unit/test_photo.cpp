// The photo conversion on real JPEG files made by ImageMagick: the geometry
// chosen for each size (phone-size pictures decoded reduced), every photo
// pixel against the repetition-and-sampling arithmetic on pictures of flat
// blocks, the grey symbols, colour and CMYK input, progressive files, the
// pictures refused; the photo file text and the reading of photo files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "import/jpeg_handler.h"
#include "import/photo_show.h"
#include "photo_images.h"
#include "program_fixture.h"
#include "db/records.h"
#include "db/util.h"
#include "import/filesel.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

class Photo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "soc-photo-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// Converts the file; returns the result code.
int convert_file(const fs::path& p, unsigned char* grey, PhotoGeometry* g = nullptr) {
  return jpeg_to_grey(slurp_file(p), grey, g);
}

struct SizeCase {
  int w, h;              // picture made
  const char* opts;      // convert options
  int denom;             // decoded at 1/denom
  int dw, dh;            // decoded size
  bool vga;              // cropped and sampled by 4
  int fx, fy, sx, sy;    // factors expected
  int comps;             // components decoded
};

// Each size of picture: the decisions, and every one of the 96 x 120 photo
// pixels against the pixel of the decoded picture that the arithmetic names
// (blocks of 8 decoded pixels, so 8 x denom source pixels).
TEST_F(Photo, EverySizeSamplesThePixelsTheArithmeticNames) {
  SOC_NEED_CONVERT();
  const SizeCase cases[] = {
      {320, 240, "-type TrueColor -quality 100", 1, 320, 240, false, 3, 5, 10, 10, 3},
      {100, 100, "-quality 100", 1, 100, 100, false, 9, 12, 9, 10, 1},
      {960, 1200, "-quality 100", 1, 960, 1200, false, 1, 1, 10, 10, 1},
      {800, 600, "-quality 100", 1, 800, 600, false, 1, 2, 8, 10, 1},
      {640, 480, "-quality 100", 1, 640, 480, true, 0, 0, 4, 4, 1},
      {640, 500, "-quality 100", 1, 640, 500, false, 1, 2, 6, 8, 1},
      // Larger than 960 x 1200: decoded reduced, then the same rules.
      {961, 100, "-quality 100", 2, 481, 50, false, 1, 24, 5, 10, 1},
      {100, 1201, "-quality 100", 2, 50, 601, false, 19, 1, 9, 5, 1},
      {1280, 960, "-quality 100", 2, 640, 480, true, 0, 0, 4, 4, 1},
      {4000, 3000, "-quality 100", 8, 500, 375, false, 1, 3, 5, 9, 1},
      {1920, 2400, "-type TrueColor -quality 100", 2, 960, 1200, false, 1, 1, 10, 10, 3},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    const fs::path p = dir_ / "in.jpg";
    ASSERT_TRUE(make_picture(p, c.w, c.h, blocks(8 * c.denom), c.opts));
    unsigned char grey[kPhotoW * kPhotoH];
    PhotoGeometry g;
    ASSERT_EQ(convert_file(p, grey, &g), 0);
    EXPECT_EQ(g.src_w, c.w);
    EXPECT_EQ(g.src_h, c.h);
    EXPECT_EQ(g.denom, c.denom);
    EXPECT_EQ(g.w, c.dw);
    EXPECT_EQ(g.h, c.dh);
    EXPECT_EQ(g.vga, c.vga);
    EXPECT_EQ(g.comps, c.comps);
    EXPECT_EQ(g.sx, c.sx);
    EXPECT_EQ(g.sy, c.sy);
    if (!c.vga) {
      EXPECT_EQ(g.fx, c.fx);
      EXPECT_EQ(g.fy, c.fy);
    }
    const GreyAt at = blocks(8);  // in decoded pixels
    int wrong = 0;
    for (int j = 0; j < kPhotoH; ++j) {
      for (int k = 0; k < kPhotoW; ++k) {
        int want = 255;  // beyond the enlarged picture: the white raster
        if (c.vga) {
          want = at(127 + 4 * k, 4 * j);
        } else if (j * c.sy < c.dh * c.fy && k * c.sx < c.dw * c.fx) {
          want = at(k * c.sx / c.fx, j * c.sy / c.fy);
        }
        if (grey_symbol(grey[j * kPhotoW + k]) != grey_symbol(want) && ++wrong <= 5)
          ADD_FAILURE() << "pixel row " << j << " column " << k << ": "
                        << int(grey[j * kPhotoW + k]) << " for " << want;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Grey values to symbols at the bucket edges, through real files, and the
// average of the three colours.
TEST_F(Photo, GreyLevelsBecomeTheirSymbols) {
  SOC_NEED_CONVERT();
  struct {
    int v;
    char sym;
  } const greys[] = {{0, 'a'}, {9, 'a'}, {10, 'b'}, {105, 'k'}, {229, 'w'}, {230, 'x'}, {255, 'x'}};
  for (const auto& c : greys) {
    SCOPED_TRACE(c.v);
    const fs::path p = dir_ / "flat.jpg";
    ASSERT_TRUE(make_picture(p, 16, 16, [&](int, int) { return c.v; }));
    unsigned char grey[kPhotoW * kPhotoH];
    ASSERT_EQ(convert_file(p, grey), 0);
    const std::string xpm = xpm_text(grey);
    EXPECT_EQ(xpm.substr(xpm.size() - 100), "\"" + std::string(96, c.sym) + "\"\r\n");
  }
  // (200 + 100 + 36) div 3 = 112: "l" (a grey value would give 137 and "n").
  const fs::path p = dir_ / "colour.jpg";
  ASSERT_TRUE(make_flat_colour(p, 64, 48, 200, 100, 36));
  unsigned char grey[kPhotoW * kPhotoH];
  PhotoGeometry g;
  ASSERT_EQ(convert_file(p, grey, &g), 0);
  EXPECT_EQ(g.comps, 3);
  EXPECT_NEAR(grey[60 * kPhotoW + 50], 112, 2);
  EXPECT_EQ(grey_symbol(grey[60 * kPhotoW + 50]), 'l');
}

// CMYK files (ImageMagick writes Adobe's inverted inks) give the grey of
// the picture, not white; a progressive file gives what the baseline gives.
TEST_F(Photo, CmykAndProgressiveFilesGiveTheirPicture) {
  SOC_NEED_CONVERT();
  unsigned char base[kPhotoW * kPhotoH], other[kPhotoW * kPhotoH];
  PhotoGeometry g;
  ASSERT_TRUE(make_picture(dir_ / "b.jpg", 320, 240, blocks(8)));
  ASSERT_EQ(convert_file(dir_ / "b.jpg", base), 0);
  ASSERT_TRUE(make_picture(dir_ / "p.jpg", 320, 240, blocks(8), "-quality 100 -interlace JPEG"));
  ASSERT_NE(slurp_file(dir_ / "p.jpg").find("\xFF\xC2"), std::string::npos);  // progressive frame
  ASSERT_EQ(convert_file(dir_ / "p.jpg", other), 0);
  EXPECT_EQ(std::memcmp(base, other, sizeof base), 0);

  ASSERT_TRUE(make_picture(dir_ / "c.jpg", 32, 32, [](int x, int) { return x < 16 ? 105 : 185; },
                           "-colorspace CMYK -quality 100"));
  ASSERT_EQ(convert_file(dir_ / "c.jpg", other, &g), 0);
  EXPECT_EQ(g.comps, 4);
  EXPECT_NEAR(other[0], 105, 3);                    // photo column 0: left half
  EXPECT_NEAR(other[kPhotoW - 1], 185, 3);          // column 95: right half
  EXPECT_EQ(grey_symbol(other[50 * kPhotoW]), 'k');
}

// The JPEG with an Exif segment (orientation o, in byte order "MM" or "II")
// put right after its start marker.
std::string with_orientation(const std::string& jpeg, int o, bool big) {
  std::string tiff = big ? std::string("MM\0\x2A\0\0\0\x08", 8) : std::string("II\x2A\0\x08\0\0\0", 8);
  auto u16 = [&](int v) {
    return big ? std::string{char(v >> 8), char(v & 0xFF)} : std::string{char(v & 0xFF), char(v >> 8)};
  };
  // Two entries: another tag first, then Orientation (SHORT, count 1).
  tiff += u16(2) + u16(0x010F) + u16(2) + u16(0) + u16(1) + std::string(4, '\0');
  tiff += u16(0x0112) + u16(3) + (big ? u16(0) + u16(1) : u16(1) + u16(0)) + u16(o) + u16(0);
  tiff += std::string(4, '\0');
  const std::string data = std::string("Exif\0\0", 6) + tiff;
  const int len = static_cast<int>(data.size()) + 2;
  return jpeg.substr(0, 2) + "\xFF\xE1" + char(len >> 8) + char(len & 0xFF) + data + jpeg.substr(2);
}

// Phone portraits: the Exif orientation turns or mirrors the picture
// upright before the rules apply to its upright size (a 320 x 240 stored
// picture with orientation 6 is a 240 x 320 portrait: fx 4, fy 3).
TEST_F(Photo, ExifOrientationTurnsThePictureUpright) {
  SOC_NEED_CONVERT();
  ASSERT_TRUE(make_picture(dir_ / "o.jpg", 320, 240, blocks(8)));
  const std::string plain = slurp_file(dir_ / "o.jpg");
  const GreyAt at = blocks(8);
  for (int o = 1; o <= 8; ++o) {
    for (bool big : {true, false}) {
      SCOPED_TRACE("orientation " + std::to_string(o) + (big ? " MM" : " II"));
      unsigned char grey[kPhotoW * kPhotoH];
      PhotoGeometry g;
      ASSERT_EQ(jpeg_to_grey(with_orientation(plain, o, big), grey, &g), 0);
      EXPECT_EQ(g.orientation, o);
      const bool turned = o >= 5;
      EXPECT_EQ(g.w, turned ? 240 : 320);
      EXPECT_EQ(g.fx, turned ? 4 : 3);
      EXPECT_EQ(g.fy, turned ? 3 : 5);
      int wrong = 0;
      for (int j = 0; j < kPhotoH; ++j) {
        for (int k = 0; k < kPhotoW; ++k) {
          int want = 255;
          if (j * g.sy < g.h * g.fy && k * g.sx < g.w * g.fx) {
            const int dx = k * g.sx / g.fx, dy = j * g.sy / g.fy;  // upright position
            const int sx[] = {0, dx, 319 - dx, 319 - dx, dx, dy, dy, 319 - dy, 319 - dy};
            const int sy[] = {0, dy, dy, 239 - dy, 239 - dy, dx, 239 - dx, 239 - dx, dx};
            want = at(sx[o], sy[o]);
          }
          if (grey[j * kPhotoW + k] != want && ++wrong <= 3)
            ADD_FAILURE() << j << "," << k << ": " << int(grey[j * kPhotoW + k]) << " for " << want;
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
  // A 4000 x 3000 picture shown as a portrait fits at 1/4 (750 x 1000).
  ASSERT_TRUE(make_picture(dir_ / "big.jpg", 4000, 3000, blocks(32)));
  unsigned char grey[kPhotoW * kPhotoH];
  PhotoGeometry g;
  ASSERT_EQ(jpeg_to_grey(with_orientation(slurp_file(dir_ / "big.jpg"), 6, false), grey, &g), 0);
  EXPECT_EQ(g.denom, 4);
  EXPECT_EQ(g.w, 750);
  EXPECT_EQ(g.h, 1000);
}

// Pictures refused: not JPEG, damaged, cut short, empty, too large even at
// 1/8; a failed conversion leaves nothing behind to use.
TEST_F(Photo, PicturesThatAreNoUsableJpegAreRefused) {
  SOC_NEED_CONVERT();
  ASSERT_TRUE(make_picture(dir_ / "good.jpg", 320, 240, [](int x, int y) { return (x * y) % 256; }));
  const std::string good = slurp_file(dir_ / "good.jpg");
  ASSERT_TRUE(make_picture(dir_ / "png.jpg", 32, 32, blocks(8), "", "png:"));
  ASSERT_TRUE(make_picture(dir_ / "huge.jpg", 7700, 16, blocks(8)));
  std::string no_app = good;
  no_app[3] = static_cast<char>(0xDB);  // FF D8 FF DB: no APPn marker
  std::string damaged = good;
  for (std::size_t i = good.size() / 2; i < good.size() / 2 + 64; ++i) damaged[i] = '\xFF';
  struct {
    const char* name;
    std::string bytes;
  } const cases[] = {
      {"empty", ""},
      {"three bytes", "\xFF\xD8\xFF"},
      {"png named .jpg", slurp_file(dir_ / "png.jpg")},
      {"no APPn marker", no_app},
      {"cut in half", good.substr(0, good.size() / 2)},
      {"header only", good.substr(0, 700)},
      {"markers overwritten", damaged},
      {"7700 x 16 (963 wide at 1/8)", slurp_file(dir_ / "huge.jpg")},
  };
  unsigned char grey[kPhotoW * kPhotoH];
  EXPECT_EQ(jpeg_to_grey(good, grey), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(jpeg_to_grey(c.bytes, grey), 1);
  }
}

// Regression: the length was taken through a read-write open, which fails
// for a file the user cannot write, and -1 passed the photo import's size
// limit, so a huge read-only file was read whole into memory. The running
// test program is such a file even for root (it cannot be opened for
// writing while it runs).
TEST(PhotoSizeLimit, AFileThatCannotBeWrittenHasItsLength) {
  const auto exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(get_file_len(exe.string()), static_cast<long>(std::filesystem::file_size(exe)));
  EXPECT_EQ(get_file_len("/nonexistent/file"), -1);
}

// The photo file: header, 24 palette lines without commas, 120 rows, CR LF
// line ends, no closing brace.
TEST(PhotoXpm, HasTheRestrictedXpmLayout) {
  std::vector<unsigned char> grey(kPhotoW * kPhotoH, 255);
  grey[0] = 0;
  grey[kPhotoW * kPhotoH - 1] = 229;
  const std::string x = xpm_text(grey.data());
  std::string want = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 24 1\",\r\n";
  const char* pal[] = {"000000", "0a0a0a", "141414", "1e1e1e", "282828", "323232", "3c3c3c",
                       "464646", "505050", "5a5a5a", "646464", "6e6e6e", "787878", "828282",
                       "8c8c8c", "969696", "a0a0a0", "aaaaaa", "b4b4b4", "bebebe", "c8c8c8",
                       "d2d2d2", "dcdcdc", "e6e6e6"};
  for (int i = 0; i < 24; ++i) want += "\"" + std::string(1, char('a' + i)) + " c #" + pal[i] + "\"\r\n";
  want += "\"a" + std::string(95, 'x') + "\"\r\n";
  for (int j = 1; j < 119; ++j) want += "\"" + std::string(96, 'x') + "\"\r\n";
  want += "\"" + std::string(95, 'x') + "w\"\r\n";
  EXPECT_EQ(x, want);
}

// Reading photo files back: the file this program writes, LF line ends,
// symbols outside the palette, rows cut short, a file that ends early, and
// the 16-level form.
TEST(PhotoXpm, ReadsBackWithTheNearestGreyAndWhiteForWhatIsMissing) {
  std::vector<unsigned char> grey(kPhotoW * kPhotoH);
  for (int i = 0; i < kPhotoW * kPhotoH; ++i) grey[i] = static_cast<unsigned char>((i * 7) % 240);
  std::vector<unsigned char> back(kPhotoW * kPhotoH);
  const std::string x = xpm_text(grey.data());
  photo_greys(x, back.data());
  for (int i = 0; i < kPhotoW * kPhotoH; ++i) ASSERT_EQ(back[i], grey[i] / 10 * 10) << i;

  std::string lf;
  for (char c : x)
    if (c != '\r') lf += c;
  std::vector<unsigned char> back_lf(kPhotoW * kPhotoH);
  photo_greys(lf, back_lf.data());
  EXPECT_EQ(back_lf, back);

  const std::string head24 = x.substr(0, x.find("\"\r\n\"", x.find("#e6e6e6")) + 3);
  std::string odd = head24 + "\"" + std::string(48, '\x01') + std::string(48, '\xFE') + "\"\r\n" +
                    "\"" + std::string(90, 'c') + "\"\r\n";
  photo_greys(odd, back.data());
  EXPECT_EQ(back[0], 0);              // below "a": black
  EXPECT_EQ(back[95], 230);           // beyond "x": the lightest grey
  EXPECT_EQ(back[kPhotoW + 89], 20);  // a row of 90 symbols ...
  EXPECT_EQ(back[kPhotoW + 90], 255); // ... is white after them
  EXPECT_EQ(back[2 * kPhotoW], 255);  // the file ended: white rows
  EXPECT_EQ(back[kPhotoW * kPhotoH - 1], 255);

  std::string old16 = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 16 1\",\r\n";
  for (int i = 0; i < 16; ++i) old16 += "\"" + std::string(1, char('a' + i)) + " c #000000\"\r\n";
  for (int j = 0; j < kPhotoH; ++j) old16 += "\"" + std::string(96, char('a' + j % 16)) + "\"\r\n";
  old16.replace(old16.size() - 4, 1, "x");  // "x" is past the 16 levels
  photo_greys(old16, back.data());
  EXPECT_EQ(back[0], 0);
  EXPECT_EQ(back[kPhotoW], 16);
  EXPECT_EQ(back[15 * kPhotoW], 240);
  EXPECT_EQ(back[kPhotoW * kPhotoH - 1], 240);  // nearest of 16 levels
}

// A disk that fills up while the photo is written: the member's previous
// photo stays whole, nothing is left beside it, and the failure is said;
// the same for a photo folder that cannot be made.
TEST_F(ProgramTest, PhotoImportThatCannotWriteKeepsThePreviousPhoto) {
  SOC_NEED_CONVERT();
  const fs::path jpg = home_ / "me.jpg";
  ASSERT_TRUE(make_picture(jpg, 100, 100, [](int, int) { return 0; }));
  const fs::path photo = db() / "photos" / "A0001.xpm";
  const std::string previous = "previous photo\r\n";
  write(photo, previous);
  fld::ref = "A0001";
  fs_ops().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  ws_.choices.push_back({Choice::file, jpg.string()});
  dispatch(14);
  fs_ops_reset();
  EXPECT_EQ(shown(), "info 1 \"\\r\\n The photo file can't be written. \\r\\n\"\n");
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(read(photo), previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(photo.parent_path()), fs::directory_iterator()), 1);
  // Written when the disk has room again.
  ws_.choices.push_back({Choice::file, jpg.string()});
  dispatch(14);
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(read(photo).substr(0, 9), "/* XPM */");
  // The photos folder is a file: nothing can be made there.
  fs::remove_all(db() / "photos");
  write(db() / "photos", "");
  ws_.choices.push_back({Choice::file, jpg.string()});
  dispatch(14);
  EXPECT_EQ(shown(), "info 1 \"\\r\\n The photo file can't be written. \\r\\n\"\n");
  EXPECT_EQ(task_in, 0);
}

}  // namespace
}  // namespace soc::test
