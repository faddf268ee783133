// Fuzz target of the SMTP reply reader (fd_gets / smtp_read): every input is
// what a server sends, fed through one end of a socket pair. The reader
// returns, in order, the last line of each complete reply (lines whose
// fourth byte is '-' continue a reply), without CR or LF, at most kReplyMax
// bytes, with the class of its three-digit code; a reply cut off by the end
// of the connection is no reply, and after the end every read gives 0.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_env.h"
#include "mail/ssmtp.h"

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

// The last lines of the complete replies in text, as the reader must give them.
std::vector<std::string> replies(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  bool open = false;
  for (char c : text) {
    if (cur.size() == soc::kReplyMax) {  // a longer line is read as several
      lines.push_back(cur);
      cur.clear();
    }
    open = true;
    if (c == '\n') {
      lines.push_back(cur);
      cur.clear();
      open = false;
    } else if (c != '\r') {
      cur += c;
    }
  }
  if (open) lines.push_back(cur);
  std::vector<std::string> out;
  int in_reply = 0;
  for (const std::string& l : lines) {
    ++in_reply;
    if (l.size() < 4 || l[3] != '-' || in_reply == 10000) {
      out.push_back(l);
      in_reply = 0;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  fuzz::program(false);
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.size() > 100000) text.resize(100000);

  int sv[2];
  FUZZ_CHECK(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) == 0);
  int big = 1 << 20;
  ::setsockopt(sv[1], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
  ::setsockopt(sv[0], SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
  ::fcntl(sv[0], F_SETFL, O_NONBLOCK);
  ::fcntl(sv[1], F_SETFL, O_NONBLOCK);
  std::size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t w = ::write(sv[1], text.data() + sent, text.size() - sent);
    if (w <= 0) break;
    sent += static_cast<std::size_t>(w);
  }
  text.resize(sent);  // what the socket took is what the server said
  ::close(sv[1]);

  smtp_wait_ms = 2000;
  smtp_attach(sv[0]);
  const std::vector<std::string> expect = replies(text);
  std::string line;
  for (const std::string& e : expect) {
    const int code = smtp_read(line);
    FUZZ_CHECK(line == e);
    FUZZ_CHECK(last_reply == line);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos && line.size() <= kReplyMax);
    if (line.size() >= 3 && digit(line[0]) && digit(line[1]) && digit(line[2]) &&
        (line.size() == 3 || !digit(line[3])))
      FUZZ_CHECK(code == line[0] - '0');
  }
  for (int i = 0; i < 2; ++i) {
    FUZZ_CHECK(smtp_read(line) == 0);
    FUZZ_CHECK(line.empty());
  }
  smtp_attach(-1);
  ::close(sv[0]);
  return 0;
}
