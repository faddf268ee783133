// The SMTP client against a real server (aiosmtpd on the loopback
// interface): what the server received, read back through Python's e-mail
// parser, and the log the client keeps when a send fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "db/util.h"
#include "mail/sscrypt.h"
#include "unit/mail_clock.h"
#include "mail/ssmtp.h"
#include "peer.h"
#include "shell/dialog.h"
#include "unit/program_fixture.h"

namespace soc::test {
namespace {

#define NEED(peer) \
  if (!(peer).skip().empty()) GTEST_SKIP() << (peer).skip()

class SmtpTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ssmtp_reset();
    sscrypt_reset();
    setrc("pacing", "no");
    hostname = "myhost";
    sender = "club@example.org";
    sys_.set_clock(mail_test_time());
  }
  void TearDown() override {
    ::unsetenv("SSL_CERT_FILE");
    ProgramTest::TearDown();
  }
  // Sends text to rcpt (or to the lines of list when rcpt is null).
  int send(const std::string& server, const char* rcpt, const std::string& text = "Hello\n",
           const std::string& list = "", const std::string& subj = "Subject line") {
    server_name = server;
    write(dir_ / "msg.txt", text);
    write(dir_ / "list.txt", list);
    std::FILE* t = std::fopen((dir_ / "msg.txt").c_str(), "r");
    std::FILE* l = std::fopen((dir_ / "list.txt").c_str(), "r");
    int r = smtp_engine(subj, rcpt, t, rcpt ? nullptr : l);
    std::fclose(t);
    std::fclose(l);
    return r;
  }
  std::string log() { return read(log_path); }
  static std::string at_port(int port) { return "127.0.0.1:" + std::to_string(port); }
  static std::string at(const SmtpPeer& p) { return at_port(p.port()); }
  // SSL mode against a TLS peer as "localhost", trusting the test CA.
  void ssl_as(const std::string& login, const std::string& password) {
    std::string why;
    certs_ = cert_dir(why);
    ::setenv("SSL_CERT_FILE", (certs_ + "/ca.pem").c_str(), 1);
    ssl_mail = 1;
    user = login;
    pass = password;
  }
  std::vector<std::string> tls_args(const std::string& cert = "server") {
    std::string why;
    std::string d = cert_dir(why);
    if (d.empty()) return {};
    return {"--tls", d + "/" + cert + ".pem", d + "/" + cert + ".key", "--auth", "login@example.org",
            "s3cret pass"};
  }
  std::string certs_;
};

#define NEED_CERTS()                    \
  do {                                  \
    std::string why;                    \
    if (cert_dir(why).empty()) GTEST_SKIP() << why; \
  } while (0)

TEST_F(SmtpTest, PlainMessageArrivesWithItsHeadersTextAndAttachment) {
  SmtpPeer peer;
  NEED(peer);
  // 97 bytes: two base64 lines of 64 characters and one of 4 ending "==".
  std::string pdf = "%PDF-1.4\n";
  for (int i = 0; pdf.size() < 97; ++i) pdf += static_cast<char>(i * 7 + 1);
  write(dir_ / "doc.pdf", pdf);
  pdf_fname = (dir_ / "doc.pdf").string();
  const std::string long_line(600, 'x');
  const std::string text = "Hello\n.\n.dot line\nEuro \xA4 sign\r\n" + long_line + "\nBye";
  ASSERT_EQ(send(at(peer), "adam@example.org", text, "", "Two\r\nBcc: spy@example.org"), 0)
      << log();

  EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt adam@example.org\n");
  EXPECT_EQ(peer.got(1, "parsed.txt"),
            "header From: club@example.org\n"
            "header Reply-To: club@example.org\n"
            "header Subject: Two  Bcc: spy@example.org\n"
            "header Date: 08 Dec 26 03:01:52\n"
            "header To: Undisclosed Recipients<club@example.org>\n"
            "header MIME-Version: 1.0\n"
            "header Content-type: multipart/mixed;\r\n boundary=sociantes_310_boundary\n"
            "part multipart/mixed\n"
            "part text/plain\n"
            "charset iso-8859-15\n"
            "part application/pdf\n"
            "attachment doc.pdf\n"
            "defects 0\n");
  // The text part: an empty first line, the lines with CR LF, a line over 510
  // characters in two pieces (the empty line after the text is the boundary's).
  EXPECT_EQ(peer.got(1, "text.txt"), "\r\nHello\r\n.\r\n.dot line\r\nEuro \xA4 sign\r\n" +
                                         long_line.substr(0, 510) + "\r\n" + long_line.substr(510) +
                                         "\r\nBye\r\n");
  EXPECT_EQ(peer.got(1, "att.bin"), pdf);
  const std::string raw = peer.got(1, "raw.eml");
  const std::string b64 = raw.substr(raw.find("base64\r\n\r\n") + 10);
  EXPECT_EQ(b64.substr(0, 66).size(), 66u);
  EXPECT_EQ(b64.find("\r\n"), 64u);
  EXPECT_EQ(b64.find("\r\n", 66), 130u);
  EXPECT_EQ(b64.find("==\r\n", 132), 134u) << b64;
  EXPECT_TRUE(raw.ends_with("=\r\n--sociantes_310_boundary--\r\n")) << raw;
  // A successful send leaves no log.
  EXPECT_FALSE(std::filesystem::exists(log_path));
  EXPECT_EQ(server_port, peer.port());
  EXPECT_EQ(last_reply, "250 2.0.0 Ok: queued as 1");
}

