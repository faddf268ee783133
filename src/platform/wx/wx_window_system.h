// The window system of the real program, with wxWidgets (GTK port).
//
// It shows what the command code decides and hands the user's actions back
// to it: the main window (menus, toolbar, accelerators, status bar and the
// form whose controls the box-layout toolkit creates through LayoutHost),
// message boxes, the dialogs built from the templates, file selection and
// beeps. It decides nothing itself.
//
// Coordinates. The toolkit places controls in the client area of a window
// that holds its toolbar at the top and its status bar at the bottom, and
// leaves the first 32 pixel rows of the form to the toolbar. The wx frame
// keeps its toolbar and status bar outside its client area, so the form's
// panel starts below the toolbar: toolkit y = panel y + 32, and the client
// height the command code sees is the panel's plus those 32 rows plus the
// status bar. The frame's "caption" for the command code is everything above
// that client area: title bar, menu bar and what the toolbar takes beyond its
// 32 rows.
#pragma once

#include <type_traits>  // before wx/weakref.h, whose wx/meta/convertible.h needs it

#include <wx/dialog.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_system.h"
#include "shell/winutil.h"

namespace soc::wxui {

class MainFrame;
class TemplateDialog;

inline constexpr int kToolbarRoom = 32;  // form rows the toolkit leaves to the toolbar

// Test hook: lets a test in the same process answer what would wait for a
// person. With a hook installed, message boxes and file selections are
// recorded instead of shown; every modal dialog is shown for real and, once
// it is on screen, answered with the next queued answer (entries typed, then
// a button pressed, through the dialog's own event handlers). A modal dialog
// with no answer queued gets its close button 1004 (or, without one, the
// title-bar close box), as a hurried user would.
struct Answer {
  std::vector<std::pair<int, std::string>> entries;  // typed into these entries first
  int button = 1004;  // pressed; 0 = the title-bar close box; -1 = none, the inspection acts
  std::string snapshot;                              // PNG path: the dialog is saved here first
  std::function<void(TemplateDialog&)> inspect;      // looks at the dialog first
};
struct TestHook {
  std::deque<Answer> answers;        // for the modal dialogs, in order
  std::vector<std::string> boxes;    // message boxes not shown: "CAPTION|TEXT"
  std::vector<std::string> dialogs;  // "TITLE|TEXT" of every dialog as it opened
  int file_selections = 0;           // file selections not shown
  std::deque<std::string> files;     // their answers in order: a path; none left = cancelled
  std::string file_wildcard;         // the filter list of the last file selection
  std::string file_dir;              // and the folder it started in
  int answer_delay_ms = 150;         // how long a dialog stands before it is answered
  // Print dialogs, shown for real: "printer:NAME" or "pdf:PATH" is chosen in
  // the list and confirmed (the PDF path stands for the save dialog's
  // answer), "cancel" or none cancels.
  std::deque<std::string> print_answers;
  std::vector<std::string> print_lists;   // the entries each print dialog listed, joined by '|'
  std::string print_snapshot;             // PNG path: the next print dialog is saved there first
  // Pictures for the user's guide. With a path here, the next message box
  // is shown for real (and recorded all the same), saved there as a PNG file
  // once it stands on screen, and closed by its OK button.
  std::string box_snapshot;
  // With this set, the next file selection is shown for real; once it stands
  // on screen it is handed to file_shown (which takes it away: its pixels
  // belong to the toolkit, not to us) and then cancelled; the queued answer,
  // if any, is the selection's result all the same.
  std::function<void(wxWindow&)> file_shown;
};

class WxWindowSystem final : public WindowSystem, public LayoutHost {
 public:
  WxWindowSystem();
  ~WxWindowSystem() override;

  void attach(MainFrame* frame);        // the main window; its form gets the controls
  MainFrame* frame() const;             // nullptr once it is gone
  wxWindow* window(Ctl c) const;        // a control by handle, nullptr when none
  void set_test_hook(TestHook* hook) { hook_ = hook; }
  TestHook* test_hook() const { return hook_; }

