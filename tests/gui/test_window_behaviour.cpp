// The window as a desktop user meets it: Enter and Escape in dialogs, the
// question when quitting during an edit, menu marks and greyed commands, the
// shortcut column, the aligned form, entries that stop at their limits, a
// double click on a member, and the window on small and large screens.
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "db/members.h"
#include "db/util.h"
#include "gui_fixture.h"
#include "platform/wx/gtk_shortcut.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"
#include "shell/script.h"
#include "shell/winutil.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

const char* const kQuitQuestion =
    "QUESTION| A member is being edited and not saved. \r\n Quit anyway? ";

// An answer given with real keys once the dialog is on screen.
Answer keys(std::function<void(wxUIActionSimulator&)> press) {
  Answer a;
  a.button = -1;
  a.inspect = [press](TemplateDialog&) {
    wxUIActionSimulator sim;
    press(sim);
  };
  return a;
}

class Behaviour : public GuiTest {
 protected:
  void add_member(const char* name) {
    command(400);
    ws_.ctl_set_text(form_ctl(0), name);
    command(402);
  }
  // Menu item and toolbar button states as the window shows them when a
  // menu opens and when the program is idle.
  wxMenuItem* item(int id) {
    wxMenu* m = nullptr;
    wxMenuItem* it = frame_->GetMenuBar()->FindItem(id, &m);
    if (m) m->UpdateUI(frame_);
    frame_->GetToolBar()->UpdateWindowUI();
    return it;
  }
};

// Enter presses OK (Yes), Escape presses Close (No); in a dialog with
// several entries Enter moves on to the next entry and presses OK in the
// last one. Pressed for real, with a window manager giving the focus.
TEST_F(Behaviour, EnterAndEscapeInDialogs) {
  WindowManager wm;
  if (!wm.start(std::getenv("DISPLAY"))) GTEST_SKIP() << "openbox could not start on this display";
  start();
  frame_->Raise();
  pump(200);

  hook_.answers.push_back(keys([](wxUIActionSimulator& k) {
    k.Text("Club");
    k.Char(WXK_RETURN);
  }));
  command(19);
  pump(300);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(getrc("title"), "Club");
  EXPECT_EQ(u8(frame_->GetTitle()), "Sociantes  [ Club ]");

  hook_.answers.push_back(keys([](wxUIActionSimulator& k) {
    k.Text("Other");
    k.Char(WXK_ESCAPE);
  }));
  command(19);
  pump(300);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(getrc("title"), "Club");

  // Templates > Add > Template-1: field, x, y
  dlg_input.clear();
  hook_.answers.push_back(keys([](wxUIActionSimulator& k) {
    k.Text("1");
    k.Char(WXK_RETURN);
    k.Text("20");
    k.Char(WXK_RETURN);
    k.Text("30");
    k.Char(WXK_RETURN);
  }));
  command(433);
  pump(300);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(dlg_input, "1|20|30");

  // the quit question: Escape is No, Enter is Yes
  command(400);
  hook_.answers.push_back(keys([](wxUIActionSimulator& k) { k.Char(WXK_ESCAPE); }));
  command(410);
  pump(300);
  ASSERT_NE(ws_.frame(), nullptr);
  EXPECT_EQ(task_in, 1);
  EXPECT_EQ(hook_.dialogs.back(), kQuitQuestion);
  hook_.answers.push_back(keys([](wxUIActionSimulator& k) { k.Char(WXK_RETURN); }));
  command(410);
  for (int i = 0; i < 50 && ws_.frame(); ++i) pump(20);
  EXPECT_EQ(ws_.frame(), nullptr);
  frame_ = nullptr;
}

