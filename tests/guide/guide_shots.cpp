// The pictures of the user's guide (docs/GUIDE.md), taken from the real
// window: a small rowing club is entered through the program's own form, and
// each picture is saved while the window, a dialog, a menu or a message box
// stands on screen. scripts/make-screenshots runs this program under a
// virtual X server with a window manager; the pictures go to the directory
// named by SOCIANTES_SCREENSHOT_DIR. Windows of the program are saved from
// their own drawing; open menus, which are windows of the toolkit, are cut
// from the screen with ImageMagick's `import`.
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "db/members.h"
#include "gui/gui_fixture.h"
#include "platform/wx/member_list.h"
#include "platform/wx/wx_window_system.h"
#include "platform/wx_spoolet/spoolet_frame.h"
#include "scheduler/spoolet.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;
using soc::wxui::Answer;

// One member of the sample club, as typed into the form.
struct Sample {
  const char* name;      // field 1
  const char* first;     // field 2
  const char* address;   // field 3
  const char* city;      // field 4
  const char* zip;       // field 5
  const char* phone;     // field 6: phone and e-mail
  const char* job;       // field 7: profession
  const char* country;   // field 8: nationality
  const char* birthday;  // field 9: mm dd yyyy @ place
  const char* remarks;   // field 10, without the flags
  const char* category;  // field 13
  const char* flags;     // ticked boxes: any of ! $ % &
};

const Sample kClub[] = {
    {"Abernathy", "Clara", "14 Willow Lane", "Riverton", "RT4 2AB", "0161 555 0142 clara.a@example.org",
     "Teacher", "British", "03 12 1971 @ Leeds", "Captain 2024-2026", "Board", "!$"},
    {"Brennan", "Tom", "2 Quay Street", "Riverton", "RT1 9QS", "tom.brennan@example.org", "Engineer",
     "Irish", "07 30 1985 @ Cork", "", "Members", "!%"},
    {"Castellano", "Lucia", "88 Orchard Road", "Millbrook", "MB2 4OR", "0161 555 0178", "Nurse", "Spanish",
     "11 02 1990 @ Valencia", "Prefers the morning crew", "Members", "!"},
    {"Delacroix", "Henri", "5 Station Road", "Riverton", "RT3 1SR", "henri.d@example.org", "Architect",
     "French", "01 19 1958 @ Lyon", "Founding member", "Honorary", "$"},
    {"Eriksen", "Maja", "31 Harbour View", "Millbrook", "MB1 7HV", "maja.eriksen@example.org", "Student",
     "Danish", "09 05 2008 @ Aarhus", "Parent: P. Eriksen", "Juniors", "!$"},
    {"Fairweather", "Oliver", "9 Mill Lane", "Riverton", "RT2 5ML", "0161 555 0119", "Accountant",
     "British", "05 22 1966 @ York", "Treasurer", "Board", "!$&"},
    {"Gallagher", "Niamh", "17 Bridge Street", "Riverton", "RT1 3BS", "niamh.g@example.org", "Designer",
     "Irish", "12 14 1993 @ Galway", "", "Members", "%"},
    {"Hoffmann", "Jonas", "40 Elm Grove", "Ashford", "AF6 2EG", "jonas.hoffmann@example.org", "Chef",
     "German", "04 08 1982 @ Bremen", "Coaches the novices", "Members", "!&"},
    {"Iwasaki", "Ren", "6 Canal Walk", "Riverton", "RT4 8CW", "ren.iwasaki@example.org", "Student",
     "Japanese", "10 27 2009 @ Osaka", "", "Juniors", "!"},
    {"Jablonski", "Marta", "23 Cedar Close", "Millbrook", "MB3 6CC", "0161 555 0190", "Pharmacist",
     "Polish", "06 11 1979 @ Gdansk", "Secretary", "Board", "!$%&"},
    {"Kowalczyk", "Piotr", "23 Cedar Close", "Millbrook", "MB3 6CC", "piotr.k@example.org", "Electrician",
     "Polish", "02 03 1977 @ Poznan", "", "Members", ""},
    {"Lindqvist", "Astrid", "12 Ferry Road", "Ashford", "AF1 4FR", "astrid.l@example.org", "Retired",
     "Swedish", "08 16 1949 @ Uppsala", "Honorary since 2019", "Honorary", "$"},
    {"Moreau", "Camille", "3 Rue du Port", "Riverton", "RT2 2RP", "camille.moreau@example.org",
     "Journalist", "French", "03 29 1988 @ Nantes", "Newsletter editor", "Members", "!%"},
};

