// Spreadsheet export and import (Files > Export / Import Spread sheet).
//
// The import holds the numbering lock and the member-file lock from the
// first reference handed out to the end. Its steps are ordered so that a
// kill at any moment leaves the member file old or new and the reference
// counter never behind a reference the member file holds: the history files
// first, then the counter past the last imported reference, then the member
// file replaced whole.
#include "import/import.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <numeric>

#include <fcntl.h>
#include <unistd.h>

#include "db/flags.h"
#include "db/members.h"
#include "db/pacing.h"
#include "db/records.h"
#include "db/util.h"
#include "documents/documents.h"
#include "import/filesel.h"
#include "platform/crash.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/dialog.h"

namespace soc {

namespace {

// Import columns 1..12 (modes 0 and 2) as member record fields.
constexpr int kColumnField[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11};
// Export columns 1..12 as member record fields (the reference is not exported).
constexpr int kExcelField[12] = {11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13};

// The command starters' common refusals; false when the command may start.
bool refused() {
  if (action_busy()) return true;
  if (nfs) {
    info(kRestricted, 1);
    return true;
  }
  return false;
}

int lock_named(const char* name) {
  mk_nfname(name);
  return lock_f();
}
void unlock_named(const char* name) {
  mk_nfname(name);
  unlock_f();
}

// Shows text in the open waiting dialog.
void wait_text(const std::string& text) {
  if (hdlg && !hdlg->ended()) hdlg->set_text(1005, text);
  ws().repaint();
}

// How the import stopped before its last line.
enum class Stop {
  none,        // every line imported
  bad_ref,     // the stored next reference is no reference: " ERROR NEW_0 "
  used_up,     // the references are used up (ref_used_up says so)
  history,     // a history file cannot be created: " ERROR I08 "
};

// The history file of a new member as mk_hist_text() makes it, with the
// captions read from the settings once for the whole import: the text is
// made once with a marker in place of each field value and cut there.
class HistForm {
 public:
  HistForm() {
    Record saved;
    for (int f = 1; f <= kFields; ++f) {
      saved[idx(f)] = fld::by_number(f);
      fld::by_number(f) = marker(f);
    }
    const std::string t = mk_hist_text();
    for (int f = 1; f <= kFields; ++f) fld::by_number(f) = saved[idx(f)];
    std::vector<std::pair<std::size_t, int>> at;  // marker position, field
    for (int f = 1; f <= kFields; ++f) {
      const std::size_t p = t.find(marker(f));
      if (p != std::string::npos) at.emplace_back(p, f);
    }
    std::sort(at.begin(), at.end());
    std::size_t from = 0;
    for (const auto& [p, f] : at) {
      parts_.emplace_back(t.substr(from, p - from), f);
      from = p + marker(f).size();
    }
    tail_ = t.substr(from);
    ok_ = at.size() == 12;  // every field but the reference; else made each time
  }
  // The text for the member in the field globals.
  std::string text() const {
    if (!ok_) return mk_hist_text();
    std::string s;
    s.reserve(1024);
    for (const auto& [head, f] : parts_) s += head + fld::by_number(f);
    return s + tail_;
  }

 private:
  static std::size_t idx(int f) { return static_cast<std::size_t>(f); }
  static std::string marker(int f) { return "\x01\x02" + std::to_string(f) + "\x03"; }
  std::vector<std::pair<std::string, int>> parts_;  // text before each field value, the field
  std::string tail_;                                // text after the last value
  bool ok_ = false;                                 // the markers were all found once
};

// Writes the history file of the member in the field globals.
int put_history(const HistForm& form, const std::string& ref) {
  mk_nfname(ref + ".dat");
  return write_file(file_name, form.text());
}

// The end of every path of the import after the waiting dialog opened.
void end_import() {
  close_dialog();
  end_action();
  show_cust();
}

}  // namespace

// ---- export ----------------------------------------------------------------

namespace {

// A file the member database keeps: in the data directory (local or
// network) or one of its archives, under a name the program uses. The file
// selection opens in the data directory, where the member file is the first
// file a slip of the mouse picks.
bool database_file(const std::string& chosen) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file = fs::canonical(chosen, ec);  // links followed to the file itself
  if (ec || !fs::is_regular_file(file, ec)) return false;
  const std::string name = file.filename().string();
  const bool kept = name == "sociantes.data" || name.rfind("sociantes.data.", 0) == 0 ||
                    name == kRcName || name == "sociantes.cat" || name == "sociantes.flg" ||
                    name == "form.data" || name == "pass.crpt" || name == "printer.dat" ||
                    (name.size() == 9 && name.compare(5, 4, ".dat") == 0 &&
                     is_ref(std::string_view(name).substr(0, 5)));
  if (!kept) return false;
  const std::string saved = file_name;  // the caller's current path stays
  mk_fname("");
  const std::string local = file_name;
  mk_nfname("");
  const std::string network = file_name;
  file_name = saved;
  for (const std::string& dir : {local, network}) {
    const fs::path top = fs::canonical(dir, ec);
    if (ec) continue;
    // Inside it at any depth (an archive keeps copies of these files).
    for (fs::path p = file.parent_path(); !p.empty(); p = p.parent_path()) {
      if (fs::equivalent(p, top, ec)) return true;
      if (p == p.root_path()) break;
    }
  }
  return false;
}

}  // namespace

