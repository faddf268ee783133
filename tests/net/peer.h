// The SMTP peer of the net tests: tests/net/smtp_peer.py (aiosmtpd) started
// on a free loopback port, and throw-away certificates made with openssl.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace soc::test {

class SmtpPeer {
 public:
  // Starts the server with these extra arguments; skip() says why when it
  // cannot start.
  explicit SmtpPeer(const std::vector<std::string>& args = {});
  ~SmtpPeer();
  SmtpPeer(const SmtpPeer&) = delete;
  SmtpPeer& operator=(const SmtpPeer&) = delete;

  int port() const { return port_; }
  const std::string& skip() const { return skip_; }
  // A file the server wrote for message n (1 = the first), "" when missing.
  std::string got(int n, const std::string& file) const;
  std::string auth() const;                      // AUTH LOGIN credentials received
  bool has_message(int n) const;                 // message n was received

 private:
  std::filesystem::path dir_;   // the server's output directory
  int pid_ = -1;                // the server process
  int port_ = 0;                // its port
  std::string skip_;            // why it cannot start, "" when it runs
};

// The directory of the throw-away certificates (ca.pem, server.pem/key,
// other-ca.pem, other.pem/key), made once per run; "" when openssl failed,
// with the reason in why.
std::string cert_dir(std::string& why);

// A server that accepts connections and never answers (listen only).
class SilentPeer {
 public:
  SilentPeer();
  ~SilentPeer();
  int port() const { return port_; }

 private:
  int fd_ = -1;   // the listening socket
  int port_ = 0;  // its port
};

std::string slurp_file(const std::filesystem::path& p);   // whole file, "" when missing

}  // namespace soc::test