TEST_F(SmtpTest, EmptyAttachmentGivesOneEmptyLineAndNoFileNoPart) {
  SmtpPeer peer;
  NEED(peer);
  write(dir_ / "empty.pdf", "");
  pdf_fname = (dir_ / "empty.pdf").string();
  ASSERT_EQ(send(at(peer), "a@example.org"), 0);
  EXPECT_NE(peer.got(1, "raw.eml").find("base64\r\n\r\n\r\n--sociantes_310_boundary--"),
            std::string::npos);
  EXPECT_EQ(peer.got(1, "att.bin"), "");
  pdf_fname = (dir_ / "missing.pdf").string();
  ASSERT_EQ(send(at(peer), "a@example.org"), 0);
  EXPECT_EQ(peer.got(2, "raw.eml").find("application/pdf"), std::string::npos);
}

// Regression: the text was read with fgets, so a NUL cut its line short, a
// line of exactly 510 bytes was followed by an empty line, and a lone CR
// went to the server as it stood; a file name holding CR LF went into the
// attachment's header line as it stood. A text or a file name could then end
// the data early and put commands of its own to the server.
TEST_F(SmtpTest, TextAndFileNameNeverEndTheDataEarly) {
  SmtpPeer peer;
  NEED(peer);
  const std::string pdf = "%PDF-1.4\nbody\n";
  const std::string name = "x.pdf\r\n.\r\nMAIL FROM:<evil@example.org>\r\ny.pdf";
  write(dir_ / name, pdf);
  pdf_fname = (dir_ / name).string();
  const std::string x510(510, 'x');
  const std::string text = std::string("A\0B\n", 4) + x510 + "\n" + x510 + "yz\n" +
                           "one\r.\r\nMAIL FROM:<a@example.org>\rend";
  ASSERT_EQ(send(at(peer), "adam@example.org", text), 0) << log();
  EXPECT_EQ(peer.got(1, "text.txt"), std::string("\r\nA\0B\r\n", 7) + x510 + "\r\n" + x510 +
                                         "\r\nyz\r\none\r\n.\r\nMAIL FROM:<a@example.org>\r\n"
                                         "end\r\n");
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt adam@example.org\n");
  EXPECT_EQ(peer.got(1, "att.bin"), pdf);
  const std::string raw = peer.got(1, "raw.eml");
  EXPECT_NE(raw.find("name=x.pdf  .  MAIL FROM:<evil@example.org>  y.pdf\r\n"),
            std::string::npos)
      << raw;
  EXPECT_FALSE(peer.has_message(2));
}

