// The wxWidgets application of the real program.
//
// It creates the main window, which runs the start-up of the command code,
// and lives until that window is destroyed.
#include <wx/app.h>
#include <wx/image.h>
#include <wx/time.h>
#include <wx/utils.h>

#include "platform/gui.h"
#include "platform/services.h"
#include "platform/wx/wx_window_system.h"

namespace soc::wxui {

// The desktop's services, with the web browser found by wxWidgets, and
// waits during which the windows keep being drawn.
class WxServices final : public RealServices {
 public:
  void sleep_ms(int ms) override {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    for (wxLongLong left = ms; left > 0; left = end - wxGetLocalTimeMillis()) {
      pump_paint();
      wxMilliSleep(left > 20 ? 20 : static_cast<unsigned long>(left.GetValue()));
    }
  }
  int launch(Launch what, const std::string& arg) override {
    if (what == Launch::browser) return wxLaunchDefaultBrowser(wxString::FromUTF8(arg)) ? 0 : 1;
    return RealServices::launch(what, arg);
  }
};

class SociantesApp final : public wxApp {
 public:
  bool OnInit() override {
    wxInitAllImageHandlers();
    set_services(&services_);
    start_main_window(ws_);
    return true;
  }
  int OnExit() override {
    set_window_system(nullptr);
    set_services(nullptr);
    return 0;
  }

 private:
  WxWindowSystem ws_;     // the window system the command code talks to
  WxServices services_;   // clock, sleeps, outside programs
};

}  // namespace soc::wxui

wxIMPLEMENT_APP_NO_MAIN(soc::wxui::SociantesApp);

namespace soc {

int run_gui(int argc, char** argv) { return wxEntry(argc, argv); }

}  // namespace soc
