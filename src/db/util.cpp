// Data directory, path composers, settings files, lock files, the start-up
// check with its upgrade chain, and the network mode commands.
#include "db/util.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/categories.h"
#include "db/members.h"
#include "db/records.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/dialog.h"

namespace soc {

std::string home;
std::string file_name;
std::string tmp_root;
std::string check_note;
int nfs = 0;
int type_id = 0;
int dirs = 0;
int bip = 1;
int info_flg = 1;
int listing_type = 0;

namespace {

const char* const kRule = "##################################################################";
const char* const kRcTitle = "#        RC for Sociantes. Please, do not edit manually!";
const char* const kLockText =
    " Operation or data looks locked by another user. \r\nPlease try again later... ";

std::string data_dir() { return home + "sociantes_db/"; }

// The network data directory: win_net_path with one final separator. A path
// typed the Windows way with a final backslash is accepted.
std::string net_dir() {
  std::string p = getrc("win_net_path");
  if (!p.empty() && p.back() == '\\') p.back() = '/';
  if (p.empty() || p.back() != '/') p += '/';
  return p;
}

// Reads the value of key from the settings file at path ("" when missing).
std::string read_rc(const std::string& path, const std::string& key) {
  std::vector<std::string> lines;
  if (!read_lines(path, lines)) return "";
  for (auto& line : lines) {
    if (line.size() > kRcLineMax) line.resize(kRcLineMax);
    if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 &&
        line[key.size()] == '=')
      return line.substr(key.size() + 1);
  }
  return "";
}

// Rewrites the settings file at path with each key=value of settings. 1 on
// success, 0 when the file cannot be read or replaced.
int write_rc(const std::string& path, const std::vector<Setting>& settings) {
  std::vector<std::string> lines;
  if (!read_lines(path, lines)) return 0;
  std::vector<std::string> out;
  std::vector<bool> found(settings.size(), false);
  // A value is one line: a pasted line break would start a setting of its own.
  auto entry = [&settings](std::size_t i) {
    const auto& [key, value] = settings[i];
    return key + "=" + value.substr(0, value.find_first_of("\r\n"));
  };
  for (const auto& line : lines) {
    const std::size_t eq = line.find('=');
    std::size_t i = settings.size();
    if (eq != std::string::npos)
      for (i = 0; i < settings.size(); ++i)
        if (line.compare(0, eq, settings[i].first) == 0 && settings[i].first.size() == eq) break;
    if (i < settings.size()) {
      out.push_back(entry(i));
      found[i] = true;
    } else if (line.size() >= 2) {
      out.push_back(line);
    }
  }
  for (std::size_t i = 0; i < settings.size(); ++i)
    if (!found[i]) {
      out.push_back(entry(i));
      found[i] = true;
      // A key given twice is stored once, with its first value.
      for (std::size_t j = i + 1; j < settings.size(); ++j)
        if (settings[j].first == settings[i].first) found[j] = true;
    }
  return replace_file(path, join_crlf(out)) == 0 ? 1 : 0;
}

int write_rc(const std::string& path, const std::string& key, const std::string& value) {
  return write_rc(path, std::vector<Setting>{{key, value}});
}

// Creates a settings file with the header and the given extra lines.
// Creates a new file with content; never touches a file that is there
// already (one that could not be read must not be overwritten). 0 on success.
int create_new(const std::string& path, const std::string& content) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return 1;
  bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  return (::close(fd) == 0 && ok) ? 0 : 1;
}

int create_rc(const std::string& path, const std::vector<std::string>& extra) {
  std::vector<std::string> lines{kRule, kRcTitle, kRule};
  lines.insert(lines.end(), extra.begin(), extra.end());
  return create_new(path, join_crlf(lines));
}

int create_empty(const std::string& path) { return create_new(path, ""); }

// First line of a file cut to n bytes; false when the file is missing.
bool first_lines(const std::string& path, std::vector<std::string>& lines) {
  if (is_this_file(path) != 0) return false;
  return read_lines(path, lines);
}

}  // namespace

void util_reset() {
  file_name.clear();
  check_note.clear();
  nfs = 0;
  type_id = 0;
  dirs = 0;
  bip = 1;
  info_flg = 1;
  listing_type = 0;
}

