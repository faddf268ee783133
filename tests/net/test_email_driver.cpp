// The Email command through sociantes-driver against a real SMTP server:
// one member, all members selected by category and flags, SSL mode after the
// login dialog, and a refused send with its message and kept files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver/mail_records.h"
#include "driver/test_members_util.h"
#include "peer.h"

namespace soc::test {
namespace {

#define NEED(peer) \
  if (!(peer).skip().empty()) GTEST_SKIP() << (peer).skip()

const std::string kMembers =
    mail_rec("Adam", "0601 adam@example.org", "A0000", "", "Choir") +
    mail_rec("Berg", "berg@example.org 0605", "A0001", "x !", "Arts") +
    mail_rec("Cole", "0607", "A0002", "!", "Choir") +
    mail_rec("Dana", "dana@example.org", "A0003", "!", "Choir 2026") +
    mail_rec("Emil", "tel 01 emil@example.org", "A0004", "!$", "Choir");

// A data directory with the members, the server at server, and rc lines.
void setup(const ScratchHome& h, const std::string& server, const std::string& rc = "") {
  make_db(h, kMembers, "Arts\r\nChoir\r\n",
          "ref=A0005\r\ntitle=The Club\r\nsmtp_server=" + server +
              "\r\nsmtp_host=myhost\r\nsmtp_email=club@example.org\r\n" + rc);
  h.write(h.path() / "msg.txt", "Dear member,\n.\nSee you.\n");
}

std::string send_line(const ScratchHome& h, const std::string& extra = "") {
  return "reply ok \"1074=Next meeting\" 1075=" + (h.path() / "msg.txt").string() + extra +
         "\ncmd 407\n";
}

TEST(EmailSend, OneMemberPlainModeWithThePausesOnTheClock) {
  SmtpPeer peer;
  NEED(peer);
  const std::string server = "127.0.0.1:" + std::to_string(peer.port());
  for (const char* pacing : {"", "no"}) {
    SCOPED_TRACE(std::string("pacing=") + pacing);
    ScratchHome h;
    setup(h, server, std::string("pacing=") + pacing + "\r\n");
    // The text file chosen with its Select. button.
    DriverRun r = run_driver(h, "start\nclick 0\nreply button 1007\nreply file " +
                                    (h.path() / "msg.txt").string() +
                                    "\nreply ok \"1074=Next meeting\"\ncmd 407\n"
                                    "show elapsed\nshow action\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_TRUE(r.has("info 0 \"\\n\\nEmail OK.\"")) << r.out;
    EXPECT_TRUE(r.has("action 0"));
    // Half a second before the dialog closes; one second before the
    // greeting, MAIL FROM, RCPT, the end of data and QUIT.
    EXPECT_TRUE(r.has(*pacing ? "elapsed 500" : "elapsed 5500")) << r.out;
    EXPECT_FALSE(std::filesystem::exists(h.tmp() / "smtp.log"));
  }
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt adam@example.org\n");
  EXPECT_EQ(peer.got(2, "text.txt"), "\r\nDear member,\r\n.\r\nSee you.\r\n");
}

TEST(EmailSend, AllSelectedByCategoryAndFlags) {
  SmtpPeer peer;
  NEED(peer);
  ScratchHome h;
  setup(h, "127.0.0.1:" + std::to_string(peer.port()), "pacing=no\r\nflag_filter=or\r\n");
  // Category Choir (names beginning with it), flag ! ticked under OR:
  // Dana and Emil; Cole has no address, Adam no flag, Berg another category.
  // Then every category without a flag rule: all with an address.
  DriverRun r = run_driver(h, "start\ncategory 2\nflag 1 1\n" + send_line(h) +
                                  "category 0\ncmd 420\n" + send_line(h) + "quit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_EQ(lines_with(r, "info 0 "),
            (std::vector<std::string>{"info 0 \"Emails OK.\"", "info 0 \"Emails OK.\""}))
      << r.out;
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt dana@example.org\nrcpt emil@example.org\n");
  EXPECT_EQ(peer.got(2, "envelope.txt"),
            "from <>\nrcpt adam@example.org\nrcpt berg@example.org\nrcpt dana@example.org\n"
            "rcpt emil@example.org\n");
  EXPECT_NE(peer.got(1, "parsed.txt").find("header To: Undisclosed Recipients<club@example.org>\n"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(h.tmp() / "email_list.txt"));
}

TEST(EmailSend, SslModeAfterTheLoginDialog) {
  std::string why;
  const std::string certs = cert_dir(why);
  if (certs.empty()) GTEST_SKIP() << why;
  SmtpPeer peer({"--tls", certs + "/server.pem", certs + "/server.key", "--auth", "me@example.org",
                 "pass word"});
  NEED(peer);
  ::setenv("SSL_CERT_FILE", (certs + "/ca.pem").c_str(), 1);
  ScratchHome h;
  setup(h, "localhost:" + std::to_string(peer.port()), "pacing=no\r\n");
  h.write(h.path() / "doc.pdf", "%PDF-1.4\nbody\n");
  DriverRun r = run_driver(h, "start\nreply ok 1074=me@example.org \"1075=pass word\"\ncmd 34\n"
                              "click 1\n" +
                                  send_line(h, " 1076=" + (h.path() / "doc.pdf").string()) + "quit\n");
  ::unsetenv("SSL_CERT_FILE");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 0 \"\\n\\nEmail OK.\"")) << r.out;
  EXPECT_EQ(peer.auth(), "me@example.org\npass word\n");
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from me@example.org\nrcpt berg@example.org\n");
  EXPECT_EQ(peer.got(1, "att.bin"), "%PDF-1.4\nbody\n");
}

TEST(EmailSend, RefusedSendShowsLogPathAndReplyAndKeepsTheFiles) {
  SmtpPeer peer({"--refuse-rcpt", "dana@example.org"});
  NEED(peer);
  ScratchHome h;
  setup(h, "127.0.0.1:" + std::to_string(peer.port()), "pacing=no\r\n");
  DriverRun r = run_driver(h, "start\n" + send_line(h) + "show action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string log = (h.tmp() / "smtp.log").string();
  EXPECT_TRUE(r.has("info 1 \"Email failed, please look at log file:\\r\\n" + log +
                    "\\r\\nLast server reply: 550 5.1.1 <dana@example.org>: Recipient address "
                    "rejected\""))
      << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_EQ(h.read(h.tmp() / "email_list.txt"),
            "adam@example.org\nberg@example.org\ndana@example.org\nemil@example.org\n");
  EXPECT_NE(h.read(log).find("RCPT TO:<dana@example.org> (550 "), std::string::npos);
  EXPECT_FALSE(peer.has_message(1));
}

// Regression: the writes of the recipient list were unchecked, so a full
// disk sent the mailing to the members listed before it (the last address
// perhaps cut) and reported "Emails OK.".
TEST(EmailSend, ARecipientListThatCannotBeWrittenSendsNothing) {
  SmtpPeer peer;
  NEED(peer);
  ScratchHome h;
  setup(h, "127.0.0.1:" + std::to_string(peer.port()), "pacing=no\r\n");
  std::filesystem::create_directories(h.tmp());
  std::filesystem::create_symlink("/dev/full", h.tmp() / "email_list.txt");
  DriverRun r = run_driver(h, "start\n" + send_line(h) + "show action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("info 1 \" ERROR MAIL_1 \\r\\n The recipient list cannot be written; nothing "
                    "was sent. \""))
      << r.out;
  EXPECT_TRUE(r.has("action 0"));
  EXPECT_FALSE(peer.has_message(1));
}

}  // namespace
}  // namespace soc::test
