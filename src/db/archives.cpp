// Making an archive: the directory, the copy and renewal of every history
// file with the progress shown in the dialog, then the copies of the member
// file and the settings file.
#include "db/archives.h"

#include <array>
#include <cstdio>
#include <set>
#include <string>

#include <unistd.h>

#include "db/members.h"
#include "db/pacing.h"
#include "db/records.h"
#include "db/util.h"
#include "platform/crash.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {

namespace {

const char* const kArchPrompt =
    "WARNING! This function will create an archive with all history files. \r\nCreate new empty "
    "history files and save the present database.\r\n Please enter an archive name\r\n using "
    "letters or digits, authorized separators are - _ and . \r\n Example 'ARCH_JAN-03";

// The end of an archive that fails: the dialog closes (its buttons are
// greyed while the archive runs), the message says why, the action ends.
void arch_failed(Dialog& d, const std::string& msg) {
  kill_dialog(d);
  info(msg, 1);
  end_action();
}

// The current member's fields, kept while the archive reads every record
// through them.
struct SavedMember {
  std::array<std::string, kFields + 1> f;  // fields 1..13
  SavedMember() {
    for (int i = 1; i <= kFields; ++i) f[static_cast<std::size_t>(i)] = fld::by_number(i);
  }
  ~SavedMember() {
    for (int i = 1; i <= kFields; ++i) fld::by_number(i) = f[static_cast<std::size_t>(i)];
  }
};

// Copies the file src of the data directory to dir; 0 on success.
int copy_into(const std::string& name, const std::string& dir) {
  mk_fname(name);
  std::string text;
  if (!read_file(file_name, text)) return 1;
  return replace_file(dir + name, text);
}

// Archives and renews the history files of the records in text, showing
// the progress in d. 0, or the step code of the failure (101, 102).
int arch_histories(Dialog& d, const std::string& text, const std::string& dir) {
  int n = 0;
  {
    MemberReader count(text);
    Record r;
    while (get_data(count, r, kFields) == kFields) ++n;
  }
  SavedMember saved;
  MemberReader in(text);
  // Each copy in the archive reaches the disk, file and directory, before
  // the history file it saves is replaced; the renewed history files' own
  // directory is flushed once, when the loop ends or stops. A machine that
  // stops meanwhile may bring back an old history file, never lose one.
  DirSync renewed;
  // A reference that several records share names one history file: it is
  // archived and renewed at its first record only (a second copy would
  // archive the history just renewed over the one saved).
  std::set<std::string> archived;
  for (int i = 1; i <= n; ++i) {
    char progress[64];
    std::snprintf(progress, sizeof progress, " Archive %u/%u OK ", static_cast<unsigned>(i),
                  static_cast<unsigned>(n));
    d.set_text(1005, progress);
    ws().repaint();
    pace_ms(1000);
    get_data(in, kFields);
    const std::string ref = data_xchg[12];
    if (plain_name(ref) && !archived.insert(ref).second) continue;
    if (!plain_name(ref) || copy_into(ref + ".dat", dir) != 0) return 101;
    get_xchg();
    mk_fname(ref + ".dat");
    if (replace_steps(file_name, mk_hist_text(), kKeepMode, &renewed) != 0) return 102;
    crash_point("archive:history");
  }
  return 0;
}

}  // namespace

bool arch_name_ok(const std::string& name) {
  if (name.empty() || name.size() > kArchNameMax || name == "." || name == "..") return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

bool plain_name(const std::string& ref) {
  return !ref.empty() && ref != "." && ref != ".." &&
         ref.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

void mk_arch() {
  if (action_busy()) return;
  if (nfs) {
    info(kRestricted, 1);
    end_action();
    return;
  }
  task_in = 16;
  set_status();
  info(kArchPrompt, 3);
}

void do_arch(Dialog& d) {
  const std::string name = tmp_str;
  // A name that is no plain directory name creates nothing.
  if (!arch_name_ok(name)) {
    arch_failed(d, kArchRefused);
    return;
  }
  mk_fname("archives.aff");
  make_dir(file_name);  // there already after the first archive
  const std::string dir = file_name + "/" + name + "/";
  if (make_dir(dir) != 0) {
    arch_failed(d, kArchRefused);
    return;
  }
  mk_fname("sociantes.data");
  std::string text;
  if (!read_file(file_name, text)) {
    ::rmdir(dir.c_str());  // nothing was archived: the name stays free
    arch_failed(d, " ERROR 100 ");
    return;
  }
  // A damaged member file would archive only the members before the damage
  // and still copy the whole file: refused before anything is archived.
  std::string top;
  if (const int bad = scan_data(text, top); bad != 0) {
    ::rmdir(dir.c_str());
    arch_failed(d, damage_text(bad, "Nothing was archived. Please repair the file first."));
    return;
  }
  if (int step = arch_histories(d, text, dir); step != 0) {
    arch_failed(d, " ERROR " + std::to_string(step) + " ");
    return;
  }
  // The member file as it was read for the archive, and the settings.
  if (replace_file(dir + "sociantes.data", text) != 0 || copy_into(kRcName, dir) != 0) {
    arch_failed(d, " ERROR 103 ");
    return;
  }
  kill_dialog(d);
  show_cust();
  end_action();
}

}  // namespace soc