void get_home() {
  const char* h = std::getenv("HOME");
  std::string s = h ? h : "";
  if (s.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid())) s = pw->pw_dir;
  }
  if (s.empty() || s.back() != '/') s += '/';
  home = s;
  const char* c = std::getenv("XDG_CACHE_HOME");
  std::string cache = (c && *c) ? std::string(c) : home + ".cache";
  if (cache.back() != '/') cache += '/';
  tmp_root = cache + "sociantes/tmp/";
}

void mk_fname(const std::string& name) { file_name = data_dir() + name; }

void mk_nfname(const std::string& name) {
  if (nfs)
    file_name = net_dir() + name;
  else
    mk_fname(name);
}

void mk_tmp_fname(const std::string& name) {
  // A refused temporary directory yields an empty path, which no open accepts.
  file_name = tmp_root.empty() ? std::string() : tmp_root + name;
}

int is_this_file(const std::string& path) {
  if (path.empty() || is_dir(path)) return 1;
  return ::access(path.c_str(), R_OK) == 0 ? 0 : 1;
}

int chk_file() { return is_this_file(file_name); }

long get_file_len(const std::string& path) {
  // Opened for reading only: a file the user may read but not write (a
  // camera card, a CD) has a length too.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  long len = ::fstat(fd, &st) == 0 ? static_cast<long>(st.st_size) : -1;
  ::close(fd);
  return len;
}

namespace {
// The path of the local or network settings file; the current path is kept.
std::string rc_path(bool network) {
  std::string saved = file_name;
  if (network)
    mk_nfname(kRcName);
  else
    mk_fname(kRcName);
  std::string path = file_name;
  file_name = saved;
  return path;
}
}  // namespace

std::string getrc(const std::string& key) { return read_rc(rc_path(false), key); }

std::string getnrc(const std::string& key) { return read_rc(rc_path(true), key); }

int setrc(const std::string& key, const std::string& value) {
  return write_rc(rc_path(false), key, value);
}

int setrc_many(const std::vector<Setting>& settings) {
  return write_rc(rc_path(false), settings);
}

int save_rc_many(const std::vector<Setting>& settings) {
  if (setrc_many(settings) == 1) return 1;
  info(" The settings file cannot be written: \r\n" + rc_path(false) +
           " \r\n The setting is not stored. ",
       1);
  return 0;
}

int save_rc(const std::string& key, const std::string& value) { return save_rc_many({{key, value}}); }

int setnrc(const std::string& key, const std::string& value) {
  std::string saved = file_name;
  mk_nfname(kRcName);
  if (lock_f() != 0) {
    file_name = saved;
    return 0;
  }
  int r = write_rc(file_name, key, value);
  unlock_f();
  file_name = saved;
  return r;
}

void chk_options() {
  bip = getrc("bip") != "no";
  info_flg = getrc("info") != "no";
  type_id = static_cast<int>(clamp_num(getrc("id_type"), 0, 3));
  nfs = getrc("network") == "yes";
  if (getrc("dirs") == "yes") dirs = 1;
  if (nfs) {
    type_id = static_cast<int>(clamp_num(getnrc("id_type"), 0, 3));
    dirs = getnrc("dirs") == "yes";
  }
  static const char* const rules[] = {"none", "or", "and", "nor", "nand"};
  std::string f = getrc("flag_filter");
  for (int i = 0; i < 5; ++i)
    if (f == rules[i]) listing_type = i;
}

long clamp_num(const std::string& text, long lo, long hi) {
  long long v = std::strtoll(text.c_str(), nullptr, 10);  // out of range: LLONG_MIN or LLONG_MAX
  if (v < lo) return lo;
  if (v > hi) return hi;
  return static_cast<long>(v);
}

// ---- locks ----------------------------------------------------------------
//
// The lock file records its owner, one key=value line each (host, pid, user,
// machine, boot, time), so that a lock left by a program that was killed can
// be told from one that is in use. Presence of the file stays the lock.

