// The PHOTO dialog in the real window: Photo on a member with a photo file
// opens the dialog with the member's picture (tmp.bmp) in its picture
// control, grey for grey, top row at the top; OK closes it and ends the
// action.
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/statbmp.h>

#include <fstream>

#include "db/members.h"
#include "gui_fixture.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

void put(const std::filesystem::path& p, const std::string& s) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

TEST_F(GuiTest, PhotoDialogShowsThePicture) {
  std::string member = "#\r\nDupont\r\n";
  for (int f = 2; f <= 11; ++f) member += "\r\n";
  member += "A0001\r\n\r\n";
  put(db() / "sociantes.data", member);
  put(db() / "sociantes.cat", "");
  put(db() / ".sociantes.rc", "ref=A0002\r\nversion=sociantes_v3.4.2\r\n");
  // Top half black ("a"), bottom half grey 230 ("x").
  std::string xpm = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 24 1\",\r\n";
  for (int i = 0; i < 24; ++i) xpm += "\"" + std::string(1, char('a' + i)) + " c #000000\"\r\n";
  for (int j = 0; j < 120; ++j) xpm += "\"" + std::string(96, j < 60 ? 'a' : 'x') + "\"\r\n";
  put(db() / "photos" / "A0001.xpm", xpm);
  start();
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 1);
  wxRect r;
  list->GetItemRect(0, r);
  click(list, {r.x + list->GetColumnWidth(1) / 2, r.y + r.height / 2});
  ASSERT_EQ(index_sel, "A0001");

  bool looked = false;
  Answer a;
  a.snapshot = (shot_dir() / "gui-dialog-1200.png").string();
  a.inspect = [&](TemplateDialog& d) {
    looked = true;
    EXPECT_EQ(u8(d.GetTitle()), "PHOTO");
    EXPECT_EQ(u8(d.FindWindow(1004)->GetLabel()), "OK");
    EXPECT_EQ(task_in, 13);
    auto* pic = dynamic_cast<wxStaticBitmap*>(d.FindWindow(1006));
    ASSERT_NE(pic, nullptr);
    const wxBitmap bmp = pic->GetBitmap();
    ASSERT_TRUE(bmp.IsOk());
    EXPECT_EQ(bmp.GetWidth(), 96);
    EXPECT_EQ(bmp.GetHeight(), 120);
    const wxImage img = bmp.ConvertToImage();
    EXPECT_EQ(img.GetRed(10, 10), 0);
    EXPECT_EQ(img.GetGreen(50, 59), 0);
    EXPECT_EQ(img.GetBlue(50, 60), 230);
    EXPECT_EQ(img.GetRed(95, 119), 230);
    EXPECT_TRUE(pic->IsShown());
  };
  a.button = 1004;
  hook_.answers.push_back(a);
  command(406);
  pump(50);
  EXPECT_TRUE(looked);
  EXPECT_EQ(task_in, 0);
}

}  // namespace
}  // namespace soc::test