void excel() {
  if (refused()) return;
  task_in = 20;
  set_status();
  filesel();
}

std::string excel_line(const MemberReader& in) {
  std::string line;
  for (int c = 0; c < 12; ++c) {
    if (c > 0) line += ';';
    line += in.field(kExcelField[c]);
  }
  return line + "\r\n";
}

void do_excel() {
  get_flgs();
  if (database_file(file_sel)) {
    info(" This file belongs to the member database and cannot be the export file: \r\n[ " +
             file_sel + " ] \r\n Nothing was written. ",
         1);
    end_action();
    return;
  }
  // The chosen file is emptied only once its rows are ready: a member file
  // that is locked or unreadable leaves it as it was.
  const int fd = ::open(file_sel.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    info(kCantOpen, 1);
    end_action();
    return;
  }
  std::string members;
  if (read_members(members) != 0) {
    ::close(fd);
    end_action();
    return;
  }
  std::string out;
  out.reserve(members.size());
  MemberReader in(std::move(members));
  Record r;
  while (get_data(in, r, kFields) == kFields)
    if (in_cat(r) && eval_flg(r[10]) == 1) out += excel_line(in);
  std::size_t done = 0;
  const bool emptied = ::ftruncate(fd, 0) == 0;
  while (emptied && done < out.size()) {
    const ssize_t w = fs_ops().write(fd, out.data() + done, out.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += static_cast<std::size_t>(w);
  }
  const bool closed = ::close(fd) == 0;
  if (!emptied || done < out.size() || !closed) {
    info(" The CSV file cannot be written: \r\n " + file_sel + " ", 1);
    end_action();
    return;
  }
  info(" The CSV file have been created. \r\n Columns are separated with ' ; ' ", 0);
  end_action();
}

// ---- import: the lines -------------------------------------------------------

int import_semis(int id_type) { return id_type == 1 || id_type == 3 ? 10 : 11; }

int chk_fields(const std::string& text, int semis, std::vector<std::string>& lines,
               bool& too_long) {
  lines.clear();
  too_long = false;
  LineReader in(text);
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) in.skip(3);
  std::string_view l;
  while (in.next(l)) {
    if (l.size() > kImportLineMax) {
      too_long = true;
      return in.number();
    }
    if (std::count(l.begin(), l.end(), ';') != semis) return in.number();
    lines.emplace_back(l);
  }
  return 0;
}

int unpack_data(const std::string& line) {
  const int columns = import_semis(type_id) + 1;
  std::size_t pos = 0;
  for (int c = 0; c < columns; ++c) {
    std::size_t end = line.find(';', pos);
    if (end == std::string::npos) end = line.size();
    fld::by_number(kColumnField[c]) = cut_utf8(line.substr(pos, end - pos), kFieldMax);
    pos = end < line.size() ? end + 1 : end;
  }
  if (columns < 12) fld::id.clear();
  return 0;
}

std::string import_id(const std::string& from_file, const std::string& ref, const std::tm& date) {
  if (type_id == 1) return ref;
  if (type_id != 3) return from_file;
  char d[32];
  std::snprintf(d, sizeof d, "%02d%02d%04d", date.tm_mday, date.tm_mon + 1, date.tm_year + 1900);
  return d + ref;
}

// ---- import: the member file -------------------------------------------------

void merge_members(std::string_view text, const std::vector<Record>& recs, std::string& out) {
  // Inserting one after the other puts a record before the first record of
  // the file whose Name sorts at or after its own. The records inserted
  // before it that sort at or after it stand in front of the same old
  // record, so among the new records only their own order counts: by Name,
  // and for equal Names the later line first. The one-pass rewrite of the
  // member file then places them as it places a new member.
  std::vector<std::size_t> order(recs.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const std::string& na = recs[a][1];
    const std::string& nb = recs[b][1];
    if (na == nb) return a > b;
    return chk_alfa(na, nb) == 0;
  });
  std::vector<NewRecord> add(order.size());
  std::vector<const NewRecord*> sorted;
  sorted.reserve(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    add[i].name = recs[order[i]][1];
    put_data(add[i].text, recs[order[i]], kFields);
    sorted.push_back(&add[i]);
  }
  MemberScan in;
  in.scan(text);
  ins_sorted(in, out, sorted);
}

// ---- import: the command -----------------------------------------------------

void import() {
  if (refused()) return;
  task_in = 21;
  set_status();
  filesel();
}

