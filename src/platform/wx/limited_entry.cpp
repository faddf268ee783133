// Entries with a byte limit: a change that would pass the limit keeps only
// as much of the inserted text as fits.
#include "platform/wx/limited_entry.h"

#include <wx/utils.h>

#include <algorithm>

namespace soc::wxui {

namespace {

std::size_t bytes(const wxString& s) { return s.utf8_str().length(); }

}  // namespace

LimitedEntry::LimitedEntry(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                           const wxSize& size)
    : wxTextCtrl(parent, id, wxEmptyString, pos, size) {
  Bind(wxEVT_TEXT, &LimitedEntry::on_text, this);
  // Programs may have changed the text while the entry was elsewhere.
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    last_ = GetValue();
    e.Skip();
  });
}

void LimitedEntry::show(const wxString& s) {
  last_ = s;
  ChangeValue(s);
}

// The change is the text between what the old and the new text share at
// their start and at their end. Of what it inserts, only the characters
// that keep the whole within the limit stay; a text already longer than the
// limit (shown by the program) may still be shortened.
void LimitedEntry::on_text(wxCommandEvent& e) {
  e.Skip();
  const wxString now = GetValue();
  if (limit_ == 0 || bytes(now) <= std::max(limit_, bytes(last_))) {
    last_ = now;
    return;
  }
  const std::size_t n = now.length(), o = last_.length();
  std::size_t head = 0;
  while (head < n && head < o && now[head] == last_[head]) ++head;
  std::size_t tail = 0;
  while (tail < n - head && tail < o - head && now[n - 1 - tail] == last_[o - 1 - tail]) ++tail;
  const wxString before = now.Left(head), after = now.Right(tail);
  const wxString inserted = now.Mid(head, n - head - tail);
  std::size_t room = limit_ - std::min(limit_, bytes(before) + bytes(after));
  wxString kept;
  for (wxUniChar c : inserted) {
    const std::size_t b = bytes(wxString(c));
    if (b > room) break;
    kept += c;
    room -= b;
  }
  last_ = before + kept + after;
  ChangeValue(last_);
  SetInsertionPoint(static_cast<long>(head + kept.length()));
  wxBell();
}

}  // namespace soc::wxui
