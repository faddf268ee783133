// The edit cycle of the member file: New, Modify, Delete, Save and Cancel,
// the reference counter under the numbering lock, the identification modes
// and the history file of a new member.
//
// Every save rewrites the whole member file under the member-file lock, in
// one pass over the file as read: the pass checks the whole file for damage
// and copies the unchanged records around the one that changes. The new
// content goes straight to the sibling of the member file and is put in
// place by a rename, so an interrupted save leaves the old file complete.
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/crash.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc {

namespace {

const char* const kNoSelection = " Sorry! No member is selected! ";
const char* const kStars = "*****";

int box_of(int f) { return form_ctl(form_elem_of_field(f)); }

// Locks of the data directory in use.
int lock_data() {
  mk_nfname("sociantes.data");
  return lock_f();
}
void unlock_data() {
  mk_nfname("sociantes.data");
  unlock_f();
}
int lock_new() {
  mk_nfname("wait4new");
  return lock_f();
}
void unlock_new() {
  mk_nfname("wait4new");
  unlock_f();
}

// A caption of the history file that the user may rename (field7, field8).
std::string caption_in_force(const char* key, const char* builtin) {
  std::string v = getnrc(key).substr(0, 21);
  return v.empty() ? builtin : v;
}

// The reply of a failed rewrite: which step, and that nothing changed.
std::string rewrite_error(const char* code, int put, const char* what) {
  std::string s = std::string(" ERROR ") + code + " \r\n";
  if (put == 1) {
    s += " The temporary file cannot be written: \r\n " + sibling_text() + " \r\n";
  } else {
    s += " The member file cannot be replaced. \r\n";
  }
  return s + " " + what + " ";
}

// ---- Save by action -----------------------------------------------------

// A new member that cannot be saved: the numbering lock goes, the action
// ends, the list comes back.
void abandon_new() {
  unlock_new();
  end_action();
  show_cust();
}

void save_new() {
  read_data();
  if (fld::name.empty()) {
    info("  Empty NAME field !!! ", 1);
    return;
  }
  if (lock_new() != 0) {
    end_action();
    show_cust();
    return;
  }
  // What cannot be saved keeps the form as it was typed; the action ends.
  auto keep_form = [] {
    task_in = 0;
    unlock_new();
    set_status();
  };
  const std::string counter = getnrc("ref");
  if (int st = chk_ref(counter); st != kRefOk) {
    if (st == kRefBad)
      info(" ERROR NEW_0 ", 1);
    else
      ref_used_up(counter);
    keep_form();
    return;
  }
  if (lock_data() != 0) {
    abandon_new();
    return;
  }
  const MemberScan* in = read_members();
  if (!in) {
    info(" ERROR NEW_3", 1);
    unlock_data();
    abandon_new();
    return;
  }
  const int bad = in->bad_line();
  const std::string given = bad == 0 ? ref_to_give(counter, top_ref_of(*in)) : counter;
  if (bad != 0 || ref_used_up(given)) {
    if (bad != 0) refuse_damaged(bad);
    unlock_data();
    keep_form();
    return;
  }
  fld::ref = given;
  fld::id = id_at_save(fld::id, given);
  const NewRecord rec = member_record();
  std::string& out = new_members();
  out.reserve(in->text().size() + rec.text.size());
  ins_sorted(*in, out, {&rec}, kNoRecord, new_scan());
  // The history file is written first, so that a program killed while it
  // saves never leaves a member without one: until the member file names
  // the reference, a history file of that name belongs to nobody and the
  // next New that is given the reference writes it afresh. Both reach the
  // disk with one flush of their directory, and that flush comes before the
  // counter is advanced: the counter never names a record that a power cut
  // could still undo.
  DirSync later;
  mk_nfname(given + ".dat");
  const std::string hist_path = file_name;
  const bool history = replace_steps(hist_path, mk_hist_text(), kKeepMode, &later) == 0;
  int put = put_members(&later);
  if (put == 0) crash_point("new:after_replace");
  unlock_data();
  if (put != 0) {
    if (history) ::unlink(hist_path.c_str());
    info(rewrite_error(put == 1 ? "NEW_6" : "NEW_7", put, "The new member is not saved."), 1);
    abandon_new();
    return;
  }
  // The record is stored: whatever fails from here on, the counter is
  // advanced so that its reference is never handed out again.
  later.sync();
  if (!history) info(" ERROR NEW_14 ", 1);
  if (history && dirs == 1) {
    mk_nfname(given + "_dir");
    if (make_dir(file_name) != 0) info(" ERROR NEW_DIR ", 1);
  }
  incr_cnt(0);
  end_action();
  show_written();
}

void save_del() {
  if (lock_data() != 0) {
    free_sel();
    end_action();
    return;
  }
  const MemberScan* in = read_members();
  if (!in) {
    info(" ERROR 6 ", 1);
    unlock_data();
    end_action();
    show_cust();
    return;
  }
  if (in->bad_line() != 0) {
    refuse_damaged(in->bad_line());
    unlock_data();
    end_action();
    show_cust();
    return;
  }
  std::string& out = new_members();
  out.reserve(in->text().size());
  ins_sorted(*in, out, {}, find_ref(*in, index_sel, sel_nth), new_scan());
  int put = put_members();
  unlock_data();
  if (put != 0) {
    info(rewrite_error(put == 1 ? "7" : "8", put, "The member is not deleted."), 1);
    end_action();
    show_cust();
    return;
  }
  free_sel();
  end_action();
  show_written();
}

void save_chg() {
  if (lock_data() != 0) {
    end_action();
    return;
  }
  const MemberScan* in = read_members();
  if (!in) {
    info(" ERROR 15 ", 1);
    unlock_data();
    end_action();
    return;
  }
  read_data();
  fld::ref = index_sel;
  if (in->bad_line() != 0) {
    // The form keeps the changes; Modify can be tried again after repair.
    refuse_damaged(in->bad_line());
    unlock_data();
    end_action();
    return;
  }
  // One pass: the selected record leaves its place and the member as changed
  // goes where its Name sorts among the others.
  const NewRecord rec = member_record();
  std::string& out = new_members();
  out.reserve(in->text().size() + rec.text.size());
  ins_sorted(*in, out, {&rec}, find_ref(*in, index_sel, sel_nth), new_scan());
  int put = put_members();
  unlock_data();
  if (put == 1) {
    info(" ERROR 16 ", 1);
    end_action();
    return;
  }
  if (put == 2) {
    info(rewrite_error("17", put, "The changes are not saved."), 1);
    end_action();
    return;
  }
  end_action();
  show_written();
}

}  // namespace

// ---- reference counter --------------------------------------------------

int chk_ref(const std::string& counter) {
  if (is_ref(counter)) return kRefOk;
  if (counter.size() == 6 && is_ref(counter.substr(0, 5)) && counter.compare(1, 5, "10000") == 0)
    return kRefUsedUp;
  return kRefBad;
}

long ref_key(const std::string& ref) {
  if (ref.empty()) return -1;
  return static_cast<unsigned char>(ref[0]) * 100000L + std::atol(ref.c_str() + 1);
}

std::string ref_to_give(const std::string& counter, const std::string& top_ref) {
  if (top_ref.empty()) return counter;
  const std::string after = next_ref(top_ref);
  return ref_key(after) > ref_key(counter) ? after : counter;
}

std::string next_ref(const std::string& ref) {
  std::string next = ref;
  for (std::size_t i = 4; i >= 1; --i) {
    if (next[i] != '9') {
      ++next[i];
      return next;
    }
    next[i] = '0';
  }
  return ref.substr(0, 1) + "10000";  // past letter 9999: nothing is left
}

int ref_used_up(const std::string& counter) {
  if (chk_ref(counter) != kRefUsedUp) return 0;
  info(" All member references up to " + counter.substr(0, 1) +
           "9999 have been given out. \r\n No new member can be added. ",
       1);
  return 1;
}

int incr_cnt(int flag) {
  (void)flag;
  const std::string next = next_ref(fld::ref);
  if ((nfs ? setnrc("ref", next) : setrc("ref", next)) != 1) {
    // The numbering lock stays: without it the same reference would be
    // handed out again. Deleting wait4new.lck after repairing the setting
    // frees the numbering.
    info(" ERROR NEW_15 \r\n The reference counter cannot be advanced to " + next +
             ". \r\n New members are refused until the setting is repaired \r\n and wait4new.lck "
             "is deleted. ",
         1);
    return 1;
  }
  unlock_new();
  return 0;
}

// ---- identification modes -------------------------------------------------

void auto_id(int mode) {
  if (nfs) {
    info(kRestricted, 1);
    return;
  }
  type_id = mode;
  save_rc("id_type", std::to_string(mode));
  set_status();
}

std::string new_id_box() {
  if (type_id == 1) return kStars;
  if (type_id != 2 && type_id != 3) return "";
  std::tm t = local_now();
  char date[32];
  std::snprintf(date, sizeof date, "%02d%02d%04d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
  return type_id == 2 ? std::string(date) : std::string(date) + kStars;
}

std::string id_at_save(const std::string& box, const std::string& ref) {
  if (type_id == 1) return ref;
  if (type_id != 3) return box;
  // The box holds the date and five placeholders; a shorter text (the mode
  // was changed during New) gets the reference appended.
  std::string head = box.size() < 5 ? box : cut_utf8(box, box.size() - 5);
  return cut_utf8(head, kFieldMax - ref.size()) + ref;
}

// ---- history file --------------------------------------------------------

std::string mk_hist_text() {
  const std::pair<int, std::string> rows[12] = {
      {1, "                 Name"},
      {2, "        First Name(s)"},
      {3, "              Address"},
      {4, "                 City"},
      {5, "         ZIP/PostCode"},
      {6, "            Tel Email"},
      {7, caption_in_force("field7", "           Profession")},
      {8, caption_in_force("field8", "          Nationality")},
      {9, "     Birthday & place"},
      {10, "              Remarks"},
      {13, "             Category"},
      {11, "       Identification"}};
  std::string s = "\r\n\r\n";
  s += std::string(29, ' ') + "Sociante's history\r\n";
  s += std::string(29, ' ') + std::string(19, '-') + "\r\n";
  for (const auto& [f, caption] : rows) s += caption + ": " + fld::by_number(f) + "\r\n";
  s += std::string(77, '*') + "\r\n";
  return s;
}

// ---- commands ---------------------------------------------------------

void do_new() {
  if (action_busy()) return;
  if (ref_used_up(getnrc("ref"))) return;
  task_in = 1;
  clr_data();
  fld::ref.clear();
  free_sel();
  ws().ctl_set_text(box_of(13), do_utf(cat_txt[cat]));
  ws().ctl_set_text(box_of(11), new_id_box());
  open_inputs();
  hide_members();
  set_status();
  clr_flgs();
  info(" Please fill up the fields and press <Save>  ", 0);
  ws().ctl_focus(box_of(1));
}

void do_chg() {
  if (action_busy()) return;
  if (index_sel.empty()) {
    info(kNoSelection, 1);
    return;
  }
  info("  Please modify the fields and press <Save> \r\n Note that the History file is not "
       "automatically updated  ",
       0);
  open_inputs();
  ws().ctl_focus(box_of(1));
  hide_members();
  task_in = 3;
  set_status();
  update_flgs(fld::rem);
}

void do_del() {
  if (index_sel.empty()) {
    info(kNoSelection, 1);
    return;
  }
  if (action_busy()) return;
  task_in = 2;
  set_status();
  hide_members();
  info("  Are you sure ??? \r\n  Please Click 'Yes' and then press <Save> \r\n  otherwise 'No' to "
       "cancel. \r\n",
       2);
}

void do_ok() {
  switch (task_in) {
    case 1: save_new(); break;
    case 2: save_del(); break;
    case 3: save_chg(); break;
    default: break;
  }
}

void cancel() {
  end_action();
  show_cust();
  fld::ref.clear();
}

}  // namespace soc
