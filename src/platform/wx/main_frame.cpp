// The main window: bars, accelerators and the hand-over of every user action
// to the command code.
#include "platform/wx/main_frame.h"

#include <wx/accel.h>
#include <wx/bitmap.h>
#include <wx/display.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/wx/gtk_shortcut.h"
#include "platform/wx/resources.h"
#include "platform/wx/wx_text.h"
#include "platform/wx/wx_window_system.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc::wxui {

namespace {

constexpr int kStatusBarId = 333;  // child id of the status bar
constexpr int kToolBarId = 102;    // child id of the toolbar
constexpr int kImageSize = 32;     // toolbar images are 32 x 32 pixels

// An image of the resources, or an empty (transparent) one; `ok` says which.
wxBitmap toolbar_bitmap(const std::string& name, bool& ok) {
  wxImage img;
  const std::string path = resource_path(name);
  ok = !path.empty() && img.LoadFile(wxs(path), wxBITMAP_TYPE_PNG) &&
       img.GetWidth() == kImageSize && img.GetHeight() == kImageSize;
  if (ok) return wxBitmap(img);
  wxImage blank(kImageSize, kImageSize);
  blank.InitAlpha();
  for (int y = 0; y < kImageSize; ++y)
    for (int x = 0; x < kImageSize; ++x) blank.SetAlpha(x, y, 0);
  return wxBitmap(blank);
}

}  // namespace

MainFrame::MainFrame(WxWindowSystem& ws)
    : wxFrame(nullptr, wxID_ANY, wxs(soc::main_title)), ws_(ws) {
#ifdef __WXGTK__
  // Shown at once, not when the window manager has told the frame's size:
  // the deferred showing first lays the toolbar and the form out in a
  // window two pixels wide, which GTK reports as errors.
  m_deferShow = false;
#endif
  const std::string icon = resource_path("sociantes");
  if (!icon.empty()) SetIcon(wxIcon(wxs(icon), wxBITMAP_TYPE_PNG));
  CreateStatusBar(1, wxSTB_DEFAULT_STYLE, kStatusBarId);
  SetStatusBarPane(-1);  // menu and tool help never replace the status line
  SetStatusText("Action: none");
  // The form: a panel with keyboard navigation, so that Tab moves between
  // the controls as in a dialog; it scrolls in a window smaller than itself.
  form_ = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                               wxTAB_TRAVERSAL | wxHSCROLL | wxVSCROLL);
  make_menus();
  make_toolbar();
  make_accelerators();
  // First size: 900 x 410 for the form plus the frame around it; the first
  // sizing of the command code replaces it.
  int border = 0, caption = 0;
  ws_.attach(this);
  ws_.frame_metrics(border, caption);
  SetSize(900 + 2 * border, 410 + caption + 2 * border);
  Bind(wxEVT_MENU, &MainFrame::on_command, this);
  Bind(wxEVT_UPDATE_UI, &MainFrame::on_update_ui, this);
  Bind(wxEVT_LISTBOX, &MainFrame::on_list_box, this);
  Bind(wxEVT_SIZE, &MainFrame::on_size, this);
  Bind(wxEVT_CLOSE_WINDOW, &MainFrame::on_close, this);
  Bind(wxEVT_CHAR_HOOK, &MainFrame::on_char_hook, this);
}

// The menu bar from the menu table: depth 0 entries are the menus of the
// bar, an entry with id 0 opens a submenu for the deeper entries after it.
void MainFrame::make_menus() {
  auto* bar = new wxMenuBar;
  std::vector<wxMenu*> open;  // open[d] = the menu that takes entries of depth d + 1
  for (const MenuEntry& e : menu_table()) {
    if (e.depth == 0) {
      auto* m = new wxMenu;
      bar->Append(m, wxs(e.label));
      open.assign(1, m);
      continue;
    }
    if (e.depth > static_cast<int>(open.size())) continue;  // no parent: not in the table
    open.resize(static_cast<std::size_t>(e.depth));
    wxMenu* parent = open.back();
    if (e.id == 0) {
      auto* sub = new wxMenu;
      parent->AppendSubMenu(sub, wxs(e.label));
      open.push_back(sub);
      continue;
    }
    // An item with an accelerator text shows the text before it as its label
    // and the key in the shortcut column.
    const Shortcut sc = menu_shortcut(e.label);
    const wxString label = wxs(sc.text);
    wxMenuItem* item = nullptr;
    switch (menu_mark(e.id)) {
      case MenuMark::check: item = parent->AppendCheckItem(e.id, label); break;
      case MenuMark::radio: item = parent->AppendRadioItem(e.id, label); break;
      case MenuMark::none: item = parent->Append(e.id, label); break;
    }
    if (sc.key) show_shortcut(item, sc.key);
    commands_.insert(e.id);
  }
  SetMenuBar(bar);
}

// The toolbar: the image list in image-index order, then the buttons, each
// with its image and tooltip. Images that cannot be loaded are counted and
// reported once; their buttons stay, without a picture.
void MainFrame::make_toolbar() {
  std::vector<wxBitmap> images;
  int failures = 0;
  for (const std::string& name : toolbar_images()) {
    bool ok = false;
    images.push_back(toolbar_bitmap(name, ok));
    if (!ok) ++failures;
  }
  if (failures > 0) ws_.message_box("Error on bitmaps.", "Error", Icon::error);
  wxToolBar* tb = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT, kToolBarId);
  if (!tb) {
    ws_.message_box("Could not create tool bar.", "Error", Icon::error);
    return;
  }
  tb->SetToolBitmapSize(wxSize(kImageSize, kImageSize));
  tb->SetMargins(10, 5);
  for (const ToolButton& b : toolbar_table()) {
    const bool have = b.image >= 0 && b.image < static_cast<int>(images.size());
    tb->AddTool(b.command, wxs(b.tooltip),
                have ? images[static_cast<std::size_t>(b.image)] : wxBitmap(), wxs(b.tooltip));
    commands_.insert(b.command);
  }
  tb->Realize();
}