namespace {

struct LockOwner {
  std::string host;        // host name of the workstation that took it
  long pid = 0;            // its process id there
  std::string user;        // the user running that program
  std::string machine;     // machine id of that host; "" = unknown there
  std::string boot;        // boot id of that host when taken; "" = unknown there
  std::string time;        // when taken, "YYYY-MM-DD HH:MM:SS UTC"
  bool complete = false;   // every field was read and the record ends with its line end
};

std::string utc_text(std::time_t t) {
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S UTC", &tm);
  return buf;
}

std::string owner_record() {
  return "host=" + host_name() + "\r\npid=" + std::to_string(process_id()) + "\r\nuser=" +
         user_name() + "\r\nmachine=" + machine_id() + "\r\nboot=" + boot_id() + "\r\ntime=" +
         utc_text(sys().now()) + "\r\n";
}

LockOwner parse_owner(const std::string& text) {
  LockOwner o;
  int fields = 0;
  for (const auto& line : split_lines(text)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "host") o.host = value;
    else if (key == "pid") o.pid = std::atol(value.c_str());
    else if (key == "user") o.user = value;
    else if (key == "machine") o.machine = value;
    else if (key == "boot") o.boot = value;
    else if (key == "time") o.time = value;
    else continue;
    ++fields;
  }
  o.complete = fields == 6 && !o.host.empty() && o.pid > 0 && text.size() >= 2 &&
               text.compare(text.size() - 2, 2, "\r\n") == 0;
  return o;
}

