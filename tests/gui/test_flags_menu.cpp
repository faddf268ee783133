// The Flags > Set and Flags > Reset items of the real menu bar: each item,
// answered Yes, sets or resets the flag its label names, and only that one.
#include <wx/menu.h>

#include <set>
#include <string>

#include "gui_fixture.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::u8;

// The submenu `name` of the Flags menu of the window's menu bar.
wxMenu* flags_submenu(wxFrame* frame, const std::string& name) {
  wxMenuBar* bar = frame->GetMenuBar();
  const int at = bar->FindMenu("Flags");
  if (at == wxNOT_FOUND) return nullptr;
  for (wxMenuItem* it : bar->GetMenu(static_cast<size_t>(at))->GetMenuItems())
    if (it->IsSubMenu() && u8(it->GetItemLabelText()) == name) return it->GetSubMenu();
  return nullptr;
}

// The flag characters in the remarks of the only member of the file.
std::set<char> flags_of_only_member(const std::string& file) {
  // "#", then fields 1 to 13; the remarks are field 10.
  std::size_t p = 0;
  for (int line = 0; line < 10; ++line) p = file.find("\r\n", p) + 2;
  const std::string remarks = file.substr(p, file.find("\r\n", p) - p);
  std::set<char> s;
  for (char c : remarks)
    if (c == '!' || c == '$' || c == '%' || c == '&') s.insert(c);
  return s;
}

TEST_F(GuiTest, FlagsMenuItemsSetAndResetTheFlagTheyName) {
  start();
  command(400);
  ws_.ctl_set_text(form_ctl(0), "Durand");
  command(402);
  ASSERT_EQ(task_in, 0);
  std::set<char> want;
  ASSERT_EQ(flags_of_only_member(members()), want);
  for (const std::string which : {"Set", "Reset"}) {
    wxMenu* menu = flags_submenu(frame_, which);
    ASSERT_NE(menu, nullptr) << which;
    ASSERT_EQ(menu->GetMenuItemCount(), 4u);
    for (wxMenuItem* item : menu->GetMenuItems()) {
      const std::string label = u8(item->GetItemLabelText());
      SCOPED_TRACE(which + " " + label);
      ASSERT_EQ(label.size(), 1u);
      Answer yes;
      yes.button = 1001;
      hook_.answers.push_back(yes);
      command(item->GetId());
      EXPECT_EQ(task_in, 0);
      if (which == "Set")
        want.insert(label[0]);
      else
        want.erase(label[0]);
      EXPECT_EQ(flags_of_only_member(members()), want) << members();
    }
  }
  EXPECT_TRUE(want.empty());
}

}  // namespace
}  // namespace soc::test
