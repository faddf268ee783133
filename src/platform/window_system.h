// The window system as the command code sees it.
//
// Command code never talks to a toolkit. It asks this interface to show a
// message box, run one of the dialog templates, beep, put a text in the status
// bar or the title, select a file, and to read or change the controls of the
// main window's form. Two implementations exist: the wxWidgets one of the real
// program (src/platform/wx/) and the scripted one of sociantes-driver and the
// tests (scripted_window_system.h). The one in use is installed at start-up
// with set_window_system().
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/print/prt.h"

namespace soc {

class LayoutHost;  // control creation and text measurement (shell/winutil.h)

enum class Icon { none, info, error, question };

// The four columns of one row of a list view (the member list: reference,
// identification, name, flags).
using ListRow = std::array<std::string, 4>;

// One control of a dialog template, in dialog units.
enum class DlgCtl { picture, text, entry, label, button };
struct DlgControl {
  DlgCtl kind;       // what the control is
  int id;            // control id (0 for the picture unless stated)
  int x, y, w, h;    // position and size in dialog units
  std::string text;  // initial caption; for a picture, the bitmap name
};

// A dialog template: the resources of the program, as data.
struct DialogTemplate {
  int id;                           // template id (1000, 1020, ...)
  std::string title;                // window title, also what the dialog procedure dispatches on
  int w, h;                         // size in dialog units
  std::vector<DlgControl> controls; // every control of the template
};

// A dialog while it is open. The dialog procedure acts on it.
class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual const DialogTemplate& tmpl() const = 0;           // the template it was made from
  virtual void set_text(int id, const std::string& s) = 0;  // entry, label, text or button caption
  virtual std::string get_text(int id) const = 0;           // current text of a control ("" if none)
  virtual void enable(int id, bool on) = 0;                 // grey or ungrey a control
  virtual bool can_press(int id) const = 0;                 // a button with that id, not greyed
  virtual void remove(int id) = 0;                          // take a control out of the dialog
  virtual void set_picture(int id, const std::string& path) = 0;  // image file into a picture control
  virtual void end(int result) = 0;                         // close the dialog
  virtual bool ended() const = 0;                           // closed already
  // An entry stops taking text at `bytes` bytes while the user types. A
  // dialog that cannot do so ignores it: OK cuts what it gathers anyway.
  virtual void limit(int id, std::size_t bytes) { (void)id, (void)bytes; }
};

// What a dialog hands back to the command code.
class DialogProcedure {
 public:
  virtual ~DialogProcedure() = default;
  virtual void on_init(Dialog& d) = 0;          // the dialog has just been created
  virtual void on_command(Dialog& d, int id) = 0;  // a button was pressed
  virtual void on_close(Dialog& d) = 0;          // the title-bar close box
  virtual void on_destroy(Dialog& d) = 0;        // the dialog is gone; forget it
};

// A file-selection filter: description and pattern ("Text files", "*.txt").
using FileFilter = std::pair<std::string, std::string>;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Message function output. kind 0 (hint) and kind 1 (error) boxes, with the
  // captions "INFO" and "STOP"; returns when the user has acknowledged them.
  virtual void info_box(int kind, const std::string& text) = 0;
  // A message box opened directly, not through the message function.
  virtual void message_box(const std::string& text, const std::string& caption, Icon icon) = 0;
  // Runs a dialog template as message kind `kind`. Modal: returns when the
  // dialog has ended. Modeless: returns at once, the dialog stays until ended.
  // Returns 0, or -1 when the dialog could not be created.
  // text is the message the dialog shows.
  virtual int run_dialog(int kind, const std::string& text, const DialogTemplate& t, bool modal,
                         DialogProcedure& proc) = 0;
  // The system beep; false when no sound device answered.
  virtual bool message_beep() = 0;
  // A tone of hz for ms milliseconds.
  virtual void tone(int hz, int ms) = 0;

  virtual void set_status_text(const std::string& s) = 0;  // status bar part 0
  virtual void set_title(const std::string& s) = 0;        // main window title
  // The open-file dialog; false when cancelled.
  virtual bool select_file(const std::vector<FileFilter>& filters, const std::string& dir,
                           std::string& path) = 0;
  // Lets the windows repaint during a long blocking operation (an e-mail
  // send); user input waits until the operation is over.
  virtual void keep_painting() {}
  // The print dialog: the printers (CUPS destinations) and "Save as PDF
  // file…". The chosen printer name or PDF path goes to value.
  virtual PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) = 0;
  // Something not built yet, e.g. "command 405": says so openly.
  virtual void not_built(const std::string& what) = 0;
  // Draws what has changed in the windows now, without taking user input:
  // a long operation calls it after it changed its progress text.
  virtual void repaint() {}
  // Controls of the main window, by the handle the layout host gave them.
  virtual void ctl_set_text(int ctl, const std::string& s) = 0;
  virtual std::string ctl_get_text(int ctl) = 0;
  virtual void ctl_enable(int ctl, bool on) = 0;
  virtual void ctl_focus(int ctl) = 0;
  // An entry of the form stops taking text at `bytes` bytes while the user
  // types; text put there by the program is shown whole.
  virtual void ctl_limit(int ctl, std::size_t bytes) = 0;
  virtual void ctl_check(int ctl, bool on) = 0;        // check box state
  virtual bool ctl_checked(int ctl) = 0;
  virtual void list_clear(int ctl) = 0;                // list box or list view
  virtual int list_selection(int ctl) = 0;             // selected row, -1 = none
  virtual void list_select(int ctl, int row) = 0;      // -1 = unmark
  // Replaces every row of a list view with rows, as list_clear and one
  // insertion per row would, but without copying them: rows receives the
  // rows shown before, whose room the next call can reuse.
  virtual void list_set_rows(int ctl, std::vector<ListRow>& rows) = 0;
  virtual int list_column_width(int ctl, int col) = 0;  // list view column width in pixels
  virtual void set_list_column_width(int ctl, int col, int w) = 0;

  // The main window: its layout host, its geometry in pixels.
  virtual LayoutHost& main_host() = 0;
  virtual void window_size(int& w, int& h) = 0;        // outer size
  virtual void client_size(int& w, int& h) = 0;        // client area
  virtual void move_window(int x, int y, int w, int h) = 0;
  virtual int status_bar_height() = 0;
  virtual void frame_metrics(int& border, int& caption) = 0;  // frame thickness, caption height

  // Destroys the main window (the program ends after the shutdown steps).
  virtual void close_main_window() = 0;
};

WindowSystem& ws();                    // the window system in use
void set_window_system(WindowSystem* w);  // installed at start-up

}  // namespace soc
