// Member photos through sociantes-driver, with JPEG files made by
// ImageMagick: the import of a chosen file into photos/<ref>.xpm (exact
// text), every refusal with its message and the previous photo kept, a path
// longer than 79 characters, network mode; the Photo command building
// tmp.bmp byte for byte from 24-level and 16-level photo files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "photo_images.h"
#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

const std::string kBusy = "info 1 \" Another Functionality is already used!  \"";
const std::string kNoMember = "info 1 \" Sorry! No member is selected! \"";
const std::string kNoPhoto = "info 1 \"\\r\\n Photo not available. \\r\\n\"";
const std::string kBad = "info 1 \"\\r\\n Invalide picture file. \\r\\n\"";

void two_members(const ScratchHome& h, const std::string& extra = "") {
  make_db(h, rec("Dupont", "A0001") + rec("Martin", "A0002"), "",
          "ref=A0003\r\nbip=no\r\ninfo=no\r\n" + extra);
  fs::create_directories(h.db() / "photos");
}

// The photo file of a picture whose every pixel is symbol s.
std::string flat_xpm(char s) {
  std::string x = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 24 1\",\r\n";
  const char hex[] = "0123456789abcdef";
  for (int i = 0; i < 24; ++i) {
    const int v = 10 * i;
    std::string c = {hex[v >> 4], hex[v & 15]};
    x += "\"" + std::string(1, char('a' + i)) + " c #" + c + c + c + "\"\r\n";
  }
  for (int j = 0; j < 120; ++j) x += "\"" + std::string(96, s) + "\"\r\n";
  return x;
}

