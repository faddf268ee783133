// Dialogs from templates: controls in dialog units, events to the dialog
// procedure.
#include "platform/wx/template_dialog.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <algorithm>

#include "platform/wx/limited_entry.h"
#include "platform/wx/resources.h"
#include "platform/wx/wx_text.h"

namespace soc::wxui {

namespace {

constexpr int kMessageId = 1005;  // the read-only message control of every template
constexpr int kOkId = 1001;       // OK, Yes: the default button
constexpr int kCloseId = 1004;    // Close, No: the button of Escape
constexpr int kTemplateX = 40;    // every template opens at (40, 40) dialog units
constexpr int kTemplateY = 40;

// The message text: read-only, and never given the focus (no caret in it).
class MessageText final : public wxTextCtrl {
 public:
  using wxTextCtrl::wxTextCtrl;
  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }
};

// Control ids of the template; 0 (the usual picture id) lets wx choose one.
wxWindowID wx_id(int id) { return id == 0 ? wxID_ANY : id; }

wxBitmap load_picture(const std::string& name) {
  const std::string path = resource_path(name);
  if (path.empty()) return wxNullBitmap;
  wxImage img;
  if (!img.LoadFile(wxs(path), wxBITMAP_TYPE_PNG)) return wxNullBitmap;
  return wxBitmap(img);
}

}  // namespace

