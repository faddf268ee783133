// The main window: start-up, the form of boxes, window sizing, shutdown, and
// the small commands of the window itself (version, web page, option toggles).
#pragma once

#include <string>

namespace soc {

inline constexpr const char* kMainTitle = "Sociantes";  // the program title
inline constexpr const char* kWebPage = "https://sociantes.example.org/";  // opened by WWW

extern std::string main_title;  // the program title
extern std::string exe_dir;     // the directory of the running program
extern int winh, winw;          // minimum window height and width, 0 until the first sizing
extern int sbh;                 // status bar height at the first sizing
extern int displayed;           // sizing notifications received so far

// Controls of the form, by element of the data box (0..11), flag box (1..4),
// and the category and member lists. 0 before the form is created.
int form_ctl(int elem);
int flag_ctl(int k);
int cat_list_ctl();
int member_list_ctl();
int form_elem_of_field(int field);  // element (0..11) that shows record field 1..11, 13; -1 for 12
int form_field_of_elem(int elem);   // the inverse

void wm_create();       // the start-up steps while the window is created
void show_title();      // the window title from the program title and the association name
// Quit (menu, Alt+q, toolbar, close box): while a member is being edited
// (New, Modify) the user is asked first; No returns to the form. True when
// the window may close.
bool may_quit();
void quit();            // may_quit(), then the main window is destroyed
void wm_size();         // the window was sized
void wm_destroy();      // shutdown: release the member's lock, store the size
void do_layout();
void close_inputs();
void open_inputs();
void store_size();
void give_version();
void www();
void bip_on();
void bip_off();
void info_on();
void info_off();

void mainwin_reset();   // resets the globals of this module (tests)

}  // namespace soc
