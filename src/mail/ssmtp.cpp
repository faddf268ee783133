// The SMTP client over POSIX sockets and OpenSSL: connection, TLS with
// certificate verification, the bounded byte and line I/O, the dialogue, the
// MIME layout and the log smtp.log.
//
// The socket is non-blocking; every wait for the server is a poll() in short
// slices, between which the window system repaints, up to smtp_wait_ms in
// all. Once a wait has run out or the server has closed, the connection is
// lost and every later read ends at once. Output is gathered and flushed
// before each reply is read, so that a long attachment does not cost one
// system call per line.
#include "mail/ssmtp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <ctime>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "db/util.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/dialog.h"

namespace soc {

std::string server_name;
std::string hostname;
std::string sender;
std::string user;
std::string pass;
int ssl_mail = 0;

int server_port = 0;
int use_tls = 0;
std::string last_reply;
std::string log_path;
int outbytes = 0;
int smtp_wait_ms = 30000;

namespace {

constexpr int kSliceMs = 100;              // one poll between two repaints
constexpr std::size_t kOutFlush = 32768;   // output gathered before a write

std::string subject;         // the subject of the message, one line
std::string the_time;        // the date text of the message
const std::string* auth_user = nullptr;  // set in SSL mode: EHLO and AUTH LOGIN
const std::string* auth_pass = nullptr;  // the password in SSL mode
int sock = -1;               // the TCP connection
SSL_CTX* ctx = nullptr;      // the TLS context of this send
SSL* ssl = nullptr;          // the TLS connection bound to sock
std::FILE* smtp_log = nullptr;  // the open log
bool lost = false;           // the server closed or a wait ran out
bool pacing = true;          // the one-second pauses are made
std::string outbuf;          // output not yet written

void log_text(const std::string& s) {
  if (smtp_log) std::fputs(s.c_str(), smtp_log);
}

void logf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void logf(const char* fmt, ...) {
  if (!smtp_log) return;
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(smtp_log, fmt, ap);
  va_end(ap);
}

// The reason of the last OpenSSL failure, "" when none is queued.
std::string ssl_reason() {
  unsigned long e = ERR_get_error();
  if (e == 0) return "";
  char buf[256];
  ERR_error_string_n(e, buf, sizeof buf);
  ERR_clear_error();
  return buf;
}

// Lets the window repaint, at most every slice.
void repaint() {
  static auto last = std::chrono::steady_clock::now();
  auto now = std::chrono::steady_clock::now();
  if (now - last < std::chrono::milliseconds(kSliceMs / 2)) return;
  last = now;
  ws().keep_painting();
}

// The pause before a reply: slices of the clock service, the window
// repainting between them.
void pause_ms(int ms) {
  if (!pacing) return;
  while (ms > 0) {
    int step = std::min(ms, kSliceMs);
    sys().sleep_ms(step);
    ms -= step;
    repaint();
  }
}

void mark_lost() {
  if (lost) return;
  lost = true;
  log_text("Connection lost in middle of processing\n");
}

// Waits until sock is ready for events; false when the bound ran out.
bool wait_fd(short events) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(smtp_wait_ms);
  for (int i = 0; i < smtp_wait_ms / kSliceMs + 2; ++i) {  // bounded: one slice per turn
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return false;
    pollfd p{sock, events, 0};
    int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, kSliceMs)));
    if (r > 0) return true;
    if (r < 0 && errno != EINTR) return false;
    repaint();
  }
  return false;
}

// Waits for what the TLS layer asks for after a call that returned n; false
// when the call failed for good or the bound ran out.
bool ssl_retry(int n) {
  int e = SSL_get_error(ssl, n);
  if (e == SSL_ERROR_WANT_READ) return wait_fd(POLLIN);
  if (e == SSL_ERROR_WANT_WRITE) return wait_fd(POLLOUT);
  return false;
}

// Writes the gathered output; false when the connection failed.
bool flush_out() {
  std::size_t done = 0;
  while (done < outbuf.size() && !lost) {
    const char* p = outbuf.data() + done;
    const std::size_t n = outbuf.size() - done;
    if (use_tls) {
      int w = SSL_write(ssl, p, static_cast<int>(std::min<std::size_t>(n, 1 << 20)));
      if (w > 0) {
        done += static_cast<std::size_t>(w);
      } else if (!ssl_retry(w)) {
        mark_lost();
      }
    } else {
      ssize_t w = ::send(sock, p, n, MSG_NOSIGNAL);
      if (w > 0) {
        done += static_cast<std::size_t>(w);
      } else if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        if (!wait_fd(POLLOUT)) mark_lost();
      } else {
        mark_lost();
      }
    }
  }
  outbuf.clear();
  return !lost;
}

}  // namespace

