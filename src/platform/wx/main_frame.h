// The main window: a frame with the menu bar, the toolbar, the accelerators
// and the status bar of the program, and a panel that holds the form. Every
// command (menu item, toolbar button, accelerator) goes to the command
// dispatch; sizing goes to the command code's sizing rules; closing runs the
// shutdown steps before the window is destroyed.
#pragma once

#include <wx/frame.h>
#include <wx/scrolwin.h>

#include <set>

namespace soc::wxui {

class WxWindowSystem;

class MainFrame final : public wxFrame {
 public:
  explicit MainFrame(WxWindowSystem& ws);

  // The client area that holds the form. It scrolls when the window is
  // smaller than the form.
  wxScrolledWindow* form() const { return form_; }
  // Where a point of the form's coordinates (the toolkit's, whose first 32
  // rows are the toolbar's) lies in the scrolled client area.
  wxPoint form_point(int x, int y) const;
  void go_live();  // shown: from now on every sizing reaches the command code
  // Moves and sizes the window, (x, y) counted from the work area of its
  // monitor (the screen less the desktop's panels), within that area.
  void place(int x, int y, int w, int h);
  void sized();    // a sizing notification for the command code

 private:
  void make_menus();
  void make_toolbar();
  void make_accelerators();
  void on_command(wxCommandEvent& e);
  void on_update_ui(wxUpdateUIEvent& e);
  void on_list_box(wxCommandEvent& e);
  void on_size(wxSizeEvent& e);
  void on_close(wxCloseEvent& e);
  void on_char_hook(wxKeyEvent& e);
  wxRect work_area() const;
  void keep_on_screen();

  WxWindowSystem& ws_;
  wxScrolledWindow* form_ = nullptr;  // the form's panel
  std::set<int> commands_;            // ids of the menu items and toolbar buttons
  bool live_ = false;        // sizing notifications are passed on
  bool closing_ = false;     // the shutdown steps ran
  bool fit_queued_ = false;  // keep_on_screen() is on its way
};

}  // namespace soc::wxui
