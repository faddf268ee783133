// The SMTP client: one message, one connection, one log.
//
// smtp_engine() opens a TCP connection to the configured server (TLS from the
// first byte in SSL mode, with the server certificate verified), conducts the
// SMTP dialogue (EHLO/HELO, AUTH LOGIN in SSL mode, MAIL FROM, one RCPT per
// recipient, DATA), sends a fixed MIME layout (the text file as a plain-text
// part, the optional PDF as a base64 part), says QUIT and closes. Every step
// is traced in smtp.log in the private temporary directory; the log is
// deleted when the server accepted the message and kept otherwise. Each wait
// for the server is bounded (smtp_wait_ms); the one-second pauses before most
// replies go through the clock service and are skipped with `pacing=no`.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace soc {

inline constexpr int kMaxRcpt = 999;                 // recipients from a list file
inline constexpr std::size_t kReplyMax = 64000;      // longest reply line kept
inline constexpr std::size_t kCmdMax = 63997;        // longest command line sent
inline constexpr int kTextPiece = 510;               // longest message text piece per line
inline constexpr int kB64Chunk = 48;                 // attachment bytes per base64 line
inline constexpr const char* kBoundary = "sociantes_310_boundary";

// Send parameters, filled by the e-mail commands before smtp_engine (the PDF
// attachment path is pdf_fname of the dialog module).
extern std::string server_name;  // smtp_server: host or dotted IPv4 address, optionally ":port"
extern std::string hostname;     // smtp_host: the name announced with EHLO/HELO
extern std::string sender;       // smtp_email: From, Reply-To and To header address
extern std::string user;         // ssl_user: login name and envelope sender; "" in plain mode
extern std::string pass;         // clear password for AUTH LOGIN; cleared after each send
extern int ssl_mail;             // 1 = SSL mode (port 465, AUTH LOGIN), 0 = plain (port 25)

// State of the last send, read by the commands and the tests.
extern int server_port;          // port of the last connection
extern int use_tls;              // 1 while the connection runs through TLS
extern std::string last_reply;   // the last reply line the server sent ("" when none)
extern std::string log_path;     // full path of smtp.log of the last send
extern int outbytes;             // bytes handed to the connection in the dialogue
extern int smtp_wait_ms;         // bound on every wait for the server (30 000)

// Sends one message. rcpt: one address, or nullptr when the recipients are
// the lines of list. text: the message text. Returns 0 when the server
// accepted the message, -1 when the log cannot be created, 1 otherwise. The
// caller keeps both files.
int smtp_engine(const std::string& subj, const char* rcpt, std::FILE* text, std::FILE* list);

// Pieces, exposed for the tests.
std::string base64encode(std::string_view data);   // RFC 4648, '=' padded, no line breaks
std::string set_time();                            // "08 Dec 26 03:01:52", English months
std::string from_strip(const std::string& text);   // the bare address of a From text
std::string addr_parse(const std::string& text);   // the address of text ("<...>" or bare)
// Splits "host:port"; port is dflt when none is given. false for a port that
// is not a number from 1 to 65535.
bool split_server(const std::string& server, int dflt, std::string& host, int& port);

// The reply reader on a connection the caller opened: fd (non-blocking)
// becomes the plain connection every later read uses; -1 detaches it
// without closing it. For the tests, which play the server on the other
// end of a socket pair.
void smtp_attach(int fd);
// Reads one complete reply (the lines of a multi-line reply up to its last
// one): the last line without its line end, cut to kReplyMax bytes, and its
// code divided by 100; 0 when no reply could be read (line is then empty).
int smtp_read(std::string& line);

void ssmtp_reset();   // resets the globals of this module (tests)

}  // namespace soc
