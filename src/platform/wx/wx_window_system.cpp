// The wxWidgets window system: message boxes, dialogs from templates, the
// form's controls, the main window's geometry, and the program's start-up.
#include "platform/wx/wx_window_system.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcclient.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/wx/limited_entry.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/member_list.h"
#include "platform/wx/resources.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

namespace soc::wxui {

namespace {

constexpr int kCloseButton = 1004;  // the close button of the templates
constexpr int kKeysAnswered = 3000; // ms a dialog answered with keys has to end

// A click on a row of the member list hands the row's hidden reference
// (column 0) to the command code. The click is taken when the button is
// released, after the list has marked the row; a click outside any row does
// nothing. The generic list control receives its mouse input in an inner
// window, which is where the click is watched.
void watch_member_clicks(MemberList* list) {
  auto on_up = [list](wxMouseEvent& e) {
    e.Skip();
    int flags = 0;
    const long item = list->HitTest(e.GetPosition(), flags);
    if (item == wxNOT_FOUND || !(flags & wxLIST_HITTEST_ONITEM)) return;
    const std::string ref = list->text(static_cast<int>(item), 0);
    list->CallAfter([ref] { soc::member_clicked(ref); });
  };
  // A double click on a row: the member is selected and Modify starts.
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [list](wxListEvent& e) {
    const std::string ref = list->text(static_cast<int>(e.GetIndex()), 0);
    list->CallAfter([ref] { soc::member_double_clicked(ref); });
  });
  for (wxWindow* child : list->GetChildren()) {
    if (wxString(child->GetClassInfo()->GetClassName()) == "wxListMainWindow") {
      child->Bind(wxEVT_LEFT_UP, on_up);
      return;
    }
  }
  // A native list control: the selection notice is the nearest thing.
  list->Bind(wxEVT_LIST_ITEM_SELECTED, [list](wxListEvent& e) {
    const std::string ref = list->text(static_cast<int>(e.GetIndex()), 0);
    list->CallAfter([ref] { soc::member_clicked(ref); });
  });
}

long icon_style(Icon icon) {
  switch (icon) {
    case Icon::info: return wxICON_INFORMATION;
    case Icon::error: return wxICON_ERROR;
    case Icon::question: return wxICON_QUESTION;
    case Icon::none: break;
  }
  return 0;
}

}  // namespace

WxWindowSystem::WxWindowSystem() = default;
WxWindowSystem::~WxWindowSystem() = default;

void WxWindowSystem::attach(MainFrame* frame) {
  frame_ = frame;
  main_ = frame;
  ctls_.clear();
}

MainFrame* WxWindowSystem::frame() const { return frame_ ? main_ : nullptr; }

wxWindow* WxWindowSystem::window(Ctl c) const {
  if (c < 1 || c > static_cast<int>(ctls_.size())) return nullptr;
  return ctls_[static_cast<std::size_t>(c - 1)].w.get();
}

// ---------------------------------------------------------------------------
// Messages and dialogs

void WxWindowSystem::show_box(const std::string& text, const std::string& caption, long style) {
  if (hook_) {
    hook_->boxes.push_back(caption + "|" + text);
    if (hook_->box_snapshot.empty()) return;
  }
  // The generic dialog draws the information and error icons, which the
  // native GTK message dialog leaves out.
  wxGenericMessageDialog box(frame(), display_lines(text), wxs(caption), wxOK | style);
  wxTimer timer(&box);
  if (hook_) {
    const std::string path = std::exchange(hook_->box_snapshot, "");
    look_then_end(box, [path](wxWindow& w) { save_window_png(&w, path); }, wxID_OK);
    timer.StartOnce(hook_->answer_delay_ms);
  }
  box.ShowModal();
}

void WxWindowSystem::look_then_end(wxDialog& dlg, std::function<void(wxWindow&)> look, int code) {
  dlg.Bind(wxEVT_TIMER, [&dlg, look, code](wxTimerEvent&) {
    look(dlg);
    dlg.EndModal(code);
  });
}

void WxWindowSystem::info_box(int kind, const std::string& text) {
  if (kind == 0)
    show_box(text, "INFO", wxICON_INFORMATION);
  else
    show_box(text, "STOP", wxICON_ERROR);
}

void WxWindowSystem::message_box(const std::string& text, const std::string& caption, Icon icon) {
  show_box(text, caption, icon_style(icon));
}

