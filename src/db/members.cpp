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
std::string data_read;   // the member file as just read, before it is compared
std::string data_new;    // the new member file being built
MemberScan data_scan;    // the scan of data_text (or nothing when it is stale)
MemberScan data_kept;    // the scan of data_new, noted while it is built
MemberScan data_mend;    // room for the scan of a file another workstation changed

// Which scan of the member file data_scan is: every new scan or rewrite
// gets the next number. A scan kept by a rewrite also knows the number of
// the scan it was built from, so that the list can be mended, not rebuilt.
constexpr unsigned kNoScan = ~0u;
unsigned scan_gen = 0;           // the number of data_scan
unsigned scan_base = kNoScan;    // data_scan kept by a rewrite: the number of the scan it was built from
unsigned kept_base = kNoScan;    // the number of the scan the rewrite under way reads

// The rows of the member list. The rows handed to the window system come
// back when the list is emptied for an edit (hide_members) or filled again:
// rows built from the same scan for the same category are shown again as
// they are, and after a rewrite only the records it changed get new rows.
std::vector<ListRow> list_rows;   // the rows in hand: none, or the ones taken back
std::vector<ListRow> next_rows;   // room for the rows of a mended list
struct Shown {
  const ListRow* data = nullptr;  // the rows handed over (their room)
  std::size_t size = 0;           // how many
  unsigned gen = kNoScan;         // the scan they were built from
  int cat = -1;                   // for which category
  std::string sel;                // its name
};
Shown shown;

bool scan_current() {
  return data_scan.text().data() == data_text.data() && data_scan.text().size() == data_text.size();
}

// data_scan becomes a fresh scan of data_text (or of nothing).
void rescan(std::string_view text) {
  data_scan.scan(text);
  ++scan_gen;
  scan_base = kNoScan;
}
}  // namespace

const MemberScan* read_members() {
  mk_nfname("sociantes.data");
  if (!read_file(file_name, data_read)) {
    rescan({});
    return nullptr;
  }
  // The file as it was last read or written (the usual case: another
  // workstation rarely writes between two commands) keeps its scan.
  const bool current = scan_current();
  if (current && data_read == data_text) return &data_scan;
  data_text.swap(data_read);
  if (!current || data_scan.text().data() != data_read.data()) {
    rescan(data_text);
    return &data_scan;
  }
  // Another workstation changed the file: the records it left as they were
  // are taken from the last scan (and their rows from the list), the
  // others read anew.
  data_mend.scan_changed(data_scan, data_text);
  std::swap(data_scan, data_mend);
  scan_base = scan_gen++;
  return &data_scan;
}

std::string& new_members() {
  data_new.clear();
  data_kept.begin_kept(kFields);
  kept_base = scan_gen;
  return data_new;
}

MemberScan* new_scan() { return &data_kept; }

int put_members(DirSync* later) {
  mk_nfname("sociantes.data");
  const int r = replace_steps(file_name, data_new, kKeepMode, later);
  if (r != 0) return r == kNotWritten ? 1 : 2;
  // What was written becomes the member file in memory; the old text's room
  // receives the next rewrite.
  data_text.swap(data_new);
  if (data_kept.end_kept(data_text)) {
    std::swap(data_scan, data_kept);
    ++scan_gen;
    scan_base = kept_base;
  } else {
    rescan({});
  }
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
  list_rows.clear();
  shown = Shown();
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

namespace {
// The flag column of rem into col.
void put_flags(std::string& col, std::string_view rem) {
  // One look at each byte of the remarks for the four flags.
  static const auto bit = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 4; ++i) t[static_cast<unsigned char>(kFlagChars[i])] = static_cast<unsigned char>(1 << i);
    return t;
  }();
  unsigned has = 0;
  for (char b : rem) has |= bit[static_cast<unsigned char>(b)];
  col.assign(5, ' ');
  for (int i = 0; i < 4; ++i)
    if (has & (1u << i)) col[static_cast<std::size_t>(i) + 1] = kFlagChars[i];
}
}  // namespace

