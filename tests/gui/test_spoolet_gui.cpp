// The print scheduler's real window: its toolbar, delay box and status line,
// a run of two letters driven by real clicks and typing with a pause on the
// way, printed to PDF files; and the spoolet program itself started under
// the display, its window found, placed and photographed.
#include <wx/bmpbuttn.h>
#include <wx/combobox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stopwatch.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <sys/wait.h>
#include <unistd.h>

#include "driver/pdf_probe.h"
#include "gui_fixture.h"
#include "platform/wx_spoolet/spoolet_frame.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

class SpooletGui : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    if (IsSkipped()) return;
    ::setenv("CUPS_SERVER", (home_ / "no-cups.sock").c_str(), 1);
    fs::create_directories(db());
    std::ofstream(db() / "printer.dat") << "NO_AUTO\r\n";
    fs::create_directories(tmp());
  }
  fs::path tmp() const { return home_ / ".cache/sociantes/tmp"; }
  std::string status() const { return frame->GetStatusBar()->GetStatusText().utf8_string(); }
  // Lets the window work until the status line reads text (at most ms).
  bool wait_status(const std::string& text, int ms) {
    wxStopWatch sw;
    while (status() != text && sw.Time() < ms) pump(50);
    return status() == text;
  }
  void press(int cmd) {
    wxWindow* b = frame->button(cmd);
    click(b, wxPoint(b->GetSize().x / 2, b->GetSize().y / 2));
  }
  soc::spoolwx::TestHook spool_hook;
  soc::spoolwx::SpoolFrame* frame = nullptr;
};

TEST_F(SpooletGui, ToolbarDelayBoxAndARunOfTwoParts) {
  const fs::path in = tmp() / "A0102.qmd";
  std::ofstream(in, std::ios::binary) << "\r\n  Dupont Jean\r\n#\r\n\r\n  Martin Anne\r\n#\r\n";
  std::string caption, text;
  ASSERT_EQ(sched::take_argument({in.string()}, "spoolet " + in.string(), caption, text), 0);
  spool_hook.print_answers = {"pdf:" + (home_ / "p1.pdf").string(), "pdf:" + (home_ / "p2.pdf").string()};
  frame = new soc::spoolwx::SpoolFrame(&spool_hook);
  pump(400);

  EXPECT_EQ(frame->GetTitle(), "SPOOLET V1.0");
  EXPECT_EQ(frame->GetPosition(), wxPoint(100, 100));
  EXPECT_EQ(status(), "Input file: " + in.string());
  const char* tips[] = {"Print/Resume", "Pause", "Quit"};
  const int cmds[] = {400, 401, 403};
  for (int k = 0; k < 3; ++k) {
    auto* b = dynamic_cast<wxBitmapButton*>(frame->button(cmds[k]));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetToolTipText(), tips[k]);
    EXPECT_EQ(b->GetSize(), wxSize(40, 34));
  }
  wxComboBox* delay = frame->delay_box();
  ASSERT_NE(delay, nullptr);
  ASSERT_EQ(delay->GetCount(), 4u);
  EXPECT_EQ(delay->GetString(0), "3");
  EXPECT_EQ(delay->GetString(3), "100");
  EXPECT_EQ(delay->GetValue(), "10");
  // The "Delay" group holds its label and the box, inside the window.
  wxStaticBox* group = nullptr;
  bool label = false;
  for (wxWindow* w : delay->GetParent()->GetChildren()) {
    if (auto* g = dynamic_cast<wxStaticBox*>(w)) group = g;
    if (auto* t = dynamic_cast<wxStaticText*>(w))
      label = label || t->GetLabel().utf8_string().find("Delay adjustment in seconds") != std::string::npos;
  }
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GetLabel(), "Delay");
  EXPECT_TRUE(label);
  EXPECT_TRUE(group->GetRect().Contains(delay->GetRect()));
  EXPECT_LE(group->GetRect().GetRight(), delay->GetParent()->GetClientSize().x);

  // Pause before any run is ignored; the delay is typed; Print/Resume starts.
  press(401);
  delay->SetFocus();
  delay->SelectAll();
  type("3");
  EXPECT_EQ(delay->GetValue(), "3");
  press(400);
  ASSERT_TRUE(wait_status("Status: Waiting  Done: 1/2", 4000)) << status();
  press(401);
  ASSERT_TRUE(wait_status("Status: Stopped  Done: 1/2", 2500)) << status();
  pump(3000);
  EXPECT_EQ(status(), "Status: Stopped  Done: 1/2");
  EXPECT_FALSE(fs::exists(home_ / "p2.pdf")) << "nothing prints while paused";
  std::system(("import -window root '" + (shot_dir() / "spoolet_gui.png").string() + "' 2>/dev/null").c_str());
  press(400);
  ASSERT_TRUE(wait_status("Status: Ok Done: 2/2", 8000)) << status();
  EXPECT_FALSE(fs::exists(in));
  EXPECT_TRUE(spool_hook.boxes.empty());
  PdfPage p1(home_ / "p1.pdf"), p2(home_ / "p2.pdf");
  ASSERT_TRUE(p1.ok() && p2.ok());
  EXPECT_EQ(p1.all_text().rfind("Dupont Jean", 0), 0u) << p1.all_text();
  EXPECT_EQ(p2.all_text().rfind("Martin Anne", 0), 0u) << p2.all_text();

  press(403);
  for (int i = 0; i < 50 && wxTopLevelWindows.Find(frame); ++i) pump(20);
  EXPECT_FALSE(wxTopLevelWindows.Find(frame)) << "Quit closes the window";
}

