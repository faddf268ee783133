// The pictures of the user's guide: scripts/make-screenshots is run into a
// scratch directory, as a writer of the guide runs it, and every picture is
// looked at (made, of a plausible size, not blank, small), so that neither the
// script nor the guide's pictures rot. The guide shows exactly the pictures
// the script makes, and the committed copies are there.
#include <wx/app.h>
#include <wx/image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "gui_fixture.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// What makes a picture plausible: at least this size, and an upper bound so
// that a whole-screen capture (or worse) is caught.
struct Expect {
  int min_w, min_h;  // pixels
};

const std::map<std::string, Expect> kPictures = {
    {"main-window", {900, 450}},   {"member-new", {900, 450}},      {"member-modify", {900, 450}},
    {"category-board", {900, 450}}, {"menu-files-listing", {400, 200}}, {"menu-flags-filters", {400, 150}},
    {"menu-parameters-categories", {400, 200}}, {"search-dialog", {250, 100}},
    {"mailing-question", {250, 100}}, {"labels-question", {250, 100}}, {"archive-dialog", {250, 100}},
    {"email-server", {250, 100}},   {"email-login", {250, 100}},     {"email-send", {250, 100}},
    {"import-file", {300, 200}},    {"print-dialog", {200, 150}},    {"member-card", {500, 250}},
    {"lock-message", {200, 80}},    {"spoolet", {200, 100}},         {"photo", {100, 150}},
};

// Share of the pixels that have the picture's most common colour (a blank
// or one-colour picture gives 1).
double dominant_share(const wxImage& img) {
  std::map<unsigned, long> counts;
  const unsigned char* p = img.GetData();
  const long n = static_cast<long>(img.GetWidth()) * img.GetHeight();
  for (long i = 0; i < n; ++i, p += 3) ++counts[(p[0] << 16) | (p[1] << 8) | p[2]];
  long most = 0;
  for (const auto& [colour, count] : counts) most = std::max(most, count);
  return n ? static_cast<double>(most) / n : 1.0;
}

TEST(GuideScreenshots, ScriptMakesEveryPictureOfTheGuide) {
  if (!have_display() || !wxTheApp) GTEST_SKIP() << "no display";
  for (const char* tool : {"xvfb-run", "Xvfb", "xauth", "openbox", "import", "pdftoppm"})
    if (std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) != 0)
      GTEST_SKIP() << tool << " is not installed";
  const fs::path source = SOC_SOURCE_DIR;
  char tmpl[] = "/tmp/soc-guide-XXXXXX";
  const fs::path dir = ::mkdtemp(tmpl);
  const fs::path out = dir / "images", log = dir / "log.txt";
  const std::string cmd = "GUIDE_SHOTS='" + std::string(SOC_GUIDE_SHOTS) + "' '" +
                          (source / "scripts/make-screenshots").string() + "' '" + out.string() +
                          "' >'" + log.string() + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  EXPECT_EQ(rc, 0) << read_text(log);

  std::set<std::string> made;
  for (const auto& e : fs::directory_iterator(out)) made.insert(e.path().stem().string());
  for (const auto& [name, want] : kPictures) {
    SCOPED_TRACE(name);
    const fs::path png = out / (name + ".png");
    ASSERT_TRUE(made.count(name)) << "not made";
    wxImage img;
    ASSERT_TRUE(img.LoadFile(png.string(), wxBITMAP_TYPE_PNG));
    EXPECT_GE(img.GetWidth(), want.min_w);
    EXPECT_GE(img.GetHeight(), want.min_h);
    EXPECT_LE(img.GetWidth(), 1280);
    EXPECT_LE(img.GetHeight(), 1000);
    EXPECT_LT(dominant_share(img), 0.97) << "blank or nearly";
    EXPECT_LT(fs::file_size(png), 300u * 1024) << "too large for the repository";
  }
  EXPECT_EQ(made.size(), kPictures.size()) << "a picture the test does not know";

  // The guide shows exactly these pictures, and the committed copies exist.
  const std::string guide = read_text(source / "docs/GUIDE.md");
  std::set<std::string> shown;
  const std::regex ref(R"(\]\(images/([a-z-]+)\.png\))");
  for (auto it = std::sregex_iterator(guide.begin(), guide.end(), ref); it != std::sregex_iterator(); ++it)
    shown.insert((*it)[1]);
  std::set<std::string> expected;
  for (const auto& [name, want] : kPictures) {
    expected.insert(name);
    EXPECT_TRUE(fs::exists(source / "docs/images" / (name + ".png"))) << name << " is not committed";
  }
  EXPECT_EQ(shown, expected);

  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace soc::test
