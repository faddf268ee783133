// The main window: a frame with the menu bar, the toolbar, the accelerators
// and the status bar of the program, and a panel that holds the form. Every
// command (menu item, toolbar button, accelerator) goes to the command
// dispatch; sizing goes to the command code's sizing rules; closing runs the
// shutdown steps before the window is destroyed.
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>

namespace soc::wxui {

class WxWindowSystem;

class MainFrame final : public wxFrame {
 public:
  explicit MainFrame(WxWindowSystem& ws);

  wxPanel* form() const { return form_; }  // the client area that holds the form
  void go_live();  // shown: from now on every sizing reaches the command code
  void sized();    // a sizing notification for the command code

 private:
  void make_menus();
  void make_toolbar();
  void make_accelerators();
  void on_command(wxCommandEvent& e);
  void on_list_box(wxCommandEvent& e);
  void on_size(wxSizeEvent& e);
  void on_close(wxCloseEvent& e);
  void on_char_hook(wxKeyEvent& e);

  WxWindowSystem& ws_;
  wxPanel* form_ = nullptr;  // the form's panel
  bool live_ = false;        // sizing notifications are passed on
  bool closing_ = false;     // the shutdown steps ran
};

}  // namespace soc::wxui
