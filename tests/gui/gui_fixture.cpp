// Set-up of wxWidgets and of the main window for the GUI tests.
#include "gui_fixture.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

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
  std::fflush(stderr);
  stderr_file_ = std::tmpfile();
  if (stderr_file_) {
    saved_stderr_ = ::dup(2);
    ::dup2(::fileno(stderr_file_), 2);
  }
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
  if (stderr_file_) {
    std::fflush(stderr);
    ::dup2(saved_stderr_, 2);
    ::close(saved_stderr_);
    std::string text;
    std::rewind(stderr_file_);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, stderr_file_)) > 0;) text.append(buf, n);
    std::fclose(stderr_file_);
    stderr_file_ = nullptr;
    EXPECT_EQ(text, "") << "written on standard error during the test";
  }
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

// ---------------------------------------------------------------------------
// Window manager and screens of their own

namespace {

// Starts argv with standard input, output and error on the given fds (-1 =
// /dev/null) and the extra environment entries; -1 when it cannot start.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env_add,
            int out_fd) {
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&fa, out_fd, 1);
    posix_spawn_file_actions_adddup2(&fa, out_fd, 2);
  } else {
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  }
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string kv = *e;
    bool replaced = false;
    for (const std::string& a : env_add)
      replaced = replaced || kv.compare(0, a.find('=') + 1, a, 0, a.find('=') + 1) == 0;
    if (!replaced) env.push_back(kv);
  }
  env.insert(env.end(), env_add.begin(), env_add.end());
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  const int r = ::posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  return r == 0 ? pid : -1;
}

// Whether process pid still runs after about ms milliseconds.
bool still_runs(pid_t pid, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    int st = 0;
    if (::waitpid(pid, &st, WNOHANG) == pid) return false;
    ::usleep(50 * 1000);
  }
  return true;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int st = 0;
  ::waitpid(pid, &st, 0);
}

}  // namespace

WindowManager::~WindowManager() { stop(pid_); }

bool WindowManager::start(const std::string& display) {
  pid_ = spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + display}, -1);
  if (pid_ > 0 && still_runs(pid_, 700)) return true;
  pid_ = -1;
  return false;
}

bool on_own_screen() { return std::getenv("SOC_OWN_SCREEN") != nullptr; }

int run_on_own_screen(int w, int h, const std::string& filter, std::string& out) {
  // The X server tells its display number on a pipe.
  int fds[2];
  if (::pipe(fds) != 0) return out = "no pipe", -1;
  const std::string screen = std::to_string(w) + "x" + std::to_string(h) + "x24";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  const std::string fd = std::to_string(fds[1]);
  const char* xargs[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                         "-nolisten", "tcp", nullptr};
  pid_t xvfb = -1;
  const int r = ::posix_spawnp(&xvfb, "Xvfb", &fa, nullptr, const_cast<char**>(xargs), environ);
  posix_spawn_file_actions_destroy(&fa);
  ::close(fds[1]);
  std::string number;
  char c;
  while (r == 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (r != 0 || number.empty()) {
    stop(xvfb);
    return out = "Xvfb could not start", -1;
  }
  const std::string display = ":" + number;
  int code = -1;
  {
    WindowManager wm;
    if (!wm.start(display)) {
      stop(xvfb);
      return out = "openbox could not start", -1;
    }
    std::FILE* log = std::tmpfile();
    const pid_t child =
        spawn({"/proc/self/exe", "--gtest_filter=" + filter},
              {"DISPLAY=" + display, "SOC_OWN_SCREEN=" + screen}, ::fileno(log));
    int st = 0;
    if (child > 0 && ::waitpid(child, &st, 0) == child && WIFEXITED(st)) code = WEXITSTATUS(st);
    std::rewind(log);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, log)) > 0;) out.append(buf, n);
    std::fclose(log);
  }
  stop(xvfb);
  return code;
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
