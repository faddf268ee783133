// Selection in the real member list by real mouse clicks: a click names the
// record of its row, also when other records share its reference, and a row
// whose reference is not one letter and four digits selects nothing.
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <fstream>

#include "db/members.h"
#include "gui_fixture.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

using soc::wxui::u8;

std::string rec(const std::string& name, const std::string& ref) {
  std::string s = "#\r\n" + name + "\r\n";
  for (int f = 2; f <= 11; ++f) s += "\r\n";
  return s + ref + "\r\n\r\n";
}

void put(const std::filesystem::path& p, const std::string& s) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

wxPoint row_point(wxListCtrl* list, int row) {
  wxRect r;
  list->GetItemRect(row, r);
  return {r.x + list->GetColumnWidth(1) / 2, r.y + r.height / 2};
}

TEST_F(GuiTest, AClickSelectsTheRecordOfItsRowOnly) {
  const std::string adam = rec("Adam", "A0001"), bob = rec("Bob", "A0000"),
                    odd = rec("Odd", "../x"), zola = rec("Zola", "A0001");
  put(db() / "sociantes.data", adam + bob + odd + zola);
  put(db() / "sociantes.cat", "");
  put(db() / ".sociantes.rc", "ref=A0002\r\nversion=sociantes_v3.4.2\r\n");
  start();
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 4);
  auto* name = control<wxTextCtrl>(form_ctl(0));

  click(list, row_point(list, 3));
  EXPECT_EQ(index_sel, "A0001");
  EXPECT_EQ(sel_nth, 1);
  EXPECT_EQ(u8(name->GetValue()), "Zola");

  // The row of a reference that is no reference: nothing stays selected.
  hook_.dialogs.clear();
  hook_.boxes.clear();
  click(list, row_point(list, 2));
  pump(400);
  EXPECT_EQ(index_sel, "");
  EXPECT_EQ(u8(name->GetValue()), "");
  std::string shown;
  for (const auto& d : hook_.dialogs) shown += d;
  for (const auto& b : hook_.boxes) shown += b;
  EXPECT_NE(shown.find("its reference \"../x\""), std::string::npos) << shown;
  EXPECT_FALSE(std::filesystem::exists(db() / "A0001.lck"));

  // Delete the second A0001: the first stays.
  click(list, row_point(list, 3));
  ASSERT_EQ(u8(name->GetValue()), "Zola");
  soc::wxui::Answer yes;
  yes.button = 1001;
  hook_.answers.push_back(yes);
  command(403);
  pump(400);
  command(402);
  std::ifstream in(db() / "sociantes.data", std::ios::binary);
  std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(now, adam + bob + odd);
}

}  // namespace
}  // namespace soc::test
