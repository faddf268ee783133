// The main window's command code: the start-up steps, the declaration of the
// form's six boxes, the sizing rules, the shutdown, and the window's own small
// commands. The window system shows what is decided here.
#include "shell/mainwin.h"

#include <algorithm>
#include <cstdlib>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/winutil.h"

namespace soc {

std::string main_title = kMainTitle;
std::string exe_dir;
int winh = 0, winw = 0;
int sbh = 0;
int displayed = 0;

namespace {

int x_caption = 0;   // twice the frame thickness
int y_caption = 0;   // caption height and twice the frame thickness
bool in_size = false;  // a sizing notification is being handled

// The twelve labelled entries of the data box: label and record field.
struct FormEntry {
  const char* label;  // built-in label (leading spaces are part of it)
  int field;          // record field shown
};
const FormEntry kForm[12] = {
    {"                 Name", 1},  {"        First Name(s)", 2}, {"              Address", 3},
    {"                 City", 4},  {"         ZIP/PostCode", 5}, {"            Tel Email", 6},
    {"           Profession", 7},  {"          Nationality", 8},
    {"Birthday(mm dd yyyy @ place)", 9}, {"              Remarks", 10},
    {"             Category", 13}, {"       Identification", 11}};

constexpr int kListMinChars = 24;  // narrowest member list, in average characters
constexpr int kNamesChars = 34;   // default width of the Names column, in average characters
constexpr long kWinMax = 32767;   // largest window size or column width kept from the settings
const char* const kSizing = "the quick brown fox jumps over the lazy dog";
const char* const kColumns = "Ref.|Indentification|Names                  |Flags";

const char* const kQuitEdited = " A member is being edited and not saved. \r\n Quit anyway? ";

const char* const kBanner =
    " Sociantes \r\n Member database manager for associations \r\n sociantes_v3.4.2 \r\n"
    " This program comes with no warranty. ";

// A label setting (field7, field8) read where captions come from.
std::string caption_setting(const char* key) {
  std::string v = nfs ? getnrc(key) : getrc(key);
  return do_utf(cut_utf8(v, 21));
}

void report_check(int r) {
  switch (r) {
    case 1:
      info(" The Sociantes database has been initialized \r\n in the 'sociantes_db' directory in "
           "$HOME(Linux) or C:\\(Windows) ",
           5);
      break;
    case 2:
      info(" !!! FATAL ERROR !!! \r\n The Sociantes can't be initialized. \r\n The application "
           "won't work! ",
           1);
      break;
    case 3:
      info(std::string(" Upgrade on version:") + " " + kVersion + " \r\n OK \r\n", 5);
      break;
    case kCheckRcUnreadable:
    case kCheckNotConverted:
      info(check_note, 1);
      break;
    default:
      break;
  }
}

}  // namespace

void mainwin_reset() {
  main_title = kMainTitle;
  exe_dir.clear();
  winh = winw = sbh = displayed = 0;
  x_caption = y_caption = 0;
}

int form_ctl(int elem) {
  if (elem < 0 || elem > 11) return 0;
  return boxes[4].elements[static_cast<std::size_t>(elem)].control;
}

int flag_ctl(int k) {
  if (k < 1 || k > 4) return 0;
  return boxes[5].elements[static_cast<std::size_t>(k - 1)].control;
}

int cat_list_ctl() { return boxes[2].elements[0].control; }
int member_list_ctl() { return boxes[3].elements[0].control; }

int form_elem_of_field(int field) {
  for (int e = 0; e < 12; ++e)
    if (kForm[e].field == field) return e;
  return -1;
}

int form_field_of_elem(int elem) { return elem >= 0 && elem < 12 ? kForm[elem].field : -1; }

void do_layout() {
  LayoutHost* w = &ws().main_host();
  get_font_size(*w);
  boxesinit(0, 5, w);
  for (int b = 0; b <= 3; ++b) boxinit(b, 1, 0, 50);
  boxinit(4, 2, 0, 50);
  boxinit(5, 2, 0, 50);
  set_parent(4, 0);
  set_parent(5, 0);
  boxes[2].framed = boxes[3].framed = boxes[4].framed = boxes[5].framed = 1;
  boxes[1].framed = 0;
  boxes[5].direction = 1;
  boxes[4].title = "Data";
  std::string f7 = caption_setting("field7"), f8 = caption_setting("field8");
  for (int e = 0; e < 12; ++e) {
    add_box(4, el_labinput, kSizing);
    std::string label = kForm[e].label;
    if (e == 6 && !f7.empty()) label = f7;
    if (e == 7 && !f8.empty()) label = f8;
    set_elem_labinput(4, e, label);
  }
  add_box(0, el_subbox, "4");
  add_box(0, el_subbox, "5");
  mk_flags_bnts();
  boxes[5].title = "Flags";
  for (const auto& n : flag_names) add_box(5, el_check, n);
  boxes[1].title = "";
  add_box(1, el_label, "");
  boxes[2].title = "Categories";
  add_box(2, el_list, "Sélectionner_une_cat");
  boxes[2].width = 20 * fontx;
  boxes[3].title = "Selection";
  add_box(3, el_listview, kColumns);
}

void close_inputs() {
  for (int e = 0; e < 12; ++e) ws().ctl_enable(form_ctl(e), false);
}

void open_inputs() {
  for (int e = 0; e < 11; ++e) ws().ctl_enable(form_ctl(e), true);
  ws().ctl_enable(form_ctl(11), type_id == 0 || type_id == 2);
}

void wm_create() {
  ws().set_status_text("Action: none");
  int border_px = 0, caption = 0;
  ws().frame_metrics(border_px, caption);
  border = border_px;
  x_caption = 2 * border_px;
  y_caption = caption + 2 * border_px;
  get_home();
  int first = check_db();
  chk_options();
  clean_scratch();
  exe_dir = program_dir();
  show_title();
  do_layout();
  do_boxes(&ws().main_host());
  // The boxes take no more than a record field holds, so that nothing typed
  // is cut at Save.
  for (int e = 0; e < 12; ++e)
    ws().ctl_limit(form_ctl(e), form_field_of_elem(e) == 13 ? kCatMax : kFieldMax);
  close_inputs();
  check_db();
  set_status();
  update_cats();
  show_cust();
  info(kBanner, 5);
  report_check(first);
  report_damage();
}

void show_title() {
  const std::string title = nfs ? getnrc("title") : getrc("title");
  ws().set_title(main_title + "  [ " + do_utf(title) + " ]");
}

bool may_quit() {
  if (task_in != 1 && task_in != 3) return true;
  if (ask(kQuitEdited)) return true;
  ws().ctl_focus(form_ctl(0));
  return false;
}

void quit() {
  if (may_quit()) ws().close_main_window();
}

void wm_size() {
  if (in_size) return;  // a move made here notifies again: the outer call handles it
  in_size = true;
  LayoutHost* w = &ws().main_host();
  int h_s = ws().status_bar_height();
  if (displayed == 1) {
    winh = get_window_high(w) + y_caption + 32 + 3 * fonty + h_s;
    winw = get_window_width(w) + x_caption;
    sbh = h_s;
    int height = static_cast<int>(clamp_num(getrc("winh"), 0, kWinMax));
    int width = static_cast<int>(clamp_num(getrc("winw"), 0, kWinMax));
    int c1 = static_cast<int>(clamp_num(getrc("col1"), 0, kWinMax));
    int c2 = static_cast<int>(clamp_num(getrc("col2"), 0, kWinMax));
    // The Names column holds a name and a first name side by side; at the
    // first start the window is widened by what that adds to the column.
    const int names = kNamesChars * fontx;
    const int widened = std::max(0, names - ws().list_column_width(member_list_ctl(), 2));
    if (height == 0) {
      height = winh;
      width = winw + widened;
    }
    ws().move_window(30, 30, width, height);
    if (c1 > 1) ws().set_list_column_width(member_list_ctl(), 1, c1);
    ws().set_list_column_width(member_list_ctl(), 2, c2 > 1 ? c2 : names);
    ++displayed;  // the move above sized the window again
  }
  if (displayed > 1) {
    // A window smaller than the laid-out form keeps the laid-out height and
    // a member list of kListMinChars: the form then scrolls in the window.
    int cw = 0, ch = 0;
    ws().client_size(cw, ch);
    cw = std::max(cw, boxes[3].x + (kListMinChars + 2) * fontx);
    ch = std::max(ch, winh - y_caption);
    boxes[2].height = ch - sbh - fonty - boxes[2].y;
    boxes[3].height = ch - sbh - fonty - boxes[3].y;
    boxes[3].width = cw - boxes[3].x - 2 * fontx;
    boxes[2].resizable = boxes[3].resizable = 1;
    resize_boxes(w);
  }
  ++displayed;
  in_size = false;
}

void store_size() {
  int w = 0, h = 0;
  ws().window_size(w, h);
  // One rewrite of the settings file for the four settings.
  setrc_many({{"winh", std::to_string(static_cast<unsigned>(h))},
              {"winw", std::to_string(static_cast<unsigned>(w))},
              {"col1", std::to_string(static_cast<unsigned>(ws().list_column_width(member_list_ctl(), 1)))},
              {"col2", std::to_string(static_cast<unsigned>(ws().list_column_width(member_list_ctl(), 2)))}});
}

void wm_destroy() {
  if (!index_sel.empty()) {
    mk_nfname(index_sel);
    unlock_f();
  }
  store_size();
}

void give_version() { info(std::string(" Version: ") + kVersion + " \n", 5); }

void www() { sys().launch(Launch::browser, kWebPage); }

void bip_on() {
  bip = 1;
  save_rc("bip", "yes");
  set_status();
}

void bip_off() {
  bip = 0;
  save_rc("bip", "no");
  set_status();
}

void info_on() {
  info_flg = 1;
  save_rc("info", "yes");
  set_status();
}

void info_off() {
  info_flg = 0;
  save_rc("info", "no");
  set_status();
}

}  // namespace soc