// Quit during New or Modify asks, by every way to quit; No returns to the
// form with the action kept, Yes ends the program as usual. Without an edit
// nothing is asked.
TEST_F(Behaviour, QuitDuringAnEditAsksFirst) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Quit command", [this] { command(410); }},
      {"close box", [this] { frame_->Close(); }},
  };
  for (const auto& [way, quit] : ways) {
    for (int edit : {400, 401}) {
      SCOPED_TRACE(std::string(way) + " during " + std::to_string(edit));
      std::filesystem::remove(db() / ".sociantes.rc");
      reset_program_state();
      start();
      if (edit == 401) {
        add_member("Durand");
        member_clicked("A0000");
      }
      command(edit);
      const int action = task_in;
      ASSERT_TRUE(action == 1 || action == 3);
      hook_.dialogs.clear();
      Answer no;
      no.button = 1004;
      hook_.answers.push_back(no);
      quit();
      pump(100);
      ASSERT_NE(ws_.frame(), nullptr);
      EXPECT_EQ(hook_.dialogs, std::vector<std::string>{kQuitQuestion});
      EXPECT_EQ(task_in, action);
      EXPECT_TRUE(control<wxTextCtrl>(form_ctl(0))->IsEditable());
      Answer yes;
      yes.button = 1001;
      hook_.answers.push_back(yes);
      quit();
      for (int i = 0; i < 50 && ws_.frame(); ++i) pump(20);
      EXPECT_EQ(ws_.frame(), nullptr);
      EXPECT_NE(settings().find("winw="), std::string::npos);
      frame_ = nullptr;
    }
  }
  // no edit: no question
  reset_program_state();
  start();
  hook_.dialogs.clear();
  command(410);
  for (int i = 0; i < 50 && ws_.frame(); ++i) pump(20);
  EXPECT_EQ(ws_.frame(), nullptr);
  EXPECT_TRUE(hook_.dialogs.empty());
  frame_ = nullptr;
}

// Modify, Delete, Save and Cancel are greyed in the menu and the toolbar
// when they cannot apply; the option items carry the marks of the settings.
TEST_F(Behaviour, MenuMarksAndGreyedCommandsFollowTheState) {
  start();
  wxToolBar* tb = frame_->GetToolBar();
  struct State {
    const char* when;
    bool modify, save;  // Modify and Delete; Save and Cancel
  };
  auto check = [&](const State& s) {
    SCOPED_TRACE(s.when);
    for (int id : {401, 403}) {
      EXPECT_EQ(item(id)->IsEnabled(), s.modify) << id;
      EXPECT_EQ(tb->GetToolEnabled(id), s.modify) << id;
    }
    for (int id : {402, 404}) {
      EXPECT_EQ(item(id)->IsEnabled(), s.save) << id;
      EXPECT_EQ(tb->GetToolEnabled(id), s.save) << id;
    }
    EXPECT_TRUE(item(400)->IsEnabled());
  };
  check({"no member selected", false, false});
  command(400);
  check({"New", false, true});
  ws_.ctl_set_text(form_ctl(0), "Durand");
  command(402);
  check({"saved", false, false});
  member_clicked("A0000");
  check({"selected", true, false});
  command(401);
  check({"Modify", false, true});
  command(404);

  // the radio groups and the check item follow what their commands set
  const std::vector<std::vector<int>> groups = {
      {451, 450}, {449, 448}, {414, 415, 416, 417}, {420, 421, 422, 423, 424}};
  for (const auto& group : groups) {
    for (int id : group) {
      SCOPED_TRACE(id);
      command(id);
      for (int other : group) EXPECT_EQ(item(other)->IsChecked(), other == id) << other;
    }
  }
  EXPECT_TRUE(item(456)->IsChecked());   // Local
  EXPECT_FALSE(item(457)->IsChecked());
  EXPECT_TRUE(item(454)->IsChecked());   // no e-mail exclusion
  EXPECT_TRUE(item(452)->IsChecked());
  EXPECT_TRUE(item(460)->IsCheckable());
  EXPECT_FALSE(item(460)->IsChecked());  // folders off
}

