// The form, the member list and the category list of the real main window,
// driven by real keyboard and mouse input through the X server: a member
// typed in and saved, then clicked; a category chosen; thousands of rows.
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>

#include "db/categories.h"
#include "db/members.h"
#include "gui_fixture.h"
#include "platform/wx/member_list.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc::test {
namespace {

using soc::wxui::u8;

// A point inside row `row` of a report list, in its client coordinates.
wxPoint row_point(wxListCtrl* list, int row) {
  wxRect r;
  list->GetItemRect(row, r);
  return {r.x + list->GetColumnWidth(1) / 2, r.y + r.height / 2};
}

// The member list is virtual: 9,900 rows are there at once, the hidden
// first column carries the reference, and selection and clearing work on
// the whole range.
TEST_F(GuiTest, NineThousandNineHundredRowsAppearAtOnce) {
  start();
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_NE(list, nullptr);
  wxStopWatch sw;
  for (int i = 0; i < 9900; ++i) {
    char ref[8];
    std::snprintf(ref, sizeof ref, "A%04d", i);
    ASSERT_EQ(insertview(ws_, member_list_ctl(), ref, std::string("id-") + ref,
                         std::string("Member ") + ref, std::string(" !   ")),
              1);
  }
  pump(50);
  EXPECT_LT(sw.Time(), 2000);
  EXPECT_EQ(list->GetItemCount(), 9900);
  EXPECT_EQ(list->GetColumnWidth(0), 0);
  EXPECT_EQ(u8(list->GetItemText(9899, 0)), "");  // the hidden column shows nothing
  EXPECT_EQ(dynamic_cast<soc::wxui::MemberList*>(list)->text(9899, 0), "A9899");
  EXPECT_EQ(u8(list->GetItemText(9899, 2)), "Member A9899");
  ws_.list_select(member_list_ctl(), 9899);
  EXPECT_EQ(ws_.list_selection(member_list_ctl()), 9899);
  ws_.list_select(member_list_ctl(), -1);
  EXPECT_EQ(ws_.list_selection(member_list_ctl()), -1);
  ws_.list_clear(member_list_ctl());
  EXPECT_EQ(list->GetItemCount(), 0);
}

// New by Alt+n, the fields typed with Tab between them, Save by Alt+s; the
// member appears in the list, a click on its row selects it and shows it in
// the form; a click below the rows changes nothing.
TEST_F(GuiTest, MemberTypedSavedAndClicked) {
  start();
  frame_->Raise();
  pump(50);
  key('n', wxMOD_ALT);
  ASSERT_EQ(task_in, 1);
  auto* name = control<wxTextCtrl>(form_ctl(0));
  auto* first = control<wxTextCtrl>(form_ctl(1));
  EXPECT_TRUE(name->IsEditable());
  EXPECT_EQ(wxWindow::FindFocus(), name);
  type("Durand");
  key(WXK_TAB);
  EXPECT_EQ(wxWindow::FindFocus(), first);
  type("Marie");
  EXPECT_EQ(u8(name->GetValue()), "Durand");
  EXPECT_EQ(u8(first->GetValue()), "Marie");
  key('s', wxMOD_ALT);
  EXPECT_EQ(task_in, 0);
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(u8(list->GetItemText(0, 2)), "Durand");
  const std::string ref = dynamic_cast<soc::wxui::MemberList*>(list)->text(0, 0);
  EXPECT_EQ(ref, "A0000");
  // shown for reading: not editable, but not greyed either
  EXPECT_FALSE(name->IsEditable());
  EXPECT_TRUE(name->IsEnabled());

  click(list, row_point(list, 0));
  EXPECT_EQ(index_sel, ref);
  EXPECT_EQ(ws_.list_selection(member_list_ctl()), 0);
  EXPECT_EQ(u8(name->GetValue()), "Durand");
  EXPECT_EQ(u8(first->GetValue()), "Marie");
  save_window_png(frame_, (shot_dir() / "gui-member-selected.png").string());

  click(list, row_point(list, 0) + wxPoint(0, 200));  // empty part of the list
  EXPECT_EQ(index_sel, ref);
  EXPECT_EQ(u8(name->GetValue()), "Durand");
}

// Categories added through their dialog show in the category list; members
// saved through the form show in the member list; a click on a category
// keeps only its members. The populated window is left as a screenshot.
TEST_F(GuiTest, CategoryClickFiltersTheMemberList) {
  start();
  for (const char* c : {"Board", "Members", "Volunteers"}) {
    soc::wxui::Answer a;
    a.entries = {{1003, c}};
    a.button = 1001;
    hook_.answers.push_back(a);
    command(22);
  }
  auto* cats = control<wxListBox>(cat_list_ctl());
  ASSERT_EQ(cats->GetCount(), 4u);
  EXPECT_EQ(u8(cats->GetString(2)), "Members");
  struct Member {
    const char* name;
    const char* first;
    const char* address;
    const char* city;
    const char* category;
  } const members[] = {{"Bernard", "Lucie", "4 rue des Écoles", "Lyon", "Board"},
                       {"Durand", "Marie", "12 avenue Foch", "Grenoble", "Members"},
                       {"Fischer", "Jonas", "Hauptstraße 7", "Basel", "Volunteers"},
                       {"Martin", "Paul", "1 place du Marché", "Annecy", "Members"},
                       {"Okafor", "Ada", "22 Church Lane", "Bristol", "Board"}};
  for (const Member& m : members) {
    command(400);
    ws_.ctl_set_text(form_ctl(0), m.name);
    ws_.ctl_set_text(form_ctl(1), m.first);
    ws_.ctl_set_text(form_ctl(2), m.address);
    ws_.ctl_set_text(form_ctl(3), m.city);
    ws_.ctl_set_text(form_ctl(10), m.category);
    command(402);
  }
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 5);
  click(list, row_point(list, 1));
  EXPECT_EQ(ws_.ctl_get_text(form_ctl(3)), "Grenoble");
  save_window_png(frame_, (shot_dir() / "gui-main-window-members.png").string());

  int y = 0;
  while (y < cats->GetClientSize().y && cats->HitTest(wxPoint(10, y)) != 2) ++y;
  ASSERT_LT(y, cats->GetClientSize().y);
  click(cats, wxPoint(10, y + 2));
  EXPECT_EQ(cats->GetSelection(), 2);
  EXPECT_EQ(cat, 2);
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(u8(list->GetItemText(0, 2)), "Durand");
  EXPECT_EQ(u8(list->GetItemText(1, 2)), "Martin");
}

// Form entries keep UTF-8 text as it was set.
TEST_F(GuiTest, FormEntriesKeepUtf8Text) {
  start();
  const std::string texts[] = {"Zoë Müller", "Ærø", "東京", ""};
  for (const std::string& t : texts) {
    ws_.ctl_set_text(form_ctl(2), t);
    EXPECT_EQ(ws_.ctl_get_text(form_ctl(2)), t);
  }
}

}  // namespace
}  // namespace soc::test
