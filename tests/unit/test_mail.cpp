// The pieces of the e-mail code that need no server: base64, the address
// and server texts, the date text, the stored password, the credential and
// PDF checks, and the address taken from a member's Tel/Email field.
#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <filesystem>

#include <sys/stat.h>

#include "db/util.h"
#include "mail/email.h"
#include "mail/sscrypt.h"
#include "mail_clock.h"
#include "mail/ssmtp.h"
#include "program_fixture.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"

namespace soc::test {
namespace {

TEST(MailText, Base64) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"a", "YQ=="},         {"ab", "YWI="},          {"abc", "YWJj"},
      {"abcd", "YWJjZA=="}, {std::string("\0\xff\xfe", 3), "AP/+"}, {"login@example.org", "bG9naW5AZXhhbXBsZS5vcmc="}};
  for (const auto& [in, out] : cases) EXPECT_EQ(base64encode(in), out) << in;
  EXPECT_EQ(base64encode(std::string(48, 'x')).size(), 64u);
}

TEST(MailText, FromStripAndAddrParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"From: Club <club@example.org>", "club@example.org"},
      {"club@example.org", "club@example.org"},
      {"  club@example.org  ", "club@example.org"},
      {"club@example.org (The Club)", "club@example.org"},
      {"(The Club) club@example.org", "club@example.org"},
      {"From:club@example.org", "club@example.org"},
      {"from: x@example.org", "from: x@example.org"},  // only "From:" is dropped
      {"<open@example.org", "open@example.org"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(from_strip(in), out) << in;
}

TEST(MailText, ServerWithPort) {
  struct Case {
    const char* server;
    int dflt;
    bool ok;
    const char* host;
    int port;
  } cases[] = {
      {"mail.example.org", 465, true, "mail.example.org", 465},
      {"mail.example.org", 25, true, "mail.example.org", 25},
      {"mail.example.org:587", 465, true, "mail.example.org", 587},
      {"127.0.0.1:2525", 25, true, "127.0.0.1", 2525},
      {"mail.example.org:", 25, false, "", 0},
      {"mail.example.org:0", 25, false, "", 0},
      {"mail.example.org:65536", 25, false, "", 0},
      {"mail.example.org:smtp", 25, false, "", 0},
  };
  for (const auto& c : cases) {
    std::string host;
    int port = 0;
    EXPECT_EQ(split_server(c.server, c.dflt, host, port), c.ok) << c.server;
    if (c.ok) {
      EXPECT_EQ(host, c.host);
      EXPECT_EQ(port, c.port);
    }
  }
}

TEST(MailText, AddressOfTheTelEmailField) {
  const std::pair<const char*, const char*> cases[] = {
      {"adam@example.org", "adam@example.org"},
      {"01 23 45 adam@example.org", "adam@example.org"},
      {"adam@example.org 01 23 45", "adam@example.org"},
      {"tel 0601 a@b.org fax 0602", "a@b.org"},
      {"0601 0602", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(email_addr(in), out) << in;
}

class MailTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ssmtp_reset();
    sscrypt_reset();
  }
  void TearDown() override {
    sscrypt_reset();
    ProgramTest::TearDown();
  }
  std::filesystem::path crpt() const { return db() / "pass.crpt"; }
  // The login dialog answered with login and password.
  void login_dialog(const std::string& login, const std::string& password) {
    ws_.replies.push_back({Reply::ok, {{1074, login}, {1075, password}}, 0});
    dispatch(34);
  }
};

TEST_F(MailTest, DateTextHasEnglishMonthsWhateverTheLocale) {
  sys_.set_clock(mail_test_time());
  const char* old = std::setlocale(LC_TIME, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_TIME, "fr_FR.UTF-8");  // when installed; "C" otherwise
  EXPECT_EQ(set_time(), "08 Dec 26 03:01:52");
  std::setlocale(LC_TIME, saved.c_str());
}

