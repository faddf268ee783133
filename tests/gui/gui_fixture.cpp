// Set-up of wxWidgets and of the main window for the GUI tests.
#include "gui_fixture.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shell/script.h"

namespace soc::test {

namespace {

// wxWidgets for the whole test program, when there is a display.
class WxEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!have_display()) return;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new wxApp);
    started_ = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    if (started_) wxInitAllImageHandlers();
  }
  void TearDown() override {
    if (started_) wxEntryCleanup();
  }

 private:
  bool started_ = false;
};

[[maybe_unused]] ::testing::Environment* const wx_env =
    ::testing::AddGlobalTestEnvironment(new WxEnvironment);

// Takes the lock file of the display (waits while another test holds it).
int lock_display() {
  std::string name = std::getenv("DISPLAY");
  for (char& c : name)
    if (c == ':' || c == '/' || c == '.') c = '_';
  const std::string path =
      (std::filesystem::temp_directory_path() / ("sociantes-gui" + name + ".lock")).string();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd >= 0) ::flock(fd, LOCK_EX);
  return fd;
}

}  // namespace

bool have_display() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

void pump(int ms) {
  wxStopWatch sw;
  do {
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    wxMilliSleep(5);
  } while (sw.Time() < ms);
}

std::filesystem::path shot_dir() {
  // SOC_GUI is build/bin/sociantes: the screenshots go to build/.
  return std::filesystem::path(SOC_GUI).parent_path().parent_path();
}

void GuiTest::SetUp() {
  if (!have_display() || !wxTheApp) GTEST_SKIP() << "no display";
  display_lock_ = lock_display();
  std::string tmpl = (std::filesystem::temp_directory_path() / "soc-gui-XXXXXX").string();
  home_ = ::mkdtemp(tmpl.data());
  ::setenv("HOME", home_.c_str(), 1);
  ::unsetenv("XDG_CACHE_HOME");
  reset_program_state();
  ws_.set_test_hook(&hook_);
}

void GuiTest::TearDown() {
  if (ws_.frame()) close_window();
  soc::set_window_system(nullptr);
  if (!home_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  if (display_lock_ >= 0) ::close(display_lock_);  // releases the lock
}

void GuiTest::start() {
  frame_ = soc::wxui::start_main_window(ws_);
  pump(400);
}

void GuiTest::command(int id) {
  wxCommandEvent e(wxEVT_MENU, id);
  e.SetEventObject(frame_);
  frame_->GetEventHandler()->ProcessEvent(e);
  pump(50);
}

void GuiTest::close_window() {
  if (wxWindow* f = ws_.frame()) f->Close();
  for (int i = 0; i < 100 && ws_.frame(); ++i) pump(20);
  frame_ = nullptr;
}

void GuiTest::click(wxWindow* w, const wxPoint& at) {
  wxUIActionSimulator sim;
  sim.MouseMove(w->ClientToScreen(at));
  pump(30);
  sim.MouseClick();
  pump(150);
}

void GuiTest::key(int keycode, int modifiers) {
  wxUIActionSimulator sim;
  sim.Char(keycode, modifiers);
  pump(150);
}

void GuiTest::type(const std::string& text) {
  wxUIActionSimulator sim;
  sim.Text(text.c_str());
  pump(150);
}

namespace {
std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

std::string GuiTest::settings() const { return slurp(db() / ".sociantes.rc"); }

std::string GuiTest::members() const { return slurp(db() / "sociantes.data"); }

}  // namespace soc::test
