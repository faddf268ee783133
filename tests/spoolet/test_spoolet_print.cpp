// Letter pages and label sheets of the scheduler checked in the PDF files
// it prints (pdftotext -bbox): rows and pages of a letter, the credit line,
// label rows and columns from top and gap, sheets that spill over, cut
// lines; the printer choice and the debug log of failed jobs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/pdf_probe.h"
#include "spoolet_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

constexpr int kW = 4960, kH = 7016;  // A4 in device units
const char* const kCredit = "Printed by Spoolet, the mail printer scheduler of Sociantes";

std::string line_text(int k) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Line%02d text", k);
  return buf;
}

TEST(SpooletPrint, LetterRowsPagesAndCreditLine) {
  int w = 0, h = 0;
  main_font_metrics(w, h);
  ASSERT_GT(h, 0);
  struct Case {
    int lines;          // lines of the letter
    int pages;          // pages printed
    bool credit;        // the credit line at the foot of the last page
  };
  // 70 lines: rows 0-61, then 2-9; 62 lines: a second page with only the
  // credit line; a last page ending after row 58 has none; the last record
  // of the file lacks its "#" line and still prints.
  const std::vector<Case> cases = {{70, 2, true}, {62, 2, true}, {59, 1, false}, {58, 1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    SpoolHome s;
    std::vector<std::string> lines;
    for (int k = 0; k < c.lines; ++k) lines.push_back(line_text(k));
    const std::string in = s.mailing("A0000.qmd", letter({"first"}) + letter(lines, false));
    const fs::path pdf = s.pdf("letter.pdf");
    const DriverRun r =
        s.run("reply cancel\nreply pdf " + pdf.string() + "\ndelay 3\ncmd 400\ntick done\nshow status\n", in);
    ASSERT_TRUE(r.has("status \"Status: Ok Done: 2/2\"")) << r.out;
    ASSERT_EQ(pdf_pages(pdf), c.pages);
    for (int page = 1; page <= c.pages; ++page) {
      PdfPage p(pdf, page);
      ASSERT_TRUE(p.ok());
      const int first = page == 1 ? 0 : 62;
      const int last = std::min(c.lines, page == 1 ? 62 : 62 + 60) - 1;
      for (int k = first; k <= last; ++k) {
        const int row = page == 1 ? k : k - 62 + 2;
        EXPECT_EQ(p.text_at(8 * w, h * row * 11 / 10, kHalfMm), line_text(k)) << "line " << k;
      }
      const bool credit = c.credit && page == c.pages;
      if (credit)
        EXPECT_EQ(p.text_at(8 * w, kH - kH / 14, kHalfMm), kCredit);
      else
        EXPECT_EQ(p.all_text().find("Printed"), std::string::npos) << "page " << page;
      EXPECT_EQ(p.all_text().find("Line") == std::string::npos, last < first);
    }
  }
}

// Where label k of a sheet lies: its row and column.
struct Spot {
  double x, y;
};
Spot label_spot(int k, int top, int gap) {
  const int v = kH / 280;
  return {k % 2 == 0 ? kW / 20.0 : kW / 2.0 + kW / 20, static_cast<double>((top + (k / 2) * gap) * v)};
}

TEST(SpooletPrint, LabelSheetsSpillOverWhole) {
  int w = 0, h = 0;
  main_font_metrics(w, h);
  SpoolHome s;
  // 20 labels: 16 on the first sheet (eight rows from 750 by 750), 4 on the next.
  std::string text = labels_file(30, 30, 20);
  const std::string in = s.mailing("L3030.qmd", text);
  const fs::path dir = s.home().path();
  const DriverRun r = s.run("reply pdf-dir " + dir.string() +
                                "\ntrace on\ndelay 3\ncmd 400\ntick\nshow status\ntick done\nshow status\n",
                            in);
  ASSERT_EQ(r.rc, 0) << r.out;
  // Each sheet is named after the labels still to print.
  const std::string part = (s.tmp() / "L3030").string();
  EXPECT_TRUE(r.has("status-line \"Status: Setting up:" + part + "20.ps Done: 0/20\"")) << r.out;
  EXPECT_TRUE(r.has("status-line \"Status: Setting up:" + part + "4.ps Done: 16/20\"")) << r.out;
  EXPECT_TRUE(r.has("status \"Status: Waiting  Done: 16/20\"")) << r.out;
  EXPECT_TRUE(r.has("status \"Status: Ok Done: 20/20\"")) << r.out;
  EXPECT_FALSE(fs::exists(in));
  EXPECT_EQ(pdf_pages(dir / "print-1.pdf"), 1);
  EXPECT_EQ(label_spot(0, 30, 30).y, 750);
  EXPECT_EQ(label_spot(2, 30, 30).y, 1500);
  for (int sheet = 0; sheet < 2; ++sheet) {
    PdfPage p(dir / ("print-" + std::to_string(sheet + 1) + ".pdf"));
    ASSERT_TRUE(p.ok());
    const int count = sheet == 0 ? 16 : 4;
    for (int k = 0; k < count; ++k) {
      const int label = sheet * 16 + k;
      char l0[32], l1[32], l2[32];
      std::snprintf(l0, sizeof l0, "Name%02d First", label);
      std::snprintf(l1, sizeof l1, "%02d Street", label);
      std::snprintf(l2, sizeof l2, "750%02d City", label);
      const Spot at = label_spot(k, 30, 30);
      EXPECT_EQ(p.text_at(at.x, at.y, kHalfMm), l0) << "label " << label;
      EXPECT_EQ(p.text_at(at.x, at.y + 2 * h, kHalfMm), l1) << "label " << label;
      EXPECT_EQ(p.text_at(at.x, at.y + 4 * h, kHalfMm), l2) << "label " << label;
    }
    EXPECT_EQ(p.all_text().find(sheet == 0 ? "Name16" : "Name15"), std::string::npos);
  }
}

TEST(SpooletPrint, FiveLabelsOtherGeometryAndCutLines) {
  int w = 0, h = 0;
  main_font_metrics(w, h);
  SpoolHome s;
  const std::string long_line = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrs";  // 45 characters
  std::string text = "20\r\n40\r\n" + long_line + "\r\nStreet\r\nCity\r\n#\r\n";
  for (int k = 1; k < 4; ++k) text += "Name" + std::to_string(k) + "\r\nS\r\nC\r\n#\r\n";
  text += "Last\r\nLacks\r\nEnd\r\n";  // the fifth label has no "#" line
  const std::string in = s.mailing("L2040.qmd", text);
  const fs::path pdf = s.pdf("five.pdf");
  const DriverRun r = s.run("reply pdf " + pdf.string() + "\ncmd 400\ntick\nshow status\n", in);
  ASSERT_TRUE(r.has("status \"Status: Waiting  Done: 5/5\"")) << r.out;
  PdfPage p(pdf);
  ASSERT_TRUE(p.ok());
  // Rows at 20 mm and 60 mm, 100 mm: two, two, one.
  EXPECT_EQ(p.text_at(kW / 20, 500, kHalfMm), long_line.substr(0, 38));
  EXPECT_EQ(p.text_at(kW / 2 + kW / 20, 500, kHalfMm), "Name1");
  EXPECT_EQ(p.text_at(kW / 20, 1500, kHalfMm), "Name2");
  EXPECT_EQ(p.text_at(kW / 2 + kW / 20, 1500, kHalfMm), "Name3");
  EXPECT_EQ(p.text_at(kW / 20, 2500, kHalfMm), "Last");
  EXPECT_EQ(p.text_at(kW / 20, 2500 + 4 * h, kHalfMm), "End");
  EXPECT_EQ(p.text_at(kW / 2 + kW / 20, 2500, kHalfMm), "");
}

TEST(SpooletPrint, PrinterChoiceAndLogOfFailedJobs) {
  struct Case {
    const char* name;
    std::string local_dat;    // $HOME/sociantes_db/printer.dat
    std::string vendexa_dat;  // $HOME/vendexa_db/printer.dat
    bool tmp_dir;             // the temporary directory exists
    std::string kind;         // mailing file name
    std::vector<std::string> boxes;  // message boxes, in order
    std::string log_has;             // in the log left behind ("" = no log)
  };
  const std::string warn =
      "box \"Imprimante\" \" Le contexte graphique imprimante ne peut \\xC3\\xAAtre ouvert "
      "automatiquement.\\n";
  const std::vector<Case> cases = {
      {"local NO_AUTO", "NO_AUTO", "", true, "A0001.qmd", {}, " Found in <printer.dat> : NO_AUTO\n"},
      {"vendexa NO_AUTO", "", "NO_AUTO", true, "A0001.qmd", {}, " Found in <printer.dat> : NO_AUTO\n"},
      {"no printer.dat", "", "", true, "A0001.qmd", {warn}, " Default printer not found,\n"},
      {"labels cancelled", "NO_AUTO", "", true, "L0001.qmd",
       {"box \"Error\" \"Error printing labals\""}, " No valid Printer selected... Aborting!"},
      {"no log", "NO_AUTO", "", false, "L0001.qmd",
       {"box \"Printing\" \"please create C:\\\\tmp directory\"", "box \"Error\" \"Error printing labals\""},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SpoolHome s(c.local_dat);
    if (!c.vendexa_dat.empty()) s.home().write(s.home().path() / "vendexa_db/printer.dat", c.vendexa_dat + "\r\n");
    const fs::path in = s.home().path() / c.kind;
    s.home().write(in, c.kind[0] == 'L' ? labels_file(30, 30, 1) : letter({"A letter"}));
    if (!c.tmp_dir) fs::remove_all(s.tmp());
    const DriverRun r = s.run("reply cancel\ncmd 400\ntick\nshow status\n", in.string());
    ASSERT_EQ(r.rc, 0) << r.out;
    // Each box as expected (the warning by its first line).
    std::vector<std::string> boxes;
    for (const auto& l : r.lines())
      if (l.rfind("box ", 0) == 0) boxes.push_back(l);
    ASSERT_EQ(boxes.size(), c.boxes.size()) << r.out;
    for (std::size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].substr(0, c.boxes[i].size()), c.boxes[i]);
    const std::string log = s.log();
    if (c.log_has.empty()) {
      EXPECT_FALSE(fs::exists(s.tmp() / "print_dbg.txt"));
      continue;
    }
    EXPECT_EQ(log.rfind("\n\n                         QMD-PRT V0.5\n", 0), 0u) << log;
    EXPECT_NE(log.find(c.log_has), std::string::npos) << log;
    EXPECT_NE(log.find(" DC from Dialog. No valid Printer selected... Aborting!"), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace soc::test