// Reads the owner of the lock file lck, and the identity of the file read.
bool read_owner(const std::string& lck, LockOwner& o, struct stat& st) {
  int fd = ::open(lck.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  std::string text;
  char buf[512];
  ssize_t n = 0;
  bool ok = ::fstat(fd, &st) == 0;
  while (ok && text.size() < 4096 && (n = ::read(fd, buf, sizeof buf)) > 0) text.append(buf, n);
  ::close(fd);
  o = parse_owner(text);
  return ok;
}

// The owner ran on this host since its last start: the same host name and
// the same boot id (random at every start, so never another machine's).
bool same_boot(const LockOwner& o) {
  return o.complete && o.host == host_name() && !o.boot.empty() && o.boot == boot_id();
}

// The owner certainly runs no more: it ran in this boot of this host and
// its process is gone, or it ran on this machine (same host name and machine
// id) before its last start. A host of the same name that is another machine
// is never judged: its lock is left to the user.
bool owner_gone(const LockOwner& o) {
  if (same_boot(o)) return !process_alive(o.pid);
  return o.complete && o.host == host_name() && !o.machine.empty() &&
         o.machine == machine_id() && !o.boot.empty() && !boot_id().empty();
}

// Removes the lock file lck when its owner is gone. The file is first moved
// aside and checked to be the one judged, so that of two programs of this
// host that judge the same dead lock, neither removes the lock the other has
// just taken. true when removed.
bool break_dead_lock(const std::string& lck) {
  LockOwner o;
  struct stat judged;
  if (!read_owner(lck, o, judged) || !owner_gone(o)) return false;
  const std::string aside = lck + ".dead" + std::to_string(process_id());
  if (::rename(lck.c_str(), aside.c_str()) != 0) return false;
  struct stat moved;
  const bool same = ::lstat(aside.c_str(), &moved) == 0 && moved.st_ino == judged.st_ino &&
                    moved.st_dev == judged.st_dev;
  if (!same) ::link(aside.c_str(), lck.c_str());  // a lock just taken: put it back
  ::unlink(aside.c_str());
  return same;
}

enum class Take { taken, held, failed };

// One attempt at creating the lock file with its owner; err receives the
// cause of a failure. The lock file appears with its owner already in it:
// of two workstations racing for the same lock exactly one makes it, and a
// program killed while taking it never leaves a lock that names nobody
// (which no one could then judge).
Take take_lock(const std::string& lck, int& err) {
  switch (link_new(lck, owner_record(), err)) {
    case LinkNew::made: return Take::taken;
    case LinkNew::exists: return Take::held;
    case LinkNew::failed: break;
  }
  return Take::failed;
}

// A copy of a lock record that a program killed while taking a lock left
// (the named way of link_new): removed once its owner is gone.
void remove_dead_lock_copy(const std::string& path) {
  LockOwner o;
  struct stat st;
  if (read_owner(path, o, st) && S_ISREG(st.st_mode) && owner_gone(o)) ::unlink(path.c_str());
}

// One attempt, breaking a lock whose owner is gone; no wait, no message.
Take try_lock(const std::string& lck, int& err) {
  Take t = take_lock(lck, err);
  for (int broken = 0; t == Take::held && broken < 10 && break_dead_lock(lck); ++broken)
    t = take_lock(lck, err);
  return t;
}

std::string age_text(long s) {
  if (s < 0) s = 0;
  if (s < 120) return std::to_string(s) + " seconds";
  if (s < 7200) return std::to_string(s / 60) + " minutes";
  if (s < 172800) return std::to_string(s / 3600) + " hours";
  return std::to_string(s / 86400) + " days";
}

// What the lock message adds after the design's text: the lock file, its
// owner and age, and the way out.
std::string lock_details(const std::string& lck) {
  std::string s = "\r\n Lock file: " + lck + " ";
  LockOwner o;
  struct stat st;
  if (!read_owner(lck, o, st) || !o.complete) {
    return s + "\r\n It records no owner (an older version, or a program stopped "
               "while taking it). \r\n If no workstation is working on these data, "
               "\r\n delete the lock file to release the lock. ";
  }
  const bool here = same_boot(o);
  s += "\r\n Owner: user " + o.user + ", process " + std::to_string(o.pid) + " on " +
       (here ? "this host (" + o.host + "), still running" : "host " + o.host) + ", ";
  std::tm tm{};
  if (std::sscanf(o.time.c_str(), "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                  &tm.tm_hour, &tm.tm_min, &tm.tm_sec) == 6) {
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    s += "\r\n since " + o.time + " (" + age_text(static_cast<long>(sys().now() - ::timegm(&tm))) +
         "). ";
  } else {
    s += "\r\n taken at an unknown time. ";
  }
  if (here)
    return s + "\r\n Finish the operation in that program or close it, then try again. ";
  return s + "\r\n If that program no longer runs there, \r\n delete the lock file to release "
             "the lock. ";
}

// Why a lock file could not be created, in the user's words.
std::string lock_failure(const std::string& lck, int err) {
  std::string cause = std::strerror(err);
  if (err == ENOENT || err == ENOTDIR)
    cause += ": the directory does not exist or is not mounted";
  else if (err == EACCES || err == EPERM || err == EROFS)
    cause += ": the directory cannot be written";
  else if (err == ENOSPC || err == EDQUOT)
    cause += ": the disk is full";
  return " The lock file cannot be created: \r\n[ " + lck + " ] \r\n " + cause +
         ". \r\n The operation is abandoned; nothing was changed. ";
}

}  // namespace

int lock_f() {
  const std::string lck = file_name + ".lck";
  for (int attempt = 0; attempt < 10; ++attempt) {
    int err = 0;
    Take t = try_lock(lck, err);
    if (t == Take::taken) return 0;
    if (t == Take::failed) {
      info(lock_failure(lck, err), 1);
      return 1;
    }
    sys().sleep_ms(300);
  }
  info(" " + std::string(kLockText) + "\r\n[ " + file_name + " ] " + lock_details(lck), 1);
  return 1;
}

int unlock_f() {
  const std::string lck = file_name + ".lck";
  // A lock that records another owner is not ours to remove (it was broken
  // by hand and taken since).
  LockOwner o;
  struct stat st;
  if (read_owner(lck, o, st) && o.complete &&
      (o.host != host_name() || o.pid != process_id()))
    return 0;
  ::unlink(lck.c_str());
  return 0;
}

void clean_scratch() {
  const std::time_t now = sys().now();
  std::vector<std::string> dirs_in_use{data_dir(), tmp_root};
  if (nfs) dirs_in_use.push_back(net_dir());
  for (const auto& d : dirs_in_use) {
    if (d.empty()) continue;
    remove_old_siblings(d, now, kScratchAge);
    // Locks left by programs of this host that run no more (a member that
    // was deleted as the program ended would keep its lock for ever).
    // And the copies of lock records such programs left.
    for (const auto& name : names_ending(d, "")) {
      if (name.ends_with(".lck"))
        break_dead_lock(d + name);
      else if (name.find(".lck.new-") != std::string::npos && is_sibling_name(name))
        remove_dead_lock_copy(d + name);
    }
  }
  // Every rewrite of the member file holds the member-file lock, and every
  // rewrite of the network settings their lock: while this program holds
  // such a lock, a sibling of that file is a leftover whatever its age.
  const std::string saved = file_name;
  for (const char* locked : {"sociantes.data", nfs ? kRcName : ""}) {
    if (*locked == '\0') continue;
    mk_nfname(locked);
    int err = 0;
    if (try_lock(file_name + ".lck", err) == Take::taken) {
      remove_siblings(file_name);
      unlock_f();
    }
  }
  file_name = saved;
}

int mk_tmp_dir() {
  if (tmp_root.empty()) return 1;
  // Create the parents as needed, the last component private to this user.
  std::string dir = tmp_root.substr(0, tmp_root.size() - 1);
  for (size_t pos = 1; (pos = dir.find('/', pos)) != std::string::npos; ++pos)
    ::mkdir(dir.substr(0, pos).c_str(), 0700);
  ::mkdir(dir.c_str(), 0700);
  struct stat st;
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return 1;
  if (st.st_uid != ::geteuid()) {
    ws().message_box(" The temporary directory belongs to another user: \r\n" + dir +
                         " \r\nIt is not used. ",
                     "STOP", Icon::error);
    tmp_root.clear();
    return 1;
  }
  if ((st.st_mode & 0077) != 0) ::chmod(dir.c_str(), 0700);
  return 0;
}

int check_db() {
  check_note.clear();
  mk_fname("sociantes.data");
  if (chk_file() != 0) {
    int failed = 0;
    mk_tmp_dir();
    if (make_dir(home + "sociantes_db", 0700) != 0) failed = 1;
    if (make_dir(home + "sociantes_db/photos") != 0) failed = 1;
    mk_fname("sociantes.data");
    if (create_empty(file_name) != 0) failed = 1;
    mk_fname("sociantes.cat");
    if (create_empty(file_name) != 0) failed = 1;
    mk_fname(kRcName);
    if (create_rc(file_name, {"ref=A0000"}) != 0) failed = 1;
    if (setrc("version", kVersion) != 1) failed = 1;
    return failed ? 2 : 1;
  }
  mk_tmp_dir();
  // A settings file that is there but cannot be read tells nothing about the
  // layout: nothing is upgraded, nothing is written.
  mk_fname(kRcName);
  const std::string rc = file_name;
  std::string probe;
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(rc, ec)) && !read_file(rc, probe)) {
    check_note = " The settings file cannot be read: \r\n " + rc +
                 " \r\n The data directory was not upgraded and nothing was written. \r\n Every "
                 "setting has its default until the file can be read. ";
    return kCheckRcUnreadable;
  }
  std::string version = getrc("version");
  int major = 0, minor = 0;
  if (version.size() > 3) {
    size_t v = version.find('v');
    if (v != std::string::npos) {
      major = std::atoi(version.c_str() + v + 1);
      if (v + 3 <= version.size()) minor = std::atoi(version.c_str() + v + 3);
    }
  } else {
    std::vector<std::string> old;
    mk_fname("version.data");
    if (first_lines(file_name, old) && !old.empty()) version = old[0];
  }
  if (version == kVersion) return 0;
  if (major <= 1) {
    make_dir(home + "sociantes_db/photos");
    major = 2;
    minor = 0;
  }
  if (major == 2 && minor <= 1) {
    mk_fname(kRcName);
    if (chk_file() != 0) {
      create_rc(file_name, {});
      convert_options();
    }
    minor = 2;
  }
  // A member file that should have been converted and was not keeps the old
  // version: the conversion is tried again at the next start.
  if (major == 2 && minor <= 5 && upg2_6() != 0) return kCheckNotConverted;
  // Settings without a counter (made anew, or emptied) go on after the
  // highest reference of the member file.
  if (getrc("ref").empty()) {
    std::string text, top;
    mk_fname("sociantes.data");
    if (read_file(file_name, text)) scan_data(text, top);
    setrc("ref", ref_to_give("A0000", top));
  }
  setrc("version", kVersion);
  return 3;
}

