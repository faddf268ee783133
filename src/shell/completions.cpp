// The routing of OK input to the completions of the command modules: adding
// and removing a category, the info labels, and the bulk flag change.
#include "shell/completions.h"

#include "db/members.h"

#include "db/categories.h"
#include "db/flags.h"
#include "shell/dialog.h"

namespace soc {

namespace {
void end_action() {
  task_in = 0;
  set_status();
}
}  // namespace

void run_completion(int action, Dialog& d) {
  switch (action) {
    case 22:  // add a category
    case 33:  // remove a category
      mk_cat_file(action == 22 ? 1 : 0);
      if (update_cats()) {
        // The selected category is gone: the list follows "All".
        kill_dialog(d);
        end_action();
        show_cust();
        break;
      }
      kill_dialog(d);
      end_action();
      break;
    case 23:  // info labels
      mk_info_file();
      kill_dialog(d);
      end_action();
      break;
    case 28:  // Yes to the bulk flag change
      do_all_flgs();
      kill_dialog(d);
      end_action();
      break;
    default:  // 0, 1, 3, 13, 14, 20, 21: no completion, the dialog stays open
      break;
  }
}

}  // namespace soc
