// The scheduler's real window with wxWidgets: the toolbar of three picture
// buttons with tooltips, the delay selector laid out by the scheduler's
// box-layout toolkit, the status line, the one-second timer, message boxes
// and the print dialog. The run itself is scheduler/spoolet.
#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <deque>
#include <string>
#include <vector>

#include "scheduler/spoolet.h"
#include "scheduler/swinutil.h"

class wxComboBox;
class wxPanel;

namespace soc::spoolwx {

// Answers for tests: message boxes are recorded instead of shown, print
// dialogs are answered from the queue ("pdf:PATH", "printer:NAME", or
// "cancel"; none left cancels).
struct TestHook {
  std::deque<std::string> print_answers;  // in order
  std::vector<std::string> boxes;         // "CAPTION|TEXT" of each message box
};

// The program's start-up: a refused argument shows its message box and
// gives false (the program ends).
bool check_argument(int argc, char** argv);

class SpoolFrame final : public wxFrame, public sched::LayoutHost, public sched::SpoolHost {
 public:
  explicit SpoolFrame(TestHook* hook = nullptr);
  ~SpoolFrame() override;

  wxWindow* button(int cmd) const;     // a toolbar button by its command
  wxComboBox* delay_box() const { return delay_; }
  void command(int cmd);               // what a toolbar button does

  // LayoutHost
  bool text_metrics(int& ave_char_width, int& height) override;
  int text_width(const std::string& s) override;
  sched::Ctl make_control(sched::CtlKind kind, const sched::Rect& r, const std::string& text,
                          int id) override;
  void add_column(sched::Ctl view, int col, const std::string& title, int width) override;
  bool add_tooltip(sched::Ctl button, const std::string& text) override;
  int list_add(sched::Ctl list, const std::string& s) override;
  int view_insert_item(sched::Ctl view, const std::string& text) override;
  int view_set_text(sched::Ctl view, int item, int sub, const std::string& s) override;
  void message_box(const std::string& text, const std::string& caption,
                   sched::MsgIcon icon) override;

  // SpoolHost
  void show_status(const std::string& text) override;
  std::string delay_text() override;
  void error_box(const std::string& text, const std::string& caption) override;
  PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) override;
  void sleep_ms(int ms) override;
  void start_ticks() override;

 private:
  wxWindow* ctl(sched::Ctl c) const;

  TestHook* hook_;                     // test answers, nullptr in the real program
  wxPanel* panel_ = nullptr;           // client area: controls and Tab traversal
  std::vector<wxWindow*> controls_;    // handle k is controls_[k - 1]
  std::vector<wxWindow*> buttons_;     // the toolbar buttons in order
  wxComboBox* delay_ = nullptr;        // the delay selector
  wxTimer timer_;                      // the one-second timer
};

}  // namespace soc::spoolwx
