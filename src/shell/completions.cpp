// The routing of OK input to the completions of the command modules: adding
// and removing a category, the info labels, the bulk flag change, the
// templates, the label sheet, the mailing files, the history search, the
// archive, the member folders and the e-mail commands.
#include "shell/completions.h"

#include "db/archives.h"
#include "db/categories.h"
#include "db/flags.h"
#include "db/folders.h"
#include "db/history.h"
#include "db/members.h"
#include "db/pacing.h"
#include "documents/documents.h"
#include "mail/email.h"
#include "shell/dialog.h"

namespace soc {

void run_completion(int action, Dialog& d) {
  switch (action) {
    case 22:  // add a category
    case 33:  // remove a category
    {
      mk_cat_file(action == 22 ? 1 : 0);
      const int filter_gone = update_cats();
      kill_dialog(d);
      end_action();
      if (filter_gone) show_cust();  // the selected category is gone: "All" is listed
      break;
    }
    case 23:  // info labels
      mk_info_file();
      kill_dialog(d);
      end_action();
      break;
    case 11:  // the history search (it ends the action itself)
      do_grep(d);
      break;
    case 16:  // an archive: a pause, then the archive (it closes the dialog and ends)
      pace_ms(1000);
      do_arch(d);
      break;
    case 28:  // Yes to the bulk flag change
      do_all_flgs();
      kill_dialog(d);
      end_action();
      break;
    case 17:  // Yes to the letters question
    case 27:  // Yes to the labels question
      kill_dialog(d);
      mailing_go();
      break;
    case 24:  // add a template definition
      do_form_data();
      kill_dialog(d);
      end_action();
      break;
    case 25:  // delete a template field
      del_form_data();
      kill_dialog(d);
      end_action();
      break;
    case 26:  // label sheet
      kill_dialog(d);
      do_labels_data();
      end_action();
      break;
    case 35:  // Yes to the folders question
      create_dirs();
      kill_dialog(d);
      end_action();
      break;
    case 29:  // e-mail to the selected member
    case 30:  // e-mail to every selected member
      if (action == 29)
        send_email(d);
      else
        send_emails(d);
      end_action();
      break;
    case 31:  // SMTP server settings
    case 34:  // login and password
      if (action == 31)
        do_smtp_cfg(d);
      else
        do_ssl_cfg(d);
      end_action();
      break;
    default:  // 0, 1, 3, 13, 14, 20, 21: no completion, the dialog stays open
      break;
  }
}

void run_close(int action) {
  if (action == 17) mailing_no();  // No to the letters question: the file goes
}

}  // namespace soc
