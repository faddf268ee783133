// The real main window: start-up, menu bar, toolbar, status line and title,
// the form's geometry, sizing, the stored window size, and the ways to quit.
#include <wx/app.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/stattext.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <functional>
#include <tuple>
#include <vector>

#include "gui_fixture.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"
#include "shell/script.h"
#include "shell/winutil.h"

namespace soc::test {
namespace {

using soc::wxui::u8;

// The menu bar as (depth, label, id) rows, in the order of the menu table.
using MenuRow = std::tuple<int, std::string, int>;

void walk(wxMenu* m, int depth, std::vector<MenuRow>& out) {
  for (wxMenuItem* it : m->GetMenuItems()) {
    out.emplace_back(depth, u8(it->GetItemLabel()), it->IsSubMenu() ? 0 : it->GetId());
    if (it->IsSubMenu()) walk(it->GetSubMenu(), depth + 1, out);
  }
}

std::vector<MenuRow> menu_rows(wxMenuBar* bar) {
  std::vector<MenuRow> out;
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
    out.emplace_back(0, u8(bar->GetMenuLabel(i)), 0);
    walk(bar->GetMenu(i), 1, out);
  }
  return out;
}

// Every control the toolkit created in the main window.
std::vector<wxWindow*> form_controls(const soc::wxui::WxWindowSystem& ws) {
  std::vector<wxWindow*> v;
  for (int h = 1; ws.window(h); ++h) v.push_back(ws.window(h));
  return v;
}

TEST_F(GuiTest, StartsWithTitleStatusLineAndTheTwoNotices) {
  start();
  ASSERT_NE(frame_, nullptr);
  EXPECT_TRUE(frame_->IsShown());
  EXPECT_EQ(u8(frame_->GetTitle()), "Sociantes  [  ]");
  EXPECT_EQ(u8(frame_->GetStatusBar()->GetStatusText(0)), status_text());
  // The banner, then the report of the new data directory, each answered.
  ASSERT_EQ(hook_.dialogs.size(), 2u);
  EXPECT_EQ(hook_.dialogs[0].rfind("INTRO| Sociantes \r\n", 0), 0u);
  EXPECT_EQ(hook_.dialogs[1].rfind("INTRO| The Sociantes database has been initialized", 0), 0u);
  EXPECT_TRUE(hook_.boxes.empty()) << hook_.boxes.front();  // no "Error on bitmaps."
  EXPECT_TRUE(std::filesystem::is_directory(db()));
}

TEST_F(GuiTest, MenuBarFollowsTheMenuTable) {
  start();
  // an accelerator text is shown in the shortcut column, not in the label
  std::vector<MenuRow> want;
  for (const MenuEntry& e : menu_table())
    want.emplace_back(e.depth, menu_shortcut(e.label).text, e.id);
  EXPECT_EQ(menu_rows(frame_->GetMenuBar()), want);
}

TEST_F(GuiTest, ToolbarHasTheFifteenButtonsWithImagesAndTooltips) {
  start();
  wxToolBar* tb = frame_->GetToolBar();
  ASSERT_NE(tb, nullptr);
  const auto& table = toolbar_table();
  ASSERT_EQ(tb->GetToolsCount(), table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i].tooltip);
    const wxToolBarToolBase* t = tb->GetToolByPos(static_cast<int>(i));
    EXPECT_EQ(t->GetId(), table[i].command);
    EXPECT_EQ(u8(t->GetShortHelp()), table[i].tooltip);
    EXPECT_TRUE(t->GetNormalBitmap().IsOk());
    EXPECT_EQ(t->GetNormalBitmap().GetSize(), wxSize(32, 32));
  }
}