TEST_F(MailTest, StoredPasswordSizesModeAndRoundTrip) {
  const std::pair<int, int> sizes[] = {{1, 16}, {15, 16}, {16, 32}, {31, 32}, {32, 48}, {62, 64}};
  for (const auto& [n, stored] : sizes) {
    const std::string pw(static_cast<std::size_t>(n), static_cast<char>('a' + n % 26));
    login_dialog("login", pw);
    const std::string bytes = read(crpt());
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(stored)) << n;
    EXPECT_EQ(bytes.find(pw), std::string::npos);
    struct stat st;
    ASSERT_EQ(::stat(crpt().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(chk_auth(), 0);
    EXPECT_EQ(pass, pw);
    EXPECT_EQ(user, "login");
    EXPECT_EQ(ssl_mail, 1);
  }
  EXPECT_EQ(getrc("ssl_user"), "login");
  EXPECT_EQ(task_in, 0);
  // The password reaches no file of the home, the settings and the
  // temporary directory included, neither clear nor in base64.
  login_dialog("login", "Unique-Secret-42");
  ASSERT_EQ(chk_auth(), 0);
  for (const auto& e : std::filesystem::recursive_directory_iterator(home_)) {
    if (!e.is_regular_file()) continue;
    const std::string text = read(e.path());
    EXPECT_EQ(text.find("Unique-Secret-42"), std::string::npos) << e.path();
    EXPECT_EQ(text.find(base64encode("Unique-Secret-42")), std::string::npos) << e.path();
  }
  EXPECT_EQ(tmp_str.find("Unique"), std::string::npos);
}

TEST_F(MailTest, CredentialsDecideTheModeOrRefuseTheSend) {
  // No password file: plain mode, no login.
  user = "stale";
  EXPECT_EQ(chk_auth(), 0);
  EXPECT_EQ(ssl_mail, 0);
  EXPECT_EQ(user, "");
  // An empty password is stored as an empty file: every send is refused.
  login_dialog("login", "");
  EXPECT_EQ(read(crpt()), "");
  EXPECT_TRUE(std::filesystem::exists(crpt()));
  take_output();
  EXPECT_EQ(chk_auth(), 1);
  EXPECT_EQ(take_output(), "info 1 \"Password Error...\"\n");
  // Bytes that do not decrypt (wrong length, wrong padding).
  for (const std::string& junk : {std::string("abc"), std::string(16, 'q'), std::string(600, 'q')}) {
    write(crpt(), junk);
    EXPECT_EQ(chk_auth(), 1);
    EXPECT_EQ(take_output(), "info 1 \"Password Error...\"\n");
  }
  // A password without a login name.
  login_dialog("", "pw");
  take_output();
  EXPECT_EQ(chk_auth(), 1);
  EXPECT_EQ(take_output(), "info 1 \"No login name...\"\n");
  EXPECT_EQ(pass, "");
}

TEST_F(MailTest, PasswordFileThatCannotBeWrittenStoresNothing) {
  std::filesystem::create_directories(crpt());  // a directory where the file belongs
  take_output();
  login_dialog("login", "pw");
  EXPECT_NE(take_output().find("info 1 \" The password file cannot be written: \\r\\n" +
                               crpt().string() + " \\r\\nNothing was stored. \"\n"),
            std::string::npos);
  EXPECT_EQ(getrc("ssl_user"), "");
  EXPECT_TRUE(std::filesystem::is_directory(crpt()));
  EXPECT_EQ(task_in, 0);
  EXPECT_EQ(chk_auth(), 0);  // no password file: plain mode
  EXPECT_EQ(ssl_mail, 0);
}

TEST_F(MailTest, CipherLibraryFailureIsReportedAndRefusesWithoutEnding) {
  login_dialog("login", "good");
  const std::string stored = read(crpt());
  cipher_ctx_new = [] { return static_cast<evp_cipher_ctx_st*>(nullptr); };
  take_output();
  login_dialog("other", "changed");
  EXPECT_NE(take_output().find("box \"DEBUG\" \"Fatal Error in Crypting/Decrypting...\"\n"),
            std::string::npos);
  EXPECT_EQ(read(crpt()), stored);
  EXPECT_EQ(getrc("ssl_user"), "login");
  EXPECT_EQ(chk_auth(), 1);
  EXPECT_EQ(take_output(), "box \"DEBUG\" \"Fatal Error in Crypting/Decrypting...\"\n");
  EXPECT_EQ(pass, "");
  EXPECT_EQ(task_in, 0);
}

TEST_F(MailTest, PdfCheck) {
  const std::pair<std::string, int> cases[] = {
      {"%PDF-1.4\nrest", 0}, {"xx pdf in the first bytes", 0}, {"plain text file\n", 1},
      {std::string("ab\0PDF", 6), 1},  // the search stops at the first zero byte
      {"0123456789abcdefPDF", 1},          // beyond the first 16 bytes
      {"", 1}};
  for (const auto& [content, verdict] : cases) {
    write(home_ / "att", content);
    pdf_fname = (home_ / "att").string();
    EXPECT_EQ(check_pdf(), verdict) << content;
  }
  pdf_fname = (home_ / "missing.pdf").string();
  EXPECT_EQ(check_pdf(), 1);
  pdf_fname = home_.string();  // a directory
  EXPECT_EQ(check_pdf(), 1);
  pdf_fname.clear();
  EXPECT_EQ(check_pdf(), 0);
}

}  // namespace
}  // namespace soc::test
