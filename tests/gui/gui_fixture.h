// The real main window started in this process, for the GUI tests.
//
// wxWidgets is initialised once for the whole test program. Each test gets a
// scratch HOME (so the first start-up creates a fresh data directory), fresh
// program state, the wx window system with its test hook (which answers the
// modal dialogs and records message boxes), and the main window as the
// program's start-up creates it. Without a display the tests skip.
//
// The tests move the pointer and type through the X server, so two of them
// must never run at the same time on one display (ctest runs tests in
// parallel): each test holds a lock file of its display while it runs.
//
// Nothing may appear on standard error while a test runs (GTK warnings,
// wxWidgets debug messages): the fixture collects it and fails the test.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/wx/main_frame.h"
#include "platform/wx/wx_window_system.h"

namespace soc::test {

// True when an X display is there to show windows.
bool have_display();

// Lets the window system work for about ms milliseconds: events, timers,
// pending calls and idle processing (deferred destruction).
void pump(int ms);

// Where the tests leave their screenshots: the build directory.
std::filesystem::path shot_dir();

// A window manager (openbox) on the test's display while it lives, for the
// tests where focus matters as a desktop gives it.
class WindowManager {
 public:
  WindowManager() = default;
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  ~WindowManager();
  // Starts it on `display`; false when it cannot run (not installed, or the
  // display has a window manager already).
  bool start(const std::string& display);

 private:
  pid_t pid_ = -1;  // the window manager's process
};

// Whether this process is a child started by run_on_own_screen.
bool on_own_screen();
// Runs the GuiTest tests matching `filter` of this program in a child
// process on a virtual screen of its own, w x h pixels, with a window
// manager. Returns the child's exit code (0 = its tests passed), or -1 with
// the reason in `out` when the screen could not be set up; `out` gets the
// child's output.
int run_on_own_screen(int w, int h, const std::string& filter, std::string& out);

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program's main window (start-up notices answered by the hook).
  void start();
  // A command as the menu, the toolbar or an accelerator sends it.
  void command(int id);
  // Closes the main window as the close box does and waits until it is gone.
  void close_window();
  // Real input through the X server: a left click at a point of a window's
  // client area, keys and text to the window that has the focus.
  void click(wxWindow* w, const wxPoint& at);
  void key(int keycode, int modifiers = 0);
  void type(const std::string& text);
  // The main window's control of a toolkit handle, as its wx class.
  template <class T>
  T* control(int handle) const {
    return dynamic_cast<T*>(ws_.window(handle));
  }

  std::filesystem::path db() const { return home_ / "sociantes_db"; }
  std::string settings() const;  // the local settings file, "" when missing
  std::string members() const;   // the member file, "" when missing

  std::filesystem::path home_;
  int display_lock_ = -1;  // the display's lock file, held during the test
  int saved_stderr_ = -1;  // standard error of the process, while the test's goes to a file
  std::FILE* stderr_file_ = nullptr;  // what the test writes on standard error
  soc::wxui::TestHook hook_;
  soc::wxui::WxWindowSystem ws_;
  soc::wxui::MainFrame* frame_ = nullptr;
};

}  // namespace soc::test