// Readable form: no two controls overlap, each lies inside its group frame
// and inside the window, and labels and check boxes are wide enough for
// their text. The screenshot is left in the build directory.
TEST_F(GuiTest, FormControlsNeitherOverlapNorClip) {
  start();
  const wxRect panel(wxPoint(0, 0), frame_->form()->GetClientSize());
  std::vector<wxRect> groups;
  std::vector<wxWindow*> others;
  for (wxWindow* w : form_controls(ws_)) {
    if (dynamic_cast<wxStaticBox*>(w))
      groups.push_back(w->GetRect());
    else if (w->GetSize().x > 0)  // the spacer label of box 1 is empty
      others.push_back(w);
  }
  ASSERT_EQ(groups.size(), 4u);  // Data, Flags, Categories, Selection
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_TRUE(panel.Contains(groups[i])) << i;
    for (size_t j = i + 1; j < groups.size(); ++j) EXPECT_FALSE(groups[i].Intersects(groups[j]));
  }
  for (size_t i = 0; i < others.size(); ++i) {
    wxWindow* w = others[i];
    const std::string what = u8(w->GetClassInfo()->GetClassName()) + " '" + u8(w->GetLabel()) + "'";
    SCOPED_TRACE(what);
    bool framed = false;
    for (const wxRect& g : groups) framed = framed || g.Contains(w->GetRect());
    EXPECT_TRUE(framed);
    for (size_t j = i + 1; j < others.size(); ++j)
      EXPECT_FALSE(w->GetRect().Intersects(others[j]->GetRect()))
          << "overlaps " << u8(others[j]->GetLabel());
    if (dynamic_cast<wxStaticText*>(w) || dynamic_cast<wxCheckBox*>(w)) {
      EXPECT_GE(w->GetSize().x, w->GetBestSize().x);
    }
    if (dynamic_cast<wxTextCtrl*>(w)) {
      EXPECT_GT(w->GetSize().y, w->GetCharHeight());
    }
  }
  EXPECT_TRUE(save_window_png(frame_, (shot_dir() / "gui-main-window.png").string()));
}

// Sizing: the category list and the member list reach down to one row above
// the status bar, the member list to three character widths from the right
// edge; the form keeps its place. A window smaller than the laid-out form
// is allowed: the form scrolls and the lists keep their laid-out size.
TEST_F(GuiTest, ListsFollowTheWindowSize) {
  start();
  auto* cats = control<wxListBox>(cat_list_ctl());
  auto* members = control<wxListCtrl>(member_list_ctl());
  wxWindow* name = ws_.window(form_ctl(0));
  const wxRect name_at = name->GetRect();
  const wxSize sizes[] = {{1200, 800}, {winw + 40, winh + 30}};
  for (const wxSize& s : sizes) {
    SCOPED_TRACE(std::to_string(s.x) + "x" + std::to_string(s.y));
    frame_->SetSize(s);
    pump(300);
    const wxSize panel = frame_->form()->GetClientSize();
    EXPECT_EQ(members->GetRect().GetRight() + 1, panel.x - 3 * fontx);
    EXPECT_EQ(members->GetRect().GetBottom() + 1, panel.y - fonty);
    EXPECT_EQ(cats->GetRect().GetBottom() + 1, panel.y - fonty);
    EXPECT_EQ(name->GetRect(), name_at);
  }
  frame_->SetSize(winw, winh);
  pump(300);
  const wxRect laid_out = members->GetRect();
  frame_->SetSize(winw - 300, winh - 200);
  pump(300);
  EXPECT_EQ(frame_->GetSize(), wxSize(winw - 300, winh - 200));
  const wxSize virt = frame_->form()->GetVirtualSize(), client = frame_->form()->GetClientSize();
  EXPECT_GT(virt.x, client.x);
  EXPECT_GT(virt.y, client.y);
  EXPECT_EQ(members->GetRect().GetBottom(), laid_out.GetBottom());
  EXPECT_EQ(members->GetSize().x, 22 * fontx);  // the narrowest member list
  EXPECT_GE(virt.x, members->GetRect().GetRight());
  // much smaller still: the toolbar and the form give way without a complaint
  frame_->SetSize(400, 300);
  pump(300);
  EXPECT_EQ(frame_->GetSize(), wxSize(400, 300));
}

