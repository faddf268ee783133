// The print dialog of the real program: the CUPS destinations and "Save as
// PDF file…", which asks for the file with a save dialog.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/wx/main_frame.h"
#include "platform/wx/wx_text.h"
#include "platform/wx/wx_window_system.h"

namespace soc::wxui {

namespace {
const char* const kSaveAsPdf = "Save as PDF file\u2026";
}

PrtPick WxWindowSystem::print_dialog(const std::vector<std::string>& printers, std::string& value) {
  if (hook_) {
    std::string list;
    for (const auto& p : printers) list += (list.empty() ? "" : "|") + p;
    hook_->print_lists.push_back(list);
    if (hook_->print_answers.empty()) return PrtPick::cancel;
    const std::string a = hook_->print_answers.front();
    hook_->print_answers.pop_front();
    const std::size_t colon = a.find(':');
    value = colon == std::string::npos ? std::string() : a.substr(colon + 1);
    if (a.compare(0, colon, "printer") == 0) return PrtPick::printer;
    if (a.compare(0, colon, "pdf") == 0) return PrtPick::pdf;
    return PrtPick::cancel;
  }
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
  if (dlg.ShowModal() != wxID_OK) return PrtPick::cancel;
  const int sel = list->GetSelection();
  if (sel >= 0 && sel < static_cast<int>(printers.size())) {
    value = printers[static_cast<std::size_t>(sel)];
    return PrtPick::printer;
  }
  wxFileDialog save(frame(), "Save as PDF file", wxEmptyString, "card.pdf", "PDF files (*.pdf)|*.pdf",
                    wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (save.ShowModal() != wxID_OK) return PrtPick::cancel;
  value = u8(save.GetPath());
  return PrtPick::pdf;
}

}  // namespace soc::wxui