TEST_F(SmtpTest, SslModeAuthenticatesAndKeepsThePasswordOutOfTheLog) {
  NEED_CERTS();
  SmtpPeer peer(tls_args());
  NEED(peer);
  const std::string server = "localhost:" + std::to_string(peer.port());
  ssl_as("login@example.org", "s3cret pass");
  ASSERT_EQ(send(server, "adam@example.org"), 0) << log();
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from login@example.org\nrcpt adam@example.org\n");
  EXPECT_EQ(peer.auth(), "login@example.org\ns3cret pass\n");
  EXPECT_TRUE(pass.empty());  // cleared after the send

  // A refused password: the send fails, the log is kept and shows the
  // dialogue up to the 535, the multi-line EHLO reply as its last line only,
  // and neither the password nor its base64.
  ssl_as("login@example.org", "wrong pass");
  ASSERT_EQ(send(server, "adam@example.org"), 1);
  const std::string l = log();
  EXPECT_NE(l.find("DLL started OK\n"), std::string::npos) << l;
  EXPECT_NE(l.find("localhost located \n"), std::string::npos) << l;
  EXPECT_NE(l.find("IP Address : 127.0.0.1\n"), std::string::npos) << l;
  EXPECT_NE(l.find("Creating SSL connection to host\nSSL connection using "), std::string::npos);
  EXPECT_NE(l.find(">> EHLO myhost\n<< 220 "), std::string::npos) << l;
  EXPECT_NE(l.find("\n<< 250 HELP\n>> AUTH LOGIN\n<< 334 "), std::string::npos) << l;
  EXPECT_NE(l.find(">> " + base64encode("login@example.org") + "\n<< 334 "), std::string::npos);
  EXPECT_TRUE(l.ends_with("\n<< 535 5.7.8 Authentication credentials invalid\n")) << l;
  EXPECT_EQ(l.find("<< 250-"), std::string::npos) << l;
  EXPECT_EQ(l.find("wrong pass"), std::string::npos);
  EXPECT_EQ(l.find(base64encode("wrong pass")), std::string::npos);
  EXPECT_EQ(last_reply, "535 5.7.8 Authentication credentials invalid");
  EXPECT_FALSE(peer.has_message(2));
}

TEST_F(SmtpTest, ServerCertificateIsVerified) {
  NEED_CERTS();
  struct Case {
    const char* cert;       // certificate the server presents
    const char* host;       // name the client connects to
    const char* verify;     // ssl_verify setting
    int result;             // smtp_engine's result
    const char* log_line;   // expected in the kept log
  } cases[] = {
      {"server", "localhost", "", 0, ""},
      {"other", "localhost", "", 1, "Certificate not verified: unable to get local issuer certificate\n"},
      {"other", "localhost", "no", 0, ""},
      {"server", "127.0.0.1", "", 1, "Certificate not verified: IP address mismatch\n"},
      {"server", "127.0.0.1", "no", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cert) + " as " + c.host + " ssl_verify=" + c.verify);
    SmtpPeer peer(tls_args(c.cert));
    NEED(peer);
    setrc("ssl_verify", c.verify);
    ssl_as("login@example.org", "s3cret pass");
    const int r = send(std::string(c.host) + ":" + std::to_string(peer.port()), "a@example.org");
    EXPECT_EQ(r, c.result);
    EXPECT_EQ(peer.has_message(1), c.result == 0);
    if (c.result != 0) {
      const std::string l = log();
      EXPECT_NE(l.find(c.log_line), std::string::npos) << l;
      EXPECT_EQ(l.find(">> EHLO"), std::string::npos) << "nothing is sent to an unverified server";
    }
  }
}

TEST_F(SmtpTest, RefusalsEndTheSendWithTheirLogLine) {
  struct Case {
    std::vector<std::string> args;  // server behaviour
    const char* rcpt;               // single recipient, or null for the list
    const char* list;               // recipient list
    const char* log_end;            // the log ends with this
    int messages;                   // messages the server stored
  } cases[] = {
      {{"--refuse-rcpt", "bad@example.org"}, "bad@example.org", "",
       ">> RCPT TO:<bad@example.org>\n<< 550 5.1.1 <bad@example.org>: Recipient address rejected\n"
       "RCPT TO:<bad@example.org> (550 5.1.1 <bad@example.org>: Recipient address rejected)\n",
       0},
      {{"--refuse-rcpt", "bad@example.org"}, nullptr, "ok@example.org\nbad@example.org\nz@example.org\n",
       "RCPT TO:<bad@example.org> (550 5.1.1 <bad@example.org>: Recipient address rejected)\n", 0},
      {{"--refuse-data"}, "a@example.org", "", ">> .\n<< 554 5.7.1 Message refused\nDATA not send\n",
       1},
      {{}, nullptr, "", ">> MAIL FROM:<>\n<< 250 OK\n>> DATA\n<< 503 Error: need RCPT command\n"
       "DATA fails : 503 Error: need RCPT command\n", 0},
      {{"--drop-data"}, "a@example.org", "", ">> .\nConnection lost in middle of processing\nDATA not send\n",
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log_end);
    SmtpPeer peer(c.args);
    NEED(peer);
    EXPECT_EQ(send(at(peer), c.rcpt, "Hello\n", c.list), 1);
    const std::string l = log();
    ASSERT_GE(l.size(), std::string(c.log_end).size()) << l;
    EXPECT_EQ(l.substr(l.size() - std::string(c.log_end).size()), c.log_end) << l;
    EXPECT_EQ(peer.has_message(1), c.messages == 1);
  }
}

