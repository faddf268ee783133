// The e-mail commands: server and login settings, the stored password, the
// send to one member or to every selected member, and the exclusion switches.
#include "mail/email.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "mail/sscrypt.h"
#include "mail/ssmtp.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

namespace {

constexpr const char* kNoFile = "     No file!     ";
constexpr const char* kNoAddress = "No Email address!";
constexpr const char* kBadPdf = "PDF file not valid...";
constexpr const char* kListFile = "email_list.txt";

// The path that composer (mk_fname, mk_tmp_fname) gives name; the current
// path is kept.
std::string path_of(void (*composer)(const std::string&), const std::string& name) {
  const std::string saved = file_name;
  composer(name);
  std::string p = file_name;
  file_name = saved;
  return p;
}

// Splits s at its first '|'.
void split_bar(const std::string& s, std::string& a, std::string& b) {
  std::size_t bar = s.find('|');
  a = s.substr(0, bar);
  b = bar == std::string::npos ? std::string() : s.substr(bar + 1);
}

// The message text file is usable: it opens and is no directory.
bool text_file_ok(const std::string& path) {
  if (path.empty() || is_dir(path)) return false;
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  std::fclose(f);
  return true;
}

// The message after smtp_engine returned r; ok is the success text.
void report(int r, const char* ok) {
  if (r == 0) {
    info(ok, 0);
  } else if (r == -1) {
    info("Open log file failed", 1);
  } else {
    std::string m = "Email failed, please look at log file:\r\n" + log_path;
    if (!last_reply.empty()) m += "\r\nLast server reply: " + last_reply;
    info(m, 1);
  }
}

// Splits the dialog text into subject and text-file path, waits half a
// second and closes the dialog.
void take_dialog(Dialog& d, std::string& subj, std::string& path) {
  split_bar(tmp_str, subj, path);
  sys().sleep_ms(500);
  kill_dialog(d);
}

// Sets the current action and opens its dialog.
void start_mail_action(int action, const std::string& prompt, int kind) {
  task_in = action;
  set_status();
  info(prompt, kind);
}

// One-action rule first.
void start_mail_action_checked(int action, const std::string& prompt, int kind) {
  if (!action_busy()) start_mail_action(action, prompt, kind);
}

void set_switch(const char* key, int flag) {
  if (action_busy()) return;
  save_rc(key, flag ? "yes" : "no");
}

}  // namespace

