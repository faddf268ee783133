// The e-mail commands: the SMTP server settings, the login and stored
// password, the e-mail to the selected member or to every member that the
// category and flag filter selects, and the two switches that leave members
// with an e-mail address out of label and address runs.
//
// The send mode is decided at each send: SSL mode (port 465, AUTH LOGIN) when
// a password is stored, plain mode (port 25, no authentication) otherwise.
#pragma once

#include <string>

#include "platform/window_system.h"

namespace soc {

// Starters (menu commands).
void smtp_setup();              // Email / Server (action 31)
void ssl_setup();               // Email / SSL AUTH LOGIN (action 34)
void do_email();                // Email (action 29 one member, 30 all selected)
void email_no_labels(int flag); // Exclude Email from labels: 1 = yes, 0 = no
void email_no_mail(int flag);   // Exclude Email from mailing: 1 = yes, 0 = no

// Completions: the dialog's OK text is in tmp_str.
void do_smtp_cfg(Dialog& d);
void do_ssl_cfg(Dialog& d);
void send_email(Dialog& d);
void send_emails(Dialog& d);

// Credentials and mode for the next send: 0 = go on, 1 = refused (a message
// was shown).
int chk_auth();
// 0 = no attachment or a PDF, 1 = the attachment is not usable.
int check_pdf();
// The e-mail address in a Tel/Email field: the word that holds the first '@'.
std::string email_addr(const std::string& field);

}  // namespace soc
