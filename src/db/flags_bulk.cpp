// The bulk flag change (Flags > Set / Reset): one flag character added to or
// removed from the remarks field of every member of the selected category,
// in one rewrite of the member file under the member-file lock.
#include <string>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {

void set_all_flgs(int code) {
  if (nfs) {
    info(kRestricted, 1);
    end_action();
    return;
  }
  if (action_busy()) return;
  task_in = 28;
  set_status();
  flg_code = code;
  info(" Please ensure no other user is being changing data. \r\n  Do you really want to modify "
       "all flags for the selected category? ",
       2);
}

int do_all_flgs() {
  mk_nfname("sociantes.data");
  const std::string path = file_name;
  if (lock_f() != 0) {
    end_action();
    show_cust();
    return 1;
  }
  auto unlock = [&path] {
    file_name = path;
    unlock_f();
  };
  const MemberScan* in = read_members();
  if (!in) {
    unlock();
    info(" ERROR FLG_1 \r\n The member file cannot be read; no flag was changed. ", 1);
    show_cust();
    return 1;
  }
  if (in->bad_line() != 0) {
    unlock();
    refuse_damaged(in->bad_line());
    show_cust();
    return 1;
  }
  const char c = kFlagChars[((flg_code % 4) + 4) % 4];
  const bool add = flg_code >= 4;
  const std::string& sel = cat_txt[cat];
  std::string& out = new_members();
  out.reserve(in->text().size() + in->size() * 2);
  std::string rem;
  std::size_t from = 0;  // the first record not copied yet
  for (std::size_t k = 0; k < in->size(); ++k) {
    // The flag goes into the whole remarks field as stored; every other
    // field and every member left unchanged is copied byte for byte.
    if (cat != 0 && in->shown(k, 13).compare(0, sel.size(), sel) != 0) continue;
    rem.assign(in->field(k, 10));
    if ((add ? add_flg(rem, c) : rm_flg(rem, c)) != 1) continue;
    in->copy(out, from, k, new_scan());
    in->copy_with(out, k, 10, rem, new_scan());
    from = k + 1;
  }
  in->copy(out, from, in->size(), new_scan());
  int put = put_members();
  unlock();
  if (put != 0) {
    info(put == 1 ? " ERROR FLG_2 \r\n The temporary file cannot be written; no flag was changed. "
                  : " ERROR FLG_3 \r\n The member file cannot be replaced; no flag was changed. ",
         1);
    show_cust();
  } else {
    show_written();
  }
  return put == 0 ? 0 : 1;
}

}  // namespace soc