void WxWindowSystem::message_box(const std::string& text, const std::string& caption,
                                 MsgIcon icon) {
  show_box(text, caption,
           icon == MsgIcon::information ? wxICON_INFORMATION
           : icon == MsgIcon::error     ? wxICON_ERROR
                                        : 0);
}

void WxWindowSystem::keep_painting() {
  // Paint and other window events only: no click or key reaches a command
  // while the operation that called us runs.
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
}

void WxWindowSystem::not_built(const std::string& what) {
  show_box(what + " is not built yet.", "Sociantes", 0);
}

int WxWindowSystem::run_dialog(int, const std::string& text, const DialogTemplate& t,
                               bool modal, DialogProcedure& proc) {
  auto* d = new TemplateDialog(frame(), t, text, proc, modal);
  if (hook_) hook_->dialogs.push_back(t.title + "|" + text);
  proc.on_init(*d);
  if (!modal) {
    if (!d->ended()) {
      // A notice shown before a long operation: it is painted now, while
      // the rest of the program waits.
      d->Show();
      d->Raise();
      wxSafeYield(d, true);
      d->Update();
    }
    return 0;
  }
  if (!d->ended()) {
    if (hook_) answer(*d);
    d->ShowModal();
  }
  d->notify_destroy();
  d->Destroy();
  return 0;
}

// The test hook answers a modal dialog once it stands on screen: the next
// queued answer (its entries typed, then, once the dialog has shown them, the
// snapshot, the inspection and the button), or the close button. A dialog
// that stays open (the search dialog) is answered again.
void WxWindowSystem::answer(TemplateDialog& d) {
  TemplateDialog* dp = &d;
  d.after(hook_->answer_delay_ms, [this, dp] {
    if (!hook_ || dp->ended()) return;
    if (hook_->answers.empty()) {
      if (!dp->press(kCloseButton)) dp->close_box();
      if (!dp->ended()) dp->end(0);
      return;
    }
    Answer a = hook_->answers.front();
    hook_->answers.pop_front();
    for (const auto& [id, s] : a.entries) dp->type(id, s);
    dp->after(hook_->answer_delay_ms, [this, dp, a] {
      if (!a.snapshot.empty()) save_window_png(dp, a.snapshot);
      if (a.inspect) a.inspect(*dp);
      if (a.button == 0)
        dp->close_box();
      else if (a.button > 0)
        dp->press(a.button);
      if (dp->ended()) return;
      if (a.button > 0 || a.button == 0)
        answer(*dp);
      else  // the inspection acts (real keys): the next answer comes later
        dp->after(kKeysAnswered, [this, dp] {
          if (!dp->ended()) answer(*dp);
        });
    });
  });
}

bool WxWindowSystem::message_beep() {
  wxBell();
  return true;
}

void WxWindowSystem::tone(int, int) { wxBell(); }

void WxWindowSystem::set_status_text(const std::string& s) {
  if (MainFrame* f = frame()) f->SetStatusText(wxs(s), 0);
}

void WxWindowSystem::set_title(const std::string& s) {
  MainFrame* f = frame();
  if (f && f->GetTitle() != wxs(s)) f->SetTitle(wxs(s));
}

bool WxWindowSystem::select_file(const std::vector<FileFilter>& filters, const std::string& dir,
                                 std::string& path) {
  wxString wildcard;
  for (const auto& [desc, pattern] : filters) {
    if (!wildcard.empty()) wildcard += "|";
    wildcard += wxs(desc) + "|" + wxs(pattern);
  }
  if (wildcard.empty()) wildcard = "*";
  // A name typed that names no file yet is accepted (the export creates it).
  auto make = [&] { return new wxFileDialog(frame(), "Open", wxs(dir), wxEmptyString, wildcard, wxFD_OPEN); };
  if (hook_) {
    ++hook_->file_selections;
    hook_->file_wildcard = u8(wildcard);
    hook_->file_dir = dir;
    if (hook_->file_shown) {
      std::unique_ptr<wxFileDialog> shown(make());
      wxTimer timer(shown.get());
      look_then_end(*shown, std::exchange(hook_->file_shown, nullptr), wxID_CANCEL);
      timer.StartOnce(hook_->answer_delay_ms);
      shown->ShowModal();
    }
    if (hook_->files.empty()) return false;
    path = hook_->files.front();
    hook_->files.pop_front();
    return true;
  }
  std::unique_ptr<wxFileDialog> dlg(make());
  if (dlg->ShowModal() != wxID_OK) return false;
  path = u8(dlg->GetPath());
  return true;
}

