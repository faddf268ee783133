// The cards from the real window: Record card from the menu command and
// Member card by Alt+I on a member clicked in the list, with the printer
// choice rules (an unknown printer warns before the print dialog, NO_AUTO
// does not) and the print dialog answered with a PDF file or cancelled.
#include <wx/listctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../driver/pdf_probe.h"
#include "db/members.h"
#include "gui_fixture.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST_F(GuiTest, CardsPrintByTheChoiceRulesFromTheRealWindow) {
  ::setenv("CUPS_SERVER", (home_ / "no-cups.sock").c_str(), 1);  // no print server
  start();
  std::ofstream(db() / "sociantes.data", std::ios::binary)
      << "#\r\nDupont\r\nJean\r\n1 rue Haute\r\nRiverton\r\n75001\r\n01 02\r\nBaker\r\nFrench\r\n"
         "05 17 1961 @ Riverton\r\n\r\nID-1\r\nA0000\r\nChoir\r\n";
  show_cust();
  pump(50);
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 1);
  wxRect row;
  list->GetItemRect(0, row);
  frame_->Raise();
  click(list, {row.x + list->GetColumnWidth(1) / 2, row.y + row.height / 2});
  ASSERT_EQ(index_sel, "A0000");

  const fs::path log = home_ / ".cache/sociantes/tmp/print_dbg.txt";
  std::ofstream(db() / "printer.dat") << "NoSuchQueue\n";
  hook_.print_answers.push_back("pdf:" + (home_ / "rec.pdf").string());
  command(413);
  ASSERT_EQ(hook_.boxes.size(), 1u);
  EXPECT_EQ(hook_.boxes[0].rfind("Printer| The printer graphic context can't be automaticaly", 0), 0u)
      << hook_.boxes[0];
  EXPECT_EQ(hook_.print_lists.size(), 1u);
  EXPECT_NE(slurp(log).find(" Open Printer failed,\n DC from Dialog. Technology"), std::string::npos);
  PdfPage rec(home_ / "rec.pdf");
  ASSERT_TRUE(rec.ok());
  EXPECT_EQ(rec.text_at(85 * 23, 23 * 24, kHalfMm), "RECORD CARD");
  EXPECT_EQ(rec.text_at(20 * 23, 52 * 24, kHalfMm), "Dupont");

  std::ofstream(db() / "printer.dat") << "NO_AUTO\n";
  hook_.boxes.clear();
  hook_.print_answers.push_back("pdf:" + (home_ / "card.pdf").string());
  hook_.print_snapshot = (shot_dir() / "gui-print-dialog.png").string();
  key('i', wxMOD_ALT);
  EXPECT_TRUE(hook_.boxes.empty()) << "NO_AUTO asks without a warning";
  ASSERT_EQ(hook_.print_lists.size(), 2u);
  EXPECT_EQ(hook_.print_lists[1], "Save as PDF file\u2026") << "no printer, the PDF file only";
  PdfPage card(home_ / "card.pdf");
  ASSERT_TRUE(card.ok());
  EXPECT_EQ(card.text_at(132 * 23, 42 * 24, kHalfMm), "Carte N\xC2\xB0:");
  EXPECT_EQ(card.text_at(23 * 23, 82 * 24, kHalfMm), "Riverton");

  // Cancelled: no page, the log says why.
  command(412);
  EXPECT_EQ(hook_.print_lists.size(), 3u);
  EXPECT_NE(slurp(log).find(" DC from Dialog. No valid Printer selected... Aborting!\n"),
            std::string::npos);
  EXPECT_EQ(task_in, 0);
}

}  // namespace
}  // namespace soc::test