const char* const kCategories[] = {"Board", "Honorary", "Juniors", "Members"};

std::string out_dir() {
  const char* d = std::getenv("SOCIANTES_SCREENSHOT_DIR");
  return d ? d : "";
}

std::string shot(const std::string& name) { return (fs::path(out_dir()) / (name + ".png")).string(); }

class GuideShots : public GuiTest {
 protected:
  void SetUp() override {
    if (out_dir().empty()) GTEST_SKIP() << "SOCIANTES_SCREENSHOT_DIR is not set (scripts/make-screenshots sets it)";
    GuiTest::SetUp();
    if (IsSkipped()) return;
    ::setenv("CUPS_SERVER", (home_ / "no-cups.sock").c_str(), 1);  // no print server: the PDF file only
    fs::create_directories(db() / "photos");
    fs::create_directories(home_ / ".cache/sociantes/tmp");
    std::ofstream(db() / ".sociantes.rc", std::ios::binary)
        << std::string(66, '#') << "\r\n#        RC for Sociantes. Please, do not edit manually!\r\n"
        << std::string(66, '#') << "\r\nref=A0000\r\nversion=sociantes_v3.4.2\r\n"
        << "title=Riverside Rowing\r\nwinw=1180\r\nwinh=660\r\npacing=no\r\nid_type=1\r\n"
        << "flag_filter=none\r\n";
    std::ofstream(db() / "sociantes.data", std::ios::binary);
    std::ofstream cats(db() / "sociantes.cat", std::ios::binary);
    for (const char* c : kCategories) cats << c << "\r\n";
    cats.close();
    std::ofstream(db() / "sociantes.flg", std::ios::binary)
        << "Paid-2026\r\nNewsletter\r\nVolunteer\r\nBoat-key\r\n";
    std::ofstream(db() / "printer.dat") << "NO_AUTO\r\n";
  }

  // The club entered through the form: New, the fields, the flag boxes, Save.
  void enter_club() {
    for (const Sample& m : kClub) {
      command(400);
      const char* fields[] = {m.name, m.first, m.address, m.city, m.zip, m.phone,
                              m.job, m.country, m.birthday, m.remarks, m.category};
      for (int e = 0; e < 11; ++e) ws_.ctl_set_text(form_ctl(e), fields[e]);
      for (int k = 1; k <= 4; ++k)
        ws_.ctl_check(flag_ctl(k), std::string(m.flags).find("!$%&"[k - 1]) != std::string::npos);
      command(402);
      ASSERT_EQ(task_in, 0) << m.name;
    }
    pump(100);
  }

  // Selects the member whose name is shown in row `row` of the member list.
  std::string select_row(int row) {
    auto* list = dynamic_cast<soc::wxui::MemberList*>(control<wxListCtrl>(member_list_ctl()));
    const std::string ref = list->text(row, 0);
    member_clicked(ref);
    ws_.list_select(member_list_ctl(), row);  // marked as a click marks it
    pump(100);
    return ref;
  }

  void save_frame(const std::string& name) {
    frame_->Raise();
    frame_->Refresh();
    frame_->Update();
    pump(300);
    EXPECT_TRUE(soc::wxui::save_window_png(frame_, shot(name))) << name;
  }