void do_import() {
  const std::tm today = local_now();
  std::string text;
  if (is_this_file(file_sel) != 0 || !read_file(file_sel, text)) {
    info(kCantOpen, 1);
    end_action();
    return;
  }
  info(" Analysing the file, Please wait. ", 4);
  pace_ms(1000);
  std::vector<std::string> lines;
  bool too_long = false;
  if (const int bad = chk_fields(text, import_semis(type_id), lines, too_long); bad != 0) {
    close_dialog();
    char msg[160];
    if (too_long)
      std::snprintf(msg, sizeof msg, "%s%u \n", " The line is longer than 510 characters: line ",
                    static_cast<unsigned>(bad));
    else
      std::snprintf(msg, sizeof msg, "%s%u \n", " The Number of fields incorrect in line: ",
                    static_cast<unsigned>(bad));
    info(msg, 1);
    end_action();
    return;
  }
  text.clear();
  wait_text(" The Number of fields is OK. ");
  pace_ms(1000);
  if (lines.empty()) {  // nothing to import: the member file is not touched
    end_import();
    return;
  }

  // The numbering lock first, as New takes it, so that the two never wait
  // for each other's second lock.
  if (lock_named("wait4new") != 0) {
    end_import();
    return;
  }
  auto unlock_all = [] {
    unlock_named("wait4new");
    unlock_named("sociantes.data");
  };
  if (lock_named("sociantes.data") != 0) {
    unlock_named("wait4new");
    end_import();
    return;
  }
  mk_nfname("sociantes.data");
  const std::string data_path = file_name;
  std::string old;
  if (!read_file(data_path, old)) {
    unlock_all();
    info("FATAL ERROR\r\nNo access to the database", 1);
    end_import();
    return;
  }
  std::string top;
  if (const int bad = scan_data(old, top); bad != 0) {
    unlock_all();
    close_dialog();
    refuse_damaged(bad);
    end_action();
    show_cust();
    return;
  }

  // Each line as its own save would do it: the next reference (never one
  // the member file holds), the identification, the history file.
  std::vector<Record> recs;
  recs.reserve(lines.size());
  Stop stop = Stop::none;
  std::string counter = getnrc("ref");
  std::string stop_ref;  // the counter value that stopped the import
  const HistForm hist;
  for (const std::string& line : lines) {
    if (chk_ref(counter) == kRefBad) {
      stop = Stop::bad_ref;
      break;
    }
    const std::string given = chk_ref(counter) == kRefOk ? ref_to_give(counter, top) : counter;
    if (chk_ref(given) != kRefOk) {
      stop = Stop::used_up;
      stop_ref = given;
      break;
    }
    unpack_data(line);
    fld::ref = given;
    fld::id = import_id(fld::id, given, today);
    Record r;
    put_xchg();
    for (int f = 1; f <= kFields; ++f) r[static_cast<std::size_t>(f)] = data_xchg[static_cast<std::size_t>(f)];
    recs.push_back(std::move(r));
    top = given;
    counter = next_ref(given);
    // The record of a line whose history file fails is stored all the same.
    if (put_history(hist, given) != 0) {
      stop = Stop::history;
      break;
    }
    crash_point("import:history");
  }

  if (!recs.empty()) {
    mk_nfname("");
    // The history files reach the disk before the member file names them;
    // when they cannot, nothing is imported (a failure is never a success).
    if (sync_fs(file_name) != 0) {
      unlock_all();
      close_dialog();
      info(" ERROR I08 \r\n The history files cannot be written to the disk. \r\n Nothing was imported. ",
           1);
      end_action();
      show_cust();
      return;
    }
    // The counter goes past every imported reference before any of them is
    // in the member file.
    if ((nfs ? setnrc("ref", counter) : setrc("ref", counter)) != 1) {
      unlock_all();
      close_dialog();
      info(" ERROR NEW_15 \r\n The reference counter cannot be advanced to " + counter +
               ". \r\n Nothing was imported. ",
           1);
      end_action();
      show_cust();
      return;
    }
    crash_point("import:counter");
    std::string out;
    out.reserve(old.size() + recs.size() * 160);
    merge_members(old, recs, out);
    if (replace_file(data_path, out) != 0) {
      unlock_all();
      close_dialog();
      info(" ERROR I07 \r\n The member file cannot be replaced. \r\n Nothing was imported. ", 1);
      end_action();
      show_cust();
      return;
    }
    crash_point("import:replaced");
  }
  unlock_all();

  // What a person sees: each imported Name for a second. Without pacing
  // the names pass unseen; the window is drawn once, with the last.
  const std::size_t shown = stop == Stop::history ? recs.size() - 1 : recs.size();
  const bool paced = pacing_on();
  for (std::size_t i = 0; i < shown; ++i) {
    if (hdlg && !hdlg->ended()) hdlg->set_text(1005, recs[i][1]);
    if (paced || i + 1 == shown) ws().repaint();
    if (paced) sys().sleep_ms(1000);
  }
  close_dialog();
  switch (stop) {
    case Stop::bad_ref: info(" ERROR NEW_0 ", 1); break;
    case Stop::used_up: ref_used_up(stop_ref); break;
    case Stop::history: info(" ERROR I08 ", 1); break;
    case Stop::none: break;
  }
  end_action();
  show_cust();
}

}  // namespace soc