// The window size and two column widths are stored at shutdown and come
// back at the next start.
TEST_F(GuiTest, WindowSizeAndColumnWidthsAreRemembered) {
  start();
  frame_->SetSize(1111, 700);
  control<wxListCtrl>(member_list_ctl())->SetColumnWidth(1, 150);
  pump(200);
  close_window();
  const std::string rc = settings();
  EXPECT_NE(rc.find("winh=700"), std::string::npos) << rc;
  EXPECT_NE(rc.find("winw=1111"), std::string::npos) << rc;
  EXPECT_NE(rc.find("col1=150"), std::string::npos) << rc;
  reset_program_state();
  start();
  EXPECT_EQ(frame_->GetSize(), wxSize(1111, 700));
  EXPECT_EQ(control<wxListCtrl>(member_list_ctl())->GetColumnWidth(1), 150);
  EXPECT_EQ(control<wxListCtrl>(member_list_ctl())->GetColumnWidth(0), 0);  // Ref. stays hidden
}

// Every accelerator, pressed for real, sends its command (Alt+h too,
// although "&Help" has the same mnemonic); Alt+j sends none. The commands
// are caught before they are dispatched.
TEST_F(GuiTest, AcceleratorsSendTheirCommands) {
  start();
  std::vector<int> sent;
  frame_->Bind(wxEVT_MENU, [&sent](wxCommandEvent& e) { sent.push_back(e.GetId()); });
  frame_->Raise();
  pump(50);
  std::vector<int> want;
  for (const Accel& a : accel_table()) {
    key(a.key, wxMOD_ALT);
    want.push_back(a.command);
  }
  key('j', wxMOD_ALT);
  EXPECT_EQ(sent, want);
}

// Guards the keyboard after Save or Cancel: the entry that had the focus is
// disabled, and the accelerators must still reach their commands (Alt+h must
// not open the Help menu).
TEST_F(GuiTest, AcceleratorsWorkAfterTheFocusedEntryIsDisabled) {
  start();
  frame_->Raise();
  pump(50);
  command(400);  // New: the focus goes to the Name entry
  pump(50);
  command(404);  // Cancel: the form is disabled again
  pump(50);
  std::vector<int> sent;
  frame_->Bind(wxEVT_MENU, [&sent](wxCommandEvent& e) { sent.push_back(e.GetId()); });
  key('h', wxMOD_ALT);
  key('k', wxMOD_ALT);
  EXPECT_EQ(sent, (std::vector<int>{409, 403}));
}

// A menu event whose id is no command is not handled by the window: it goes
// on to the application; a command's event stops at the window.
TEST_F(GuiTest, UnknownCommandIdsArePassedOn) {
  start();
  std::vector<int> passed;
  auto on_app = [&passed](wxCommandEvent& e) { passed.push_back(e.GetId()); };
  wxTheApp->Bind(wxEVT_MENU, on_app);
  command(12345);
  command(458);  // Version: its notice is answered with its close button
  command(wxID_HIGHEST + 77);
  wxTheApp->Unbind(wxEVT_MENU, on_app);
  EXPECT_EQ(passed, (std::vector<int>{12345, wxID_HIGHEST + 77}));
  ASSERT_FALSE(hook_.dialogs.empty());
  EXPECT_EQ(hook_.dialogs.back().rfind("INTRO| Version: ", 0), 0u);
}

// The category list starts with nothing selected: no filter was chosen.
TEST_F(GuiTest, CategoryListStartsUnselected) {
  start();
  pump(100);
  EXPECT_EQ(ws_.list_selection(cat_list_ctl()), -1);
}

// Menu Quit, the toolbar's Quit button (the same command), Alt+q and the
// close box all run the shutdown steps and destroy the window.
TEST_F(GuiTest, EveryWayToQuitRunsTheShutdown) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Quit command", [this] { command(410); }},
      {"Alt+q", [this] { key('q', wxMOD_ALT); }},
      {"close box", [this] { frame_->Close(); }},
  };
  for (const auto& [name, quit] : ways) {
    SCOPED_TRACE(name);
    std::filesystem::remove(db() / ".sociantes.rc");
    reset_program_state();
    start();
    frame_->Raise();
    frame_->form()->SetFocus();
    pump(50);
    quit();
    for (int i = 0; i < 50 && ws_.frame(); ++i) pump(20);
    EXPECT_EQ(ws_.frame(), nullptr);
    EXPECT_NE(settings().find("winw="), std::string::npos);
    frame_ = nullptr;
  }
}

}  // namespace
}  // namespace soc::test