int convert_options() {
  auto exists = [](const char* name) {
    mk_fname(name);
    return chk_file() == 0;
  };
  setrc("bip", exists(".bipoff") ? "no" : "yes");
  setrc("info", exists(".infoff") ? "no" : "yes");
  std::vector<std::string> lines;
  mk_fname(".auto_id.dat");
  if (first_lines(file_name, lines) && !lines.empty() && !lines[0].empty())
    setrc("id_type", lines[0].substr(0, 1));
  else
    setrc("id_type", "0");
  setrc("network", exists("nfs.data") ? "yes" : "no");
  const std::pair<const char*, const char*> firsts[] = {
      {"name.data", "title"}, {"field7.dat", "field7"}, {"field8.dat", "field8"}, {"ref.data", "ref"}};
  for (const auto& [file, key] : firsts) {
    mk_fname(file);
    if (first_lines(file_name, lines) && !lines.empty()) setrc(key, lines[0].substr(0, 29));
  }
  mk_fname("page.data");
  if (first_lines(file_name, lines)) {
    if (lines.size() > 0) setrc("page_lt", lines[0].substr(0, 10));
    if (lines.size() > 1) setrc("page_up", lines[1].substr(0, 10));
  }
  return 0;
}

namespace {
// Keeps a copy of the member file text beside it before a conversion:
// sociantes.data.v2 (or .v2.1, .v2.2, ... when a different copy is there
// already; an identical one is reused). The path of the copy, "" on failure.
std::string keep_copy(const std::string& member_path, const std::string& text) {
  for (int k = 0; k < 100; ++k) {
    std::string copy = member_path + ".v2" + (k == 0 ? "" : "." + std::to_string(k));
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(copy, ec)))
      return replace_file(copy, text) == 0 ? copy : "";
    std::string there;
    if (read_file(copy, there) && there == text) return copy;
  }
  return "";
}
}  // namespace