std::string email_addr(const std::string& field) {
  std::size_t at = field.find('@');
  if (at == std::string::npos) return "";
  std::size_t sp = field.rfind(' ', at);
  std::size_t start = sp == std::string::npos ? 0 : sp + 1;
  std::size_t end = field.find(' ', at);
  return field.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void smtp_setup() {
  start_mail_action_checked(31, "SMTP Configuration.\r\nFor basic(port 25) or SSL(port 465) server.\r\n"
                        "Please, complete the following informations:",
                    11);
}

void ssl_setup() {
  start_mail_action_checked(34, "SMTP SSL Configuration.\r\nFilling this values implies SSL\r\n with "
                        "authentification protocol(port 465).\r\nPlease, complete the following "
                        "informations:",
                    11);
}

void do_smtp_cfg(Dialog& d) {
  std::string server, rest, host, email;
  split_bar(tmp_str, server, rest);
  split_bar(rest, host, email);
  kill_dialog(d);
  save_rc_many({{"smtp_server", server}, {"smtp_host", host}, {"smtp_email", email}});
}

void do_ssl_cfg(Dialog& d) {
  std::string login, password;
  split_bar(tmp_str, login, password);
  std::fill(tmp_str.begin(), tmp_str.end(), '\0');  // the shared scratch text forgets it
  const int r = store_pass(password);
  std::fill(password.begin(), password.end(), '\0');
  kill_dialog(d);
  if (r == 1)
    info(" The password file cannot be written: \r\n" + path_of(mk_fname, kPassFile) +
             " \r\nNothing was stored. ",
         1);
  if (r != 0) return;  // nothing stored (a cipher failure has shown its box)
  save_rc("ssl_user", login);
}

void do_email() {
  if (action_busy()) return;
  hostname = getrc("smtp_host");
  sender = getrc("smtp_email");
  server_name = getrc("smtp_server");
  if (hostname.empty() || sender.empty() || server_name.empty()) {
    info("No/Incomplete Email configuration.", 1);
    return;
  }
  const std::string title = nfs ? getnrc("title") : getrc("title");
  if (!index_sel.empty()) {
    if (fld::phone.find('@') == std::string::npos) {
      info(kNoAddress, 1);
      return;
    }
    start_mail_action(29,
                      "You are about to send an Email to the selected member.\r\nPlease enter a "
                      "subject and a file to be sent.\r\n\nFrom: " +
                          title + "\nTo: " + fld::name + " " + fld::fname,
                      29);
  } else {
    start_mail_action(30,
                      "\nYou are about to sent Emails to all selected members.\r\nPlease enter a "
                      "subject and a file to be sent.\r\n To: Members List\r\n\nFrom: " +
                          title,
                      29);
  }
}

int check_pdf() {
  if (pdf_fname.empty()) return 0;
  std::FILE* f = std::fopen(pdf_fname.c_str(), "rb");
  if (!f) return 1;
  char head[17] = {};
  std::size_t n = std::fread(head, 1, 16, f);
  std::fclose(f);
  head[n] = '\0';  // the search stops at the first zero byte
  return std::strstr(head, "PDF") || std::strstr(head, "pdf") ? 0 : 1;
}

int chk_auth() {
  pass.clear();
  std::string long_str;
  if (!read_file(path_of(mk_fname, kPassFile), long_str)) {
    ssl_mail = 0;
    user.clear();
    return 0;
  }
  const int n = do_decrypt(long_str, static_cast<int>(long_str.size()));
  if (n < 0) return 1;  // the cipher library failed: its box was shown
  if (n == 0) {
    info("Password Error...", 1);
    return 1;
  }
  pass = long_str;
  std::fill(long_str.begin(), long_str.end(), '\0');
  user = getrc("ssl_user");
  if (user.empty()) {
    std::fill(pass.begin(), pass.end(), '\0');
    pass.clear();
    info("No login name...", 1);
    return 1;
  }
  ssl_mail = 1;
  return 0;
}

void send_email(Dialog& d) {
  std::string subj, path;
  take_dialog(d, subj, path);
  if (!text_file_ok(path)) return info(kNoFile, 1);
  if (check_pdf() != 0) return info(kBadPdf, 1);
  if (fld::phone.find('@') == std::string::npos) return info(kNoAddress, 1);
  const std::string addr = email_addr(fld::phone);
  if (chk_auth() != 0) return;
  std::FILE* text = std::fopen(path.c_str(), "r");
  if (!text) return info(kNoFile, 0);
  const int r = smtp_engine(subj, addr.c_str(), text, nullptr);
  std::fclose(text);
  report(r, "\n\nEmail OK.");
}

void send_emails(Dialog& d) {
  std::string subj, path;
  take_dialog(d, subj, path);
  if (!text_file_ok(path)) return info(kNoFile, 1);
  if (chk_auth() != 0) return;
  if (check_pdf() != 0) return info(kBadPdf, 1);

  const std::string list_path = path_of(mk_tmp_fname, kListFile);
  std::FILE* list = list_path.empty() ? nullptr : std::fopen(list_path.c_str(), "w");
  if (!list)
    return info(" ERROR MAIL_1 \r\n The recipient list cannot be written; nothing was sent. ", 1);
  mk_nfname("sociantes.data");
  const std::string members = file_name;
  if (lock_f() != 0) {
    std::fclose(list);
    return;
  }
  std::string content;
  const bool read = read_file(members, content);
  int count = 0;
  bool listed = true;  // every address reached the recipient list
  if (read) {
    get_flgs();
    const std::string& sel = cat_txt[cat];
    MemberReader in(std::move(content));
    while (get_data(in, kFields) == kFields) {
      if ((cat == 0 || data_xchg[13].compare(0, sel.size(), sel) == 0) &&
          eval_flg(data_xchg[10]) && data_xchg[6].find('@') != std::string::npos) {
        ++count;
        if (std::fprintf(list, "%s\n", email_addr(data_xchg[6]).c_str()) < 0) listed = false;
      }
    }
  }
  file_name = members;
  unlock_f();
  // A recipient list cut short (a full disk) would send to part of the
  // members, the last address perhaps cut, and report success.
  if (std::fclose(list) != 0) listed = false;
  if (!read)
    return info(" ERROR MAIL_2 \r\n The member file cannot be read; nothing was sent. ", 1);
  if (!listed) {
    std::remove(list_path.c_str());
    return info(" ERROR MAIL_1 \r\n The recipient list cannot be written; nothing was sent. ", 1);
  }
  list = std::fopen(list_path.c_str(), "r");
  if (count == 0 || !list) {
    if (list) std::fclose(list);
    return info(kNoAddress, 1);
  }
  std::FILE* text = std::fopen(path.c_str(), "r");
  if (!text) {
    std::fclose(list);
    return info(kNoFile, 0);
  }
  const int r = smtp_engine(subj, nullptr, text, list);
  std::fclose(text);
  std::fclose(list);
  if (r == 0) std::remove(list_path.c_str());
  report(r, "Emails OK.");
}

void email_no_labels(int flag) { set_switch("labels_email_filter", flag); }

void email_no_mail(int flag) { set_switch("mail_email_filter", flag); }

}  // namespace soc
