// Safe file replacement, whole-file reads and line splitting.
#include "platform/fs.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/do_utf.h"
#include "platform/crash.h"
#include "platform/fault.h"

namespace soc {

namespace {
constexpr const char* kSiblingMark = ".new-";   // between the target's name and the tag
constexpr std::size_t kTagLen = 8;              // random characters of a sibling name

std::string random_tag() {
  static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device rd;
  std::string tag;
  for (std::size_t i = 0; i < kTagLen; ++i) tag += chars[rd() % (sizeof chars - 1)];
  return tag;
}

int open_new(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

FsOps real_ops{open_new, ::write, ::fsync, ::rename, random_tag, ::syncfs, ::read};
FsOps current_ops = real_ops;

// Writes all of buf to fd; 0 on success.
int write_all(int fd, const char* buf, size_t n) {
  while (n > 0) {
    ssize_t w = fs_ops().write(fd, buf, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (w == 0) return 1;
    buf += w;
    n -= static_cast<size_t>(w);
  }
  return 0;
}

// Creates a sibling file of path: a new name each time (tag gives its eight
// characters), created exclusively with open_fn (an existing file or
// symbolic link at that name is never opened). The descriptor, or -1.
int create_sibling(const std::string& path, std::string& tmp, mode_t mode,
                   int (*open_fn)(const char*, int, mode_t), std::string (*tag)()) {
  for (int tries = 0; tries < 100; ++tries) {
    tmp = path + kSiblingMark + tag();
    int fd = open_fn(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The sibling file that receives the new content before the rename.
int open_sibling(const std::string& path, std::string& tmp) {
  return create_sibling(path, tmp, 0600, fs_ops().open, fs_ops().sibling_tag);
}

// Gives the new file what the replaced one had: its group and its permission
// bits. When the group cannot be kept, the group gets no access rather than
// the old group's. A new file gets the usual 0666 less the umask.
bool keep_mode(int fd, const std::string& path) {
  struct stat old;
  if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0;
  }
  mode_t mode = old.st_mode & 0777;
  struct stat now;
  if (::fstat(fd, &now) == 0 && now.st_gid != old.st_gid && ::fchown(fd, -1, old.st_gid) != 0)
    mode &= ~static_cast<mode_t>(0070);
  return ::fchmod(fd, mode) == 0;
}
}  // namespace

FsOps& fs_ops() {
  static const bool faults_read = [] {
    fault_setup(current_ops);
    return true;
  }();
  (void)faults_read;
  return current_ops;
}

void fs_ops_reset() {
  current_ops = real_ops;
  fault_setup(current_ops);
}

namespace {
// The directory part of path, with its final '/' ("" = the current one).
std::string dir_of(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// Flushes the directory entries of dir; 0 on success.
int sync_dir(const std::string& dir) {
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return 1;
  const int r = fs_ops().fsync(dfd);
  ::close(dfd);
  return r == 0 ? 0 : 1;
}
}  // namespace

void DirSync::add(const std::string& dir, const std::string& path) {
  for (auto& [d, p] : dirs_)
    if (d == dir) {
      p = path;
      return;
    }
  dirs_.emplace_back(dir, path);
}

int DirSync::sync() {
  int failed = 0;
  for (const auto& [d, p] : dirs_) {
    fault_target(p);
    failed |= sync_dir(d);
  }
  fault_target("");
  dirs_.clear();
  return failed;
}

int replace_steps(const std::string& path, std::string_view content, mode_t mode, DirSync* later) {
  fault_target(path);
  std::string tmp;
  int fd = open_sibling(path, tmp);
  if (fd < 0) {
    fault_target("");
    return kNotWritten;
  }
  const bool bits = mode == kKeepMode ? keep_mode(fd, path) : ::fchmod(fd, mode) == 0;
  bool ok = bits && write_all(fd, content.data(), content.size()) == 0 && fs_ops().fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(tmp.c_str());
    fault_target("");
    return kNotWritten;
  }
  crash_point("replace:written");
  if (fs_ops().rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    fault_target("");
    return kNotRenamed;
  }
  crash_point("replace:renamed");
  // The rename itself reaches the disk with the directory. The new file is
  // in place and seen by every program from here on, so a failed flush of
  // the directory does not turn the save into a failure: a save reported as
  // failed that took place would be made a second time.
  if (later)
    later->add(dir_of(path), path);
  else
    sync_dir(dir_of(path));
  fault_target("");
  return 0;
}

int replace_file(const std::string& path, std::string_view content, mode_t mode) {
  return replace_steps(path, content, mode) == 0 ? 0 : 1;
}

int write_file(const std::string& path, const std::string& content) {
  // Written to a sibling and renamed, as a replacement without its flushes:
  // a program ended halfway leaves no file or the whole file, never an empty
  // or a short one.
  fault_target(path);
  std::string tmp;
  const int fd = open_sibling(path, tmp);
  bool ok = fd >= 0 && keep_mode(fd, path) && write_all(fd, content.data(), content.size()) == 0;
  if (fd >= 0) ok = ::close(fd) == 0 && ok;
  if (ok) crash_point("write:written");
  ok = ok && fs_ops().rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok && fd >= 0) ::unlink(tmp.c_str());
  fault_target("");
  return ok ? 0 : 1;
}

namespace {
bool unnamed_files = true;   // link_new may try an unnamed file first

// Writes all of content to fd, a new file; false with err set when it is
// not all there.
bool fill_new(int fd, std::string_view content, int& err) {
  const ssize_t w = fs_ops().write(fd, content.data(), content.size());
  err = w < 0 ? errno : ENOSPC;
  return w == static_cast<ssize_t>(content.size());
}

// fill_new, then closes fd (whose error counts too).
bool fill_and_close(int fd, std::string_view content, int& err) {
  bool ok = fill_new(fd, content, err);
  if (::close(fd) != 0 && ok) {
    err = errno;
    ok = false;
  }
  return ok;
}

bool no_links_errno(int e) { return e == EPERM || e == ENOTSUP || e == EOPNOTSUPP || e == ENOSYS; }

// The three ways of link_new; each returns false when its kind of file does
// not exist on this file system (nothing changed), else true with result.

// A file without a name (O_TMPFILE) given its name by linkat: a program
// killed before leaves nothing at all.
bool link_unnamed(const std::string& path, std::string_view content, int& err, LinkNew& result) {
  const std::string dir = dir_of(path);
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return false;
    err = errno;
    result = LinkNew::failed;
    return true;
  }
  if (!fill_new(fd, content, err)) {
    ::close(fd);
    result = LinkNew::failed;
    return true;
  }
  crash_point("link:written");
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const int r = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
  const int e = errno;
  // The file has its name and content: a late error of close changes nothing
  // for a file system that holds unnamed files (a local one).
  ::close(fd);
  if (r == 0) {
    result = LinkNew::made;
    return true;
  }
  if ((e == ENOENT && ::access("/proc/self/fd", F_OK) != 0) || no_links_errno(e)) return false;
  err = e;
  result = e == EEXIST ? LinkNew::exists : LinkNew::failed;
  return true;
}

// A named sibling, hard-linked to path and removed.
bool link_named(const std::string& path, std::string_view content, int& err, LinkNew& result) {
  std::string tmp;
  const int fd = create_sibling(path, tmp, 0666, open_new, random_tag);
  result = LinkNew::failed;
  if (fd < 0) {
    err = errno;
    return true;
  }
  if (!fill_and_close(fd, content, err)) {
    ::unlink(tmp.c_str());
    return true;
  }
  crash_point("link:written");
  const int r = ::link(tmp.c_str(), path.c_str());
  const int link_err = errno;
  struct stat st;
  const bool linked = r == 0 || (::lstat(tmp.c_str(), &st) == 0 && st.st_nlink == 2);
  ::unlink(tmp.c_str());
  if (!linked && no_links_errno(link_err)) return false;
  err = link_err;
  result = linked ? LinkNew::made : link_err == EEXIST ? LinkNew::exists : LinkNew::failed;
  return true;
}

// Without hard links: path created exclusively, then the content written
// (the only way in which a program killed in between leaves it short).
LinkNew create_then_fill(const std::string& path, std::string_view content, int& err) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    err = errno;
    return err == EEXIST ? LinkNew::exists : LinkNew::failed;
  }
  if (fill_and_close(fd, content, err)) return LinkNew::made;
  ::unlink(path.c_str());
  return LinkNew::failed;
}
}  // namespace

void link_new_unnamed(bool on) { unnamed_files = on; }

LinkNew link_new(const std::string& path, std::string_view content, int& err) {
  LinkNew result = LinkNew::failed;
  if (unnamed_files && link_unnamed(path, content, err, result)) return result;
  if (link_named(path, content, err, result)) return result;
  return create_then_fill(path, content, err);
}

int sync_fs(const std::string& dir) {
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return 1;
  fault_target(dir);
  const int r = fs_ops().syncfs(dfd);
  fault_target("");
  ::close(dfd);
  return r == 0 ? 0 : 1;
}

int replace_file_from(const std::string& path, const std::string& source) {
  std::string content;
  if (!read_file(source, content)) return 1;
  return replace_file(path, content);
}

bool is_sibling_name(const std::string& name) {
  const std::size_t mark = std::strlen(kSiblingMark);
  if (name.size() <= mark + kTagLen) return false;
  const std::size_t at = name.size() - kTagLen - mark;
  if (name.compare(at, mark, kSiblingMark) != 0) return false;
  for (std::size_t i = at + mark; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

namespace {
// Removes the regular-file siblings in dir whose target name is base ("" =
// any) and whose age is at least min_age seconds. The number removed.
int remove_siblings_in(const std::string& dir, const std::string& base, std::time_t now,
                       long min_age) {
  int removed = 0;
  for (const auto& name : names_ending(dir, "")) {
    if (!is_sibling_name(name)) continue;
    if (!base.empty() && (name.size() != base.size() + std::strlen(kSiblingMark) + kTagLen ||
                          name.compare(0, base.size(), base) != 0))
      continue;
    const std::string full = dir + name;
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (min_age > 0 && now - st.st_mtime < min_age) continue;
    if (::unlink(full.c_str()) == 0) ++removed;
  }
  return removed;
}
}  // namespace

int remove_siblings(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return base.empty() ? 0 : remove_siblings_in(dir, base, 0, 0);
}

int remove_old_siblings(const std::string& dir, std::time_t now, long min_age) {
  return remove_siblings_in(dir, "", now, min_age < 1 ? 1 : min_age);
}

bool read_file(const std::string& path, std::string& out) {
  // Not blocking in the open: a named pipe would wait for a writer forever.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  // A device (/dev/zero has no end) or a pipe is no file to read whole.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  // One read of the size fstat gives; a file that grows meanwhile is read on
  // to its end, one that shrinks is cut where the read ends. A read that
  // fails part-way (a network share that drops) fails the whole read: the
  // bytes got so far would be taken for the file, and the next save would
  // write the members after them away.
  fault_target(path);
  std::size_t want = static_cast<std::size_t>(st.st_size);
  out.resize(want + 1);
  std::size_t got = 0;
  bool failed = false;
  for (;;) {
    if (got == out.size()) out.resize(out.size() * 2);
    ssize_t n = fs_ops().read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  fault_target("");
  ::close(fd);
  out.resize(failed ? 0 : got);
  return !failed;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = (nl == std::string::npos) ? text.size() : nl;
    size_t len = end - pos;
    if (len > 0 && text[end - 1] == '\r') --len;
    lines.push_back(text.substr(pos, len));
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
  return lines;
}

bool read_lines(const std::string& path, std::vector<std::string>& lines) {
  std::string text;
  if (!read_file(path, text)) return false;
  lines = split_lines(text);
  return true;
}

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string cut_utf8(const std::string& s, std::size_t n) {
  if (s.size() <= n) return s;
  return s.substr(0, cut_len(s, n));
}

std::vector<std::string> names_ending(const std::string& dir, const std::string& suffix) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      names.push_back(name);
  }
  ::closedir(d);
  return names;
}

bool is_dir(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int make_dir(const std::string& path, unsigned mode) {
  return ::mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : 1;
}

void keep_large_buffers() {
  // Blocks up to 32 MiB come from the heap (not from mappings of their own,
  // which are unmapped when freed), and the heap is trimmed only when 64 MiB
  // lie free at its top.
  ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  ::mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

}  // namespace soc
