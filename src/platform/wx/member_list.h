// The report list view of the main window (the member list): a virtual
// wxListCtrl whose rows live in a vector, so that thousands of rows are
// there at once and only the visible ones are drawn.
#pragma once

#include <wx/listctrl.h>

#include <array>
#include <string>
#include <vector>

namespace soc::wxui {

class MemberList final : public wxListCtrl {
 public:
  MemberList(wxWindow* parent, const wxPoint& pos, const wxSize& size);

  int append(const std::string& text);                        // new last row; its index
  bool set_text(int item, int sub, const std::string& s);     // one cell; false outside the rows
  const std::string& text(int item, int sub) const;           // one cell ("" outside)
  void clear();                                               // no rows
  // All rows at once: rows receives the rows shown before (see
  // WindowSystem::list_set_rows).
  void set_rows(std::vector<std::array<std::string, 4>>& rows);
  int rows() const { return static_cast<int>(rows_.size()); }

 protected:
  wxString OnGetItemText(long item, long column) const override;

 private:
  void refresh_later();

  std::vector<std::array<std::string, 4>> rows_;  // the four columns of every row
  bool refresh_queued_ = false;                   // a repaint is on its way
};

}  // namespace soc::wxui