  // The screen around the main window and its open menus, cut from the X
  // server's picture of the whole screen.
  void save_screen_part(const std::string& name, int w, int h) {
    pump(400);
    const wxPoint at = frame_->GetMenuBar()->GetScreenPosition();
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(at.x) +
                             "+" + std::to_string(at.y);
    const std::string cmd = "import -window root -crop " + crop + " +repage '" + shot(name) + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }

  // Opens a menu of the bar by its mnemonic, walks down `down` entries and
  // opens the submenu there; the picture is taken; Escape closes it all.
  void menu_shot(char mnemonic, int down, const std::string& name, int w, int h) {
    frame_->Raise();
    pump(200);
    wxUIActionSimulator sim;
    sim.Char(mnemonic, wxMOD_ALT);
    pump(300);
    for (int i = 0; i < down; ++i) sim.Char(WXK_DOWN), pump(60);
    sim.Char(WXK_RIGHT);
    save_screen_part(name, w, h);
    for (int i = 0; i < 3; ++i) sim.Char(WXK_ESCAPE), pump(100);
  }

  // A dialog of the program, saved once it stands on screen and then closed
  // (or answered by `button`).
  void dialog_shot(int cmd, const std::string& name, std::vector<std::pair<int, std::string>> entries = {},
                   int button = 1004) {
    Answer a;
    a.entries = std::move(entries);
    a.snapshot = shot(name);
    a.button = button;
    hook_.answers.push_back(a);
    command(cmd);
    pump(100);
    EXPECT_TRUE(fs::exists(shot(name))) << name;
    EXPECT_EQ(task_in, 0) << name;
  }
};