TemplateDialog::TemplateDialog(wxWindow* owner, const DialogTemplate& t, const std::string& text,
                               DialogProcedure& proc, bool modal)
    : wxDialog(owner, wxID_ANY, wxs(t.title), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      t_(t),
      proc_(proc),
      modal_(modal) {
  char_w_ = GetCharWidth();
  char_h_ = GetCharHeight();
  // Enter and Escape press buttons through on_key, whose presses go to the
  // dialog procedure like clicks; wx's own handling of the keys is off.
  SetEscapeId(wxID_NONE);
  build(text);
  SetClientSize(du_x(t.w), du_y(t.h));
  // (40, 40) dialog units from the owner's client area, which on the main
  // window begins with the toolbar, right under the menu bar.
  // (A window not shown yet, during the start-up, is asked for its position.)
  wxPoint origin(0, 0);
  if (owner)
    origin = owner->IsShownOnScreen() ? owner->ClientToScreen(wxPoint(0, 0))
                                      : owner->GetPosition() + owner->GetClientAreaOrigin();
  if (auto* frame = dynamic_cast<wxFrame*>(owner); frame && frame->GetToolBar())
    origin.y -= frame->GetToolBar()->GetSize().y;
  Move(origin.x + du_x(kTemplateX), origin.y + du_y(kTemplateY));
  Bind(wxEVT_BUTTON, &TemplateDialog::on_button, this);
  Bind(wxEVT_CHAR_HOOK, &TemplateDialog::on_key, this);
  Bind(wxEVT_CLOSE_WINDOW, &TemplateDialog::on_close, this);
}

TemplateDialog::~TemplateDialog() { notify_destroy(); }

int TemplateDialog::du_x(int units) const { return units * char_w_ / 4; }
int TemplateDialog::du_y(int units) const { return units * char_h_ / 8; }

// The controls in template order, which is also the Tab order. The focus
// starts in the first entry, or on the default button of a dialog without
// one.
void TemplateDialog::build(const std::string& text) {
  wxWindow* first_entry = nullptr;
  wxWindow* first_button = nullptr;
  wxButton* ok = nullptr;
  for (const DlgControl& c : t_.controls) {
    const wxPoint pos(du_x(c.x), du_y(c.y));
    const wxSize size(du_x(c.w), du_y(c.h));
    switch (c.kind) {
      case DlgCtl::picture:
        new wxStaticBitmap(this, wx_id(c.id), load_picture(c.text), pos);
        break;
      case DlgCtl::text: {
        auto* m = new MessageText(this, wx_id(c.id), display_lines(text), pos, size,
                                 wxTE_MULTILINE | wxTE_READONLY | wxTE_CENTRE | wxTE_NO_VSCROLL |
                                     wxBORDER_NONE);
        m->SetBackgroundColour(GetBackgroundColour());  // a read-only text on the dialog
        break;
      }
      case DlgCtl::entry: {
        auto* e = new LimitedEntry(this, wx_id(c.id), pos, size);
        e->show(wxs(c.text));
        if (!first_entry) first_entry = e;
        break;
      }
      case DlgCtl::label:
        new wxStaticText(this, wx_id(c.id), wxs(c.text), pos, size,
                         wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
        break;
      case DlgCtl::button: {
        auto* b = new wxButton(this, wx_id(c.id), wxs(c.text), pos, size);
        if (!first_button) first_button = b;
        if (c.id == kOkId) ok = b;
        break;
      }
    }
  }
  align_labels();
  if (ok) ok->SetDefault();
  wxWindow* f = first_entry ? first_entry : ok ? ok : first_button;
  if (f) f->SetFocus();
}

// A label standing before a control of its row (an entry, a Select button)
// is right-aligned up to a little before that control and centred on its
// height: labels whose rows start their controls in one column end in one
// column.
void TemplateDialog::align_labels() {
  for (const DlgControl& c : t_.controls) {
    if (c.kind != DlgCtl::label) continue;
    wxWindow* next = nullptr;
    for (const DlgControl& o : t_.controls) {
      const bool after = (o.kind == DlgCtl::entry || o.kind == DlgCtl::button) &&
                         o.x >= c.x + c.w / 2 && o.y >= c.y - 2 && o.y <= c.y + 2;
      if (after && (!next || du_x(o.x) < next->GetPosition().x)) next = FindWindow(o.id);
    }
    auto* label = dynamic_cast<wxStaticText*>(FindWindow(c.id));
    if (!label || !next) continue;
    const int x = label->GetPosition().x;
    const int h = label->GetTextExtent("Ag").y;  // one line of text
    label->SetWindowStyleFlag(
        (label->GetWindowStyleFlag() & ~(wxALIGN_CENTRE_HORIZONTAL | wxALIGN_LEFT)) |
        wxALIGN_RIGHT);
    label->SetSize(x, next->GetPosition().y + (next->GetSize().y - h) / 2,
                   std::max(next->GetPosition().x - du_x(2) - x, 0), h);
  }
}

// The entry after `from` in the Tab order, nullptr when from is the last.
wxWindow* TemplateDialog::next_entry(wxWindow* from) const {
  bool seen = false;
  for (const DlgControl& c : t_.controls) {
    if (c.kind != DlgCtl::entry) continue;
    wxWindow* w = FindWindow(c.id);
    if (!w || !w->IsEnabled() || !w->IsShown()) continue;
    if (seen) return w;
    seen = w == from;
  }
  return nullptr;
}

void TemplateDialog::on_key(wxKeyEvent& e) {
  const int k = e.GetKeyCode();
  if (e.GetModifiers() != wxMOD_NONE) {
    e.Skip();
    return;
  }
  if (k == WXK_ESCAPE) {
    press(kCloseId);
    return;
  }
  if (k != WXK_RETURN && k != WXK_NUMPAD_ENTER) {
    e.Skip();
    return;
  }
  wxWindow* focus = FindFocus();
  if (auto* b = dynamic_cast<wxButton*>(focus); b && b->GetParent() == this) {
    press(b->GetId());
    return;
  }
  if (wxWindow* next = next_entry(focus)) {
    next->SetFocus();
    return;
  }
  if (!press(kOkId)) press(kCloseId);
}

void TemplateDialog::set_text(int id, const std::string& s) {
  wxWindow* w = FindWindow(id);
  if (!w) return;
  if (auto* e = dynamic_cast<LimitedEntry*>(w))
    e->show(wxs(s));
  else if (auto* t = dynamic_cast<wxTextCtrl*>(w))
    t->ChangeValue(id == kMessageId ? display_lines(s) : wxs(s));
  else
    w->SetLabel(wxs(s));
}

void TemplateDialog::limit(int id, std::size_t bytes) {
  if (auto* e = dynamic_cast<LimitedEntry*>(FindWindow(id))) e->set_limit(bytes);
}

std::string TemplateDialog::get_text(int id) const {
  wxWindow* w = FindWindow(id);
  if (!w) return "";
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return u8(t->GetValue());
  return u8(w->GetLabel());
}

void TemplateDialog::enable(int id, bool on) {
  if (wxWindow* w = FindWindow(id)) w->Enable(on);
}

bool TemplateDialog::can_press(int id) const {
  auto* b = dynamic_cast<wxButton*>(FindWindow(id));
  return b && b->IsEnabled();
}

void TemplateDialog::remove(int id) {
  if (wxWindow* w = FindWindow(id)) w->Destroy();
}

void TemplateDialog::set_picture(int id, const std::string& path) {
  auto* pic = dynamic_cast<wxStaticBitmap*>(FindWindow(id));
  wxImage img;
  if (!pic || !img.LoadFile(wxs(path), wxBITMAP_TYPE_ANY)) return;
  pic->SetBitmap(wxBitmap(img));
  pic->SetSize(img.GetWidth(), img.GetHeight());
}

void TemplateDialog::end(int result) {
  if (ended_) return;
  ended_ = true;
  if (modal_) {
    if (IsModal()) EndModal(result);  // before ShowModal, the dialog is simply not run
  } else {
    Hide();
    Destroy();
  }
}

bool TemplateDialog::press(int id) {
  if (!can_press(id)) return false;
  auto* b = static_cast<wxButton*>(FindWindow(id));
  wxCommandEvent e(wxEVT_BUTTON, id);
  e.SetEventObject(b);
  b->GetEventHandler()->ProcessEvent(e);
  return true;
}

void TemplateDialog::type(int id, const std::string& s) {
  if (auto* t = dynamic_cast<wxTextCtrl*>(FindWindow(id))) t->SetValue(wxs(s));
}

void TemplateDialog::close_box() { Close(); }

void TemplateDialog::after(int ms, std::function<void()> fn) {
  pending_ = std::move(fn);
  if (!timer_) {
    timer_ = std::make_unique<wxTimer>(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      auto fn = std::move(pending_);
      pending_ = nullptr;
      if (fn) fn();
    }, timer_->GetId());
  }
  timer_->StartOnce(ms);
}

void TemplateDialog::notify_destroy() {
  if (destroy_told_) return;
  destroy_told_ = true;
  if (timer_) timer_->Stop();
  proc_.on_destroy(*this);
}

void TemplateDialog::on_button(wxCommandEvent& e) { proc_.on_command(*this, e.GetId()); }

// The close box: the dialog procedure decides. A dialog it leaves open
// refuses the close; when the close cannot be refused (the program is going
// away) the dialog ends in any case.
void TemplateDialog::on_close(wxCloseEvent& e) {
  proc_.on_close(*this);
  if (ended_) return;
  if (e.CanVeto())
    e.Veto();
  else
    end(0);
}

}  // namespace soc::wxui
