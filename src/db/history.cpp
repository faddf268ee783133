// History files and the history search through the outside `grep`.
#include "db/history.h"

#include <unistd.h>

#include "db/pacing.h"
#include "db/records.h"
#include "db/util.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

int grep_bound_ms = 60000;

namespace {

// text as one word for /bin/sh: in single quotes, each quote written '\''.
std::string sh_quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

std::string tmp_path(const char* name) {
  mk_tmp_fname(name);
  return file_name;
}

// Creates the empty flag file; 0 on success.
int make_flag(const std::string& path) {
  if (path.empty() || replace_file(path, "") != 0) return 1;
  return 0;
}

// The end of a search that found nothing to show: the wait notice goes, the
// action ends, and the message says why.
void grep_failed() {
  close_dialog();
  info(kGrepFailed, 1);
}

}  // namespace

void open_current(const std::string& suffix, Launch what) {
  if (action_busy()) return;
  if (fld::ref.empty()) {
    info(kNoMember, 1);
    return;
  }
  mk_nfname(fld::ref + suffix);
  sys().launch(what, file_name);
}

void do_hst() { open_current(".dat", Launch::editor); }

void grep_hst() {
  if (action_busy()) return;
  task_in = 11;
  set_status();
  info("               Please enter a criteria:                  ", 3);
}

std::string grep_script(const std::string& crit, const std::string& data_dir,
                        const std::string& clt, const std::string& flag) {
  // The pattern's directory is quoted, its file-name part is left to the
  // shell, which expands it to the history files.
  // -a: a history file is text even where it holds a byte of an older
  // Windows character set or a NUL; without it grep only says on its error
  // output that a "binary file" matches, and that member would be missing.
  return "grep -a -H -e " + sh_quote(crit) + " -- " + sh_quote(data_dir) +
         "A????.dat 2>/dev/null </dev/null > " + sh_quote(clt) + "\nrm -f " + sh_quote(flag) +
         "\n";
}

void do_grep(Dialog& d) {
  const std::string crit = tmp_str;
  mk_nfname("");
  const std::string data_dir = file_name;
  kill_dialog(d);
  info("    Please, wait....   ", 4);
  pace_ms(1000);
  const std::string flag = tmp_path("wait.flg");
  const std::string clt = tmp_path("grep.clt");
  const std::string out = tmp_path("grep_out.txt");
  const std::string script = tmp_path("do_grep.sh");
  if (make_flag(flag) != 0) {
    grep_failed();
    return;
  }
  ::unlink(out.c_str());
  ::unlink(clt.c_str());
  int job = 0;
  if (replace_file(script, grep_script(crit, data_dir, clt, flag)) != 0 ||
      sys().start_script(script, job) != 0) {
    ::unlink(flag.c_str());
    grep_failed();
    return;
  }
  // The wait for the script is bounded in real time, whatever clock the
  // program runs on: a grep that does not end is stopped and reported.
  const long long start = steady_ms();
  pace_ms(1000);
  const int poll = pacing_on() ? 1000 : 50;
  while (is_this_file(flag) == 0) {
    if (steady_ms() - start >= grep_bound_ms) {
      end_group(job);
      ::unlink(flag.c_str());
      grep_failed();
      return;
    }
    sys().poll_ms(poll);
  }
  format_grep();
  if (is_this_file(out) != 0) {
    close_dialog();
    info(kNoData, 1);
    return;
  }
  sys().launch(Launch::editor, out);
  close_dialog();
}

std::string format_grep_text(const std::string& raw) {
  const std::string stars(75, '*');
  std::string out, prev;
  bool first = true;
  std::size_t pos = 0;
  while (pos < raw.size()) {
    const std::size_t nl = raw.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? raw.size() : nl + 1;
    const std::string line = raw.substr(pos, end - pos);  // with its line end
    pos = end;
    // The file part ends at the first colon that is not the line's second
    // character (the colon of a drive letter).
    std::size_t colon = line.find(':');
    if (colon == 1) colon = line.find(':', 2);
    if (colon == std::string::npos) {
      out += line;  // no file part: the line stays under the last one
      continue;
    }
    const std::string part = line.substr(0, colon + 1);
    if (first || part != prev) {
      out += stars + "\r\n" + part + "\r\n";
      prev = part;
      first = false;
    }
    out += line.substr(colon + 1);
  }
  return out;
}

int format_grep() {
  std::string raw;
  if (!read_file(tmp_path("grep.clt"), raw)) return 1;
  return replace_file(tmp_path("grep_out.txt"), format_grep_text(raw)) == 0 ? 0 : 1;
}

}  // namespace soc
