// The scheduler's window with wxWidgets. The toolbar pictures and the icon
// are drawn here; the delay box comes from the toolkit's boxes; the window
// takes the size the boxes need and stands at (100, 100).
#include "platform/wx_spoolet/spoolet_frame.h"

#include "platform/wx/wx_text.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace soc::spoolwx {

namespace {

constexpr int kButtonW = 40, kButtonH = 34;  // toolbar buttons
constexpr int kPicture = 32;                 // their pictures

// Text as the main program's window shows it: bytes that are not UTF-8 (a
// path of an older system) are taken as Latin-1, not shown as nothing.
using soc::wxui::u8;
using soc::wxui::wxs;

// The pictures: 601 a printer, 602 two pause bars, 604 a cross; 600 (the
// icon) is the printer too.
wxBitmap picture(int id) {
  wxBitmap bmp(kPicture, kPicture);
  wxMemoryDC dc(bmp);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetPen(wxPen(*wxBLACK, 2));
  switch (id) {
    case 602:
      dc.SetBrush(wxBrush(wxColour(40, 90, 200)));
      dc.DrawRectangle(8, 6, 6, 20);
      dc.DrawRectangle(18, 6, 6, 20);
      break;
    case 604:
      dc.SetPen(wxPen(wxColour(200, 30, 30), 4));
      dc.DrawLine(7, 7, 25, 25);
      dc.DrawLine(25, 7, 7, 25);
      break;
    default:
      dc.SetBrush(*wxWHITE_BRUSH);
      dc.DrawRectangle(10, 3, 12, 10);
      dc.SetBrush(wxBrush(wxColour(120, 120, 120)));
      dc.DrawRectangle(4, 12, 24, 11);
      dc.SetBrush(*wxWHITE_BRUSH);
      dc.DrawRectangle(9, 20, 14, 9);
      break;
  }
  dc.SelectObject(wxNullBitmap);
  return bmp;
}

}  // namespace

bool check_argument(int argc, char** argv) {
  std::vector<std::string> args;
  std::string cmd_line = argc > 0 ? argv[0] : "spoolet";
  for (int i = 1; i < argc; ++i) {
    args.emplace_back(argv[i]);
    cmd_line += std::string(" ") + argv[i];
  }
  std::string caption, text;
  if (sched::take_argument(args, cmd_line, caption, text) == 0) return true;
  wxMessageBox(wxs(text), wxs(caption), wxOK | wxICON_ERROR);
  return false;
}

SpoolFrame::SpoolFrame(TestHook* hook)
    : wxFrame(nullptr, wxID_ANY, sched::kTitle, wxDefaultPosition, wxDefaultSize,
              wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxCAPTION | wxCLIP_CHILDREN),
      hook_(hook),
      timer_(this, sched::kTimerId) {
  sched::set_host(this);
  wxIcon icon;
  icon.CopyFromBitmap(picture(600));
  SetIcon(icon);
  panel_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  panel_->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
  CreateStatusBar(1);

  // The toolbar: three picture buttons along the top edge.
  int x = 0;
  for (const auto& b : sched::kToolbar) {
    auto* btn = new wxBitmapButton(panel_, b.cmd, picture(b.picture), wxPoint(x, 0),
                                   wxSize(kButtonW, kButtonH));
    btn->SetToolTip(b.tooltip);
    btn->Bind(wxEVT_BUTTON, [this, cmd = b.cmd](wxCommandEvent&) { command(cmd); });
    buttons_.push_back(btn);
    x += kButtonW;
  }

  // The delay box, laid out by the toolkit in the panel.
  sched::boxes.window = this;
  sched::border = std::max(0, wxSystemSettings::GetMetric(wxSYS_EDGE_X, this));
  sched::get_font_size();
  sched::declare_boxes();
  sched::do_boxes();
  for (const char* e : sched::kDelayEntries) delay_->Append(e);
  delay_->SetValue(sched::kDelayInitial);

  Bind(wxEVT_TIMER, [](wxTimerEvent&) { sched::timer_proc(); }, sched::kTimerId);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
    timer_.Stop();
    e.Skip();
  });

  SetClientSize(sched::get_window_width(),
                32 + 3 * sched::fonty + sched::get_window_high());
  SetPosition(wxPoint(100, 100));
  show_status("Input file: " + sched::file_name);
  Show();
}

SpoolFrame::~SpoolFrame() {
  timer_.Stop();
  sched::boxes.window = nullptr;
  sched::set_host(nullptr);
  sched::reset_run();
}

wxWindow* SpoolFrame::button(int cmd) const {
  for (wxWindow* b : buttons_)
    if (b->GetId() == cmd) return b;
  return nullptr;
}

void SpoolFrame::command(int cmd) {
  if (cmd == sched::kCmdPrint) sched::do_print();
  else if (cmd == sched::kCmdPause) sched::do_pause();
  else if (cmd == sched::kCmdQuit) Close();
}

wxWindow* SpoolFrame::ctl(sched::Ctl c) const {
  return c >= 1 && c <= static_cast<int>(controls_.size()) ? controls_[static_cast<std::size_t>(c - 1)]
                                                           : nullptr;
}

bool SpoolFrame::text_metrics(int& ave_char_width, int& height) {
  ave_char_width = panel_->GetCharWidth();
  height = panel_->GetCharHeight();
  return ave_char_width > 0 && height > 0;
}

int SpoolFrame::text_width(const std::string& s) { return panel_->GetTextExtent(wxs(s)).GetWidth(); }