bool in_yield() {
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  return loop && loop->IsYielding();
}

void pump_paint() {
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  if (loop && !loop->IsYielding()) loop->YieldFor(wxEVT_CATEGORY_UI);
}

// A long operation calls this after each step; the windows are drawn at
// most every 40 ms, which is often enough to follow and costs nothing.
void WxWindowSystem::repaint() {
  static wxLongLong last = 0;
  const wxLongLong now = wxGetLocalTimeMillis();
  if (now - last < 40) return;
  last = now;
  pump_paint();
}

void WxWindowSystem::close_main_window() {
  if (MainFrame* f = frame()) f->Close(true);
}

// ---------------------------------------------------------------------------
// The form's controls

void WxWindowSystem::ctl_set_text(int ctl, const std::string& s) {
  wxWindow* w = window(ctl);
  if (!w) return;
  if (auto* t = dynamic_cast<LimitedEntry*>(w))
    t->show(wxs(s));
  else
    w->SetLabel(wxs(s));
}

void WxWindowSystem::ctl_limit(int ctl, std::size_t bytes) {
  if (auto* t = dynamic_cast<LimitedEntry*>(window(ctl))) t->set_limit(bytes);
}

std::string WxWindowSystem::ctl_get_text(int ctl) {
  wxWindow* w = window(ctl);
  if (!w) return "";
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return u8(t->GetValue());
  return u8(w->GetLabel());
}

void WxWindowSystem::ctl_enable(int ctl, bool on) {
  wxWindow* w = window(ctl);
  if (!w) return;
  // A control that loses its enabled state also loses the focus; the focus
  // goes to the member list so that the keyboard keeps working.
  const bool had_focus = !on && wxWindow::FindFocus() == w;
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) {
    // An entry that cannot be edited shows its text for reading: normal
    // colour, selectable, on the window's background.
    t->SetEditable(on);
    t->SetBackgroundColour(on ? wxNullColour : frame()->form()->GetBackgroundColour());
    t->Refresh();
  } else {
    w->Enable(on);
  }
  if (had_focus)
    if (wxWindow* list = window(soc::member_list_ctl())) list->SetFocus();
}

void WxWindowSystem::ctl_focus(int ctl) {
  if (wxWindow* w = window(ctl)) w->SetFocus();
}

void WxWindowSystem::ctl_check(int ctl, bool on) {
  wxWindow* w = window(ctl);
  if (auto* c = dynamic_cast<wxCheckBox*>(w)) c->SetValue(on);
  if (auto* r = dynamic_cast<wxRadioButton*>(w)) r->SetValue(on);
}

bool WxWindowSystem::ctl_checked(int ctl) {
  wxWindow* w = window(ctl);
  if (auto* c = dynamic_cast<wxCheckBox*>(w)) return c->GetValue();
  if (auto* r = dynamic_cast<wxRadioButton*>(w)) return r->GetValue();
  return false;
}

void WxWindowSystem::list_clear(int ctl) {
  wxWindow* w = window(ctl);
  if (auto* l = dynamic_cast<wxListBox*>(w)) l->Clear();
  if (auto* v = dynamic_cast<MemberList*>(w)) v->clear();
}

void WxWindowSystem::list_set_rows(int ctl, std::vector<ListRow>& rows) {
  if (auto* v = dynamic_cast<MemberList*>(window(ctl))) v->set_rows(rows);
}

