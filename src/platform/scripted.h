// The scripted window system and services of sociantes-driver and the tests.
//
// Nothing is drawn. Every control is a record that the script can read and
// change; every message, dialog, beep and launch becomes an output line;
// modal dialogs take their answers from a queue of replies; time is virtual
// unless real time is asked for.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/winutil.h"

namespace soc {

// Text as a double-quoted C string, every byte visible.
std::string quote(const std::string& s);

// One queued answer of a modal dialog.
struct Reply {
  enum Kind { ok, yes, no, close, closebox, button } kind;  // what the user does
  std::vector<std::pair<int, std::string>> entries;           // ok: entries set first
  int id = 0;                                                  // button: its id
};

// One queued answer of a file selection or print dialog.
struct Choice {
  enum Kind { file, cancel, printer, pdf } kind;  // what the user chose
  std::string value;                              // path or printer name
};

class ScriptedWindowSystem final : public WindowSystem, public LayoutHost {
 public:
  explicit ScriptedWindowSystem(std::ostream& out);
  ~ScriptedWindowSystem() override;

  // The controls as records.
  struct Control {
    CtlKind kind = CtlKind::label;                  // what it is
    Rect r;                                         // where it is
    std::string text;                               // text or caption
    int id = 0;                                     // child id
    bool enabled = true;                            // not greyed
    bool checked = false;                           // check box state
    std::size_t limit = 0;                          // most bytes the user can type, 0 = no limit
    int sel = -1;                                   // selected row of a list
    std::vector<std::string> items;                 // list box strings
    std::vector<ListRow> rows;                      // list view rows
    std::vector<int> col_widths;                    // list view column widths
  };
  Control* control(int ctl);

  std::deque<Reply> replies;    // answers for the modal dialogs
  std::deque<Choice> choices;   // answers for file selections and print dialogs
  std::vector<std::pair<int, std::string>> opened;  // controls of the last dialog as it opened
  std::function<void(Dialog&)> on_open;             // tests: acts on each dialog as it opens
  std::string status;           // the status line
  std::string title;            // the window title
  bool closed = false;          // the main window was destroyed
  int win_w = 0, win_h = 0;     // outer size of the main window

  // WindowSystem
  void info_box(int kind, const std::string& text) override;
  void message_box(const std::string& text, const std::string& caption, Icon icon) override;
  int run_dialog(int kind, const std::string& text, const DialogTemplate& t, bool modal,
                 DialogProcedure& proc) override;
  bool message_beep() override;
  void tone(int hz, int ms) override;
  void set_status_text(const std::string& s) override { status = s; }
  void set_title(const std::string& s) override { title = s; }
  bool select_file(const std::vector<FileFilter>& filters, const std::string& dir,
                   std::string& path) override;
  void ctl_set_text(int ctl, const std::string& s) override;
  std::string ctl_get_text(int ctl) override;
  void ctl_enable(int ctl, bool on) override;
  void ctl_focus(int) override {}
  void ctl_limit(int ctl, std::size_t bytes) override;
  void ctl_type(int ctl, const std::string& s);  // what the user types into an entry
  void ctl_check(int ctl, bool on) override;
  bool ctl_checked(int ctl) override;
  void list_clear(int ctl) override;
  int list_selection(int ctl) override;
  void list_select(int ctl, int row) override;
  void list_set_rows(int ctl, std::vector<ListRow>& rows) override;
  int list_column_width(int ctl, int col) override;
  void set_list_column_width(int ctl, int col, int w) override;
  LayoutHost& main_host() override { return *this; }
  void window_size(int& w, int& h) override;
  void client_size(int& w, int& h) override;
  void move_window(int x, int y, int w, int h) override;
  int status_bar_height() override { return 20; }
  void frame_metrics(int& border, int& caption) override;
  PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) override;
  void not_built(const std::string& what) override;
  void close_main_window() override;

  // LayoutHost: fixed metrics, 7 pixels a character, 13 pixels high.
  bool text_metrics(int& ave_char_width, int& height) override;
  int text_width(const std::string& s) override;
  Ctl make_control(CtlKind kind, const Rect& r, const std::string& text, int id) override;
  void move_control(Ctl c, const Rect& r) override;
  void add_column(Ctl view, int col, const std::string& title, int width) override;
  bool add_tooltip(Ctl, const std::string&) override { return true; }
  int list_add(Ctl list, const std::string& s) override;
  int view_insert_item(Ctl view, const std::string& text) override;
  int view_set_text(Ctl view, int item, int sub, const std::string& s) override;
  void message_box(const std::string& text, const std::string& caption, MsgIcon icon) override;

  // Called when the main window is destroyed (shutdown steps).
  void (*on_destroy)() = nullptr;

 private:
  class ScriptDialog;
  std::ostream& out_;
  std::vector<Control> ctls_;                         // handle = index + 1
  std::vector<std::unique_ptr<ScriptDialog>> modeless_; // open modeless dialogs
};

// Virtual or real time, and launches as output lines.
class ScriptedServices final : public Services {
 public:
  explicit ScriptedServices(std::ostream& out);
  std::time_t now() override;
  void sleep_ms(int ms) override;
  int launch(Launch what, const std::string& arg) override;   // 0 unless set_launch_fails
  // Prints the launch line, then really starts the script.
  int start_script(const std::string& path, int& job) override;
  // On virtual time the clock advances by ms, and the program still gives
  // the processor away for a few real milliseconds, so that the process
  // it waits for can work.
  void poll_ms(int ms) override;

  void set_clock(std::time_t t);   // the local time the program sees from now on
  void set_realtime(bool on);      // real waits instead of virtual time
  void set_launch_fails(bool on) { launch_fails_ = on; }   // tests: no outside program starts
  long long elapsed_ms() const { return elapsed_ms_; }

 private:
  std::ostream& out_;
  std::time_t base_;            // the clock at the last set_clock (or start)
  long long base_elapsed_ = 0;  // elapsed_ms_ at that moment
  long long elapsed_ms_ = 0;    // milliseconds waited since the start
  bool realtime_ = false;       // real sleeps
  bool launch_fails_ = false;   // launch() reports a program that cannot start
};

}  // namespace soc
