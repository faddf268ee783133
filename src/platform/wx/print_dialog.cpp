// The print dialog of the real program: the CUPS destinations and "Save as
// PDF file…", which asks for the file with a save dialog.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "platform/wx/main_frame.h"
#include "platform/wx/wx_text.h"
#include "platform/wx/wx_window_system.h"

namespace soc::wxui {

namespace {

const char* const kSaveAsPdf = "Save as PDF file\u2026";

// A test's answer: the list entry it picks (-1 = cancel) and the PDF path.
int hooked_answer(TestHook& hook, const std::vector<std::string>& printers, std::string& pdf) {
  if (hook.print_answers.empty()) return -1;
  const std::string a = hook.print_answers.front();
  hook.print_answers.pop_front();
  const std::size_t colon = a.find(':');
  const std::string kind = a.substr(0, colon);
  const std::string value = colon == std::string::npos ? std::string() : a.substr(colon + 1);
  if (kind == "pdf") {
    pdf = value;
    return static_cast<int>(printers.size());
  }
  for (std::size_t i = 0; i < printers.size(); ++i)
    if (kind == "printer" && printers[i] == value) return static_cast<int>(i);
  return -1;
}

}  // namespace

PrtPick WxWindowSystem::print_dialog(const std::vector<std::string>& printers, std::string& value) {
  wxDialog dlg(frame(), wxID_ANY, "Print");
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(&dlg, wxID_ANY, "Printer:"), 0, wxALL, 8);
  auto* list = new wxListBox(&dlg, wxID_ANY, wxDefaultPosition, wxSize(320, 160));
  for (const auto& p : printers) list->Append(wxs(p));
  list->Append(wxString::FromUTF8(kSaveAsPdf));
  list->SetSelection(0);
  sizer->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
  sizer->Add(dlg.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
  list->Bind(wxEVT_LISTBOX_DCLICK, [&dlg](wxCommandEvent&) { dlg.EndModal(wxID_OK); });
  dlg.SetSizerAndFit(sizer);
  dlg.CentreOnParent();

  std::string hooked_pdf;
  wxTimer timer(&dlg);
  if (hook_) {
    std::string shown;
    for (unsigned i = 0; i < list->GetCount(); ++i)
      shown += (i ? "|" : "") + u8(list->GetString(i));
    hook_->print_lists.push_back(shown);
    const int pick = hooked_answer(*hook_, printers, hooked_pdf);
    const std::string snapshot = hook_->print_snapshot;
    hook_->print_snapshot.clear();
    dlg.Bind(wxEVT_TIMER, [&dlg, list, pick, snapshot](wxTimerEvent&) {
      if (pick >= 0) list->SetSelection(pick);
      if (!snapshot.empty()) save_window_png(&dlg, snapshot);
      dlg.EndModal(pick >= 0 ? wxID_OK : wxID_CANCEL);
    });
    timer.StartOnce(hook_->answer_delay_ms);
  }
  if (dlg.ShowModal() != wxID_OK) return PrtPick::cancel;
  const int sel = list->GetSelection();
  if (sel >= 0 && sel < static_cast<int>(printers.size())) {
    value = printers[static_cast<std::size_t>(sel)];
    return PrtPick::printer;
  }
  if (hook_) {
    value = hooked_pdf;  // the save dialog is the desktop's own: a test answers for it
    return PrtPick::pdf;
  }
  wxFileDialog save(frame(), "Save as PDF file", wxEmptyString, "card.pdf", "PDF files (*.pdf)|*.pdf",
                    wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (save.ShowModal() != wxID_OK) return PrtPick::cancel;
  value = u8(save.GetPath());
  return PrtPick::pdf;
}

}  // namespace soc::wxui
