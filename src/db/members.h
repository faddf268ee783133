// The member file, the member list of the main window, the selection and the
// edit cycle (New, Modify, Delete, Save, Cancel), the reference counter and
// the identification modes.
//
// The member file is always rewritten whole: the new content is built in
// memory in one pass over the file as read and put in place by the safe
// replacement (a sibling file renamed over it), so that at every moment the
// member file is either the old or the new complete file.
#pragma once

#include <string>

#include "db/records.h"
#include "platform/fs.h"

namespace soc {

inline constexpr std::size_t kFormReadMax = 126;  // bytes read from a form box

extern std::string index_sel;   // reference of the selected member (its record lock is held); "" = none
extern int sel_nth;             // which record with reference index_sel is selected (0 = the first in file order)
extern int data_bad;            // damaged line of the member file found by the last list load; 0 = none

// The member file as a whole. scan_data reads the whole text: it returns
// the damaged line (0 = none) and leaves in top_ref the highest reference of
// one letter and four digits ("" = none). damage_text is the message of a
// damaged member file, with what follows from it (the tail) on the last
// lines. report_damage shows it at start-up when the list load found damage;
// refuse_damaged tells that a rewrite was refused and nothing changed.
int scan_data(const std::string& text, std::string& top_ref);
std::string top_ref_of(const MemberScan& in);   // the same from a scan: the highest reference, "" = none
std::string damage_text(int line, const std::string& tail);
void report_damage();
void refuse_damaged(int line);

// The member list.
std::string flag_column(std::string_view rem);   // the five-character flag column of a row
int show_cust();                                   // fills the member list from the file; returns 0
int show_written();                                // the same from the member file just written by put_members; returns 0
// Empties the member list for an edit; its rows are kept for the list shown
// after it.
void hide_members();
void free_sel();
// Says that ref cannot be selected (it is no reference) and selects nothing.
void refuse_selection(const std::string& ref);                                   // releases the record lock of index_sel, empties it

// The form.
void read_data();   // form boxes to the field globals, remarks composed with the flag boxes
void show_data();   // field globals to the form boxes and the flag boxes
void clr_data();    // empties the form boxes and the flag boxes

// Selection and category choice.
void selection_made(const std::string& ref);
void cat_sel(int index);

// The edit cycle.
void do_new();
void do_chg();
void do_del();
void do_ok();
void cancel();

// The reference counter. A reference is one letter and four digits; the
// counter holds the next one to hand out. After the last one (letter 9999)
// it holds the letter followed by "10000": the references are used up.
inline constexpr int kRefOk = 0;       // chk_ref: a reference can be handed out
inline constexpr int kRefUsedUp = 1;   // chk_ref: every reference up to 9999 was handed out
inline constexpr int kRefBad = 2;      // chk_ref: not a counter value
int chk_ref(const std::string& counter);
// The reference to hand out (New, the import): the larger of the counter
// and the one after top_ref, the highest reference in the member file being
// rewritten, so that a reference a stored record uses is never given again
// (after a kill between the rewrite and the counter, a lost settings file,
// a hand-edited counter). Both must be references (or top_ref "").
long ref_key(const std::string& ref);   // the order of references: by letter, then by number
std::string ref_to_give(const std::string& counter, const std::string& top_ref);
// The counter value that follows ref (ref must be handed out: kRefOk).
std::string next_ref(const std::string& ref);
// 1 (after a message) when the counter says the references are used up, else
// 0. New checks it when it starts and when it saves; so does the import.
int ref_used_up(const std::string& counter);
int incr_cnt(int flag);   // advances the counter past fld::ref, releases the numbering lock; 0 = stored

// The identification modes (Options > Auto Id).
void auto_id(int mode);
std::string new_id_box();                                        // the Identification box at New
std::string id_at_save(const std::string& box, const std::string& ref);  // field 11 stored at Save

// The history file of a new member, the content as created.
std::string mk_hist_text();

// The member file in memory. read_members reads the member file (network
// one in network mode) with one read into a buffer kept across operations
// and scans it once (a text byte for byte the one in memory keeps its scan);
// nullptr when it cannot be read. The scan stays valid until the next
// read_members or put_members. new_members is the buffer a rewrite builds
// the new file in: emptied, its room kept. new_scan is where the rewrite
// notes the records it writes (MemberScan::begin_kept, done by
// new_members), so that the file written need not be scanned again.
const MemberScan* read_members();
std::string& new_members();
MemberScan* new_scan();
// Puts new_members() in place as the member file through the safe
// replacement: its sibling file receives the content and is renamed over
// it. 0 = done (the new content is then the member file in memory, for
// show_written, with its scan when new_scan holds all of it), 1 = the new file cannot be written, 2 = the member file
// cannot be replaced (it is unchanged in both cases). With later, the flush
// of the directory is left to it.
int put_members(DirSync* later = nullptr);
// The path shown when the new member file cannot be written: the member
// file's sibling.
std::string sibling_text();

void members_reset();  // tests

}  // namespace soc