std::string flag_column(std::string_view rem) {
  std::string col;
  put_flags(col, rem);
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
// Row n of the list: the record's reference, identification, name and flags.
void put_row(ListRow& row, const MemberScan& in, std::size_t n) {
  row[0].assign(in.shown(n, 12));
  row[1] = do_utf(in.shown(n, 11));
  row[2] = do_utf(in.shown(n, 1));
  put_flags(row[3], in.shown(n, 10));
}

// The rows of the records of in up to kListMax in the category, and the
// record of each row, built afresh or, with old (the rows of the scan in
// was kept from, old_rec their records), taken from the old rows where a
// record was copied without a change to what its row shows. Only the fields
// a row shows are taken; the records beyond the listed ones were scanned
// too, so damage anywhere in the file is found.
void fill_rows(const MemberScan& in, std::vector<ListRow>& rows, std::vector<ListRow>* old,
               const std::vector<int>& old_rec) {
  const std::string& sel = cat_txt[cat];
  const std::size_t listed = in.size() < static_cast<std::size_t>(kListMax) ? in.size() : kListMax;
  std::size_t r = 0;  // the first old row not passed
  rows.clear();
  rows.reserve(listed);
  row_rec.clear();
  for (std::size_t n = 0; n < listed; ++n) {
    if (cat != 0 && in.shown(n, 13).compare(0, sel.size(), sel) != 0) continue;
    row_rec.push_back(static_cast<int>(n));
    const std::size_t from = old ? in.origin(n) : kNoRecord;
    if (from != kNoRecord) {
      while (r < old_rec.size() && static_cast<std::size_t>(old_rec[r]) < from) ++r;
      const int f = in.changed(n);
      // A changed field other than the four shown leaves the row as it was.
      if (r < old_rec.size() && static_cast<std::size_t>(old_rec[r]) == from && f != 1 && f != 11 &&
          f != 12) {
        ListRow& row = rows.emplace_back(std::move((*old)[r]));
        if (f == 10) put_flags(row[3], in.shown(n, 10));
        continue;
      }
    }
    put_row(rows.emplace_back(), in, n);
  }
}

// Fills the member list from the member file in memory, scanned or not.
int list_members() {
  if (!scan_current()) rescan(data_text);
  const MemberScan& in = data_scan;
  const int list = member_list_ctl();
  fld::ref.clear();
  // The rows shown come back (the list is empty until they are handed over
  // again, below).
  if (list_rows.empty()) ws().list_set_rows(list, list_rows);
  const bool ours = list_rows.data() == shown.data && list_rows.size() == shown.size &&
                    shown.cat == cat && shown.sel == cat_txt[cat];
  if (ours && shown.gen == scan_gen) {
    // The same scan and category: the same rows.
  } else if (ours && shown.gen == scan_base) {
    const std::vector<int> old_rec = row_rec;
    fill_rows(in, next_rows, &list_rows, old_rec);
    list_rows.swap(next_rows);
    next_rows.clear();
  } else {
    fill_rows(in, list_rows, nullptr, {});
  }
  shown = {list_rows.data(), list_rows.size(), scan_gen, cat, cat_txt[cat]};
  ws().list_set_rows(list, list_rows);
  list_rows.clear();
  data_bad = in.bad_line();
  free_sel();
  clr_data();
  close_inputs();
  return 0;
}
}  // namespace

void hide_members() {
  const int list = member_list_ctl();
  if (list_rows.empty())
    ws().list_set_rows(list, list_rows);
  else
    ws().list_clear(list);
}

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
  if (!found) {
    // Another workstation deleted the member since the list was read: the
    // form would show the member shown before under this reference, and a
    // Modify would store that member under it. Nothing is selected, and the
    // list is read again.
    free_sel();
    fld::ref.clear();
    clr_data();
    show_cust();
    info(" This member is no longer in the member file \r\n (another workstation deleted it). "
         "\r\n The member list is read again. ",
         1);
    return;
  }
  get_xchg();
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
