// A dialog built from one of the program's dialog templates.
//
// The template places its controls in dialog units; they become pixels with
// the dialog's font: x = units x average character width / 4, y = units x
// character height / 8. The dialog procedure of the command code is called
// when the dialog has been created (on_init), when a button is pressed
// (on_command), when the title-bar close box is used (on_close) and when the
// dialog is gone (on_destroy). Ending the dialog is the procedure's decision.
//
// Keyboard: Enter presses the default button (OK or Yes, else the only
// button), or, in an entry followed by other entries, moves to the next one;
// Escape presses the close button (Close, No). A focused button takes Enter
// itself.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/window_system.h"

namespace soc::wxui {

class TemplateDialog final : public wxDialog, public soc::Dialog {
 public:
  // Creates the dialog (not shown) with `text` in its message control 1005.
  // A modal dialog is run by ShowModal; a modeless one destroys itself when
  // it ends.
  TemplateDialog(wxWindow* owner, const DialogTemplate& t, const std::string& text,
                 DialogProcedure& proc, bool modal);
  ~TemplateDialog() override;

  // soc::Dialog
  const DialogTemplate& tmpl() const override { return t_; }
  void set_text(int id, const std::string& s) override;
  std::string get_text(int id) const override;
  void enable(int id, bool on) override;
  bool can_press(int id) const override;
  void remove(int id) override;
  void set_picture(int id, const std::string& path) override;
  void end(int result) override;
  bool ended() const override { return ended_; }
  void limit(int id, std::size_t bytes) override;

  // What the user can do, as the events of the dialog deliver it (the test
  // hook of the window system uses these too).
  bool press(int id);                            // a button click; false when no such button
  void type(int id, const std::string& s);       // an entry's text replaced by s
  void close_box();                              // the title-bar close box

  // Runs fn once after ms milliseconds, inside whatever loop runs the dialog.
  void after(int ms, std::function<void()> fn);
  // Tells the dialog procedure, once, that the dialog is gone.
  void notify_destroy();

  int du_x(int units) const;  // dialog units to pixels, horizontally
  int du_y(int units) const;  // and vertically

 private:
  void build(const std::string& text);
  void align_labels();
  wxWindow* next_entry(wxWindow* from) const;
  void on_key(wxKeyEvent& e);
  void on_button(wxCommandEvent& e);
  void on_close(wxCloseEvent& e);

  const DialogTemplate& t_;          // the template it was made from
  DialogProcedure& proc_;            // the command code's dialog procedure
  bool modal_;                       // run by ShowModal
  int char_w_ = 0;                   // average character width of the dialog font
  int char_h_ = 0;                   // character height of the dialog font
  bool ended_ = false;               // end() was called
  bool destroy_told_ = false;        // on_destroy was called
  std::unique_ptr<wxTimer> timer_;   // the pending after() call
  std::function<void()> pending_;    // what it runs
};

}  // namespace soc::wxui
