// Switching member folders on, and opening the current member's folder.
#include "db/folders.h"

#include "db/archives.h"
#include "db/history.h"
#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {

void activate_dirs() {
  if (action_busy()) return;
  if (nfs) {
    info(kRestricted, 1);
    return;
  }
  if (getrc("dirs") == "yes") {
    info("Folders are activated", 1);
    return;
  }
  task_in = 35;
  set_status();
  info("Do you really want to create a older\r\n for each member?", 2);
}

void create_dirs() {
  mk_fname("sociantes.data");
  const std::string members = file_name;
  if (lock_f() != 0) return;
  std::string text;
  if (!read_file(members, text)) {
    info("FATAL ERROR\r\nNo access to the database", 1);
    file_name = members;
    unlock_f();
    return;
  }
  // Folders for the members before a damaged line only, then "activated":
  // refused instead, nothing created.
  std::string top;
  if (const int bad = scan_data(text, top); bad != 0) {
    info(damage_text(bad, "Nothing was created. Please repair the file first."), 1);
    file_name = members;
    unlock_f();
    return;
  }
  MemberReader in(std::move(text));
  Record r;
  std::string failed;  // the first folder that could not be made
  while (get_data(in, r, kFields) == kFields) {
    if (!plain_name(r[12])) continue;  // a damaged reference names no folder
    mk_fname(r[12] + "_dir");
    // A folder that exists already is no error; anything else is.
    if (make_dir(file_name) != 0 && !is_dir(file_name) && failed.empty()) failed = file_name;
  }
  file_name = members;
  unlock_f();
  if (!failed.empty()) {
    info(" A member folder cannot be created: \r\n[ " + failed +
             " ] \r\n The folders are not activated. ",
         1);
    return;
  }
  if (save_rc("dirs", "yes") == 1) dirs = 1;
}

void open_dir() {
  if (dirs == 0) {
    info("Folders are not activated", 1);
    return;
  }
  open_current("_dir", Launch::explorer);
}

}  // namespace soc