std::string le(unsigned v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// tmp.bmp for a picture whose row j has grey row_grey(j), bottom row first.
template <class F>
std::string want_bmp(F row_grey) {
  std::string b = "BM" + le(34614, 4) + le(0, 2) + le(0, 2) + le(54, 4) + le(40, 4) + le(96, 4) +
                  le(120, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(34560, 4) + le(3543, 4) +
                  le(3543, 4) + le(0, 4) + le(0, 4);
  for (int j = 119; j >= 0; --j) b += std::string(288, static_cast<char>(row_grey(j)));
  return b;
}

// The whole import scenario for one member: refusals first, then a good
// picture, then bad ones that must leave it as it is.
TEST(Photos, ImportScenario) {
  SOC_NEED_CONVERT();
  ScratchHome h;
  two_members(h);
  const fs::path pics = h.path() / "pictures";
  // A folder name that makes the path far longer than 79 characters.
  const fs::path deep = pics / std::string(60, 'd') / "holiday photos";
  fs::create_directories(deep);
  ASSERT_TRUE(make_picture(deep / "me.jpg", 100, 100, [](int, int) { return 229; }));
  ASSERT_GT((deep / "me.jpg").string().size(), 79u);
  ASSERT_TRUE(make_picture(pics / "png.jpg", 32, 32, blocks(8), "", "png:"));
  const std::string good = slurp_file(deep / "me.jpg");
  h.write(pics / "cut.jpg", good.substr(0, good.size() / 2));
  h.write(pics / "empty.jpg", "");
  auto pick = [](const fs::path& p) { return "reply file \"" + p.string() + "\"\ncmd 14\n"; };
  DriverRun r = run_driver(
      h, "start\ncmd 14\n"                                     // nobody selected
         "click 0\ncmd 400\ncmd 14\ncmd 404\nclick 0\n"         // busy
         "reply cancel\ncmd 14\nshow action\n" +                 // cancelled
             pick(pics / "missing.jpg") + pick(pics) +           // not there, a folder
             pick(deep / "me.jpg") + "show action\nshow status\n" +
             pick(pics / "png.jpg") + pick(pics / "cut.jpg") + pick(pics / "empty.jpg") +
             "show action\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::vector<std::string> want = {
      kNoMember, kBusy, "action 0", kNoPhoto, kNoPhoto, "action 0",
      "status \"Action: Selection     Bip: Off    Info: Off    Net: Local   ID: [0]   Filters: \"",
      kBad, kBad, kBad, "action 0"};
  std::vector<std::string> got;
  for (const auto& l : r.lines())
    if (l.rfind("info 1", 0) == 0 || l.rfind("action", 0) == 0 || l.rfind("status", 0) == 0)
      got.push_back(l);
  EXPECT_EQ(got, want) << r.out;
  // The good picture, grey 229 everywhere, is the photo; the bad ones
  // after it left it unchanged, and no sibling file remains.
  EXPECT_EQ(h.read(h.db() / "photos" / "A0001.xpm"), flat_xpm('w'));
  EXPECT_EQ(std::distance(fs::directory_iterator(h.db() / "photos"), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::exists(h.db() / "photos" / "A0002.xpm"));
}

// Photo (406): nobody selected, no photo, busy; then tmp.bmp byte for byte
// for all-"a" (black), all-"x" (230, not white), a 16-level file, and a
// file that ends after 60 rows (white below). The dialog shows the
// member's reference; closing it ends the action (the status line during
// the dialog is checked in the real window).
TEST(Photos, ShowBuildsTheBitmap) {
  ScratchHome h;
  two_members(h);
  std::string old16 = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 16 1\",\r\n";
  for (int i = 0; i < 16; ++i) old16 += "\"" + std::string(1, char('a' + i)) + " c #000000\"\r\n";
  for (int j = 0; j < 120; ++j) old16 += "\"" + std::string(96, char('a' + j % 16)) + "\"\r\n";
  const std::string x_half = flat_xpm('x').substr(0, flat_xpm('x').size() - 60 * 100);
  struct Case {
    const char* name;
    std::string photo;
    std::string bmp;
  } const cases[] = {
      {"all a", flat_xpm('a'), want_bmp([](int) { return 0; })},
      {"all x", flat_xpm('x'), want_bmp([](int) { return 230; })},
      {"16 levels", old16, want_bmp([](int j) { return 16 * (j % 16); })},
      {"ends after 60 rows", x_half, want_bmp([](int j) { return j < 60 ? 230 : 255; })},
  };
  DriverRun r = run_driver(h, "start\ncmd 406\nclick 1\ncmd 406\ncmd 400\ncmd 406\ncmd 404\n");
  EXPECT_EQ(lines_with(r, "info 1"), (std::vector<std::string>{kNoMember, kNoPhoto, kBusy})) << r.out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.write(h.db() / "photos" / "A0001.xpm", c.photo);
    r = run_driver(h, "start\nclick 0\ncmd 406\nshow action\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("info 7 \"A0001\"")) << r.out;
    EXPECT_TRUE(r.has("action 0"));
    const std::string bmp = h.read(h.tmp() / "tmp.bmp");
    EXPECT_EQ(bmp.size(), 34614u);
    EXPECT_TRUE(bmp == c.bmp);
  }
}

// Network mode: the photo goes to the photos folder of the network data
// directory (made when missing), and Photo reads it from there.
TEST(Photos, NetworkModeUsesTheNetworkDirectory) {
  SOC_NEED_CONVERT();
  ScratchHome h;
  const fs::path net = h.path() / "net";
  fs::create_directories(net);
  two_members(h, "network=yes\r\nwin_net_path=" + net.string() + "\r\n");
  h.write(net / "sociantes.data", rec("Dupont", "A0001") + rec("Martin", "A0002"));
  ASSERT_TRUE(make_picture(h.path() / "a.jpg", 960, 1200, [](int, int) { return 0; }));
  DriverRun r = run_driver(h, "start\nclick 1\nreply file \"" + (h.path() / "a.jpg").string() +
                                  "\"\ncmd 14\ncmd 406\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 7 \"A0002\"")) << r.out;
  EXPECT_EQ(h.read(net / "photos" / "A0002.xpm"), flat_xpm('a'));
  EXPECT_FALSE(fs::exists(h.db() / "photos" / "A0002.xpm"));
  EXPECT_TRUE(h.read(h.tmp() / "tmp.bmp") == want_bmp([](int) { return 0; }));
}

}  // namespace
}  // namespace soc::test
