// The title-bar close box of the real dialogs (the window's close event):
// on a dialog with a close button it abandons the action as Close (No)
// does, the status bar shows the idle line and a Delete question closed so
// deletes nothing at Save; the wait notice and a running archive, whose
// close button is greyed, stay open.
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/listctrl.h>

#include "db/members.h"
#include "db/util.h"
#include "gui_fixture.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_window_system.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc::test {

bool send_close_request(void* gtk_widget);  // x11_close.cpp

namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

// The close box as the answer of the next dialog; `seen` is set once the
// dialog stood on screen.
Answer close_box_answer(bool& seen) {
  Answer a;
  a.button = 0;
  a.inspect = [&seen](TemplateDialog& d) { seen = d.IsShown(); };
  return a;
}

bool any_template_dialog() {
  for (wxWindow* w : wxTopLevelWindows)
    if (dynamic_cast<TemplateDialog*>(w) && w->IsShown()) return true;
  return false;
}

// Regression: the waits of a command let window events through so that the
// windows stay drawn, and the main window's close box was one of them: the
// program was shut down in the middle of the command (its record lock
// released and its settings written under it) and the command went on
// without a window. The close is now refused while a wait runs.
TEST_F(GuiTest, CloseBoxDuringACommandsWaitIsRefused) {
  start();
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  // The close box, as the window manager sends it, arrives during a wait.
  ASSERT_TRUE(send_close_request(frame_->GetHandle()));
  for (int i = 0; i < 50; ++i) {
    soc::wxui::pump_paint();  // what each wait of a command does
    wxMilliSleep(10);
  }
  EXPECT_NE(ws_.frame(), nullptr);
  EXPECT_TRUE(frame_->IsShown());
  EXPECT_EQ(soc::getrc("winh"), "");  // the shutdown did not run
}

TEST_F(GuiTest, CloseBoxOfEachDialogKindEndsTheAction) {
  start();
  struct Case {
    int command;        // opens the dialog
    const char* title;  // its template's title
  } const cases[] = {{22, "CAPTURE|"}, {8, "MAPPING|"}, {425, "QUESTION|"}, {458, "INTRO|"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    bool seen = false;
    hook_.answers.push_back(close_box_answer(seen));
    hook_.boxes.clear();
    command(c.command);
    pump(50);
    EXPECT_TRUE(seen);
    ASSERT_FALSE(hook_.dialogs.empty());
    EXPECT_EQ(hook_.dialogs.back().rfind(c.title, 0), 0u) << hook_.dialogs.back();
    EXPECT_FALSE(any_template_dialog());
    EXPECT_EQ(task_in, 0);
    const std::string status = u8(frame_->GetStatusBar()->GetStatusText(0));
    EXPECT_EQ(status.rfind("Action: Selection ", 0), 0u) << status;
    command(400);  // New is not refused
    EXPECT_EQ(task_in, 1);
    for (const std::string& b : hook_.boxes) EXPECT_EQ(b.rfind("STOP|", 0), std::string::npos) << b;
    command(404);
  }
}

TEST_F(GuiTest, DeleteQuestionClosedWithTheCloseBoxDeletesNothing) {
  start();
  command(400);
  ws_.ctl_set_text(form_ctl(0), "Durand");
  command(402);
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), 1);
  wxRect row;
  list->GetItemRect(0, row);
  click(list, wxPoint(row.x + list->GetColumnWidth(1) / 2, row.y + row.height / 2));
  ASSERT_EQ(index_sel, "A0000");

  bool seen = false;
  hook_.answers.push_back(close_box_answer(seen));
  command(403);
  EXPECT_TRUE(seen);
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(u8(frame_->GetStatusBar()->GetStatusText(0)), status_text());
  EXPECT_EQ(list->GetItemCount(), 1) << "the member list is shown again";
  command(402);  // Save
  EXPECT_EQ(list->GetItemCount(), 1);
  EXPECT_NE(members().find("\r\nDurand\r\n"), std::string::npos) << members();
}

// Neither the wait notice nor an archive that has greyed its buttons can be
// closed with the close box: the action goes on.
TEST_F(GuiTest, CloseBoxIsRefusedWithoutACloseButton) {
  start();
  task_in = 16;
  winfo(" Working... ", 4);
  auto* wait = dynamic_cast<TemplateDialog*>(hdlg);
  ASSERT_NE(wait, nullptr);
  wait->close_box();
  pump(100);
  EXPECT_EQ(hdlg, wait);
  EXPECT_TRUE(wait->IsShown());
  EXPECT_EQ(task_in, 16);
  close_dialog();
  pump(100);
  EXPECT_EQ(hdlg, nullptr);

  task_in = 16;
  Answer grey;  // what a running archive does to its buttons
  grey.button = 0;
  grey.inspect = [](TemplateDialog& d) {
    d.FindWindow(1001)->Disable();
    d.FindWindow(1004)->Disable();
  };
  hook_.answers.push_back(grey);
  bool seen = false;
  hook_.answers.push_back(close_box_answer(seen));
  bool still_open = false;
  Answer again;
  again.button = 0;
  again.inspect = [&still_open](TemplateDialog& d) {
    still_open = d.IsShown() && !d.ended() && !d.FindWindow(1004)->IsEnabled();
  };
  hook_.answers.push_back(again);
  winfo(" Archive name ", 3);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(still_open) << "the first close box left the dialog open";
  EXPECT_EQ(task_in, 16);
  end_action();
}

}  // namespace
}  // namespace soc::test
