// Program directory and detached process start.
#include "platform/process.h"

#include <climits>
#include <csignal>
#include <spawn.h>
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

}  // namespace soc