int WxWindowSystem::list_selection(int ctl) {
  wxWindow* w = window(ctl);
  if (auto* l = dynamic_cast<wxListBox*>(w)) return l->GetSelection();
  if (auto* v = dynamic_cast<MemberList*>(w))
    return static_cast<int>(v->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  return -1;
}

void WxWindowSystem::list_select(int ctl, int row) {
  wxWindow* w = window(ctl);
  if (auto* l = dynamic_cast<wxListBox*>(w)) {
    if (row >= 0 && row < static_cast<int>(l->GetCount()))
      l->SetSelection(row);
    else
      l->SetSelection(wxNOT_FOUND);
  }
  if (auto* v = dynamic_cast<MemberList*>(w)) {
    const long old = v->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (old != -1) v->SetItemState(old, 0, wxLIST_STATE_SELECTED);
    if (row >= 0 && row < v->rows()) {
      v->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                      wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
      v->EnsureVisible(row);
    }
  }
}

int WxWindowSystem::list_column_width(int ctl, int col) {
  auto* v = dynamic_cast<MemberList*>(window(ctl));
  if (!v || col < 0 || col >= v->GetColumnCount()) return 0;
  return v->GetColumnWidth(col);
}

void WxWindowSystem::set_list_column_width(int ctl, int col, int w) {
  auto* v = dynamic_cast<MemberList*>(window(ctl));
  if (v && col >= 0 && col < v->GetColumnCount()) v->SetColumnWidth(col, w);
}

// ---------------------------------------------------------------------------
// Geometry of the main window (see the coordinates note in the header)

void WxWindowSystem::window_size(int& w, int& h) {
  w = h = 0;
  if (MainFrame* f = frame()) f->GetSize(&w, &h);
}

void WxWindowSystem::client_size(int& w, int& h) {
  w = h = 0;
  MainFrame* f = frame();
  if (!f) return;
  f->GetClientSize(&w, &h);
  h += kToolbarRoom + status_bar_height();
}

void WxWindowSystem::move_window(int x, int y, int w, int h) {
  if (MainFrame* f = frame()) f->place(x, y, w, h);
}

int WxWindowSystem::status_bar_height() {
  MainFrame* f = frame();
  return f && f->GetStatusBar() ? f->GetStatusBar()->GetSize().y : 0;
}

void WxWindowSystem::frame_metrics(int& border, int& caption) {
  border = caption = 0;
  MainFrame* f = frame();
  if (!f) return;
  int ow = 0, oh = 0, cw = 0, ch = 0;
  f->GetSize(&ow, &oh);
  client_size(cw, ch);
  border = std::max(0, (ow - cw) / 2);
  caption = std::max(0, oh - ch - 2 * border);
}

// ---------------------------------------------------------------------------
// LayoutHost

bool WxWindowSystem::text_metrics(int& ave_char_width, int& height) {
  MainFrame* f = frame();
  if (!f) return false;
  ave_char_width = f->form()->GetCharWidth();
  height = f->form()->GetCharHeight();
  return ave_char_width > 0 && height > 0;
}

int WxWindowSystem::text_width(const std::string& s) {
  MainFrame* f = frame();
  if (!f || s.empty()) return 0;
  return f->form()->GetTextExtent(wxs(s)).x;
}

wxWindow* WxWindowSystem::make_window(CtlKind kind, const wxPoint& pos, const wxSize& size,
                                      const std::string& text, int id) {
  wxPanel* p = frame()->form();
  const wxWindowID wid = id > 0 ? id : wxID_ANY;
  switch (kind) {
    case CtlKind::group:
      return new wxStaticBox(p, wxID_ANY, wxs(text), pos, size);
    case CtlKind::label:
      return new wxStaticText(p, wxID_ANY, wxs(text), pos, size, wxST_NO_AUTORESIZE);
    case CtlKind::entry:
      return new LimitedEntry(p, wxID_ANY, pos, size);
    case CtlKind::check:
      return new wxCheckBox(p, wid, wxs(text), pos, size);
    case CtlKind::radio:
      return new wxRadioButton(p, wid, wxs(text), pos, size);
    case CtlKind::list:
      return new wxListBox(p, wxID_ANY, pos, size, 0, nullptr, wxLB_SINGLE | wxLB_HSCROLL);
    case CtlKind::listview: {
      auto* v = new MemberList(p, pos, size);
      watch_member_clicks(v);
      return v;
    }
    case CtlKind::button: {
      auto* b = new wxButton(p, wxID_ANY, wxs(text), pos, size);
      if (id > 0) {
        wxImage img;
        const std::string path = resource_path(std::to_string(id));
        if (!path.empty() && img.LoadFile(wxs(path), wxBITMAP_TYPE_PNG))
          b->SetBitmap(wxBitmap(img.Scale(16, 16, wxIMAGE_QUALITY_HIGH)));
      }
      return b;
    }
  }
  return nullptr;
}

Ctl WxWindowSystem::make_control(CtlKind kind, const Rect& r, const std::string& text, int id) {
  if (!frame()) return 0;
  wxWindow* w = make_window(kind, frame()->form_point(r.x, r.y), wxSize(r.w, r.h), text, id);
  if (!w) return 0;
  ctls_.push_back({w, kind});
  return static_cast<Ctl>(ctls_.size());
}

void WxWindowSystem::move_control(Ctl c, const Rect& r) {
  MainFrame* f = frame();
  wxWindow* w = window(c);
  if (f && w) w->SetSize(wxRect(f->form_point(r.x, r.y), wxSize(r.w, r.h)));
}

void WxWindowSystem::add_column(Ctl view, int col, const std::string& title, int width) {
  if (auto* v = dynamic_cast<MemberList*>(window(view)))
    v->InsertColumn(col, wxs(title), wxLIST_FORMAT_LEFT, width);
}

bool WxWindowSystem::add_tooltip(Ctl button, const std::string& text) {
  wxWindow* w = window(button);
  if (!w) return false;
  w->SetToolTip(wxs(text));
  return true;
}

int WxWindowSystem::list_add(Ctl list, const std::string& s) {
  auto* l = dynamic_cast<wxListBox*>(window(list));
  return l ? l->Append(wxs(s)) : -1;
}

int WxWindowSystem::view_insert_item(Ctl view, const std::string& text) {
  auto* v = dynamic_cast<MemberList*>(window(view));
  return v ? v->append(text) : -1;
}

int WxWindowSystem::view_set_text(Ctl view, int item, int sub, const std::string& s) {
  auto* v = dynamic_cast<MemberList*>(window(view));
  return v && v->set_text(item, sub, s) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Start-up and snapshots

MainFrame* start_main_window(WxWindowSystem& ws) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
  soc::set_window_system(&ws);
  auto* frame = new MainFrame(ws);
  soc::wm_create();   // the start-up steps while the window is being created
  frame->sized();     // the sizing notification sent during creation
  // The first focus goes to the member list: a list box that takes the
  // focus with nothing selected would select its first entry by itself.
  if (wxWindow* list = ws.window(soc::member_list_ctl())) list->SetFocus();
  frame->Show();
  frame->go_live();   // the one of the first showing: restores the stored size
  return frame;
}

namespace {

// Copies what window w shows into dst at (x, y).
bool copy_window(wxWindow* w, wxMemoryDC& dst, int x, int y) {
  const wxSize size = w->GetSize();
  if (size.x <= 0 || size.y <= 0) return true;
  wxWindowDC src(w);
  return dst.Blit(x, y, size.x, size.y, &src, 0, 0);
}

}  // namespace

// A window's pixels are read back from its own drawing surface. A frame's
// surface is its client area only: its menu bar, toolbar and status bar are
// copied one by one to where they stand.
bool save_window_png(wxWindow* w, const std::string& path) {
  if (!w || !w->IsShownOnScreen()) return false;
  // A frame is saved as the union of its parts, without the window
  // manager's border and title bar.
  std::vector<wxWindow*> parts;
  wxRect area(w->GetScreenPosition(), w->GetSize());
  if (auto* f = dynamic_cast<wxFrame*>(w)) {
    for (wxWindow* part : f->GetChildren())
      if (part->IsShown() && !part->IsTopLevel()) parts.push_back(part);
    if (f->GetMenuBar()) parts.push_back(f->GetMenuBar());
    if (!parts.empty()) area = parts.front()->GetScreenRect();
    for (wxWindow* part : parts) area.Union(part->GetScreenRect());
  } else {
    parts.push_back(w);
  }
  if (area.width <= 0 || area.height <= 0) return false;
  wxBitmap bmp(area.width, area.height, 24);
  wxMemoryDC mem(bmp);
  mem.SetBackground(*wxWHITE_BRUSH);
  mem.Clear();
  bool ok = true;
  for (wxWindow* part : parts) {
    const wxPoint at = part->GetScreenPosition() - area.GetPosition();
    ok = copy_window(part, mem, at.x, at.y) && ok;
  }
  mem.SelectObject(wxNullBitmap);
  return ok && bmp.SaveFile(wxs(path), wxBITMAP_TYPE_PNG);
}

}  // namespace soc::wxui