TEST_F(SmtpTest, MailFromReplyWithoutOkAwaitsOneMoreReply) {
  smtp_wait_ms = 3000;  // a reply awaited in vain fails the case quickly
  struct Case {
    std::vector<std::string> args;  // the server's replies to MAIL FROM
    const char* what;               // the replies, for the trace
  } cases[] = {
      {{"--mail-reply", "250 2.1.0 Sender accepted"}, "<< 250 2.1.0 Sender accepted\n<< 250 OK\n"},
      {{"--mail-final", "250 2.1.0 Ok"}, "<< 250 2.1.0 Ok\n>> RCPT"},
      {{"--mail-final", "250 2.1.0 Sender OK"}, "<< 250 2.1.0 Sender OK\n>> RCPT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmtpPeer peer(c.args);
    NEED(peer);
    setrc("pacing", "no");
    ASSERT_EQ(send(at(peer), "a@example.org"), 0) << log();
    EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt a@example.org\n");
  }
  // The log of a failed send shows the replies as read.
  SmtpPeer peer({"--mail-reply", "250 2.1.0 Sender accepted", "--refuse-rcpt", "a@example.org"});
  NEED(peer);
  EXPECT_EQ(send(at(peer), "a@example.org"), 1);
  EXPECT_NE(log().find(">> MAIL FROM:<>\n<< 250 2.1.0 Sender accepted\n<< 250 OK\n>> RCPT"),
            std::string::npos)
      << log();
}

TEST_F(SmtpTest, ASilentOrVanishingServerEndsTheSendWithinTheBound) {
  smtp_wait_ms = 400;  // the 30 s bound, shortened for the test
  int dead = 0;
  {
    SilentPeer silent;
    ASSERT_GT(silent.port(), 0);
    EXPECT_EQ(send(at_port(silent.port()), "a@example.org"), 1);
    const std::string l = log();
    EXPECT_NE(l.find(">> HELO myhost\nConnection lost in middle of processing\n"), std::string::npos) << l;
    dead = silent.port();
  }
  // The same port, now that nobody listens there.
  EXPECT_EQ(send(at_port(dead), "a@example.org"), 1);
  std::string l = log();
  EXPECT_NE(l.find("Unable to connect to 127.0.0.1:" + std::to_string(dead) + "\n"),
            std::string::npos)
      << l;
  EXPECT_EQ(send("no-such-host.invalid", "a@example.org"), 1);
  EXPECT_EQ(log(), "DLL started OK\nUnable to locate no-such-host.invalid\n");
  EXPECT_EQ(send("127.0.0.1:99999", "a@example.org"), 1);
}

TEST_F(SmtpTest, NineHundredNinetyNineRecipientsPassTheThousandthIsRefused) {
  SmtpPeer peer;
  NEED(peer);
  std::string list;
  for (int i = 1; i <= 999; ++i) list += "r" + std::to_string(i) + "@example.org\n";
  ASSERT_EQ(send(at(peer), nullptr, "Hello\n", list), 0) << log();
  const std::string env = peer.got(1, "envelope.txt");
  EXPECT_EQ(std::count(env.begin(), env.end(), '\n'), 1000);
  EXPECT_NE(env.find("rcpt r999@example.org\n"), std::string::npos);

  list += "r1000@example.org\n";
  ASSERT_EQ(send(at(peer), nullptr, "Hello\n", list), 1);
  const std::string l = log();
  const std::string end = "<< 250 OK\n>> RCPT TO:<r1000@example.org>\nMore then 1000 RCPTs\n";
  EXPECT_EQ(l.substr(l.size() - end.size()), end);
  EXPECT_FALSE(peer.has_message(2));
}

TEST_F(SmtpTest, LogCannotBeCreated) {
  tmp_root.clear();  // the temporary directory was refused
  EXPECT_EQ(send("127.0.0.1:1", "a@example.org"), -1);
}

}  // namespace
}  // namespace soc::test
