// The virtual member list: rows in a vector, drawn on demand.
#include "platform/wx/member_list.h"

#include "platform/wx/wx_text.h"

namespace soc::wxui {

MemberList::MemberList(wxWindow* parent, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, wxID_ANY, pos, size,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxBORDER_SUNKEN) {}

int MemberList::append(const std::string& text) {
  rows_.push_back({text, "", "", ""});
  // The count of a virtual list only changes a number; the repaint comes
  // once, when the program is idle again.
  SetItemCount(static_cast<long>(rows_.size()));
  return static_cast<int>(rows_.size()) - 1;
}

bool MemberList::set_text(int item, int sub, const std::string& s) {
  if (item < 0 || item >= rows() || sub < 0 || sub > 3) return false;
  rows_[static_cast<std::size_t>(item)][static_cast<std::size_t>(sub)] = s;
  refresh_later();
  return true;
}

const std::string& MemberList::text(int item, int sub) const {
  static const std::string none;
  if (item < 0 || item >= rows() || sub < 0 || sub > 3) return none;
  return rows_[static_cast<std::size_t>(item)][static_cast<std::size_t>(sub)];
}

void MemberList::clear() {
  rows_.clear();
  SetItemCount(0);
  Refresh();
}

void MemberList::set_rows(std::vector<std::array<std::string, 4>>& rows) {
  // The count goes to 0 first, as after clear(): no row stays selected.
  rows_.swap(rows);
  SetItemCount(0);
  SetItemCount(static_cast<long>(rows_.size()));
  Refresh();
}

// A hidden column (width 0) draws nothing: the list would otherwise leave a
// sliver of its text at the column's edge. Its text stays in the rows.
wxString MemberList::OnGetItemText(long item, long column) const {
  if (GetColumnWidth(static_cast<int>(column)) == 0) return wxString();
  return wxs(text(static_cast<int>(item), static_cast<int>(column)));
}

void MemberList::refresh_later() {
  if (refresh_queued_) return;
  refresh_queued_ = true;
  CallAfter([this] {
    refresh_queued_ = false;
    Refresh();
  });
}

}  // namespace soc::wxui
