// The search dialog in the real window: it stays open across OK presses,
// and the marked row of the member list follows the member found. The
// archive's dialog: closed at the end, also after a failure.
#include <wx/listctrl.h>
#include <wx/toplevel.h>

#include <filesystem>
#include <fstream>

#include "gui_fixture.h"
#include "platform/wx/template_dialog.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;

std::string member(const std::string& name, const std::string& adr, const std::string& ref) {
  std::string s = "#\r\n" + name + "\r\n\r\n" + adr + "\r\n";
  for (int f = 4; f <= 11; ++f) s += "\r\n";
  return s + ref + "\r\n\r\n";
}

// A data directory of three members, with their history files.
void three_members(const std::filesystem::path& db) {
  std::filesystem::create_directories(db);
  std::ofstream(db / "sociantes.data", std::ios::binary)
      << member("Dupont", "", "A0001") + member("Lefort", "", "A0002") +
             member("Martin", "3 rue Dupuis", "A0003");
  std::ofstream(db / "sociantes.cat", std::ios::binary) << "";
  std::ofstream(db / ".sociantes.rc", std::ios::binary)
      << "##################################################################\r\n"
         "#        RC for Sociantes. Please, do not edit manually!\r\n"
         "##################################################################\r\n"
         "ref=A0004\r\nversion=sociantes_v3.4.2\r\nbip=no\r\ninfo=no\r\npacing=no\r\n";
  for (const char* r : {"A0001", "A0002", "A0003"})
    std::ofstream(db / (std::string(r) + ".dat"), std::ios::binary) << "old\r\n";
}

// The template dialogs still on screen.
int dialogs_shown() {
  int n = 0;
  for (wxWindow* w : wxTopLevelWindows)
    if (dynamic_cast<TemplateDialog*>(w) && w->IsShown()) ++n;
  return n;
}

TEST_F(GuiTest, SearchDialogStaysOpenAndTheMarkedRowFollows) {
  three_members(db());
  start();
  std::vector<int> rows;  // the marked row while the dialog stands, before each press
  std::vector<bool> open;
  auto look = [&](TemplateDialog& d) {
    rows.push_back(ws_.list_selection(member_list_ctl()));
    open.push_back(d.IsShown() && !d.ended());
  };
  Answer first;
  first.entries = {{1003, "DUP"}};
  first.button = 1001;
  first.inspect = look;
  Answer second = first;
  Answer close;
  close.button = 1004;
  close.inspect = look;
  hook_.answers = {first, second, close};
  const std::size_t dialogs = hook_.dialogs.size();
  command(405);
  // One dialog for both OKs: before the first nothing is marked, then
  // Dupont's row, then Martin's (rue Dupuis).
  EXPECT_EQ(hook_.dialogs.size(), dialogs + 1);
  EXPECT_EQ(rows, (std::vector<int>{-1, 0, 2}));
  EXPECT_EQ(open, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(ws_.list_selection(member_list_ctl()), 2);
  EXPECT_EQ(task_in, 0);
  EXPECT_TRUE(hook_.answers.empty());
}

}  // namespace

namespace {

// The archive runs inside its dialog, whose buttons are greyed meanwhile;
// the dialog is gone at the end, after a success as after ERROR 101.
TEST_F(GuiTest, ArchiveDialogClosesAfterSuccessAndFailure) {
  three_members(db());
  start();
  Answer jan;
  jan.entries = {{1003, "JAN"}};
  jan.button = 1001;
  hook_.answers = {jan};
  command(16);
  pump(200);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(dialogs_shown(), 0);
  EXPECT_TRUE(std::filesystem::exists(db() / "archives.aff" / "JAN" / "sociantes.data"));

  std::filesystem::remove(db() / "A0002.dat");
  Answer feb = jan;
  feb.entries = {{1003, "FEB"}};
  // A dialog left open after the failure would take this next answer.
  bool left_open = false;
  Answer after;
  after.button = 0;
  after.inspect = [&](TemplateDialog&) { left_open = true; };
  hook_.answers = {feb, after};
  hook_.boxes.clear();
  command(16);
  pump(200);
  EXPECT_EQ(hook_.boxes, (std::vector<std::string>{"STOP| ERROR 101 "}));
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(dialogs_shown(), 0);
  EXPECT_FALSE(left_open);
  EXPECT_EQ(hook_.answers.size(), 1u);
  hook_.answers.clear();
}

}  // namespace
}  // namespace soc::test
