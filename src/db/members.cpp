// The member list of the main window.
#include "db/members.h"

#include "db/categories.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc {

std::string index_sel;

void members_reset() { index_sel.clear(); }

std::string flag_column(const std::string& rem) {
  std::string col = " ";
  for (char c : {'!', '$', '%', '&'}) col += rem.find(c) != std::string::npos ? c : ' ';
  return col;
}

// Empties the form boxes and the flag boxes.
static void clear_form() {
  for (int e = 0; e < 12; ++e) ws().ctl_set_text(form_ctl(e), "");
  for (int k = 1; k <= 4; ++k) ws().ctl_check(flag_ctl(k), false);
}

int show_cust() {
  mk_nfname("sociantes.data");
  std::string text;
  if (!read_file(file_name, text)) {
    info("FATAL ERROR\r\nNo access to the database", 1);
    return 0;
  }
  int list = member_list_ctl();
  ws().list_clear(list);
  fld::ref.clear();
  LineReader in(std::move(text));
  Record r;
  const std::string& sel = cat_txt[cat];
  for (int n = 0; n < kListMax && get_data(in, r, kFields) == kFields; ++n) {
    if (cat != 0 && r[13].compare(0, sel.size(), sel) != 0) continue;
    insertview(ws().main_host(), list, r[12], do_utf(r[11]), do_utf(r[1]), flag_column(r[10]));
  }
  if (!index_sel.empty()) {
    mk_nfname(index_sel);
    unlock_f();
    index_sel.clear();
  }
  clear_form();
  close_inputs();
  return 0;
}

}  // namespace soc
