// Dialogs built from the templates and message boxes, in the real window
// system: controls placed by dialog units, captions set by the dialog
// procedure, a command carried through its dialog to the settings file, the
// modeless notice, and the captions of the message kinds.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <set>

#include "db/util.h"
#include "gui_fixture.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/script.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

// Every template a message kind opens: each control where the template puts
// it, the close button captioned by the dialog procedure, the message shown
// with its line ends. A screenshot of each is left in the build directory.
TEST_F(GuiTest, TemplatesArePlacedInDialogUnits) {
  start();
  const int kinds[] = {2, 3, 5, 6, 9, 10, 11, 29};
  for (int kind : kinds) {
    const DialogTemplate* t = template_for_kind(kind);
    ASSERT_NE(t, nullptr);
    SCOPED_TRACE(t->title + " " + std::to_string(t->id));
    bool looked = false;
    Answer a;
    a.snapshot = (shot_dir() / ("gui-dialog-" + std::to_string(t->id) + ".png")).string();
    a.inspect = [&](TemplateDialog& d) {
      looked = true;
      EXPECT_EQ(u8(d.GetTitle()), t->title);
      EXPECT_EQ(d.GetClientSize(), wxSize(d.du_x(t->w), d.du_y(t->h)));
      for (const DlgControl& c : t->controls) {
        if (c.id == 0) continue;  // a picture without an id
        wxWindow* w = d.FindWindow(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        if (c.kind == DlgCtl::label) {
          // a label before a control of its row is centred on that control
          EXPECT_EQ(w->GetPosition().x, d.du_x(c.x)) << c.id;
          EXPECT_NEAR(w->GetPosition().y, d.du_y(c.y), d.du_y(3)) << c.id;
        } else {
          EXPECT_EQ(w->GetPosition(), wxPoint(d.du_x(c.x), d.du_y(c.y))) << c.id;
        }
      }
      const std::string close = u8(d.FindWindow(1004)->GetLabel());
      EXPECT_EQ(close, t->title == "QUESTION" ? "No" : " Close ");
      if (t->title == "QUESTION") {
        EXPECT_EQ(u8(d.FindWindow(1001)->GetLabel()), "Yes");
      }
      auto* msg = dynamic_cast<wxTextCtrl*>(d.FindWindow(1005));
      ASSERT_NE(msg, nullptr);
      EXPECT_EQ(u8(msg->GetValue()), " first line \n second line ");
    };
    a.button = 1004;
    hook_.answers.push_back(a);
    winfo(" first line \r\n second line ", kind);
    pump(50);
    EXPECT_TRUE(looked);
    EXPECT_EQ(task_in, 0);
  }
}

// Association name (command 19) through its dialog: OK stores the typed
// name; the Close button and the title-bar close box abandon the action.
TEST_F(GuiTest, AssociationNameGoesThroughItsDialog) {
  struct Case {
    const char* name;      // what the user does
    int button;            // pressed after typing
    bool stored;           // the name reaches the settings file
    int action;            // current action afterwards
  } const cases[] = {
      {"OK", 1001, true, 0},
      {"Close", 1004, false, 0},
      {"close box", 0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_program_state();
    start();
    Answer a;
    a.entries = {{1003, "Club des Amis"}};
    a.button = c.button;
    if (c.button == 1001) a.snapshot = (shot_dir() / "gui-association-name.png").string();
    hook_.answers.push_back(a);
    command(19);
    ASSERT_FALSE(hook_.dialogs.empty());
    EXPECT_EQ(hook_.dialogs.back().rfind("CAPTURE| Here you can enter your association name.", 0),
              0u);
    EXPECT_EQ(task_in, c.action);
    EXPECT_EQ(getrc("title"), c.stored ? "Club des Amis" : "");
    // the title follows the name at once
    EXPECT_EQ(u8(frame_->GetTitle()), c.stored ? "Sociantes  [ Club des Amis ]" : "Sociantes  [  ]");
    EXPECT_EQ(settings().find("title=Club des Amis") != std::string::npos, c.stored);
    EXPECT_EQ(u8(frame_->GetStatusBar()->GetStatusText(0)), status_text());
    close_window();
    std::filesystem::remove(db() / ".sociantes.rc");
  }
}

// The WAIT notice is modeless: the call returns with the notice on screen;
// closing the action's dialog takes it away and the dialog procedure hears
// of its end.
TEST_F(GuiTest, WaitNoticeStaysUntilClosed) {
  start();
  winfo(" Working... ", 4);
  ASSERT_NE(hdlg, nullptr);
  auto* d = dynamic_cast<wxDialog*>(hdlg);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->IsShown());
  EXPECT_FALSE(d->IsModal());
  EXPECT_EQ(u8(d->GetTitle()), "WAIT");
  EXPECT_EQ(wxDynamicCast(d->FindWindow(1004), wxButton), nullptr);
  close_dialog();
  pump(100);
  EXPECT_EQ(hdlg, nullptr);
  for (wxWindow* w : wxTopLevelWindows) EXPECT_NE(w, d);
}

// Message kinds 0 and 1 are boxes captioned "INFO" and "STOP" (hints only
// with hints on); something not built says so.
TEST_F(GuiTest, MessageBoxesCarryTheirCaptions) {
  start();
  hook_.boxes.clear();
  info_flg = 1;
  winfo(" a hint ", 0);
  info_flg = 0;
  winfo(" not shown ", 0);
  winfo(" an error ", 1);
  ws_.not_built("command 999");
  const std::vector<std::string> want = {"INFO| a hint ", "STOP| an error ",
                                         "Sociantes|command 999 is not built yet."};
  EXPECT_EQ(hook_.boxes, want);
}

}  // namespace
}  // namespace soc::test
