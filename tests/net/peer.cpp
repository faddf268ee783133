// The SMTP peer process, the certificates and the silent server.
#include "peer.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace soc::test {

namespace fs = std::filesystem;

std::string slurp_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

SmtpPeer::SmtpPeer(const std::vector<std::string>& args) {
  const char* python = "/usr/bin/python3";
  if (::access(python, X_OK) != 0) {
    skip_ = "python3 is not installed: the SMTP server cannot start";
    return;
  }
  std::string tmpl = (fs::temp_directory_path() / "soc-peer-XXXXXX").string();
  dir_ = ::mkdtemp(tmpl.data());
  std::vector<std::string> argv = {python, SOC_TEST_DIR "/net/smtp_peer.py", "--out",
                                   (dir_ / "out").string(), "--life", "120"};
  argv.insert(argv.end(), args.begin(), args.end());
  int fds[2];
  if (::pipe(fds) != 0) {
    skip_ = "no pipe for the SMTP server";
    return;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    ::close(fds[1]);
    std::vector<char*> v;
    for (auto& a : argv) v.push_back(a.data());
    v.push_back(nullptr);
    ::execv(python, v.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  std::string line;
  char c;
  for (int i = 0; i < 400 && line.find('\n') == std::string::npos; ++i) {  // 20 s at most
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    if (::read(fds[0], &c, 1) != 1) break;
    line += c;
  }
  ::close(fds[0]);
  if (line.compare(0, 5, "PORT ") == 0) {
    port_ = std::atoi(line.c_str() + 5);
  } else if (line.compare(0, 5, "SKIP ") == 0) {
    skip_ = line.substr(5, line.size() - 6);
  } else {
    skip_ = "the SMTP server did not start (python3 with aiosmtpd): " + line;
  }
}

SmtpPeer::~SmtpPeer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int st;
    for (int i = 0; i < 100; ++i) {  // 5 s, then it is killed
      if (::waitpid(pid_, &st, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      ::usleep(50000);
    }
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &st, 0);
    }
  }
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

std::string SmtpPeer::got(int n, const std::string& file) const {
  return slurp_file(dir_ / "out" / ("msg-" + std::to_string(n)) / file);
}

bool SmtpPeer::has_message(int n) const {
  return fs::exists(dir_ / "out" / ("msg-" + std::to_string(n)) / "parsed.txt");
}

std::string SmtpPeer::auth() const { return slurp_file(dir_ / "out" / "auth.txt"); }

std::string cert_dir(std::string& why) {
  static std::string dir, reason;
  static bool made = false;
  if (!made) {
    made = true;
    std::string tmpl = (fs::temp_directory_path() / "soc-certs-XXXXXX").string();
    dir = ::mkdtemp(tmpl.data());
    std::string cmd = "'" SOC_TEST_DIR "/net/make_certs.sh' '" + dir + "' > /dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) {
      reason = "the openssl command line could not make the test certificates";
      dir.clear();
    }
  }
  why = reason;
  return dir;
}

SilentPeer::SilentPeer() {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) == 0 && ::listen(fd_, 4) == 0 &&
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port_ = ntohs(a.sin_port);
}

SilentPeer::~SilentPeer() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace soc::test
