// The wxWidgets application of spoolet: the start-up check of the argument,
// then the scheduler's window until it is closed.
#include <wx/app.h>

#include "platform/wx_spoolet/spoolet_app.h"
#include "platform/wx_spoolet/spoolet_frame.h"

namespace soc::spoolwx {

namespace {
int prog_argc = 0;              // the program's arguments as it was started
char** prog_argv = nullptr;
}  // namespace

// The argument is the mailing file as given, never an option of the toolkit:
// the base class's command-line parsing is not called.
class SpoolApp final : public wxApp {
 public:
  bool OnInit() override {
    if (!check_argument(prog_argc, prog_argv)) return false;
    new SpoolFrame();
    return true;
  }
};

}  // namespace soc::spoolwx

wxIMPLEMENT_APP_NO_MAIN(soc::spoolwx::SpoolApp);

namespace soc::spoolwx {

int run_spoolet_gui(int argc, char** argv) {
  prog_argc = argc;
  prog_argv = argv;
  // The toolkit gets the program name only.
  int wx_argc = 1;
  return wxEntry(wx_argc, argv);
}

}  // namespace soc::spoolwx
