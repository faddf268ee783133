// The member list of the main window, the form of the current member, the
// selection of a member under its record lock, and the category choice.
#include "db/members.h"

#include <vector>

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
int sel_nth = 0;
int data_bad = 0;

namespace {
// The record behind each row of the member list (its place in the member
// file, 0 = the first), so that a click names one record even when several
// share a reference.
std::vector<int> row_rec;
}  // namespace

void members_reset() {
  index_sel.clear();
  sel_nth = 0;
  data_bad = 0;
  row_rec.clear();
}

int scan_data(const std::string& text, std::string& top_ref) {
  MemberReader in(text);
  Record r;
  top_ref.clear();
  while (in.next(r) == kFields)
    if (is_ref(r[12]) && (top_ref.empty() || ref_key(r[12]) > ref_key(top_ref))) top_ref = r[12];
  return in.bad_line();
}

std::string damage_text(int line, const std::string& tail) {
  mk_nfname("sociantes.data");
  return " The member file is damaged at line " + std::to_string(line) + ": \r\n " + file_name +
         " \r\n " + tail + " ";
}

void refuse_damaged(int line) {
  info(damage_text(line, "Nothing was changed. Please repair the file first."), 1);
}

void report_damage() {
  if (data_bad == 0) return;
  info(damage_text(data_bad, "Only the members before that line are listed. \r\n New, Modify, "
                             "Delete and flag changes are refused \r\n until the file is repaired."),
       1);
}

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
  row_rec.clear();
  fld::ref.clear();
  MemberReader in(std::move(text));
  Record r;
  const std::string& sel = cat_txt[cat];
  for (int n = 0; n < kListMax && get_data(in, r, kFields) == kFields; ++n) {
    if (cat != 0 && r[13].compare(0, sel.size(), sel) != 0) continue;
    insertview(ws().main_host(), list, r[12], do_utf(r[11]), do_utf(r[1]), flag_column(r[10]));
    row_rec.push_back(n);
  }
  // The records beyond the listed ones are read too: damage anywhere in the
  // file is found.
  while (get_data(in, r, kFields) == kFields) {
  }
  data_bad = in.bad_line();
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
  if (f != 13) return shown;
  for (const auto& c : cat_txt)
    if (!c.empty() && shown == do_utf(c)) return c;
  return cut_utf8(shown, kCatMax);  // a typed category is a category name
}

void read_data() {
  for (int f : kFormFields)
    fld::by_number(f) = cut_utf8(stored_text(f, ws().ctl_get_text(box_of(f))), kFormReadMax);
  bld_infos(fld::rem);
  for (int f : kFormFields) fld::by_number(f) = as_field(fld::by_number(f));
}

// A click on a row (or a search hit) that names no member: nothing is
// selected, and the member selected before is released.
void refuse_selection(const std::string& ref) {
  free_sel();
  fld::ref.clear();
  clr_data();
  ws().list_select(member_list_ctl(), -1);
  if (ref.empty())
    info(" This member has no reference and cannot be selected. \r\n Please give it one "
         "in field 12 of its record in the member file. ",
         1);
  else
    info(" This member cannot be selected: its reference \"" + do_utf(ref) +
             "\" \r\n is not one letter and four digits. \r\n Please correct field 12 of its "
             "record in the member file. ",
         1);
}

void selection_made(const std::string& ref) {
  // A reference names the record lock and the member's files: only one
  // letter and four digits is ever used in a path.
  if (!is_ref(ref)) {
    refuse_selection(ref);
    return;
  }
  // The row clicked names one record of the member file, also when others
  // share its reference (a search hit has no row: the first record is taken).
  const int row = ws().list_selection(member_list_ctl());
  const int want = row >= 0 && row < static_cast<int>(row_rec.size()) ? row_rec[row] : -1;
  free_sel();
  index_sel = ref;
  sel_nth = 0;
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
  MemberReader in(std::move(text));
  Record r;
  bool found = false;
  for (int k = 0, nth = 0; get_data(in, r, kFields) == kFields; ++k) {
    if (r[12] != index_sel) continue;
    if (!found || k == want) {
      data_xchg = r;
      sel_nth = nth;
      found = true;
    }
    if (k == want) break;
    ++nth;
  }
  if (found) get_xchg();
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