// The accelerator texts of the Actions menu are shown in GTK's shortcut
// column (Alt + the key), the label before it; other items show none.
TEST_F(Behaviour, AcceleratorTextsShowInTheShortcutColumn) {
  start();
  std::vector<wxMenuItem*> items;  // every item, in menu-table order
  std::function<void(wxMenu*)> walk = [&](wxMenu* m) {
    for (wxMenuItem* it : m->GetMenuItems()) {
      items.push_back(it);
      if (it->IsSubMenu()) walk(it->GetSubMenu());
    }
  };
  wxMenuBar* bar = frame_->GetMenuBar();
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) walk(bar->GetMenu(i));
  std::vector<const MenuEntry*> entries;
  for (const MenuEntry& e : menu_table())
    if (e.depth > 0) entries.push_back(&e);
  ASSERT_EQ(items.size(), entries.size());
  int shown = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const Shortcut sc = menu_shortcut(entries[i]->label);
    SCOPED_TRACE(entries[i]->label);
    unsigned key = 0, mods = 0;
    const bool has = soc::wxui::shown_shortcut(items[i], key, mods);
    EXPECT_EQ(has, sc.key != 0);
    if (!sc.key) continue;
    ++shown;
    EXPECT_EQ(key, static_cast<unsigned>(sc.key));
    EXPECT_EQ(mods, soc::wxui::kGdkAltMask);
    EXPECT_EQ(u8(items[i]->GetItemLabel()), sc.text);  // no accelerator of wx's own
  }
  EXPECT_EQ(shown, 14);
  const Shortcut mailing = menu_shortcut("Mailing<  alt>t");
  EXPECT_EQ(mailing.text, "Mailing");
  EXPECT_EQ(mailing.key, 't');
}

// The entries of the form start in one column; the labels end in one column
// and are centred on their entries. The same in a dialog with several rows.
TEST_F(Behaviour, FormAndDialogRowsAreAligned) {
  start();
  auto centre_y = [](wxWindow* w) { return w->GetPosition().y + w->GetSize().y / 2; };
  const int entry_x = ws_.window(form_ctl(0))->GetPosition().x;
  const int label_end = ws_.window(form_ctl(0) - 1)->GetRect().GetRight();
  for (int e = 0; e < 12; ++e) {
    SCOPED_TRACE(e);
    wxWindow* entry = ws_.window(form_ctl(e));
    auto* label = dynamic_cast<wxStaticText*>(ws_.window(form_ctl(e) - 1));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(entry->GetPosition().x, entry_x);
    EXPECT_EQ(label->GetRect().GetRight(), label_end);
    EXPECT_LT(label_end, entry_x);
    EXPECT_LE(std::abs(centre_y(label) - centre_y(entry)), 2);
    EXPECT_GE(label->GetSize().x, label->GetBestSize().x);
  }

  bool looked = false;
  Answer a;
  a.inspect = [&](TemplateDialog& d) {
    looked = true;
    const int end = d.FindWindow(1071)->GetRect().GetRight();
    for (int row = 0; row < 3; ++row) {
      wxWindow* label = d.FindWindow(1071 + row);
      wxWindow* entry = d.FindWindow(1074 + row);
      EXPECT_EQ(label->GetRect().GetRight(), end) << row;
      EXPECT_LT(end, entry->GetPosition().x) << row;
      EXPECT_LE(std::abs(centre_y(label) - centre_y(entry)), 1) << row;
      EXPECT_GE(label->GetSize().x, label->GetBestSize().x) << row;
    }
  };
  hook_.answers.push_back(a);
  task_in = 31;  // the Server dialog's labels
  winfo(" Server ", 11);
  EXPECT_TRUE(looked);
}

// Form boxes stop at the bytes their field holds, typed or pasted; a
// program text longer than that is still shown whole. Dialog entries stop
// at the limit their prompt states.
TEST_F(Behaviour, EntriesStopAtTheirFieldLimits) {
  start();
  frame_->Raise();
  pump(100);
  command(400);
  auto* name = control<wxTextCtrl>(form_ctl(0));
  ASSERT_EQ(wxWindow::FindFocus(), name);
  type(std::string(70, 'a'));
  EXPECT_EQ(u8(name->GetValue()), std::string(62, 'a'));
  auto* cat = control<wxTextCtrl>(form_ctl(10));
  cat->SetFocus();
  pump(50);
  type(std::string(40, 'b'));
  EXPECT_EQ(u8(cat->GetValue()), std::string(31, 'b'));
  // pasted over a selection: as much as fits, whole characters
  auto* first = control<wxTextCtrl>(form_ctl(1));
  first->SetValue("Jean");
  first->SetSelection(0, 4);
  first->WriteText(wxString::FromUTF8("\xC3\xA9") + wxString(std::string(70, 'e')));
  EXPECT_EQ(u8(first->GetValue()), "\xC3\xA9" + std::string(60, 'e'));
  ws_.ctl_set_text(form_ctl(2), std::string(80, 'c'));
  EXPECT_EQ(ws_.ctl_get_text(form_ctl(2)).size(), 80u);
  command(404);

  Answer a;
  a.entries = {{1003, std::string(40, 'z')}};
  a.inspect = [](TemplateDialog& d) { EXPECT_EQ(d.get_text(1003), std::string(20, 'z')); };
  a.button = 1001;
  hook_.answers.push_back(a);
  command(19);
  EXPECT_EQ(getrc("title"), std::string(20, 'z'));
}

