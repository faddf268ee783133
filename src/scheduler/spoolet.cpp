// The scheduler's run: the mailing-file argument, the run state, the
// one-second state machine, the parts of a letters or labels run and the
// toolbar commands.
//
// A letters part is copied to a part file named after the mailing file and
// the number of parts still to print, then printed as a page; a labels part
// is one sheet printed straight from the open mailing file. After the last
// part the mailing file is deleted.
#include "scheduler/spoolet.h"

#include <cstdlib>

#include <unistd.h>

#include "scheduler/swinutil.h"

namespace soc::sched {

std::string file_name;
int labels = 0;
std::FILE* f = nullptr;
int top = 0;
int gap = 0;
int tot = 0;
int n = 0;
std::string prt_file;
int wait_tmr = 10;
int tics = 0;
int pause_st = 0;
int is_printing = 0;
std::string label_txt;
int run_on = 0;
int headers_read = 0;

namespace {

SpoolHost* the_host = nullptr;

const char* const kErrLabels = "Error printing labals";
const char* const kErrCaption = "Error";

std::string done() {
  return "Done: " + std::to_string(static_cast<unsigned>(tot - n)) + "/" +
         std::to_string(static_cast<unsigned>(tot));
}

bool is_end(const std::string& line) { return line == "#"; }

// The part name: the mailing file without its last four characters (the
// ".qmd"), the parts still to print and the extension.
std::string part_name(const char* ext) {
  const std::size_t keep = file_name.size() >= 4 ? file_name.size() - 4 : 0;
  return file_name.substr(0, keep) + std::to_string(n) + ext;
}

// The last part has been printed: the mailing file goes.
void finish() {
  if (f) std::fclose(f);
  f = nullptr;
  ::unlink(file_name.c_str());
  set_status("Status: Ok " + done());
}

void wait(int times, int ms) {
  for (int i = 0; i < times; ++i) host().sleep_ms(ms);
}

void next_letter() {
  if (!prt_file.empty()) ::unlink(prt_file.c_str());
  prt_file = part_name(".txt");
  set_status("Status: Setting up:" + prt_file + " " + done());
  std::FILE* out = std::fopen(prt_file.c_str(), "wb");
  std::string line;
  // Each line is copied byte for byte: a NUL in a member's field must not
  // cut the rest of its line off.
  while (read_line(f, line) && !is_end(line))
    if (out) {
      std::fwrite(line.data(), 1, line.size(), out);
      std::fputs("\r\n", out);
    }
  if (out) std::fclose(out);
  wait(10, 30);
  is_printing = 1;
  win_prt(prt_file);
  is_printing = 0;
  n = n - 1;
  set_status("Status: Waiting  " + done());
}

void next_sheet() {
  std::string line;
  if (!headers_read) {
    read_line(f, line);
    read_line(f, line);
    headers_read = 1;
  }
  prt_file = part_name(".ps");  // names the sheet; no file is written
  set_status("Status: Setting up:" + prt_file + " " + done());
  is_printing = 1;
  n = prt_win_labels(f, top, gap, n);
  is_printing = 0;
  if (n == kLabelsFailed) {
    n = 0;
    host().error_box(kErrLabels, kErrCaption);
  }
  wait(10, 100);
  set_status("Status: Waiting  " + done());
}

}  // namespace

void set_host(SpoolHost* h) { the_host = h; }

SpoolHost& host() { return *the_host; }

bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  if (!file) return false;
  int c;
  bool any = false;
  while ((c = std::fgetc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

std::string first_chars(const std::string& s, std::size_t count) {
  std::size_t chars = 0, i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (chars == count) break;
    ++chars;
  }
  return s.substr(0, i);
}

int take_argument(const std::vector<std::string>& args, const std::string& cmd_line,
                  std::string& caption, std::string& text) {
  // The path is the one argument, blanks and all; the quotes the main
  // program puts around it, when they reach here, are removed.
  std::string a = args.size() == 1 ? args[0] : std::string();
  if (!a.empty() && a.front() == '"') a.erase(0, 1);
  if (!a.empty() && a.back() == '"') a.pop_back();
  if (args.size() != 1 || a.size() < 3) {
    caption = "Error in command...";
    text = cmd_line;
    return 1;
  }
  // The kind is the first letter of the file's own name.
  const std::size_t slash = a.rfind('/');
  const char kind = slash + 1 < a.size() ? a[slash + 1] : '\0';
  if (kind != 'L' && kind != 'A') {
    caption = "Error in file name";
    text = a;
    return 1;
  }
  file_name = a;
  labels = kind == 'L' ? 1 : 0;
  return 0;
}

void reset_run() {
  if (f) std::fclose(f);
  f = nullptr;
  top = gap = tot = n = 0;
  prt_file.clear();
  wait_tmr = 10;
  tics = 0;
  pause_st = 0;
  is_printing = 0;
  label_txt.clear();
  run_on = 0;
  headers_read = 0;
}

void set_status(const std::string& text) {
  label_txt = text;
  host().show_status(label_txt);
}

void init_amps() {
  prt_file.clear();
  f = std::fopen(file_name.c_str(), "rb");
  if (!f) {
    host().error_box(kErrLabels, kErrCaption);
    return;
  }
  set_status("Status: Printing: " + file_name);
  std::string line;
  if (labels) {
    read_line(f, line);
    top = std::atoi(line.c_str());
    read_line(f, line);
    gap = std::atoi(line.c_str());
  }
  // Records end with a "#" line; a last record without its "#" line counts.
  int count = 0;
  bool open_record = false;
  while (read_line(f, line)) {
    if (is_end(line)) {
      ++count;
      open_record = false;
    } else if (!line.empty()) {
      open_record = true;
    }
  }
  if (open_record) ++count;
  n += count;
  tot = n;
  std::rewind(f);
}

void start_timer() {
  init_amps();
  host().start_ticks();
}

void timer_proc() {
  if (pause_st == 1) {
    set_status("Status: Stopped  " + done());
    return;
  }
  const std::string d = host().delay_text().substr(0, 30);
  wait_tmr = std::atoi(d.c_str());
  if (wait_tmr <= 0) wait_tmr = 10;  // no number (or none above 0): ten seconds
  if (tics == 0) {
    tics = wait_tmr;
    do_next_part();
  }
  if (wait_tmr < tics) tics = wait_tmr;
  if (!is_printing) tics = tics - 1;
}

void do_next_part() {
  if (n < 1) {
    finish();
    return;
  }
  if (labels)
    next_sheet();
  else
    next_letter();
}

void do_print() {
  if (!run_on) {
    run_on = 1;
    start_timer();
  } else if (pause_st == 1) {
    pause_st = 2;
    set_status("Status: Waiting  " + done());
  }
}

void do_pause() {
  if (run_on) pause_st = 1;
}

void declare_boxes() {
  boxesinit();
  boxinit(0, 1, 40);
  boxes[0].title = kDelayGroup;
  add_box(0, el_label, kDelayLabel);
  add_box(0, el_combo, kDelaySelect);
  add_box(0, el_label, kDelaySpacer);
}

}  // namespace soc::sched
