// Damaged and foreign member files through sociantes-driver: what editors and
// other systems do to a text file (byte-order mark, LF or lone CR line ends,
// blank lines) is read as it is; any other damage is reported at start-up
// with its line, the members before it are listed, and every rewrite (New,
// Modify, Delete, bulk flags) is refused with the member file unchanged.
// A save on a sound file copies the members it does not change byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// text with every CR LF replaced by eol.
std::string with_eol(const std::string& text, const std::string& eol) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      out += eol;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The message of a damaged member file as the driver prints it.
std::string damage_line(const ScratchHome& h, int line, const std::string& tail) {
  return "info 1 \" The member file is damaged at line " + std::to_string(line) + ": \\r\\n " +
         (h.db() / "sociantes.data").string() + " \\r\\n " + tail + " \"";
}

const std::string kStartupTail =
    "Only the members before that line are listed. \\r\\n New, Modify, Delete and flag changes "
    "are refused \\r\\n until the file is repaired.";
const std::string kRefusedTail = "Nothing was changed. Please repair the file first.";

const std::string kAdam = rec("Adam", "A0000", "note", "Choir");
const std::string kZola = rec("Zola", "A0001", "", "Choir");

// A save (New) on files that are sound but not as the program writes them:
// every member is listed and kept, line ends become CR LF.
TEST(DamagedFiles, ForeignButSoundFilesAreReadWholeAndKept) {
  struct Case {
    const char* what;
    std::string file;
  } cases[] = {
      {"byte-order mark", "\xEF\xBB\xBF" + kAdam + kZola},
      {"LF line ends", with_eol(kAdam + kZola, "\n")},
      {"lone CR line ends", with_eol(kAdam + kZola, "\r")},
      {"mixed line ends", with_eol(kAdam, "\n") + with_eol(kZola, "\r")},
      {"blank lines before, between and after the records",
       "\r\n\r\n" + kAdam + "\r\n \t\r\n" + kZola + "\r\n"},
      {"last line without a line end", kAdam + kZola.substr(0, kZola.size() - 2)},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_db(h, c.file, "Choir\r\n", "ref=A0002\r\n");
    DriverRun r = run_driver(h, "start\nshow list\ncmd 400\nset 1 Martin\ncmd 402\nshow action\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(lines_with(r, "row "),
              (std::vector<std::string>{"row \"A0000\" \"\" \"Adam\" \"     \"",
                                        "row \"A0001\" \"\" \"Zola\" \"     \""}))
        << c.what;
    EXPECT_EQ(lines_with(r, "info 1 ").size(), 0u) << c.what << "\n" << r.out;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), kAdam + rec("Martin", "A0002", " ") + kZola)
        << c.what;
  }
}

// Guards the byte-for-byte copy: a save never cuts or alters a field of a
// member it does not change (an over-long field, a marker line with text,
// trailing blanks), neither at New, Delete, Modify nor at a bulk flag change.
TEST(DamagedFiles, UnchangedMembersAreCopiedByteForByte) {
  std::string odd = "# kept marker text\r\nOdd  \r\n" + std::string(80, 'a') + "\r\n";
  for (int f = 3; f <= 9; ++f) odd += "\xE9t\xE9 \r\n";
  const std::string tail = "\r\n\r\nA0005\r\nChoir, and more than 31 bytes long\r\n";
  std::string flagged = odd + std::string(60, 'r') + " !" + tail;  // after Set ! on Choir
  odd += std::string(70, 'r') + tail;
  const std::string zola = rec("Zola", "A0001");
  ScratchHome h;
  make_db(h, kAdam + odd + zola, "Choir\r\n", "ref=A0006\r\n");
  DriverRun r = run_driver(h,
                           "start\ncmd 400\nset 1 Martin\ncmd 402\n"      // New
                           "click 0\nreply yes\ncmd 403\ncmd 402\n"       // Delete Adam
                           "click 2\ncmd 401\nset 2 Emile\ncmd 402\n"     // Modify Zola
                           "category 1\nreply yes\ncmd 425\nquit\n");      // Set ! on Choir
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "info 1 ").size(), 0u) << r.out;
  std::string zola2 = rec("Zola", "A0001", " ");
  zola2.replace(zola2.find("Zola\r\n\r\n") + 6, 2, "Emile\r\n");
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), rec("Martin", "A0006", " ") + flagged + zola2);
}