// Byte and line I/O over TLS or the plain socket.

int fd_getc(char& c) {
  if (lost || sock < 0) return 0;
  if (!outbuf.empty() && !flush_out()) return 0;
  for (int turn = 0; turn < 1000 && !lost; ++turn) {  // bounded: each turn waits or ends
    if (use_tls) {
      int n = SSL_read(ssl, &c, 1);
      if (n == 1) return 1;
      if (!ssl_retry(n)) mark_lost();
    } else {
      ssize_t n = ::recv(sock, &c, 1, 0);
      if (n == 1) return 1;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        if (!wait_fd(POLLIN)) mark_lost();
      } else {
        mark_lost();
      }
    }
  }
  mark_lost();
  return 0;
}

// Reads a line up to LF (not stored) or max bytes; CRs are dropped. false when
// nothing at all could be read.
bool fd_gets(std::string& line, std::size_t max) {
  line.clear();
  char c;
  bool any = false;
  while (line.size() < max && fd_getc(c)) {
    any = true;
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
  return any;
}

int fd_puts(const std::string& data) {
  if (lost) return 0;
  outbuf += data;
  if (outbuf.size() >= kOutFlush && !flush_out()) return 0;
  return static_cast<int>(data.size());
}

// Reads one complete reply; its code divided by 100, 0 when none was read.
int smtp_read(std::string& line) {
  for (int i = 0; i < 10000; ++i) {  // bounded: a reply of at most 10 000 lines
    if (!fd_gets(line, kReplyMax)) {
      line.clear();
      return 0;
    }
    if (line.size() < 4 || line[3] != '-') break;
  }
  logf("<< %s\n", line.c_str());
  last_reply = line;
  int code = 0;
  for (std::size_t i = 0; i < line.size() && i < 9 && line[i] >= '0' && line[i] <= '9'; ++i)
    code = code * 10 + (line[i] - '0');
  return code / 100;
}

// 1 when the reply (after the pause) is positive.
int smtp_okay(std::string& line) {
  pause_ms(1000);
  int r = smtp_read(line);
  if (line.size() > 2) return r == 2;
  if (lost) return 0;
  pause_ms(1000);
  return smtp_read(line) == 2;
}

// Sends one command line; logged unless secret. The bytes sent, 0 on error.
int smtp_write(const std::string& text, bool secret = false) {
  std::string line = text.substr(0, kCmdMax);
  if (!secret) logf(">> %s\n", line.c_str());
  return fd_puts(line + "\r\n");
}

std::string base64encode(std::string_view data) {
  static const char* const a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16 |
                 static_cast<unsigned char>(data[i + 1]) << 8 | static_cast<unsigned char>(data[i + 2]);
    out += a[v >> 18 & 63];
    out += a[v >> 12 & 63];
    out += a[v >> 6 & 63];
    out += a[v & 63];
  }
  if (i < data.size()) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<unsigned char>(data[i + 1]) << 8;
    out += a[v >> 18 & 63];
    out += a[v >> 12 & 63];
    out += i + 1 < data.size() ? a[v >> 6 & 63] : '=';
    out += '=';
  }
  return out;
}

std::string set_time() {
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm t = local_now();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d %s %02d %02d:%02d:%02d", t.tm_mday % 100,
                months[(t.tm_mon % 12 + 12) % 12], t.tm_year % 100, t.tm_hour % 100,
                t.tm_min % 100, t.tm_sec % 100);
  return buf;
}

std::string addr_parse(const std::string& text) {
  std::size_t lt = text.find('<');
  if (lt != std::string::npos) {
    std::size_t gt = text.find('>', lt + 1);
    return text.substr(lt + 1, gt == std::string::npos ? std::string::npos : gt - lt - 1);
  }
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::string s = text;
  std::size_t b = 0;
  while (b < s.size() && blank(s[b])) ++b;
  if (b < s.size() && s[b] == '(') {
    std::size_t close = s.find(')', b);
    b = close == std::string::npos ? s.size() : close + 1;
  }
  while (b < s.size() && blank(s[b])) ++b;
  s.erase(0, b);
  while (!s.empty() && blank(s.back())) s.pop_back();
  if (!s.empty() && s.back() == ')') {
    std::size_t open = s.rfind('(');
    if (open != std::string::npos) s.erase(open);
    while (!s.empty() && blank(s.back())) s.pop_back();
  }
  return s;
}

std::string from_strip(const std::string& text) {
  return addr_parse(text.compare(0, 5, "From:") == 0 ? text.substr(5) : text);
}

