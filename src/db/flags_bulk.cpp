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
  std::string text;
  if (!read_file(path, text)) {
    unlock();
    info(" ERROR FLG_1 \r\n The member file cannot be read; no flag was changed. ", 1);
    show_cust();
    return 1;
  }
  const char c = kFlagChars[((flg_code % 4) + 4) % 4];
  const bool add = flg_code >= 4;
  const std::string& sel = cat_txt[cat];
  std::string out;
  out.reserve(text.size() + text.size() / 64);
  MemberReader in(std::move(text));
  while (get_data(in, kFields) == kFields) {
    // The flag goes into the whole remarks field as stored; every other
    // field and every member left unchanged is copied byte for byte.
    std::string rem(in.field(10));
    const bool member = cat == 0 || data_xchg[13].compare(0, sel.size(), sel) == 0;
    if (member && (add ? add_flg(rem, c) : rm_flg(rem, c)) == 1)
      in.put_raw(out, 10, rem);
    else
      in.put_raw(out);
  }
  if (in.bad_line() != 0) {
    unlock();
    refuse_damaged(in.bad_line());
    show_cust();
    return 1;
  }
  int put = put_data_file(out);
  unlock();
  if (put != 0) {
    info(put == 1 ? " ERROR FLG_2 \r\n The temporary file cannot be written; no flag was changed. "
                  : " ERROR FLG_3 \r\n The member file cannot be replaced; no flag was changed. ",
         1);
  }
  show_cust();
  return put == 0 ? 0 : 1;
}

}  // namespace soc