// Alt + the table's character for each accelerator.
void MainFrame::make_accelerators() {
  std::vector<wxAcceleratorEntry> entries;
  for (const Accel& a : accel_table())
    entries.emplace_back(wxACCEL_ALT, std::toupper(static_cast<unsigned char>(a.key)), a.command);
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

// Alt + a character of the table sends its command wherever the focus is,
// even when no control has it, before any menu mnemonic is looked at.
void MainFrame::on_char_hook(wxKeyEvent& e) {
  if (e.GetModifiers() == wxMOD_ALT) {
    const int k = e.GetKeyCode();
    for (const Accel& a : accel_table()) {
      if (k == std::toupper(static_cast<unsigned char>(a.key)) || k == a.key) {
        wxCommandEvent command(wxEVT_MENU, a.command);
        command.SetEventObject(this);
        ProcessWindowEvent(command);  // as the menu item or toolbar button sends it
        return;
      }
    }
  }
  e.Skip();
}

void MainFrame::go_live() {
  sized();  // the notification of the first showing
  live_ = true;
}

wxPoint MainFrame::form_point(int x, int y) const {
  return form_->CalcScrolledPosition(wxPoint(x, y - kToolbarRoom));
}

// After the command code's sizing, the form scrolls over everything its
// controls cover, with one character of margin.
void MainFrame::sized() {
  soc::wm_size();
  wxSize extent(0, 0);
  for (int h = 1; wxWindow* w = ws_.window(h); ++h) {
    const wxRect r(form_->CalcUnscrolledPosition(w->GetPosition()), w->GetSize());
    extent.x = std::max(extent.x, r.GetRight() + 1 + soc::fontx);
    extent.y = std::max(extent.y, r.GetBottom() + 1 + soc::fontx);
  }
  form_->SetScrollRate(std::max(1, soc::fontx), std::max(1, soc::fonty));
  form_->SetVirtualSize(extent);
}

void MainFrame::on_command(wxCommandEvent& e) {
  if (soc::dispatch(e.GetId()) != 0) e.Skip();
}

// Menu items and toolbar buttons show what the command code says of them:
// greyed when the command cannot apply, marked as their settings are.
void MainFrame::on_update_ui(wxUpdateUIEvent& e) {
  const int id = e.GetId();
  if (!commands_.count(id)) {
    e.Skip();
    return;
  }
  e.Enable(soc::command_enabled(id));
  // A radio mark moves to the item that gets it; it is never taken away.
  const MenuMark mark = soc::menu_mark(id);
  const bool on = soc::command_checked(id);
  if (mark == MenuMark::check || (mark == MenuMark::radio && on)) e.Check(on);
}

// A change of the category list's selection.
void MainFrame::on_list_box(wxCommandEvent& e) {
  if (e.GetEventObject() == ws_.window(soc::cat_list_ctl()) && e.GetSelection() != wxNOT_FOUND)
    soc::category_selected(e.GetSelection());
}

wxRect MainFrame::work_area() const {
  const int at = wxDisplay::GetFromWindow(this);
  return wxDisplay(at == wxNOT_FOUND ? 0u : static_cast<unsigned>(at)).GetClientArea();
}

void MainFrame::place(int x, int y, int w, int h) {
  const wxRect area = work_area();
  if (area.IsEmpty()) {
    SetSize(x, y, w, h);
    return;
  }
  w = std::min(w, area.width);
  h = std::min(h, area.height);
  SetSize(std::clamp(area.x + x, area.x, area.GetRight() + 1 - w),
          std::clamp(area.y + y, area.y, area.GetBottom() + 1 - h), w, h);
}

// The window never grows beyond the work area: not when the window manager
// adds its frame around it, nor when a stored size was larger.
void MainFrame::keep_on_screen() {
  const wxRect area = work_area(), r = GetRect();
  if (area.IsEmpty() || area.Contains(r) || IsMaximized() || IsFullScreen()) return;
  place(r.x - area.x, r.y - area.y, r.width, r.height);
}

void MainFrame::on_size(wxSizeEvent& e) {
  e.Skip();
  if (!fit_queued_) {
    fit_queued_ = true;
    CallAfter([this] {
      fit_queued_ = false;
      if (!closing_) keep_on_screen();
    });
  }
  if (!live_ || closing_) return;
  // The panel is resized by the default handler after this one; the command
  // code measures the frame, so it may run now.
  sized();
}

// The close box, menu Quit, Alt+q and the Quit button all end here: the
// shutdown steps, then the window goes.
void MainFrame::on_close(wxCloseEvent& e) {
  // The window manager's close request is a window event, which the waits
  // of a running command let through so that the windows stay drawn: it is
  // refused while a command runs (the program was shut down under it, its
  // locks and settings written while the command still used them).
  if (!closing_ && e.CanVeto() && in_yield()) {
    e.Veto();
    return;
  }
  if (!closing_) {
    // The close box asks as Quit does; a close that cannot be refused (the
    // program is made to end) does not ask.
    if (e.CanVeto() && !soc::may_quit()) {
      e.Veto();
      return;
    }
    closing_ = true;
    soc::wm_destroy();
  }
  Destroy();
}

}  // namespace soc::wxui