bool split_server(const std::string& server, int dflt, std::string& host, int& port) {
  host = server;
  port = dflt;
  std::size_t colon = server.rfind(':');
  if (colon == std::string::npos) return true;
  host = server.substr(0, colon);
  std::string p = server.substr(colon + 1);
  if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos)
    return false;
  port = std::stoi(p);
  return port >= 1 && port <= 65535;
}

namespace {

void close_conn() {
  if (ssl) {
    if (!lost) SSL_shutdown(ssl);
    SSL_free(ssl);
    ssl = nullptr;
  }
  if (ctx) {
    SSL_CTX_free(ctx);
    ctx = nullptr;
  }
  if (sock >= 0) ::close(sock);
  sock = -1;
  outbuf.clear();
}

bool is_ip_literal(const std::string& host) {
  in_addr a4;
  in6_addr a6;
  return inet_pton(AF_INET, host.c_str(), &a4) == 1 || inet_pton(AF_INET6, host.c_str(), &a6) == 1;
}

// Sets up the TLS connection on sock: the server certificate is checked
// against the system's trust store (SSL_CERT_FILE / SSL_CERT_DIR honoured)
// and against the host name, unless the setting ssl_verify is "no".
int start_tls(const std::string& host) {
  log_text("Creating SSL connection to host\n");
  ssl = SSL_new(ctx);
  if (!ssl) {
    log_text("SSL not working\n");
    return -1;
  }
  SSL_set_fd(ssl, sock);
  const bool verify = getrc("ssl_verify") != "no";
  if (!is_ip_literal(host)) SSL_set_tlsext_host_name(ssl, host.c_str());
  if (verify) {
    SSL_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
    X509_VERIFY_PARAM* vp = SSL_get0_param(ssl);
    if (is_ip_literal(host))
      X509_VERIFY_PARAM_set1_ip_asc(vp, host.c_str());
    else
      SSL_set1_host(ssl, host.c_str());
  } else {
    SSL_set_verify(ssl, SSL_VERIFY_NONE, nullptr);
  }
  for (int turn = 0; turn < 1000; ++turn) {  // bounded: each turn waits for the server
    int r = SSL_connect(ssl);
    if (r == 1) break;
    if (SSL_get_error(ssl, r) == SSL_ERROR_WANT_READ ||
        SSL_get_error(ssl, r) == SSL_ERROR_WANT_WRITE) {
      if (ssl_retry(r)) continue;
      log_text("SSL_connect: no answer from the server\n");
      lost = true;
      return -1;
    }
    const long v = SSL_get_verify_result(ssl);
    std::string why = ssl_reason();
    if (verify && v != X509_V_OK)
      logf("Certificate not verified: %s\n", X509_verify_cert_error_string(v));
    else
      logf("SSL_connect failed: %s\n", why.empty() ? "handshake refused" : why.c_str());
    std::fprintf(stderr, "SSL_connect: %s\n", why.c_str());
    return -1;
  }
  logf("SSL connection using %s\n", SSL_CIPHER_get_name(SSL_get_current_cipher(ssl)));
  X509* cert = SSL_get1_peer_certificate(ssl);
  if (!cert) return -1;
  X509_free(cert);
  return sock;
}

}  // namespace

