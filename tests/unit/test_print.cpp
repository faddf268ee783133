// The printing layer: printer choice rules and their debug log, the page
// metrics and fonts, and the drawing primitives checked in the PDF they make.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/pdf_probe.h"
#include "platform/print/prt.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

// The user of the tests: records the boxes, answers the print dialog.
class FakeUi final : public PrtUi {
 public:
  PrtPick pick = PrtPick::cancel;   // the answer of the print dialog
  std::string value;                // with this printer name or path
  std::vector<std::string> boxes;   // "CAPTION|TEXT" of every box
  int dialogs = 0;                  // print dialogs opened
  void box(const std::string& text, const std::string& caption) override {
    boxes.push_back(caption + "|" + text);
  }
  PrtPick print_dialog(const std::vector<std::string>&, std::string& v) override {
    ++dialogs;
    v = value;
    return pick;
  }
};

class Print : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "soc-print-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
    // No print server answers: every destination lookup fails at once.
    ::setenv("CUPS_SERVER", (dir_ / "no-cups.sock").c_str(), 1);
    rules_.banner = "TEST-PRT v1\n";
    rules_.printer_dat = {(dir_ / "printer.dat").string()};
    rules_.log_path = (dir_ / "log.txt").string();
    rules_.spool_path = (dir_ / "spool.pdf").string();
    rules_.warn_text = "warning";
    rules_.warn_title = "Printer";
  }
  void TearDown() override {
    delete_dc();
    close_log();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void write(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
  std::string log() {
    close_log();  // the caller of a successful opening closes the log
    std::ifstream in(rules_.log_path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Opens the printer with NO_AUTO and the PDF file answer.
  fs::path open_to_pdf() {
    write(dir_ / "printer.dat", "NO_AUTO\r\n");
    ui_.pick = PrtPick::pdf;
    ui_.value = (dir_ / "page.pdf").string();
    EXPECT_EQ(open_prt(rules_, ui_), 1);
    return ui_.value;
  }

  fs::path dir_;
  PrtRules rules_;
  FakeUi ui_;
};

const char* const kMetricsLog =
    " Technology: 2 2\n Width: 4960\n Height: 7016\n Text: 7fff\n Fonts Ok. Char metrix: w=41 h=77\n";

TEST_F(Print, NoAutoOpensTheDialogAtOnceAndSetsThePageMetricsAndFonts) {
  open_to_pdf();
  EXPECT_EQ(ui_.dialogs, 1);
  EXPECT_TRUE(ui_.boxes.empty()) << "no warning with NO_AUTO";
  EXPECT_EQ(log(), std::string("TEST-PRT v1\n Found in <printer.dat> : NO_AUTO\n DC from Dialog.") +
                       kMetricsLog);
  EXPECT_EQ(prt.w_pix, 4960);
  EXPECT_EQ(prt.h_pix, 7016);
  EXPECT_EQ(prt.fx, 23);
  EXPECT_EQ(prt.fy, 24);
  struct {
    Font f;
    int height;
    const char* family;
  } fonts[] = {{prt.fntb, 77, "Liberation Mono"},
               {prt.fntbb, 100, "Liberation Sans"},
               {prt.fnti, 70, "Liberation Mono"},
               {prt.sfnt, 58, "Liberation Mono"}};
  for (const auto& f : fonts) {
    select_font(f.f);
    EXPECT_EQ(text_metrics().height, f.height);
    EXPECT_EQ(font_family(f.f), f.family);
  }
  EXPECT_EQ(prt.hgrey, 200);
  EXPECT_EQ(prt.hg_n, 16);
  EXPECT_EQ(prt.hg[15], 240);
}

TEST_F(Print, UnknownPrinterWarnsThenAsksAndACancelEndsTheOpening) {
  write(dir_ / "printer.dat", "NoSuchQueue\n");
  ui_.pick = PrtPick::cancel;
  EXPECT_EQ(open_prt(rules_, ui_), 0);
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0], "Printer|warning");
  EXPECT_EQ(ui_.dialogs, 1);
  EXPECT_EQ(log(), "TEST-PRT v1\n Found in <printer.dat> : NoSuchQueue\n Open Printer failed,\n"
                   " DC from Dialog. No valid Printer selected... Aborting!\n");
  EXPECT_EQ(prt.fd, nullptr) << "the log is closed";
  EXPECT_EQ(prt.dc, nullptr);
}

TEST_F(Print, WithoutPrinterDatNoDefaultDestinationMeansTheDialog) {
  ui_.pick = PrtPick::pdf;
  ui_.value = (dir_ / "x.pdf").string();
  EXPECT_EQ(open_prt(rules_, ui_), 1);
  EXPECT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(log(), std::string("TEST-PRT v1\n Default Printer: NOT_FOUND\n Default printer not "
                               "found,\n Open Printer failed,\n DC from Dialog.") +
                       kMetricsLog);
}

TEST_F(Print, PrinterDatIsReadUpTo79BytesOfItsFirstLine) {
  write(dir_ / "printer.dat", std::string(90, 'q') + "\nNO_AUTO\n");
  EXPECT_EQ(open_prt(rules_, ui_), 0);
  EXPECT_NE(log().find(" Found in <printer.dat> : " + std::string(79, 'q') + "\n Open Printer"),
            std::string::npos)
      << log();
  EXPECT_EQ(prt_mode_of("my NO_AUTO queue"), 2);
  EXPECT_EQ(prt_mode_of("Laser"), 0);
}

TEST_F(Print, ALogThatCannotBeCreatedStopsOnlyTheUsersThatNeedIt) {
  write(dir_ / "printer.dat", "NO_AUTO");
  rules_.log_path = (dir_ / "no-such-dir" / "log.txt").string();
  ui_.pick = PrtPick::pdf;
  ui_.value = (dir_ / "x.pdf").string();
  EXPECT_EQ(open_prt(rules_, ui_), 1) << "the cards print without their log";
  delete_dc();
  rules_.no_log_text = "please create the directory";
  rules_.no_log_title = "Printing";
  EXPECT_EQ(open_prt(rules_, ui_), 0);
  EXPECT_EQ(ui_.boxes, std::vector<std::string>{"Printing|please create the directory"});
  EXPECT_EQ(ui_.dialogs, 1) << "no dialog the second time";
}

TEST(PrintGrey, LevelsOfGrey) {
  const std::pair<double, int> cases[] = {{0.8, 204}, {1.0, 255}, {0.0, 0}, {0.5, 127}};
  for (const auto& [g, level] : cases) {
    EXPECT_EQ(grey_of(g), level) << g;
    set_gray(g);
    EXPECT_EQ(prt.hgrey, level);
  }
}

TEST(PrintFonts, MetricCompatibleFontsStandInAndUnknownFacesAreRefused) {
  EXPECT_EQ(font_family(make_font("courier new", 80, false, true, true)), "Liberation Mono");
  EXPECT_EQ(font_family(make_font("Arial", 80, true, false, true)), "Liberation Sans");
  EXPECT_EQ(make_font("No Such Face 42", 80, false, false, true), nullptr);
  EXPECT_NE(make_font("No Such Face 42", 80, false, false, false), nullptr)
      << "set_font takes the nearest font, as the spooler does";
}

TEST_F(Print, PrimitivesLandWhereTheirProgramUnitsSay) {
  const fs::path pdf = open_to_pdf();
  ASSERT_EQ(start_doc(), 0);
  ASSERT_EQ(start_page(), 0);
  gray_rect(10, 10, 40, 20, 0.5);
  set_gray(0.8);
  draw_rect(60, 10, 40, 20);
  select_font(prt.fntbb);
  set_bgd_gray(0.6);
  put_text("Top left", 20, 100);
  put_text("        ", 20, 120);   // spaces: only the text background shows
  set_bgd_gray(1);
  select_font(prt.fnti);
  put_text("Carte N\xB0:", 120, 150);   // a Latin-1 byte shown as its character
  set_font("Courier New", prt.h_pix / 120, 0, 0);
  put_text("Small", 150, 270);
  draw_line(20, 200, 190, 200);
  put_cells(30 * prt.fx, 220 * prt.fy, 8, 9, 3, 2, {0, 100, 200, -1, 230, 50});
  ASSERT_EQ(end_page(), 0);
  ASSERT_EQ(end_doc(), 0);
  delete_dc();
  EXPECT_FALSE(fs::exists(dir_ / "spool.pdf")) << "a PDF file job spools nothing";

  PdfPage page(pdf);
  ASSERT_TRUE(page.ok());
  EXPECT_EQ(page.text_at(20 * 23, 100 * 24, kHalfMm), "Top left");
  EXPECT_EQ(page.text_at(120 * 23, 150 * 24, kHalfMm), "Carte N\xC2\xB0:");
  EXPECT_EQ(page.text_at(150 * 23, 270 * 24, kHalfMm), "Small");
  struct {
    double x, y;
    int grey;
    const char* what;
  } points[] = {
      {30 * 23, 20 * 24, 127, "grey rectangle"},
      {9 * 23, 20 * 24, 255, "left of it"},
      {80 * 23, 20 * 24, 204, "filled rectangle"},
      {60 * 23, 20 * 24, 0, "its outline"},
      {20 * 23 + 100, 120 * 24 + 50, 153, "text background"},
      {20 * 23 + 100, 120 * 24 + 110, 255, "below the text cell"},
      {100 * 23, 200 * 24, 0, "ruled line"},
      {30 * 23 + 4, 220 * 24 + 4, 0, "cell 0"},
      {30 * 23 + 12, 220 * 24 + 4, 100, "cell 1"},
      {30 * 23 + 20, 220 * 24 + 4, 200, "cell 2"},
      {30 * 23 + 4, 220 * 24 + 13, 255, "blank cell"},
      {30 * 23 + 12, 220 * 24 + 13, 230, "cell 4"},
      {30 * 23 + 20, 220 * 24 + 13, 50, "cell 5"},
  };
  for (const auto& p : points) EXPECT_NEAR(page.grey(p.x, p.y), p.grey, 2) << p.what;
}

TEST_F(Print, ADocumentThatCannotBeWrittenDoesNotStart) {
  write(dir_ / "printer.dat", "NO_AUTO");
  ui_.pick = PrtPick::pdf;
  ui_.value = (dir_ / "no-such-dir" / "page.pdf").string();
  ASSERT_EQ(open_prt(rules_, ui_), 1);
  EXPECT_EQ(start_doc(), 1);
  EXPECT_EQ(start_page(), 1);
  delete_dc();
}

}  // namespace
}  // namespace soc::test