  // WindowSystem
  void info_box(int kind, const std::string& text) override;
  void message_box(const std::string& text, const std::string& caption, Icon icon) override;
  int run_dialog(int kind, const std::string& text, const DialogTemplate& t, bool modal,
                 DialogProcedure& proc) override;
  bool message_beep() override;
  void tone(int hz, int ms) override;
  void set_status_text(const std::string& s) override;
  void set_title(const std::string& s) override;
  bool select_file(const std::vector<FileFilter>& filters, const std::string& dir,
                   std::string& path) override;
  void keep_painting() override;
  PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) override;
  void not_built(const std::string& what) override;
  void ctl_set_text(int ctl, const std::string& s) override;
  std::string ctl_get_text(int ctl) override;
  void ctl_enable(int ctl, bool on) override;
  void ctl_focus(int ctl) override;
  void ctl_limit(int ctl, std::size_t bytes) override;
  void ctl_check(int ctl, bool on) override;
  bool ctl_checked(int ctl) override;
  void list_clear(int ctl) override;
  void list_set_rows(int ctl, std::vector<ListRow>& rows) override;
  int list_selection(int ctl) override;
  void list_select(int ctl, int row) override;
  int list_column_width(int ctl, int col) override;
  void set_list_column_width(int ctl, int col, int w) override;
  LayoutHost& main_host() override { return *this; }
  void window_size(int& w, int& h) override;
  void client_size(int& w, int& h) override;
  void move_window(int x, int y, int w, int h) override;
  int status_bar_height() override;
  void frame_metrics(int& border, int& caption) override;
  void close_main_window() override;
  void repaint() override;

  // LayoutHost: the form of the main window.
  bool text_metrics(int& ave_char_width, int& height) override;
  int text_width(const std::string& s) override;
  Ctl make_control(CtlKind kind, const Rect& r, const std::string& text, int id) override;
  void move_control(Ctl c, const Rect& r) override;
  void add_column(Ctl view, int col, const std::string& title, int width) override;
  bool add_tooltip(Ctl button, const std::string& text) override;
  int list_add(Ctl list, const std::string& s) override;
  int view_insert_item(Ctl view, const std::string& text) override;
  int view_set_text(Ctl view, int item, int sub, const std::string& s) override;
  void message_box(const std::string& text, const std::string& caption, MsgIcon icon) override;

 private:
  struct Control {
    wxWeakRef<wxWindow> w;  // the control; null once destroyed
    CtlKind kind;           // what the toolkit asked for
  };
  wxWindow* make_window(CtlKind kind, const wxPoint& pos, const wxSize& size,
                        const std::string& text, int id);
  void answer(TemplateDialog& d);
  void show_box(const std::string& text, const std::string& caption, long style);
  // Once dlg has stood on screen for the hook's delay, `look` sees it and
  // it is ended with `code`.
  void look_then_end(wxDialog& dlg, std::function<void(wxWindow&)> look, int code);

  wxWeakRef<wxWindow> frame_;    // the main window
  MainFrame* main_ = nullptr;    // the same, typed; valid while frame_ is
  std::vector<Control> ctls_;    // handle = index + 1
  TestHook* hook_ = nullptr;     // test hook, nullptr in the program
};

// Lets the windows draw what has changed (window events only: the user's
// input waits until the command code returns, and the main window refuses
// its close box meanwhile). Does nothing while a yield is already running.
void pump_paint();
// True while a wait of a running command lets window events through.
bool in_yield();

// Start-up of the program: creates the main window (menus, toolbar,
// accelerators, status bar), installs the window system, runs the command
// code's start-up while the window is being created, and shows the window.
// The services in use stay the real ones unless a test installed others.
MainFrame* start_main_window(WxWindowSystem& ws);

// Saves what a window shows on screen (a top-level window with its menu bar,
// toolbar and status bar) as a PNG file. False when it cannot be captured.
bool save_window_png(wxWindow* w, const std::string& path);

}  // namespace soc::wxui
