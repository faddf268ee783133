// Safe file replacement, whole-file reads and line splitting.
#include "platform/fs.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace soc {

namespace {
FsOps real_ops{::write, ::fsync, ::rename};
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

// The sibling file that receives the new content before the rename.
std::string sibling_of(const std::string& path) {
  return path + ".new" + std::to_string(::getpid());
}
}  // namespace

FsOps& fs_ops() { return current_ops; }
void fs_ops_reset() { current_ops = real_ops; }

int replace_file(const std::string& path, const std::string& content, mode_t mode) {
  std::string tmp = sibling_of(path);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return 1;
  // A private file: a sibling left by an earlier run keeps its bits, so they
  // are set before anything is written.
  bool ok = mode == 0644 || ::fchmod(fd, mode) == 0;
  ok = ok && write_all(fd, content.data(), content.size()) == 0 && fs_ops().fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || fs_ops().rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return 1;
  }
  // The rename itself reaches the disk with the directory.
  std::string dir = path.substr(0, path.rfind('/') + 1);
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fs_ops().fsync(dfd);
    ::close(dfd);
  }
  return 0;
}

int replace_file_from(const std::string& path, const std::string& source) {
  std::string content;
  if (!read_file(source, content)) return 1;
  return replace_file(path, content);
}

bool read_file(const std::string& path, std::string& out) {
  if (is_dir(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
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
  size_t end = n;
  // Step back over continuation bytes (10xxxxxx) to the start of the
  // character that would be split, unless the cut falls on a boundary.
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

bool is_dir(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int make_dir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : 1; }

}  // namespace soc
