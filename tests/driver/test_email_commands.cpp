// The e-mail commands through sociantes-driver, up to the point where the
// network would be used: the settings dialogs, the exclusion switches, and
// every refusal of the e-mail command with its message. The sends that reach
// a server are in tests/net.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail_records.h"
#include "test_members_util.h"

namespace soc::test {
namespace {

TEST(EmailCommands, SettingsSwitchesAndEveryRefusal) {
  ScratchHome h;
  make_db(h,
          mail_rec("Adam", "0601 adam@example.org", "A0000", "", "Choir") +
              mail_rec("Berg", "berg@example.org 0605", "A0001", "!", "Arts") +
              mail_rec("Cole", "0607", "A0002", "", "Choir"),
          "Arts\r\nChoir\r\n", "ref=A0003\r\ntitle=The Club\r\n");
  const std::string msg = (h.path() / "msg.txt").string();
  h.write(msg, "Hello\n");
  const std::string missing = (h.path() / "missing.txt").string();
  DriverRun r = run_driver(h,
                           "start\n"
                           "cmd 407\n"  // nothing configured yet
                           "reply ok 1074=mail.example.org:2525 \"1075=\" 1076=club@example.org\n"
                           "cmd 31\n"
                           "cmd 407\n"  // the host name is still empty
                           "reply ok 1074=localhost:1 1075=myhost 1076=club@example.org\n"
                           "cmd 31\n"
                           "cmd 455\ncmd 454\ncmd 455\ncmd 453\ncmd 452\n"
                           "click 2\ncmd 407\n"  // Cole has no address
                           "click 0\n"
                           "reply ok 1074=Subject 1075=" + missing + "\ncmd 407\n"
                           "reply ok 1074=Subject 1075=" + h.path().string() + "\ncmd 407\n"
                           // the Select. button of the PDF puts a text file there
                           "reply button 1008\nreply file " + msg + "\n"
                           "reply ok 1074=Subject 1075=" + msg + "\ncmd 407\n"
                           "reply ok 1074=login \"1075=\"\ncmd 34\n"
                           "reply ok 1074=Subject 1075=" + msg + " \"1076=\"\ncmd 407\n"
                           "reply ok \"1074=\" 1075=pw\ncmd 34\n"
                           "reply ok 1074=Subject 1075=" + msg + "\ncmd 407\n"
                           "cmd 401\ncmd 407\ncmd 452\ncmd 34\ncmd 31\n"
                           "quit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  const std::string one =
      "info 29 \"You are about to send an Email to the selected member.\\r\\nPlease enter a "
      "subject and a file to be sent.\\r\\n\\nFrom: The Club\\nTo: Adam \"";
  const std::string busy = "info 1 \" Another Functionality is already used!  \"";
  const std::vector<std::string> want = {
      "info 1 \"No/Incomplete Email configuration.\"",
      "info 11 \"SMTP Configuration.\\r\\nFor basic(port 25) or SSL(port 465) server.\\r\\nPlease, "
      "complete the following informations:\"",
      "info 1 \"No/Incomplete Email configuration.\"",
      "info 11 \"SMTP Configuration.\\r\\nFor basic(port 25) or SSL(port 465) server.\\r\\nPlease, "
      "complete the following informations:\"",
      "info 1 \"No Email address!\"",
      one, "info 1 \"     No file!     \"",
      one, "info 1 \"     No file!     \"",
      one, "info 1 \"PDF file not valid...\"",
      "info 11 \"SMTP SSL Configuration.\\r\\nFilling this values implies SSL\\r\\n with "
      "authentification protocol(port 465).\\r\\nPlease, complete the following informations:\"",
      one, "info 1 \"Password Error...\"",
      "info 11 \"SMTP SSL Configuration.\\r\\nFilling this values implies SSL\\r\\n with "
      "authentification protocol(port 465).\\r\\nPlease, complete the following informations:\"",
      one, "info 1 \"No login name...\"",
      "info 0 \"  Please modify the fields and press <Save> \\r\\n Note that the History file is "
      "not automatically updated  \"",
      busy, busy, busy, busy,
      // The script quits while Modify is in progress: the program asks first.
      "info 2 \" A member is being edited and not saved. \\r\\n Quit anyway? \"",
  };
  std::vector<std::string> got;
  for (const auto& l : lines_with(r, "info "))
    if (l.compare(0, 7, "info 5 ") != 0) got.push_back(l);
  EXPECT_EQ(got, want) << r.out;
  EXPECT_EQ(rc_value(h, "smtp_server"), "localhost:1");
  EXPECT_EQ(rc_value(h, "smtp_host"), "myhost");
  EXPECT_EQ(rc_value(h, "smtp_email"), "club@example.org");
  EXPECT_EQ(rc_value(h, "mail_email_filter"), "yes");
  EXPECT_EQ(rc_value(h, "labels_email_filter"), "no");
  EXPECT_EQ(rc_value(h, "ssl_user"), "");
  EXPECT_EQ(h.read(h.db() / "pass.crpt").size(), 16u);  // "pw"
}

TEST(EmailCommands, ClosingTheSettingsDialogsStoresNothing) {
  ScratchHome h;
  make_db(h, "", "", "ref=A0000\r\nsmtp_server=s.example.org\r\nsmtp_host=hh\r\nssl_user=me\r\n");
  // Closing the dialogs stores nothing and ends the action.
  DriverRun r = run_driver(h, "start\nreply close\ncmd 31\nreply close\ncmd 34\nshow action\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("action 0")) << r.out;
  EXPECT_EQ(rc_value(h, "smtp_server"), "s.example.org");
  EXPECT_FALSE(std::filesystem::exists(h.db() / "pass.crpt"));
}

}  // namespace
}  // namespace soc::test
