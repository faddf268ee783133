// The main window: bars, accelerators and the hand-over of every user action
// to the command code.
#include "platform/wx/main_frame.h"

#include <wx/accel.h>
#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <cctype>
#include <vector>

#include "platform/wx/resources.h"
#include "platform/wx/wx_text.h"
#include "platform/wx/wx_window_system.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

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
  const std::string icon = resource_path("sociantes");
  if (!icon.empty()) SetIcon(wxIcon(wxs(icon), wxBITMAP_TYPE_PNG));
  CreateStatusBar(1, wxSTB_DEFAULT_STYLE, kStatusBarId);
  SetStatusBarPane(-1);  // menu and tool help never replace the status line
  SetStatusText("Action: none");
  // The form: a panel with keyboard navigation, so that Tab moves between
  // the controls as in a dialog.
  form_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
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
    } else {
      parent->Append(e.id, wxs(e.label));
    }
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

void MainFrame::sized() {
  soc::wm_size();
  // The minimum size the command code computed at its first sizing.
  if (soc::winw > 0 && soc::winh > 0) SetMinSize(wxSize(soc::winw, soc::winh));
}

void MainFrame::on_command(wxCommandEvent& e) {
  if (soc::dispatch(e.GetId()) != 0) e.Skip();
}

// A change of the category list's selection.
void MainFrame::on_list_box(wxCommandEvent& e) {
  if (e.GetEventObject() == ws_.window(soc::cat_list_ctl()) && e.GetSelection() != wxNOT_FOUND)
    soc::category_selected(e.GetSelection());
}

void MainFrame::on_size(wxSizeEvent& e) {
  e.Skip();  // the frame lays out its bars and the form panel
  if (!live_ || closing_) return;
  // The panel is resized by the default handler after this one; the command
  // code measures the frame, so it may run now.
  sized();
}

// The close box, menu Quit, Alt+q and the Quit button all end here: the
// shutdown steps, then the window goes.
void MainFrame::on_close(wxCloseEvent&) {
  if (!closing_) {
    closing_ = true;
    soc::wm_destroy();
  }
  Destroy();
}

}  // namespace soc::wxui
