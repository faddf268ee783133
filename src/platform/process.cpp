// Program directory, the programs of this installation and detached
// process start.
#include "platform/process.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace soc {

std::string program_dir() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string p(buf, static_cast<size_t>(n));
  return p.substr(0, p.rfind('/') + 1);
}

namespace {
// An executable regular file (a directory of that name does not count).
bool is_program(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string in_dir(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}
}  // namespace

std::string find_program(const std::string& name, const std::string& own_dir,
                         const std::string& bin_dir) {
  for (const std::string* dir : {&own_dir, &bin_dir}) {
    if (dir->empty()) continue;
    std::string p = in_dir(*dir, name);
    if (is_program(p)) return p;
  }
  return name;
}

std::string installed_program(const std::string& name) {
  return find_program(name, program_dir(), SOC_INSTALLED_BINDIR);
}

int spawn_detached(const std::vector<std::string>& argv, int* group) {
  if (group) *group = 0;
  if (argv.empty()) return 1;
  // A double fork: the intermediate child exits at once, so the program is
  // adopted by init and never becomes a zombie of ours. The intermediate
  // child leads a new session, so its id names the program's process group.
  pid_t mid = ::fork();
  if (mid < 0) return 1;
  if (mid == 0) {
    ::setsid();
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int r = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
    ::_exit(r == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(mid, &status, 0);
  const bool started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (started && group) *group = static_cast<int>(mid);
  return started ? 0 : 1;
}

void end_group(int group) {
  if (group > 1) ::kill(-static_cast<pid_t>(group), SIGKILL);
}

std::string host_name() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return "";
  return buf;
}

std::string user_name() {
  // Looked up once: every lock file taken records it.
  static const std::string name = [] {
    if (const passwd* pw = ::getpwuid(::geteuid())) return std::string(pw->pw_name);
    if (const char* u = std::getenv("USER")) return std::string(u);
    return std::to_string(::geteuid());
  }();
  return name;
}

long process_id() { return static_cast<long>(::getpid()); }

namespace {
std::string first_line_of(const char* path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}
}  // namespace

// Both identities are read once: neither changes while a program runs.
std::string machine_id() {
  static const std::string id = [] {
    std::string s = first_line_of("/etc/machine-id");
    return s.empty() ? first_line_of("/var/lib/dbus/machine-id") : s;
  }();
  return id;
}

std::string boot_id() {
  static const std::string id = first_line_of("/proc/sys/kernel/random/boot_id");
  return id;
}

bool process_alive(long pid) {
  if (pid <= 0 || pid > INT_MAX) return true;  // not a process id: assume the worst
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

}  // namespace soc
