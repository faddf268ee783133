// The routing of OK input to the completions of the command modules.
#include "shell/completions.h"

namespace soc {

void run_completion(int action, Dialog& d) {
  (void)d;
  switch (action) {
    default:  // 0, 1, 3, 13, 14, 20, 21: no completion, the dialog stays open
      break;
  }
}

}  // namespace soc
