// Faults of the file layer on demand: see fault.h.
#include "platform/fault.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "platform/fs.h"

namespace soc {

namespace {
struct Fault {
  std::string op;        // open, write, fsync, dirsync, rename, syncfs, read; "" = no fault
  int err = 0;           // the errno the failing call sets
  bool half = false;     // write: the first failing call writes half of its bytes
  std::string name;      // only calls for files of this name count; "" = every call
  long nth = 1;          // the first counted call that fails
  long calls = 0;        // counted calls so far
  long hits = 0;         // calls made to fail
};
Fault fault;
FsOps inner;             // the calls the wrappers fail or pass on to
std::string target;      // the file the calls are made for now

int errno_of(const std::string& s) {
  static const struct {
    const char* name;
    int value;
  } names[] = {{"ENOSPC", ENOSPC}, {"EIO", EIO},     {"EACCES", EACCES},
               {"EROFS", EROFS},   {"EDQUOT", EDQUOT}, {"EPERM", EPERM}};
  for (const auto& n : names)
    if (s == n.name) return n.value;
  return 0;
}

bool name_matches() {
  if (fault.name.empty()) return true;
  const std::string base = target.substr(target.rfind('/') + 1);
  if (fault.name[0] == '*') {
    const std::string end = fault.name.substr(1);
    return base.size() >= end.size() && base.compare(base.size() - end.size(), end.size(), end) == 0;
  }
  return base == fault.name;
}

// True when this call of op is to fail (errno is then set).
bool strikes(const char* op) {
  if (fault.op != op || !name_matches()) return false;
  if (++fault.calls < fault.nth) return false;
  ++fault.hits;
  errno = fault.err;
  return true;
}

int faulty_open(const char* path, int flags, mode_t mode) {
  return strikes("open") ? -1 : inner.open(path, flags, mode);
}

ssize_t faulty_write(int fd, const void* buf, size_t n) {
  if (!strikes("write")) return inner.write(fd, buf, n);
  if (fault.half && fault.hits == 1 && n > 1) return inner.write(fd, buf, n / 2);
  return -1;
}

int faulty_fsync(int fd) {
  struct stat st;
  const bool dir = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
  return strikes(dir ? "dirsync" : "fsync") ? -1 : inner.fsync(fd);
}

int faulty_rename(const char* from, const char* to) {
  return strikes("rename") ? -1 : inner.rename(from, to);
}

int faulty_syncfs(int fd) { return strikes("syncfs") ? -1 : inner.syncfs(fd); }

// The first failing read gives half of what was asked, the later ones
// fail: a network share that drops in the middle of a file.
ssize_t faulty_read(int fd, void* buf, size_t n) {
  if (!strikes("read")) return inner.read(fd, buf, n);
  if (fault.hits == 1 && n > 1) return inner.read(fd, buf, n / 2);
  return -1;
}
}  // namespace

void fault_setup(FsOps& ops) {
  fault = Fault{};
  const char* v = std::getenv("SOCIANTES_FAULT");
  if (v == nullptr || *v == '\0') return;
  std::string s = v;
  if (const std::size_t hash = s.find('#'); hash != std::string::npos) {
    fault.nth = std::strtol(s.c_str() + hash + 1, nullptr, 10);
    if (fault.nth < 1) fault.nth = 1;
    s.resize(hash);
  }
  if (const std::size_t at = s.find('@'); at != std::string::npos) {
    fault.name = s.substr(at + 1);
    s.resize(at);
  }
  const std::size_t colon = s.find(':');
  if (colon == std::string::npos) return;
  const std::string op = s.substr(0, colon), what = s.substr(colon + 1);
  fault.half = op == "write" && what == "short";
  fault.err = fault.half ? ENOSPC : errno_of(what);
  if (fault.err == 0) return;
  inner = ops;
  if (op == "open") {
    ops.open = faulty_open;
  } else if (op == "write") {
    ops.write = faulty_write;
  } else if (op == "fsync" || op == "dirsync") {
    ops.fsync = faulty_fsync;
  } else if (op == "rename") {
    ops.rename = faulty_rename;
  } else if (op == "syncfs") {
    ops.syncfs = faulty_syncfs;
  } else if (op == "read") {
    ops.read = faulty_read;
  } else {
    return;
  }
  fault.op = op;
}

void fault_target(const std::string& path) { target = path; }

long fault_hits() { return fault.hits; }

}  // namespace soc
