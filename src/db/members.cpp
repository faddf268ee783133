// The member list of the main window, the form of the current member, the
// selection of a member under its record lock, and the category choice.
#include "db/members.h"

#include <array>
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

// The member file in memory: the text last read or written, the new text a
// rewrite builds, and the scan of the one in use. Their room is kept from
// one operation to the next.
std::string data_text;   // the member file as last read or written
std::string data_new;    // the new member file being built
MemberScan data_scan;    // the scan of data_text (or nothing when it is stale)
}  // namespace

const MemberScan* read_members() {
  mk_nfname("sociantes.data");
  if (!read_file(file_name, data_text)) {
    data_scan.scan({});
    return nullptr;
  }
  data_scan.scan(data_text);
  return &data_scan;
}

std::string& new_members() {
  data_new.clear();
  return data_new;
}

int put_members(DirSync* later) {
  mk_nfname("sociantes.data");
  const int r = replace_steps(file_name, data_new, kKeepMode, later);
  if (r != 0) return r == kNotWritten ? 1 : 2;
  // What was written becomes the member file in memory; the old text's room
  // receives the next rewrite.
  data_text.swap(data_new);
  data_scan.scan({});
  return 0;
}

std::string sibling_text() {
  mk_nfname("sociantes.data");
  return file_name + ".new-XXXXXXXX";
}

void members_reset() {
  index_sel.clear();
  sel_nth = 0;
  data_bad = 0;
  row_rec.clear();
}

std::string top_ref_of(const MemberScan& in) {
  std::string top;
  long top_key = -1;
  for (std::size_t k = 0; k < in.size(); ++k) {
    const std::string_view ref = in.shown(k, 12);
    if (!is_ref(ref)) continue;
    const std::string r(ref);
    if (ref_key(r) > top_key) {
      top = r;
      top_key = ref_key(r);
    }
  }
  return top;
}

int scan_data(const std::string& text, std::string& top_ref) {
  MemberScan in;
  const int bad = in.scan(text);
  top_ref = top_ref_of(in);
  return bad;
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

std::string flag_column(std::string_view rem) {
  // One look at each byte of the remarks for the four flags.
  static const auto bit = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 4; ++i) t[static_cast<unsigned char>(kFlagChars[i])] = static_cast<unsigned char>(1 << i);
    return t;
  }();
  unsigned has = 0;
  for (char b : rem) has |= bit[static_cast<unsigned char>(b)];
  std::string col(5, ' ');
  for (int i = 0; i < 4; ++i)
    if (has & (1u << i)) col[static_cast<std::size_t>(i) + 1] = kFlagChars[i];
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

namespace {
// Fills the member list from the member file in memory, scanned or not.
int list_members() {
  if (data_scan.text().data() != data_text.data() || data_scan.text().size() != data_text.size())
    data_scan.scan(data_text);
  const MemberScan& in = data_scan;
  int list = member_list_ctl();
  ws().list_clear(list);
  row_rec.clear();
  fld::ref.clear();
  const std::string& sel = cat_txt[cat];
  // Only the fields a row shows are taken; the records beyond the listed
  // ones were scanned too, so damage anywhere in the file is found.
  const std::size_t listed = in.size() < static_cast<std::size_t>(kListMax) ? in.size() : kListMax;
  for (std::size_t n = 0; n < listed; ++n) {
    if (cat != 0 && in.shown(n, 13).compare(0, sel.size(), sel) != 0) continue;
    insertview(ws().main_host(), list, std::string(in.shown(n, 12)), do_utf(in.shown(n, 11)),
               do_utf(in.shown(n, 1)), flag_column(in.shown(n, 10)));
    row_rec.push_back(static_cast<int>(n));
  }
  data_bad = in.bad_line();
  free_sel();
  clr_data();
  close_inputs();
  return 0;
}
}  // namespace

int show_cust() {
  if (!read_members()) {
    info("FATAL ERROR\r\nNo access to the database", 1);
    return 0;
  }
  return list_members();
}

int show_written() { return list_members(); }

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
  const MemberScan* in = read_members();
  if (!in) {
    info(" ERROR 13", 1);
    return;
  }
  bool found = false;
  for (std::size_t k = 0, nth = 0; k < in->size(); ++k) {
    if (in->shown(k, 12) != index_sel) continue;
    if (!found || static_cast<int>(k) == want) {
      data_xchg = Record();
      for (int i = 1; i <= kFields; ++i) data_xchg[static_cast<std::size_t>(i)] = in->shown(k, i);
      sel_nth = static_cast<int>(nth);
      found = true;
    }
    if (static_cast<int>(k) == want) break;
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