// A double click on a member row selects the member and starts Modify; the
// Names column is wide enough for a name and a first name.
TEST_F(Behaviour, DoubleClickOnARowStartsModify) {
  start();
  auto* list = control<wxListCtrl>(member_list_ctl());
  EXPECT_EQ(list->GetColumnWidth(2), 34 * fontx);
  EXPECT_GE(list->GetColumnWidth(2), list->GetTextExtent("Delacroix-Montmorency Marie-Christine").x);
  add_member("Durand");
  add_member("Martin");
  frame_->Raise();
  pump(100);
  wxRect r;
  list->GetItemRect(1, r);
  wxUIActionSimulator sim;
  sim.MouseMove(list->ClientToScreen(wxPoint(r.x + list->GetColumnWidth(1) + 10, r.y + r.height / 2)));
  pump(50);
  sim.MouseDblClick();
  pump(400);
  EXPECT_EQ(task_in, 3);
  EXPECT_EQ(index_sel, "A0001");
  EXPECT_EQ(ws_.ctl_get_text(form_ctl(0)), "Martin");
  EXPECT_TRUE(control<wxTextCtrl>(form_ctl(0))->IsEditable());
  EXPECT_TRUE(save_window_png(frame_, (shot_dir() / "gui-modify.png").string()));
  command(404);
}

// On a 1024 x 600 screen the window opens inside the screen; on a 1600 x
// 1000 screen as laid out. Each runs in a child of this program on a
// virtual screen of that size, which leaves a screenshot in the build
// directory.
TEST_F(Behaviour, WindowFitsTheScreen) {
  if (on_own_screen()) {
    start();
    for (const char* c : {"Board", "Members", "Volunteers"}) {
      Answer a;
      a.entries = {{1003, c}};
      a.button = 1001;
      hook_.answers.push_back(a);
      command(22);
    }
    const char* const people[][4] = {{"Durand", "Marie", "12 avenue Foch", "Grenoble"},
                                     {"Bernard", "Paul", "3 rue Haute", "Lyon"},
                                     {"Okafor", "Ada", "8 quai Rambaud", "Lyon"},
                                     {"Fischer", "Lena", "1 place Grenette", "Grenoble"}};
    for (const auto& p : people) {
      command(400);
      for (int e = 0; e < 4; ++e) ws_.ctl_set_text(form_ctl(e), p[e]);
      ws_.ctl_set_text(form_ctl(10), "Members");
      command(402);
    }
    member_clicked("A0000");
    ws_.list_select(member_list_ctl(), 1);  // Durand, as the click marks it
    pump(500);
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxRect win = frame_->GetScreenRect();
    EXPECT_TRUE(area.Contains(win)) << win.x << "," << win.y << " " << win.width << "x"
                                    << win.height << " in " << area.width << "x" << area.height;
    // the whole member list is inside the window's client area
    wxWindow* list = ws_.window(member_list_ctl());
    const wxRect client(frame_->form()->GetScreenPosition(), frame_->form()->GetClientSize());
    EXPECT_LE(list->GetScreenRect().GetRight(), client.GetRight());
    const std::string name = std::getenv("SOC_OWN_SCREEN");
    EXPECT_TRUE(save_window_png(frame_, (shot_dir() / ("gui-screen-" + name + ".png")).string()));
    // the next start, with the stored size, again inside the screen (and,
    // as every test, without a word on standard error)
    close_window();
    reset_program_state();
    start();
    pump(500);
    EXPECT_TRUE(area.Contains(frame_->GetScreenRect()));
    return;
  }
  for (const wxSize& s : {wxSize(1024, 600), wxSize(1600, 1000)}) {
    std::string out;
    const int code = run_on_own_screen(s.x, s.y, "Behaviour.WindowFitsTheScreen", out);
    if (code == -1) GTEST_SKIP() << out;
    EXPECT_EQ(code, 0) << out;
  }
}

}  // namespace
}  // namespace soc::test
