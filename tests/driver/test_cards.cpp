// The member card and the record card through sociantes-driver, printed to
// PDF files chosen in the print dialog and checked in the PDF: every text at
// its position within half a millimetre (pdftotext), the grey areas and the
// photo cells at sampled points (pdftoppm); the printer choice rules, the
// messages and the debug log.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/resource.h>

#include "pdf_probe.h"
#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFx = 23, kFy = 24;   // device units per program unit on A4 at 600 dpi

struct Member {
  std::string name, fname, adr, city, post, phone, act, nation, birth, rem, id, ref, cat;
};
std::string rec_of(const Member& m) {
  std::string s = "#\r\n";
  for (const auto* f : {&m.name, &m.fname, &m.adr, &m.city, &m.post, &m.phone, &m.act, &m.nation,
                        &m.birth, &m.rem, &m.id, &m.ref, &m.cat})
    s += *f + "\r\n";
  return s;
}

const std::string k40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";   // 40 characters
const Member kFull{k40,     "Jean Pierre", "12 rue de la Paix", "Riverton", "75002",
                   "01 23 45 67 89", "Engineer", "French", "05 17 1961 @ Riverton", "Pays dues",
                   "ID-77", "A0000", "Choir"};
const Member kBare{"Martin", "Anne", "1 place Haute", "Lyon", "69001", "04 00", "Baker", "Swiss",
                   "03 02 1980", "", "ID-78", "A0001", "Choir"};

// A photo file of the given palette size; pixel (p, j) has symbol
// "a" + (p + j) % palette.
std::string photo(int palette) {
  std::string s = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 " + std::to_string(palette) +
                  " 1\",\r\n";
  for (int i = 0; i < palette; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\"%c c #%.2x%.2x%.2x\"\r\n", 'a' + i, 10 * i, 10 * i, 10 * i);
    s += buf;
  }
  for (int j = 0; j < 120; ++j) {
    s += "\"";
    for (int p = 0; p < 96; ++p) s += static_cast<char>('a' + (p + j) % palette);
    s += "\"\r\n";
  }
  return s;
}

// A scratch home with the members, printer.dat and no print server.
struct CardHome {
  ScratchHome h;
  explicit CardHome(const std::string& printer_dat = "NO_AUTO\r\n", const std::string& rc = "") {
    make_db(h, rec_of(kFull) + rec_of(kBare), "Choir\r\n", "ref=A0002\r\n" + rc);
    if (!printer_dat.empty()) h.write(h.db() / "printer.dat", printer_dat);
    ::setenv("CUPS_SERVER", (h.path() / "no-cups.sock").c_str(), 1);
  }
  fs::path pdf(const std::string& name) const { return h.path() / name; }
  std::string log() const { return h.read(h.tmp() / "print_dbg.txt"); }
  DriverRun run(const std::string& script) const { return run_driver(h, "start\n" + script + "quit\n"); }
};

// The debug log of a NO_AUTO opening answered with a PDF file, after the
// module tag of its banner.
const std::string kNoAutoLog =
    " v0.6  Sociantes printing debug log\n Found in <printer.dat> : NO_AUTO\n DC from Dialog."
    " Technology: 2 2\n Width: 4960\n Height: 7016\n Text: 7fff\n Fonts Ok. Char metrix: w=41 "
    "h=77\n";

// A message as the driver prints it: quoted, line feeds and bytes past
// ASCII escaped.
std::string esc(const std::string& s) {
  std::string q = "\"";
  for (unsigned char ch : s) {
    char buf[8];
    if (ch == '\n') q += "\\n";
    else if (ch >= 0x80) { std::snprintf(buf, sizeof buf, "\\x%02X", ch); q += buf; }
    else q += static_cast<char>(ch);
  }
  return q + "\"";
}

// Device top-left of program point (x, y).
double dx(int x) { return x * kFx; }
double dy(int y) { return y * kFy; }

struct Placed {
  int x, y;            // program units
  std::string text;    // the words from there on the line
};
void expect_texts(const PdfPage& page, const std::vector<Placed>& texts) {
  for (const auto& t : texts)
    EXPECT_EQ(page.text_at(dx(t.x), dy(t.y), kHalfMm), t.text) << "at " << t.x << "," << t.y;
}

// Centre of photo cell (p, j) of a photo box at program point (x0, y0):
// cells of 8 x 9 device units.
double cell_x(int x0, int p) { return dx(x0) + p * 8 + 4; }
double cell_y(int y0, int j) { return dy(y0) + j * 9 + 4.5; }

void expect_photo(const PdfPage& page, int x0, int y0, int palette, int step) {
  for (int p : {0, 7, 48, 95})
    for (int j : {0, 33, 119})
      EXPECT_NEAR(page.grey(cell_x(x0, p), cell_y(y0, j)), step * ((p + j) % palette), 2)
          << "cell " << p << "," << j;
}

