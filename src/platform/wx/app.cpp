// The wxWidgets application of the real program.
//
// It creates the main window, which runs the start-up of the command code,
// and lives until that window is destroyed.
#include <wx/app.h>
#include <wx/image.h>

#include "platform/gui.h"
#include "platform/wx/wx_window_system.h"

namespace soc::wxui {

class SociantesApp final : public wxApp {
 public:
  bool OnInit() override {
    wxInitAllImageHandlers();
    soc::wxui::start_main_window(ws_);
    return true;
  }
  int OnExit() override {
    soc::set_window_system(nullptr);
    return 0;
  }

 private:
  soc::wxui::WxWindowSystem ws_;  // the window system the command code talks to
};

}  // namespace soc::wxui

wxIMPLEMENT_APP_NO_MAIN(soc::wxui::SociantesApp);

namespace soc {

int run_gui(int argc, char** argv) { return wxEntry(argc, argv); }

}  // namespace soc