sched::Ctl SpoolFrame::make_control(sched::CtlKind kind, const sched::Rect& r,
                                    const std::string& text, int id) {
  const wxPoint pos(r.x, r.y);
  const wxSize size(r.w, r.h);
  wxWindow* w = nullptr;
  switch (kind) {
    case sched::CtlKind::group: w = new wxStaticBox(panel_, wxID_ANY, wxs(text), pos, size); break;
    case sched::CtlKind::label:
      w = new wxStaticText(panel_, wxID_ANY, wxs(text), pos, size, wxST_NO_AUTORESIZE);
      break;
    case sched::CtlKind::entry: w = new wxTextCtrl(panel_, wxID_ANY, "", pos, size); break;
    case sched::CtlKind::check: w = new wxCheckBox(panel_, id, wxs(text), pos, size); break;
    case sched::CtlKind::radio: w = new wxRadioButton(panel_, id, wxs(text), pos, size); break;
    case sched::CtlKind::list: w = new wxListBox(panel_, wxID_ANY, pos, size); break;
    case sched::CtlKind::listview:
      w = new wxListCtrl(panel_, wxID_ANY, pos, size, wxLC_REPORT | wxLC_SINGLE_SEL);
      break;
    case sched::CtlKind::button: w = new wxButton(panel_, id, wxs(text), pos, size); break;
    case sched::CtlKind::combo:
      // The drop-down takes its own height; the edit part shows the text.
      delay_ = new wxComboBox(panel_, wxID_ANY, wxs(text), pos, wxSize(r.w, -1), 0, nullptr,
                              wxCB_DROPDOWN);
      w = delay_;
      break;
  }
  if (!w) return 0;
  controls_.push_back(w);
  return static_cast<sched::Ctl>(controls_.size());
}

void SpoolFrame::add_column(sched::Ctl view, int col, const std::string& title, int width) {
  if (auto* v = dynamic_cast<wxListCtrl*>(ctl(view))) v->InsertColumn(col, wxs(title), wxLIST_FORMAT_LEFT, width);
}

bool SpoolFrame::add_tooltip(sched::Ctl button, const std::string& text) {
  wxWindow* w = ctl(button);
  if (!w) return false;
  w->SetToolTip(wxs(text));
  return true;
}

int SpoolFrame::list_add(sched::Ctl list, const std::string& s) {
  auto* l = dynamic_cast<wxListBox*>(ctl(list));
  return l ? l->Append(wxs(s)) : -1;
}

int SpoolFrame::view_insert_item(sched::Ctl view, const std::string& text) {
  auto* v = dynamic_cast<wxListCtrl*>(ctl(view));
  return v ? static_cast<int>(v->InsertItem(v->GetItemCount(), wxs(text))) : -1;
}

int SpoolFrame::view_set_text(sched::Ctl view, int item, int sub, const std::string& s) {
  auto* v = dynamic_cast<wxListCtrl*>(ctl(view));
  return v && v->SetItem(item, sub, wxs(s)) ? 1 : 0;
}

void SpoolFrame::message_box(const std::string& text, const std::string& caption,
                             sched::MsgIcon icon) {
  if (hook_) {
    hook_->boxes.push_back(caption + "|" + text);
    return;
  }
  const long style = icon == sched::MsgIcon::error         ? wxICON_ERROR
                     : icon == sched::MsgIcon::information ? wxICON_INFORMATION
                                                           : 0;
  wxMessageBox(wxs(text), wxs(caption), wxOK | style, this);
}

void SpoolFrame::show_status(const std::string& text) { SetStatusText(wxs(text)); }

std::string SpoolFrame::delay_text() { return delay_ ? u8(delay_->GetValue()) : std::string(); }

void SpoolFrame::error_box(const std::string& text, const std::string& caption) {
  message_box(text, caption, sched::MsgIcon::error);
}

PrtPick SpoolFrame::print_dialog(const std::vector<std::string>& printers, std::string& value) {
  if (hook_) {
    if (hook_->print_answers.empty()) return PrtPick::cancel;
    const std::string a = hook_->print_answers.front();
    hook_->print_answers.pop_front();
    const std::size_t colon = a.find(':');
    value = colon == std::string::npos ? std::string() : a.substr(colon + 1);
    const std::string kind = a.substr(0, colon);
    return kind == "pdf" ? PrtPick::pdf : kind == "printer" ? PrtPick::printer : PrtPick::cancel;
  }
  wxDialog dlg(this, wxID_ANY, "Print");
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(&dlg, wxID_ANY, "Printer:"), 0, wxALL, 8);
  auto* list = new wxListBox(&dlg, wxID_ANY, wxDefaultPosition, wxSize(320, 160));
  for (const auto& p : printers) list->Append(wxs(p));
  list->Append(wxString::FromUTF8("Save as PDF file\u2026"));
  list->SetSelection(0);
  sizer->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
  sizer->Add(dlg.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
  list->Bind(wxEVT_LISTBOX_DCLICK, [&dlg](wxCommandEvent&) { dlg.EndModal(wxID_OK); });
  dlg.SetSizerAndFit(sizer);
  dlg.CentreOnParent();
  if (dlg.ShowModal() != wxID_OK) return PrtPick::cancel;
  const int sel = list->GetSelection();
  if (sel >= 0 && sel < static_cast<int>(printers.size())) {
    value = printers[static_cast<std::size_t>(sel)];
    return PrtPick::printer;
  }
  wxFileDialog save(this, "Save as PDF file", wxEmptyString, "spoolet.pdf",
                    "PDF files (*.pdf)|*.pdf", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (save.ShowModal() != wxID_OK) return PrtPick::cancel;
  value = u8(save.GetPath());
  return PrtPick::pdf;
}

void SpoolFrame::sleep_ms(int ms) { wxMilliSleep(static_cast<unsigned long>(ms > 0 ? ms : 0)); }

void SpoolFrame::start_ticks() {
  if (!timer_.IsRunning()) timer_.Start(1000);
}

}  // namespace soc::spoolwx