TEST_F(GuideShots, TheClubInTheRealWindow) {
  hook_.answer_delay_ms = 400;  // time enough for every dialog to be drawn
  start();
  enter_club();
  auto* list = control<wxListCtrl>(member_list_ctl());
  ASSERT_EQ(list->GetItemCount(), static_cast<int>(std::size(kClub)));

  // The main window with a member selected.
  select_row(5);
  save_frame("main-window");

  // New: the form open for a new member, half typed.
  command(400);
  ws_.ctl_set_text(form_ctl(0), "Nakamura");
  ws_.ctl_set_text(form_ctl(1), "Yuki");
  ws_.ctl_set_text(form_ctl(2), "7 Boathouse Row");
  ws_.ctl_set_text(form_ctl(3), "Riverton");
  ws_.ctl_set_text(form_ctl(10), "Juniors");
  ws_.ctl_focus(form_ctl(4));
  save_frame("member-new");
  command(404);
  ASSERT_EQ(task_in, 0);

  // Modify of the selected member.
  select_row(2);
  command(401);
  ASSERT_EQ(task_in, 3);
  save_frame("member-modify");
  command(404);

  // A category chosen in the list: only its members are shown.
  cat_sel(1);  // "Board"
  pump(100);
  save_frame("category-board");
  cat_sel(0);
  pump(100);

  // Menus: Files > Listing, Flags > Filters, Parameters > Create categories.
  menu_shot('F', 7, "menu-files-listing", 560, 420);
  menu_shot('L', 0, "menu-flags-filters", 560, 260);
  menu_shot('P', 0, "menu-parameters-categories", 560, 420);

  // Dialogs: search, the letters question, the labels question, archives,
  // e-mail server and login, the association name.
  dialog_shot(405, "search-dialog", {{1003, "Riverton"}});
  dialog_shot(408, "mailing-question");
  dialog_shot(27, "labels-question");
  dialog_shot(16, "archive-dialog", {{1003, "ARCH_JAN-27"}});
  dialog_shot(31, "email-server", {{1074, "mail.example.org"}, {1075, "clubpc"}, {1076, "secretary@example.org"}},
              1001);
  dialog_shot(34, "email-login", {{1074, "secretary@example.org"}});
  cat_sel(0);  // nothing selected: the e-mail goes to every member shown
  pump(100);
  dialog_shot(407, "email-send", {{1074, "Spring regatta"}});

  // Files > Import Spread sheet: the file selection.
  hook_.file_shown = [](wxWindow& w) {
    // GTK's own dialog: its pixels are taken from the X server by its title.
    auto* d = dynamic_cast<wxFileDialog*>(&w);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(d->GetMessage().empty());  // (import would ask for a click on the screen)
    const std::string cmd = "timeout 20 import -window '" + d->GetMessage().utf8_string() + "' '" +
                            shot("import-file") + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  };
  command(21);
  pump(200);
  EXPECT_TRUE(fs::exists(shot("import-file")));
  EXPECT_EQ(task_in, 0);

  // A photo for the first member (a drawn likeness: a head and shoulders),
  // shown by Actions > Photo; the member card below prints it.
  select_row(0);
  const fs::path jpeg = home_ / "portrait.jpg";
  const std::string draw =
      "convert -size 480x600 gradient:'#f0f0f4-#9a9aa8' -fill '#3a3a48' "
      "-draw 'ellipse 240,250 105,130 0,360' -draw 'ellipse 240,640 230,220 180,360' "
      "-quality 90 '" + jpeg.string() + "'";
  ASSERT_EQ(std::system(draw.c_str()), 0) << draw;
  hook_.files.push_back(jpeg.string());
  command(14);
  pump(100);
  ASSERT_TRUE(fs::exists(db() / "photos" / (index_sel + ".xpm")));
  dialog_shot(406, "photo");

  // Member card: the print dialog, then the card printed to a PDF file.
  select_row(0);
  hook_.print_snapshot = shot("print-dialog");
  hook_.print_answers.push_back("pdf:" + (fs::path(out_dir()) / "member-card.pdf").string());
  command(412);
  pump(200);
  EXPECT_TRUE(fs::exists(shot("print-dialog")));
  EXPECT_TRUE(fs::exists(fs::path(out_dir()) / "member-card.pdf"));

  // Another workstation holds a member: the lock message.
  const std::string other = list->GetItemCount() > 3 ? dynamic_cast<soc::wxui::MemberList*>(list)->text(3, 0) : "";
  ASSERT_FALSE(other.empty());
  const std::time_t taken = std::time(nullptr) - 12 * 60;  // twelve minutes ago
  char when[40];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", std::gmtime(&taken));
  std::ofstream(db() / (other + ".lck"))
      << "host=ws-office\r\npid=4711\r\nuser=anna\r\nmachine=0b5e7d2c9a4f4e1b8c6d3a2f1e0d9c8b\r\n"
         "boot=6f1c0b9e-1a52-4c39-9d7e-0f7b6f0e2d11\r\ntime=" << when << "\r\n";
  hook_.box_snapshot = shot("lock-message");
  member_clicked(other);
  pump(200);
  EXPECT_TRUE(fs::exists(shot("lock-message")));
  fs::remove(db() / (other + ".lck"));
}

// The print scheduler's window, as sociantes starts it on a letters mailing.
TEST_F(GuideShots, TheSchedulerWindow) {
  const fs::path in = home_ / ".cache/sociantes/tmp/A1432.qmd";
  std::ofstream(in, std::ios::binary) << "\r\n  Abernathy Clara\r\n#\r\n\r\n  Brennan Tom\r\n#\r\n";
  std::string caption, text;
  ASSERT_EQ(sched::take_argument({in.string()}, "spoolet " + in.string(), caption, text), 0);
  soc::spoolwx::TestHook spool_hook;
  auto* frame = new soc::spoolwx::SpoolFrame(&spool_hook);
  pump(600);
  frame->Raise();
  pump(200);
  EXPECT_TRUE(soc::wxui::save_window_png(frame, shot("spoolet")));
  frame->Close(true);
  pump(200);
}

}  // namespace
}  // namespace soc::test