TEST(RecordCard, EveryTextAtItsPlaceTheBandAndThe24LevelPhoto) {
  CardHome c("NO_AUTO\r\n", "field7=                  Job\r\n");
  c.h.write(c.h.db() / "photos" / "A0000.xpm", photo(24));
  DriverRun r = c.run("click 0\nreply pdf " + c.pdf("rec.pdf").string() + "\ncmd 413\nshow action\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("printdialog")) << r.out;
  EXPECT_TRUE(lines_with(r, "box").empty()) << "NO_AUTO asks without a warning";
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(c.log(), "WIN-PRT" + kNoAutoLog + " All passed OK.\n");
  PdfPage page(c.pdf("rec.pdf"));
  ASSERT_TRUE(page.ok());
  expect_texts(page, {{85, 23, "RECORD CARD"},
                      {20, 45, "Family Name:"},
                      {20, 52, k40},
                      {20, 60, "First Name:"},
                      {20, 67, "Jean Pierre"},
                      {20, 75, "Address:"},
                      {20, 82, "12 rue de la Paix"},
                      {20, 90, "City/Town:"},
                      {20, 97, "75002 Riverton"},
                      {20, 105, "Phone Fax GSM:"},
                      {20, 112, "01 23 45 67 89"},
                      {20, 120, "Birthday & place:"},
                      {20, 127, "05 17 1961 @ Riverton"},
                      {20, 135, "Category:"},
                      {20, 142, "Choir"},
                      {20, 150, "Job:"},
                      {20, 157, "Engineer"},
                      {20, 165, "Nationality:"},
                      {20, 172, "French"},
                      {20, 180, "Identification:"},
                      {20, 187, "ID-77"}});
  EXPECT_NE(page.text_at(dx(70), dy(278), kHalfMm), "") << "the credit line";
  EXPECT_EQ(page.all_text().find("Photo 35x45"), std::string::npos);
  EXPECT_NEAR(page.grey(dx(25), dy(25)), 204, 2) << "title band";
  EXPECT_NEAR(page.grey(dx(189), dy(29)), 204, 2) << "title band, right end";
  EXPECT_NEAR(page.grey(dx(25), dy(31)), 255, 2) << "below the band";
  for (int y = 200; y <= 270; y += 10) EXPECT_LT(page.grey(dx(100), dy(y)), 128) << "ruled line " << y;
  EXPECT_NEAR(page.grey(dx(100), dy(205)), 255, 2);
  expect_photo(page, 155, 35, 24, 10);
}

TEST(MemberCard, CaptionsValuesCutsGreyAreasAndThe16LevelPhoto) {
  CardHome c;
  c.h.write(c.h.db() / "photos" / "A0000.xpm", photo(16));
  DriverRun r = c.run("click 0\nreply pdf " + c.pdf("card.pdf").string() + "\nkey alt+i\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(c.log(), "CARD-PRT" + kNoAutoLog + " Photo x=8 y=9\n All passed OK.\n");
  PdfPage page(c.pdf("card.pdf"));
  ASSERT_TRUE(page.ok());
  expect_texts(page, {{23, 42, "Family name:"},
                      {23, 46, k40.substr(0, 32)},
                      {23, 50, "First name:"},
                      {23, 54, "Jean Pierre"},
                      {23, 58, "Address:"},
                      {23, 62, "12 rue de la Paix"},
                      {23, 66, "City/Town:"},
                      {23, 70, "Riverton"},
                      {23, 74, "75002"},
                      {23, 78, "Place & date of birth:"},
                      {23, 82, "Riverton"},
                      {23, 86, "05 17 1961"},
                      {23, 90, "Category:"},
                      {23, 94, "Choir"},
                      {23, 98, "Identification:"},
                      {23, 102, "ID-77"},
                      {23, 106, "Signature:"},
                      {132, 42, "Carte N\xC2\xB0:"},
                      {132, 52, "Issue date:"},
                      {132, 62, "Validation stamp:"},
                      {78, 95, "Jean Pierre"},
                      {78, 100, k40.substr(0, 22)},
                      {78, 112, "SOCIANTE'S CLUB"}});
  EXPECT_NE(page.text_at(dx(132), dy(117), kHalfMm), "");
  EXPECT_NE(page.text_at(dx(132), dy(120), kHalfMm), "");
  EXPECT_EQ(page.all_text().find("Photo 35x45"), std::string::npos);
  struct {
    int x, y, grey;
    const char* what;
  } points[] = {{72, 122, 200, "under Signature:"},   {23, 122, 200, "under Signature:, left"},
                {127, 44, 200, "right of the photo"}, {127, 122, 200, "name and association area"},
                {79, 122, 200, "name area, left"},    {182, 112, 200, "stamp area"},
                {133, 67, 200, "stamp area, top"},    {50, 126, 255, "below the frame"},
                {21, 120, 255, "left of the signature area"}, {186, 100, 255, "right of the frame"}};
  for (const auto& p : points) EXPECT_NEAR(page.grey(dx(p.x) + 6, dy(p.y) + 6), p.grey, 2) << p.what;
  for (const auto& [lx, ly] : std::vector<std::pair<int, int>>{{75, 60}, {130, 60}, {20, 60}, {185, 60}})
    EXPECT_LT(page.grey(dx(lx), dy(ly)), 160) << "vertical line at " << lx;
  expect_photo(page, 80, 45, 16, 16);
}

TEST(Cards, AMemberWithoutPhotoAfterOneWithAPhotoGetsThePlaceholder) {
  CardHome c("NO_AUTO\r\n", "title=Riverton Runners\r\n");
  c.h.write(c.h.db() / "photos" / "A0000.xpm", photo(24));
  DriverRun r = c.run("click 0\nreply pdf " + c.pdf("r0.pdf").string() + "\ncmd 413\nreply pdf " +
                      c.pdf("c0.pdf").string() + "\ncmd 412\nclick 1\nreply pdf " +
                      c.pdf("r1.pdf").string() + "\ncmd 413\nreply pdf " + c.pdf("c1.pdf").string() +
                      "\ncmd 412\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  PdfPage r1(c.pdf("r1.pdf")), c1(c.pdf("c1.pdf")), c0(c.pdf("c0.pdf"));
  ASSERT_TRUE(r1.ok() && c1.ok() && c0.ok());
  EXPECT_EQ(r1.text_at(dx(165), dy(75), kHalfMm), "Photo 35x45");
  EXPECT_EQ(c1.text_at(dx(82), dy(87), kHalfMm), "Photo 35x45");
  EXPECT_NEAR(r1.grey(cell_x(155, 10), cell_y(35, 10)), 255, 2) << "the empty photo box is white";
  EXPECT_LT(r1.grey(dx(155), dy(60)), 160) << "its outline";
  EXPECT_NEAR(c1.grey(cell_x(80, 10), cell_y(45, 10)), 255, 2);
  EXPECT_EQ(c1.text_at(dx(78), dy(112), kHalfMm), "Riverton Runners");
  EXPECT_EQ(c1.text_at(dx(23), dy(86), kHalfMm), "03 02 1980") << "no \"@\": the whole field";
  EXPECT_EQ(c0.all_text().find("Photo 35x45"), std::string::npos);
}

TEST(Cards, PrinterChoiceMessagesAndRefusals) {
  // An unknown printer: the warning, then the dialog; cancelled, nothing is made.
  CardHome c("NoSuchQueue\r\n");
  DriverRun r = c.run("cmd 413\ncmd 412\nclick 0\nreply cancel\ncmd 413\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "info 1"),
            std::vector<std::string>(2, "info 1 \" Sorry! No member is selected! \""));
  EXPECT_TRUE(r.has("box \"Printer\" \" The printer graphic context can't be automaticaly opened.\\n "
                    "A printer dialog window is to be launched.\\n This is a lost of time... \\n You "
                    "can create a file 'printer.dat' in the application directory \\n with the exact "
                    "name returned by dialog. \\n If this doesn't work, please create the same file "
                    "with NO_AUTO .\""))
      << r.out;
  EXPECT_TRUE(r.has("printdialog"));
  EXPECT_EQ(c.log(), "WIN-PRT v0.6  Sociantes printing debug log\n Found in <printer.dat> : "
                     "NoSuchQueue\n Open Printer failed,\n DC from Dialog. No valid Printer "
                     "selected... Aborting!\n");

  // The member card's warning is its own; a PDF that cannot be written does not start.
  DriverRun r2 = c.run("click 0\nreply pdf " + (c.h.path() / "no" / "x.pdf").string() + "\ncmd 412\n");
  EXPECT_TRUE(r2.has("box \"Imprimante\" " +
                     esc(" Le contexte graphique imprimante ne peut être ouvert automatiquement.\n Un "
                         "dialogue d'impression Windows va être lancé.\n Ceci n'est pas recommandé "
                         "car vous perdez de l'efficacité. \n Comme solution: créez un fichier "
                         "'printer.dat' dans le répertoire de \n l'application contenant le nom "
                         "exact de l'imprimante sélectionnée dans \n ce dialogue. \n Si rien n'y "
                         "fait, créez ce même fichier contenant NO_AUTO .")))
      << r2.out;
  EXPECT_TRUE(r2.has("box \"Imprimante\" \" Mise en page impossible.\"")) << r2.out;
  EXPECT_NE(c.log().find(" Printer error 4 "), std::string::npos);
  EXPECT_EQ(c.log().find("All passed OK"), std::string::npos);

  // A printer that takes no job: said, not logged as a success, nothing left spooled.
  c.h.write(c.h.db() / "printer.dat", "NO_AUTO\r\n");
  DriverRun r4 = c.run("click 0\nreply printer Ghost\ncmd 413\n");
  const auto boxes = lines_with(r4, "box \"Imprimante\" \" The page could not be printed: ");
  EXPECT_EQ(boxes.size(), 1u) << r4.out;
  EXPECT_NE(c.log().find(" Fonts Ok. Char metrix: w=41 h=77\n Printer error 5 "), std::string::npos)
      << c.log();
  EXPECT_EQ(c.log().find("All passed OK"), std::string::npos);
  EXPECT_FALSE(fs::exists(c.h.tmp() / "print_job.pdf"));

  // One action at a time.
  DriverRun r3 = c.run("cmd 400\ncmd 413\ncmd 412\n");
  EXPECT_EQ(lines_with(r3, "info 1"),
            std::vector<std::string>(2, "info 1 \" Another Functionality is already used!  \""));
  EXPECT_TRUE(lines_with(r3, "printdialog").empty());
}

// Regressions: the PDF was written by cairo straight over the file chosen,
// so choosing the member file in the print dialog replaced it by a PDF; and
// a write that failed while cairo finished the document did not show in its
// status, so a cut PDF was logged " All passed OK." with no message.
TEST(Cards, APdfNeverReplacesAnotherFileAndAFailedWriteIsSaid) {
  CardHome c;
  const std::string members = c.h.read(c.h.db() / "sociantes.data");
  DriverRun r = c.run("click 0\nreply pdf " + (c.h.db() / "sociantes.data").string() + "\ncmd 413\n");
  EXPECT_TRUE(r.has("box \"Printer\" \" This file is no PDF file: \\r\\n[ " +
                    (c.h.db() / "sociantes.data").string() +
                    " ] \\r\\n It is not overwritten; nothing was printed. \""))
      << r.out;
  EXPECT_EQ(c.h.read(c.h.db() / "sociantes.data"), members);
  EXPECT_EQ(c.log().find("All passed OK"), std::string::npos);

  // A PDF of the user's is replaced; one that cannot be written whole (the
  // size limit of files stands for a full disk) stays as it was.
  c.h.write(c.pdf("old.pdf"), "%PDF-1.4 old\n");
  struct rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);  // kept across exec: EFBIG instead
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  r = c.run("click 0\nreply pdf " + c.pdf("old.pdf").string() + "\ncmd 413\n");
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(lines_with(r, "box \"Imprimante\" \" The page could not be printed: the PDF file "
                          "cannot be written: " + c.pdf("old.pdf").string()).size(),
            1u)
      << r.out;
  EXPECT_EQ(c.log().find("All passed OK"), std::string::npos) << c.log();
  EXPECT_EQ(c.h.read(c.pdf("old.pdf")), "%PDF-1.4 old\n");
  for (const auto& e : fs::directory_iterator(c.h.path()))
    EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos) << e.path();

  r = c.run("click 0\nreply pdf " + c.pdf("old.pdf").string() + "\ncmd 413\n");
  EXPECT_NE(c.log().find("All passed OK"), std::string::npos) << r.out;
  EXPECT_GT(c.h.read(c.pdf("old.pdf")).size(), 4096u);
}

TEST(Cards, MissingFontsEndTheJobWithTheFontMessage) {
  CardHome c;
  // A font configuration that knows no font at all.
  c.h.write(c.h.path() / "fonts.conf",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig><dir>" +
                (c.h.path() / "nofonts").string() + "</dir><cachedir>" +
                (c.h.path() / "fc-cache").string() + "</cachedir></fontconfig>\n");
  ::setenv("FONTCONFIG_FILE", (c.h.path() / "fonts.conf").c_str(), 1);
  DriverRun r = c.run("click 0\nreply pdf " + c.pdf("x.pdf").string() + "\ncmd 413\n");
  ::unsetenv("FONTCONFIG_FILE");
  EXPECT_TRUE(r.has("box \"Imprimante\" " +
                    esc(" Problème d'initialisation de Police ...  Courier New et Arial doivent être "
                        "disponibles. ")))
      << r.out;
  EXPECT_NE(c.log().find(" Text: 7fff\n Fonts not available, bye ...\n"), std::string::npos) << c.log();
  EXPECT_FALSE(fs::exists(c.pdf("x.pdf")));
}

}  // namespace
}  // namespace soc::test