// Resolves, connects, starts TLS when use_tls is 1. The socket or -1.
int smtp_open(const std::string& server, int port) {
  ctx = SSL_CTX_new(TLS_client_method());
  if (!ctx) {
    log_text("No SSL support initiated\n");
    return -1;
  }
  SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
  SSL_CTX_set_default_verify_paths(ctx);

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* res = nullptr;
  if (server.empty() || ::getaddrinfo(server.c_str(), nullptr, &hints, &res) != 0 || !res) {
    logf("Unable to locate %s\n", server.c_str());
    return -1;
  }
  sockaddr_in addr{};
  std::memcpy(&addr, res->ai_addr, sizeof addr);
  char ip[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &addr.sin_addr, ip, sizeof ip);
  logf("%s located \n", server.c_str());
  logf("Host name  : %s\n", res->ai_canonname ? res->ai_canonname : server.c_str());
  logf("IP Address : %s\n", ip);
  ::freeaddrinfo(res);

  sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
  if (sock < 0) {
    log_text("Unable to create a socket\n");
    return -1;
  }
  log_text("Socket OK \n");
  addr.sin_port = htons(static_cast<uint16_t>(port));
  int r = ::connect(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  if (r != 0 && errno == EINPROGRESS && wait_fd(POLLOUT)) {
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(sock, SOL_SOCKET, SO_ERROR, &err, &len);
    r = err == 0 ? 0 : -1;
  }
  if (r != 0) {
    logf("Unable to connect to %s:%d\n", server.c_str(), port);
    return -1;
  }
  log_text("Created a socket OK\n");
  if (use_tls != 1) return sock;
  return start_tls(server);
}

// text with each control character (CR and LF among them) made a blank: a
// file name in a header line cannot start a line of its own.
std::string one_line(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

// Sends the lines of one line of the message text (without its line end):
// a lone CR ends a line too (old Macintosh texts; a bare CR must never reach
// the server), and a line longer than kTextPiece bytes goes in pieces of
// that length. Every byte is sent, NULs included; a piece that begins with a
// dot gets a second one.
void put_text_line(std::string_view line) {
  while (true) {
    const std::size_t cr = line.find('\r');
    std::string_view part = line.substr(0, cr);
    do {
      const std::string_view piece = part.substr(0, kTextPiece);
      part.remove_prefix(piece.size());
      std::string out;
      out.reserve(piece.size() + 3);
      if (!piece.empty() && piece[0] == '.') out += '.';
      out.append(piece);
      outbytes += fd_puts(out + "\r\n");
    } while (!part.empty());
    if (cr == std::string_view::npos) return;
    line.remove_prefix(cr + 1);
  }
}

// Sends the message text line by line, each line ended by CR LF (a CR LF or
// LF of the file ends a line). false when the file cannot be read.
bool put_text(std::FILE* text) {
  std::string line;
  char buf[4096];
  std::size_t n = 0;
  bool pending = false;  // line holds bytes of a line not yet sent
  while ((n = std::fread(buf, 1, sizeof buf, text)) > 0) {
    std::string_view chunk(buf, n);
    for (std::size_t nl; (nl = chunk.find('\n')) != std::string_view::npos;) {
      line.append(chunk.substr(0, nl));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      put_text_line(line);
      line.clear();
      pending = false;
      chunk.remove_prefix(nl + 1);
    }
    line.append(chunk);
    pending = pending || !chunk.empty();
  }
  if (std::ferror(text)) return false;
  if (pending) put_text_line(line);
  return true;
}

// The dialogue on the open connection.
int ssmtp(const char* rcpt, std::FILE* text, std::FILE* list) {
  outbytes = 0;
  const std::string& uad = sender;
  the_time = set_time();
  std::string reply;
  auto cmd = [](const std::string& line) { outbytes += smtp_write(line); };

  cmd((auth_user ? "EHLO " : "HELO ") + hostname);
  if (!smtp_okay(reply)) {  // the greeting
    logf("%s (%s)", reply.c_str(), hostname.c_str());
    return 1;
  }
  smtp_read(reply);  // the EHLO/HELO reply, not tested

  if (auth_user) {
    cmd("AUTH LOGIN");
    if (smtp_read(reply) != 3) return 1;
    cmd(base64encode(*auth_user));
    if (smtp_read(reply) != 3) return 1;
    outbytes += smtp_write(base64encode(*auth_pass), true);  // never in the log
    if (!smtp_okay(reply)) return 1;
  }

  cmd("MAIL FROM:<" + user + ">");
  if (!smtp_okay(reply)) {
    log_text(reply);
    return 1;
  }
  std::string lower = reply;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.find("ok") == std::string::npos && !smtp_okay(reply)) {
    log_text(reply);
    return 1;
  }

  if (rcpt) {
    cmd(std::string("RCPT TO:<") + rcpt + ">");
    if (!smtp_okay(reply)) {
      logf("RCPT TO:<%s> (%s)\n", rcpt, reply.c_str());
      return 1;
    }
  } else if (list) {
    char receiver[64];
    int count = 0;
    while (std::fgets(receiver, sizeof receiver, list)) {
      std::string addr = receiver;
      if (!addr.empty() && addr.back() == '\n') addr.pop_back();
      if (!addr.empty() && addr.back() == '\r') addr.pop_back();
      cmd("RCPT TO:<" + addr + ">");
      if (++count > kMaxRcpt) {
        log_text("More then 1000 RCPTs\n");
        return 1;
      }
      if (!smtp_okay(reply)) {
        logf("RCPT TO:<%s> (%s)\n", addr.c_str(), reply.c_str());
        return 1;
      }
    }
  }

  cmd("DATA");
  if (smtp_read(reply) != 3) {
    logf("DATA fails : %s\n", reply.c_str());
    return 1;
  }
  const std::string b = kBoundary;
  for (const std::string& h :
       {"From: " + uad, "Reply-To: " + uad, "Subject: " + subject, "Date: " + the_time,
        "To: Undisclosed Recipients<" + uad + ">", std::string("MIME-Version: 1.0"),
        std::string("Content-type: multipart/mixed;"), " boundary=" + b, std::string(),
        "--" + b, std::string("Content-type: text/plain; charset=\"iso-8859-15\""),
        std::string(), std::string()})
    cmd(h);

  if (!put_text(text)) {
    log_text("The message text cannot be read\n");
    return 1;
  }
  cmd("");

  if (!pdf_fname.empty()) {
    if (std::FILE* pdf = std::fopen(pdf_fname.c_str(), "rb")) {
      std::size_t cut = pdf_fname.find_last_of("/\\");
      const std::string name = cut == std::string::npos ? pdf_fname : pdf_fname.substr(cut + 1);
      logf("PDF: %s\n", name.c_str());
      std::fseek(pdf, 0, SEEK_END);
      long left = std::ftell(pdf);
      std::fseek(pdf, 0, SEEK_SET);
      cmd("--" + b);
      cmd("Content-type: application/pdf; name=" + one_line(name));
      cmd("Content-transfer-encoding: base64");
      cmd("");
      char chunk[kB64Chunk];
      while (left > kB64Chunk) {
        std::size_t n = std::fread(chunk, 1, kB64Chunk, pdf);
        if (n == 0) break;
        cmd(base64encode(std::string_view(chunk, n)));
        left -= static_cast<long>(n);
      }
      std::size_t n = std::fread(chunk, 1, kB64Chunk, pdf);
      cmd(base64encode(std::string_view(chunk, n)));
      const bool failed = std::ferror(pdf) != 0;
      std::fclose(pdf);
      if (failed) {  // the message ends without its end of data: the server drops it
        log_text("The PDF file cannot be read\n");
        return 1;
      }
    }
  }
  cmd("--" + b + "--");
  cmd(".");
  if (!smtp_okay(reply)) {
    log_text("DATA not send\n");
    return 1;
  }
  const std::string accepted = reply;
  cmd("QUIT");
  smtp_okay(reply);
  close_conn();
  logf("Sent mail for %s (%s) outbytes=%d\n", from_strip(uad).c_str(), reply.c_str(), outbytes);
  last_reply = accepted;
  return 0;
}

int smtp_engine(const std::string& subj, const char* rcpt, std::FILE* text, std::FILE* list) {
  // One line: a CR or LF in the subject would start a header line of its own.
  subject = subj;
  std::replace(subject.begin(), subject.end(), '\r', ' ');
  std::replace(subject.begin(), subject.end(), '\n', ' ');
  last_reply.clear();
  lost = false;
  const std::string saved = file_name;  // the caller's current path stays
  mk_tmp_fname("smtp.log");
  log_path = file_name;
  file_name = saved;
  smtp_log = log_path.empty() ? nullptr : std::fopen(log_path.c_str(), "w");
  if (!smtp_log) {
    OPENSSL_cleanse(pass.data(), pass.size());
    pass.clear();
    return -1;
  }
  the_time = set_time();
  pacing = getrc("pacing") != "no";
  log_text("DLL started OK\n");

  // A server that closes while we write must not end the program.
  struct sigaction ign {}, old {};
  ign.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ign, &old);

  std::string host;
  if (ssl_mail == 1) {
    use_tls = 1;
    auth_user = &user;
    auth_pass = &pass;
  } else {
    use_tls = 0;
    auth_user = auth_pass = nullptr;
  }
  int result = 1;
  if (!split_server(server_name, ssl_mail == 1 ? 465 : 25, host, server_port)) {
    logf("Unable to locate %s\n", server_name.c_str());
  } else if (smtp_open(host, server_port) != -1) {
    result = ssmtp(rcpt, text, list);
  }
  close_conn();
  ::sigaction(SIGPIPE, &old, nullptr);
  ERR_clear_error();
  OPENSSL_cleanse(pass.data(), pass.size());
  pass.clear();
  auth_user = auth_pass = nullptr;
  use_tls = 0;

  std::fclose(smtp_log);
  smtp_log = nullptr;
  if (result == 0) std::remove(log_path.c_str());
  return result;
}

void smtp_attach(int fd) {
  sock = fd;
  lost = false;
  use_tls = 0;
  outbuf.clear();
}

void ssmtp_reset() {
  server_name.clear();
  hostname.clear();
  sender.clear();
  user.clear();
  pass.clear();
  ssl_mail = 0;
  server_port = 0;
  use_tls = 0;
  last_reply.clear();
  log_path.clear();
  outbytes = 0;
  smtp_wait_ms = 30000;
}

}  // namespace soc
