// An entry that stops taking text at a number of bytes (UTF-8) while the
// user types or pastes, as the fields it fills hold no more. Text the
// program puts there (show) is shown whole, even when longer: the user may
// shorten it but not lengthen it.
#pragma once

#include <wx/textctrl.h>

#include <cstddef>

namespace soc::wxui {

class LimitedEntry final : public wxTextCtrl {
 public:
  LimitedEntry(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

  void set_limit(std::size_t bytes) { limit_ = bytes; }  // 0 = no limit
  std::size_t limit() const { return limit_; }
  void show(const wxString& s);  // the program's text, no limit applied

 private:
  void on_text(wxCommandEvent& e);

  std::size_t limit_ = 0;  // most bytes the user can bring the text to
  wxString last_;          // the text as it was before the user's last change
};

}  // namespace soc::wxui
