// The member list of the main window, the form of the current member, the
// selection of a member under its record lock, and the category choice.
#include "db/members.h"

#include "db/categories.h"
#include "db/flags.h"
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
  for (char c : kFlagChars) col += rem.find(c) != std::string::npos ? c : ' ';
  return col;
}

void free_sel() {
  if (index_sel.empty()) return;
  mk_nfname(index_sel);
  unlock_f();
  index_sel.clear();
}

namespace {
// The form box of record field f (1..11, 13).
int box_of(int f) { return form_ctl(form_elem_of_field(f)); }

// The fields the form shows, in form order.
constexpr int kFormFields[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11};

// A box text as a field: one line, at most 62 bytes, whole characters.
std::string as_field(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return cut_utf8(s, kFieldMax);
}
}  // namespace

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
  free_sel();
  clr_data();
  close_inputs();
  return 0;
}

void clr_data() {
  for (int f : kFormFields) ws().ctl_set_text(box_of(f), "");
  clr_flgs();
}

void show_data() {
  for (int f : kFormFields) ws().ctl_set_text(box_of(f), do_utf(fld::by_number(f)));
  update_flgs(fld::rem);
}

// The bytes to store for a box's text. The boxes show file text through
// do_utf; a text the user left as it was shown keeps its original bytes, so
// that text written by older installations is never written back converted.
static std::string stored_text(int f, const std::string& shown) {
  const std::string& old = fld::by_number(f);  // what the form showed, during Modify
  if (task_in == 3 && shown == do_utf(old)) return old;
  if (f == 13)
    for (const auto& c : cat_txt)
      if (!c.empty() && shown == do_utf(c)) return c;
  return shown;
}

void read_data() {
  for (int f : kFormFields)
    fld::by_number(f) = cut_utf8(stored_text(f, ws().ctl_get_text(box_of(f))), kFormReadMax);
  bld_infos(fld::rem);
  for (int f : kFormFields) fld::by_number(f) = as_field(fld::by_number(f));
}

void selection_made(const std::string& ref) {
  // A row without a reference names no member and no lock file.
  if (ref.empty()) return;
  free_sel();
  index_sel = cut_utf8(ref, kSelMax);
  mk_nfname(index_sel);
  if (lock_f() != 0) {
    index_sel.clear();
    show_cust();
    return;
  }
  mk_nfname("sociantes.data");
  std::string text;
  if (!read_file(file_name, text)) {
    info(" ERROR 13", 1);
    return;
  }
  LineReader in(std::move(text));
  while (get_data(in, kFields) == kFields) {
    if (data_xchg[12] == index_sel) {
      get_xchg();
      break;
    }
  }
  show_data();
}

void cat_sel(int index) {
  if (index < 0 || index > kCatListed) return;
  cat = index;
  if (task_in == 1 || task_in == 3)
    ws().ctl_set_text(box_of(13), do_utf(cat_txt[cat]));
  else if (task_in != 2)
    show_cust();
}

}  // namespace soc
