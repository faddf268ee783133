// The mailing files handed to the print scheduler spoolet: letters (Actions >
// Mailing) and address labels (Files > Print labels), the question that
// starts the scheduler, the label sheet adjustment and the letter address
// position settings they use.
//
// A mailing file is built whole from the member file read under the
// member-file lock and written at once; when the lock is not obtained no file
// is left behind and the action ends.
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "db/flags.h"
#include "db/util.h"
#include "documents/documents.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

namespace {

const char* const kLettersQuestion =
    " !!! WARNING !!! This function will start \r\n the 'MAIL PRINTER SCHEDULER' with the data \r\n"
    " filtered by the selected category and flags. \r\n Click <YES> to proceed or <NO> to cancel. "
    "\r\n";
const char* const kLabelsQuestion =
    "Addresses labels will be printed following  the selected category and flags.\r\n Do you want "
    "to proceed ? \r\n";

// A number setting read with atoi, def when absent or empty.
int number_setting(const char* key, int def) {
  const std::string v = getrc(key);
  return v.empty() ? def : std::atoi(v.c_str());
}

}  // namespace

int page_lt_value() {
  const int lt = number_setting("page_lt", 32);
  return lt < 0 ? 0 : lt > kPageLtMax ? kPageLtMax : lt;
}

// Bounded as the position dialog bounds it: a settings file edited by hand
// or converted from an old one may hold any number (two billion blank
// lines per member ran the program out of memory).
int page_up_value() {
  const int up = number_setting("page_up", 8);
  return up < 0 ? 0 : up > kPageUpMax ? kPageUpMax : up;
}

std::string letter_block(const Record& r, int up, int lt) {
  const std::string indent(lt > 0 ? static_cast<std::size_t>(lt) : 0, ' ');
  std::string s;
  for (int i = 0; i < up; ++i) s += "\r\n";
  s += indent + r[1] + " " + r[2] + "\r\n";
  // A line of "#" alone ends a record of a mailing file: an address that
  // reads so without an indent gets a blank after it, which prints as
  // nothing (it split the member in two and moved every later label).
  s += indent + r[3] + (lt <= 0 && r[3] == "#" ? " \r\n" : "\r\n");
  s += indent + r[5] + " " + r[4] + "\r\n";
  return s;
}

std::string letter_record(const Record& r, int up, int lt) { return letter_block(r, up, lt) + "#\r\n"; }

std::string label_record(const Record& r) { return letter_block(r, 0, 0) + "#\r\n"; }

int mailing(int kind) {
  const bool no_email = getrc(kind == 0 ? "mail_email_filter" : "labels_email_filter") == "yes";
  if (task_in != 27) {
    if (action_busy()) return 1;
    task_in = 17;
    set_status();
  }
  std::string text;
  int up = 0, lt = 0;
  if (kind == 0) {
    lt = page_lt_value();
    up = page_up_value();
  } else {
    const int gap = number_setting("labels_gap", 30);
    text = std::to_string(number_setting("labels_up", 30)) + "\r\n" + std::to_string(gap) + "\r\n";
  }
  get_flgs();
  mk_tmp_dir();
  const std::tm now = local_now();
  char name[16];
  std::snprintf(name, sizeof name, "%c%02d%02d.qmd", kind == 0 ? 'A' : 'L', now.tm_min, now.tm_sec);
  mk_tmp_fname(name);
  fmail = file_name;

  std::string members;
  if (read_members(members) != 0) {
    end_action();
    return 1;
  }
  MemberReader in(std::move(members));
  Record r;
  while (get_data(in, r, kFields) == kFields) {
    if (!in_cat(r) || eval_flg(r[10]) != 1) continue;
    if (no_email && r[6].find('@') != std::string::npos) continue;
    text += kind == 0 ? letter_record(r, up, lt) : label_record(r);
  }
  if (write_doc(fmail, text) != 0) {
    end_action();
    return 1;
  }
  if (kind == 0) info(kLettersQuestion, 2);
  return 0;
}

void labels_print() {
  if (action_busy()) return;
  task_in = 27;
  set_status();
  if (mailing(1) != 0) return;
  info(kLabelsQuestion, 2);
}

void mailing_go() {
  // spoolet takes the mailing file as its only argument and runs on its own;
  // it deletes the file after the last part. A scheduler that cannot be
  // started at all is said (the file stays for a later run).
  if (sys().launch(Launch::scheduler, fmail) != 0)
    info(" The print scheduler spoolet cannot be started. \r\n Nothing is printed; the "
         "mailing file stays: \r\n[ " + fmail + " ] ", 1);
  end_action();
}

void mailing_no() {
  if (!fmail.empty()) ::unlink(fmail.c_str());
}

void labels_setup() {
  if (action_busy()) return;
  task_in = 26;
  set_status();
  info("\r\nLabels are printed by 2 on the width and their number on the height depends on the "
       "next parameters in millimeters:",
       10);
}

int do_labels_data() {
  const std::size_t bar = tmp_str.find('|');
  const std::string up = tmp_str.substr(0, bar);
  const std::string gap = bar == std::string::npos ? std::string() : tmp_str.substr(bar + 1);
  return save_rc_many({{"labels_up", number_from_input(up)}, {"labels_gap", number_from_input(gap)}}) == 1
             ? 0
             : 1;
}

}  // namespace soc