// Regression: the window took its texts as UTF-8 only, and a mailing file
// whose path is not UTF-8 (a Latin-1 name) gave an empty status line.
TEST_F(SpooletGui, APathThatIsNotUtf8IsShown) {
  const fs::path in = tmp() / "A\xE9t\xE9.qmd";
  std::ofstream(in, std::ios::binary) << "\r\n  Dupont Jean\r\n#\r\n";
  std::string caption, text;
  ASSERT_EQ(sched::take_argument({in.string()}, "spoolet " + in.string(), caption, text), 0);
  frame = new soc::spoolwx::SpoolFrame(&spool_hook);
  pump(200);
  EXPECT_EQ(status(), "Input file: " + (tmp() / "A\xC3\xA9t\xC3\xA9.qmd").string());
  press(403);
  for (int i = 0; i < 50 && wxTopLevelWindows.Find(frame); ++i) pump(20);
}

// The installed program under the display: its window, titled and placed,
// is found by the X server's window list; a screenshot is left in build/.
TEST(SpooletProgram, ShowsItsWindowUnderTheDisplay) {
  if (!have_display()) GTEST_SKIP() << "no display";
  if (std::system("command -v xwininfo >/dev/null") != 0) GTEST_SKIP() << "xwininfo is not installed";
  char tmpl[] = "/tmp/spoolet-gui-XXXXXX";
  const fs::path home = ::mkdtemp(tmpl);
  fs::create_directories(home / ".cache/sociantes/tmp");
  const fs::path in = home / ".cache/sociantes/tmp/L0001.qmd";
  std::ofstream(in) << "30\r\n30\r\nName\r\nStreet\r\nCity\r\n#\r\n";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    ::execl(SOC_SPOOLET, SOC_SPOOLET, in.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  std::string info;
  // The window may be seen before it has been moved to its place: look
  // again until it stands there (a loaded machine), at most ten seconds.
  for (int i = 0; i < 100 && info.find("Absolute upper-left X:  100") == std::string::npos; ++i) {
    ::usleep(100000);
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen("xwininfo -name 'SPOOLET V1.0' 2>/dev/null", "r"), ::pclose);
    info.clear();
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p.get())) info += buf;
  }
  std::system(("import -window root '" + (shot_dir() / "spoolet_program.png").string() + "' 2>/dev/null").c_str());
  ::kill(pid, SIGTERM);
  int st = 0;
  ::waitpid(pid, &st, 0);
  const bool stays = fs::exists(in);
  std::error_code ec;
  fs::remove_all(home, ec);
  ASSERT_NE(info.find("Absolute upper-left X"), std::string::npos) << "no window titled SPOOLET V1.0";
  EXPECT_NE(info.find("Absolute upper-left X:  100"), std::string::npos) << info;
  EXPECT_NE(info.find("Absolute upper-left Y:  100"), std::string::npos) << info;
  EXPECT_TRUE(stays) << "no run without Print/Resume: the mailing file stays";
}

}  // namespace
}  // namespace soc::test
