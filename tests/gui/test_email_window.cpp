// The e-mail dialogs in the real window: the Server dialog shows and stores
// the three settings, the login dialog has two rows and an empty password,
// the Select. button opens the file selection, and a send to all selected
// members reaches the loopback SMTP server while the window stays alive.
#include <wx/textctrl.h>

#include <fstream>

#include "db/util.h"
#include "gui_fixture.h"
#include "net/peer.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

std::string entry_text(TemplateDialog& d, int id) {
  auto* e = dynamic_cast<wxTextCtrl*>(d.FindWindow(id));
  return e ? u8(e->GetValue()) : "<none>";
}

TEST_F(GuiTest, EmailDialogsAndASendToAllSelected) {
  SmtpPeer peer;
  if (!peer.skip().empty()) GTEST_SKIP() << peer.skip();
  std::filesystem::create_directories(db());
  std::ofstream(db() / "sociantes.data", std::ios::binary)
      << "#\r\nAdam\r\n\r\n\r\n\r\n\r\n0601 adam@example.org\r\n\r\n\r\n\r\n\r\n\r\nA0000\r\n\r\n"
         "#\r\nBerg\r\n\r\n\r\n\r\n\r\nberg@example.org\r\n\r\n\r\n\r\n\r\n\r\nA0001\r\n\r\n";
  std::ofstream(db() / ".sociantes.rc", std::ios::binary)
      << "##################################################################\r\n"
         "#        RC for Sociantes. Please, do not edit manually!\r\n"
         "##################################################################\r\n"
         "ref=A0002\r\nversion=sociantes_v3.4.2\r\n";
  start();
  setrc("smtp_server", "old.example.org");
  setrc("ssl_user", "me");
  setrc("pacing", "no");

  Answer shown;  // the Server dialog shows the settings; Close stores nothing
  shown.inspect = [](TemplateDialog& d) {
    EXPECT_EQ(u8(d.GetTitle()), "EMAIL");
    EXPECT_EQ(entry_text(d, 1074), "old.example.org");
    EXPECT_EQ(entry_text(d, 1075), "");
    EXPECT_EQ(u8(d.FindWindow(1073)->GetLabel()), "Sender Email address:");
  };
  hook_.answers.push_back(shown);
  command(31);
  Answer server;
  server.entries = {{1074, "127.0.0.1:1"}, {1075, "myhost"}, {1076, "club@example.org"}};
  server.button = 1001;
  hook_.answers.push_back(server);
  command(31);
  EXPECT_EQ(getrc("smtp_server"), "127.0.0.1:1");
  EXPECT_EQ(getrc("smtp_host"), "myhost");
  setrc("smtp_server", "127.0.0.1:" + std::to_string(peer.port()));

  Answer login;
  login.snapshot = (shot_dir() / "gui-email-login.png").string();
  login.inspect = [](TemplateDialog& d) {
    EXPECT_EQ(d.FindWindow(1073), nullptr);
    EXPECT_EQ(d.FindWindow(1076), nullptr);
    EXPECT_EQ(entry_text(d, 1074), "me");
    EXPECT_EQ(entry_text(d, 1075), "");
  };
  hook_.answers.push_back(login);  // closed: nothing stored
  command(34);
  EXPECT_FALSE(std::filesystem::exists(db() / "pass.crpt"));

  const std::string msg = (home_ / "msg.txt").string();
  std::ofstream(msg) << "Dear members,\n";
  Answer select;  // the Select. button of the text file: a file selection
  select.button = 1007;
  Answer send;
  send.entries = {{1074, "Meeting"}, {1075, msg}};
  send.snapshot = (shot_dir() / "gui-email-send.png").string();
  send.button = 1001;
  hook_.answers.push_back(select);
  hook_.answers.push_back(send);
  hook_.boxes.clear();
  hook_.file_selections = 0;
  command(407);
  pump(100);
  EXPECT_EQ(hook_.file_selections, 1);
  EXPECT_EQ(hook_.boxes, std::vector<std::string>{"INFO|Emails OK."});
  EXPECT_EQ(peer.got(1, "envelope.txt"), "from <>\nrcpt adam@example.org\nrcpt berg@example.org\n");
  EXPECT_EQ(task_in, 0);
}

}  // namespace
}  // namespace soc::test