// One table over the kinds of damage: the start-up names the line, the
// members before it are listed, every rewrite is refused, nothing changes.
TEST(DamagedFiles, DamageIsReportedAndEveryRewriteRefused) {
  std::string split = kZola;
  split.replace(split.find("Zola\r\n") + 6, 0, "half of the name\r\n");
  std::string twelve = kZola;
  twelve.erase(twelve.rfind("Choir\r\n"));   // a 12-field record
  const std::string bob = rec("Bob", "A0002", "", "Choir");
  struct Case {
    const char* what;
    std::string file;
    int line;       // the damaged line
    int listed;     // members listed before it
  } cases[] = {
      {"leading blank", " " + kAdam + kZola, 1, 0},
      {"leading NUL", std::string(1, '\0') + kAdam + kZola, 1, 0},
      // the damaged record itself is read, with its fields shifted
      {"field split over two lines", kAdam + split + bob, 29, 2},
      {"12-field record in a 13-field file", kAdam + twelve + bob, 29, 2},
      {"stray line between records", kAdam + "stray\r\n" + kZola, 15, 1},
      {"damage after the listed records", kAdam + kZola + "x\r\n", 29, 2},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_db(h, c.file, "Choir\r\n", "ref=A0003\r\n");
    std::string script = "start\nshow list\ncmd 400\nset 1 Martin\ncmd 402\nshow action\nshow form\ncmd 404\n";
    if (c.listed > 0)
      script += "click 0\ncmd 401\nset 2 x\ncmd 402\nshow action\n"
                "click 0\nreply yes\ncmd 403\ncmd 402\nshow action\n";
    script += "reply yes\ncmd 425\nreply yes\ncmd 429\nshow action\nquit\n";
    DriverRun r = run_driver(h, script);
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(lines_with(r, damage_line(h, c.line, kStartupTail)).size(), 1u) << c.what << r.out;
    EXPECT_EQ(static_cast<int>(lines_with(r, "row ").size()), c.listed) << c.what << r.out;
    EXPECT_EQ(lines_with(r, "info 1 \" Sorry!").size(), 0u) << c.what << r.out;
    const size_t rewrites = c.listed > 0 ? 5 : 3;  // New, (Modify, Delete,) Set, Reset
    EXPECT_EQ(lines_with(r, damage_line(h, c.line, kRefusedTail)).size(), rewrites)
        << c.what << r.out;
    EXPECT_TRUE(r.has("entry 1 enabled \"Martin\"")) << c.what << " New keeps the form";
    for (const auto& a : lines_with(r, "action ")) EXPECT_EQ(a, "action 0") << c.what;
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), c.file) << c.what;
    EXPECT_EQ(rc_value(h, "ref"), "A0003") << c.what;
    for (const auto& e : fs::directory_iterator(h.db()))
      EXPECT_NE(e.path().extension(), ".lck") << c.what << ": lock left " << e.path();
  }
}

// Regression: the listing, the letters and labels mailing files, the
// export and the member folders read a damaged member file up to the damage
// and were made from the members before it as if the file were whole.
TEST(DamagedFiles, NothingIsMadeFromADamagedFile) {
  ScratchHome h;
  make_db(h, kAdam + "stray\r\n" + kZola, "Choir\r\n", "ref=A0003\r\n");
  const fs::path out = h.path() / "out.csv";
  h.write(out, "kept\r\n");
  DriverRun r = run_driver(h, "start\ncmd 418\ncmd 408\ncmd 27\nreply file " + out.string() +
                                  "\ncmd 20\nreply yes\ncmd 460\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(
      lines_with(r, damage_line(h, 15, "Nothing was made from it. Please repair the file first."))
          .size(),
      4u)
      << r.out;
  EXPECT_EQ(lines_with(r, damage_line(h, 15, "Nothing was created. Please repair the file first."))
                .size(),
            1u)
      << r.out;
  EXPECT_TRUE(lines_with(r, "launch ").empty()) << r.out;
  EXPECT_TRUE(lines_with(r, "info 2 ").size() == 1u) << r.out;  // only the folders' question
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(out), "kept\r\n");
  EXPECT_FALSE(fs::exists(h.db() / "A0000_dir"));
  EXPECT_EQ(rc_value(h, "dirs"), "<missing>");
  for (const auto& e : fs::recursive_directory_iterator(h.path()))
    EXPECT_NE(e.path().extension(), ".qmd") << e.path();
}

}  // namespace
}  // namespace soc::test