int upg2_6() {
  // Category names, slots 1 to 63, as the old layout knew them.
  std::vector<std::string> names;
  mk_fname("sociantes.cat");
  std::vector<std::string> lines;
  if (read_lines(file_name, lines))
    for (size_t i = 0; i < lines.size() && i < 63; ++i) names.push_back(lines[i].substr(0, 31));

  mk_fname("sociantes.data");
  const std::string member_path = file_name;
  const std::string failed = " The member file could not be converted to 13 fields: \r\n " +
                             member_path + " \r\n It is unchanged; the conversion is tried again "
                             "at the next start. ";
  std::string text;
  if (!read_file(member_path, text)) {
    check_note = failed;
    return 1;
  }
  // The layout is decided from the file itself: only a file that really is
  // in the 12-field layout is converted.
  int bad = 0;
  bool old = false;
  const int layout = data_layout(text, bad, old);
  if (layout == kFields || (layout == 0 && !old)) return 0;
  if (layout == 0) {
    check_note = " The member file is in the old layout of 12 fields, \r\n but it is damaged at line " +
                 std::to_string(bad) + ": \r\n " + member_path +
                 " \r\n It was not converted. Please repair it and start again. ";
    return 2;
  }
  mk_tmp_fname("sociantes.tmp");
  const std::string tmp_path = file_name;
  if (tmp_path.empty() || keep_copy(member_path, text).empty()) {
    check_note = failed;
    return 1;
  }
  MemberReader in(text);
  Record r;
  std::string out;
  out.reserve(text.size() + text.size() / 12);
  while (in.next(r, 12) == 12) {
    // The category stood at the start of the remarks: it moves to field 13;
    // every other field is copied as it is.
    std::string rem(in.field(10));
    std::string category;
    for (size_t i = 0; i < names.size() && i < 15 && !names[i].empty(); ++i) {
      const std::string& c = names[i];
      if (rem.compare(0, c.size(), c) == 0 && (rem.size() == c.size() || rem[c.size()] == ' ')) {
        category = c;
        rem.erase(0, c.size());
        break;
      }
    }
    in.put_raw(out, 10, rem);
    out += category + "\r\n";
  }
  if (replace_file(tmp_path, out) != 0 || replace_file_from(member_path, tmp_path) != 0) {
    ::unlink(tmp_path.c_str());
    check_note = failed;
    return 1;
  }
  ::unlink(tmp_path.c_str());
  return 0;
}

void mode_net() {
  if (getrc("win_net_path").size() < 2) {
    info("The MS Network Path is not defined.", 1);
    return;
  }
  // The record lock goes where it was taken, before the paths change.
  if (!index_sel.empty()) {
    free_sel();
    clr_data();
  }
  // A mode that cannot be stored is not taken: the next reading of the
  // settings would switch back without a word.
  if (save_rc("network", "yes") != 1) return;
  nfs = 1;
  task_in = 0;
  // The rows shown are those of the network member file: a row of the
  // local list would select, change or delete the member that has its
  // reference there.
  show_cust();
  set_status();
  info("\r\n !! WARNING !! Please restart.", 1);
}

void mode_loc() {
  if (nfs) {
    free_sel();  // on the network directory, where the record lock was taken
    if (save_rc("network", "no") != 1) return;
    nfs = 0;
    task_in = 0;
    show_cust();
    set_status();
    info("\r\n !! WARNING !! Please restart.", 1);
  } else {
    task_in = 0;
    show_cust();
    set_status();
  }
}

void set_win_path() {
  if (nfs) {
    info(kRestricted, 1);
    return;
  }
  if (task_in != 0) {
    info(kAnotherFunc, 1);
    return;
  }
  task_in = 32;
  set_status();
  info("Please entrer the path that links to the database.\r\n Example: Q:\\sociantes_db or "
       "\\\\Machine\\sociantes_db",
       3);
}

}  // namespace soc
