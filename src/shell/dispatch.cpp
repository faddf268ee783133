// The menu bar, toolbar and accelerator tables, and the command dispatch.
#include "shell/dispatch.h"

#include <cctype>

#include "db/archives.h"
#include "db/categories.h"
#include "db/flags.h"
#include "db/folders.h"
#include "db/history.h"
#include "db/members.h"
#include "db/search.h"
#include "db/util.h"
#include "documents/cards.h"
#include "documents/documents.h"
#include "import/filesel.h"
#include "import/import.h"
#include "import/jpeg_handler.h"
#include "import/photo_show.h"
#include "mail/email.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc {

const std::vector<MenuEntry>& menu_table() {
  static const std::vector<MenuEntry> t = {
      {0, "&Files", 0},
      {1, "History search(GREP)", 11},
      {1, "Create Archives", 16},
      {1, "Consult Archives", 446},
      {1, "Import Spread sheet", 21},
      {1, "Export Spread sheet", 20},
      {1, "Edit Templates", 0},
      {2, "Template-1", 441}, {2, "Template-2", 442}, {2, "Template-3", 443}, {2, "Template-4", 444},
      {1, "Print labels", 27},
      {1, "Listing", 0},
      {2, "Short Listing", 418}, {2, "Extended Listing", 419},
      {1, "Import a photo", 14},
      {1, "QMD", 447},
      {1, "Quit", 410},
      {0, "&Parameters", 0},
      {1, "Create categories", 0},
      {2, "Add", 22}, {2, "Remove", 33},
      {1, "Edit info", 23},
      {1, "Modify label Profession", 6},
      {1, "Modify label Nationality", 7},
      {1, "Association name", 19},
      {1, "Address position", 0},
      {2, "Top", 8}, {2, "Left", 10},
      {1, "Templates", 0},
      {2, "Add", 0},
      {3, "Template-1", 433}, {3, "Template-2", 434}, {3, "Template-3", 435}, {3, "Template-4", 436},
      {2, "Delete", 0},
      {3, "Template-1", 437}, {3, "Template-2", 438}, {3, "Template-3", 439}, {3, "Template-4", 440},
      {1, "Labels adjustment", 26},
      {1, "Email", 0},
      {2, "Server", 31}, {2, "SSL AUTH LOGIN", 34},
      {1, "MS Network Path", 32},
      {0, "&Options", 0},
      {1, "Bip", 0},
      {2, "ON", 451}, {2, "OFF", 450},
      {1, "Help infos", 0},
      {2, "ON", 449}, {2, "OFF", 448},
      {1, "Auto Id", 0},
      {2, "Off [0]", 414}, {2, "Index [1]", 415}, {2, "Date+<?> [2]", 416}, {2, "Date+Index [3]", 417},
      {1, "Email", 0},
      {2, "Exclude Email from mailing", 0},
      {3, "Set", 455}, {3, "Reset", 454},
      {2, "Exclude Email from labels", 0},
      {3, "Set", 453}, {3, "Reset", 452},
      {1, "Folders activation", 460},
      {1, "Network", 0},
      {2, "Local", 456}, {2, "MS Network client", 457},
      {0, "&Actions", 0},
      {1, "New  <alt>n", 400},
      {1, "Modify  <alt>m", 401},
      {1, "Delete  <alt>k", 403},
      {1, "Save  <alt>s", 402},
      {1, "Cancel  <alt>c", 404},
      {1, "Search  <alt>r", 405},
      {1, "History  <alt>h", 409},
      {1, "Address  <alt>v", 411},
      {1, "Mailing<  alt>t", 408},
      {1, "Email  <alt>e", 407},
      {1, "Member card  <alt>i", 412},
      {1, "Photo  <alt>d", 406},
      {1, "Record card  <alt>j", 413},
      {1, "Quit  <alt>q", 410},
      {0, "F&lags", 0},
      {1, "Filters", 0},
      {2, "None", 420}, {2, "OR", 421}, {2, "AND", 422}, {2, "NOR", 423}, {2, "NAND", 424},
      {1, "Set", 0},
      {2, "!", 425}, {2, "$", 426}, {2, "%", 427}, {2, "&&", 428},
      {1, "Reset", 0},
      {2, "!", 429}, {2, "$", 430}, {2, "%", 431}, {2, "&&", 432},
      {0, "&Help", 0},
      {1, "Version", 458},
      {1, "WWW", 459},
  };
  return t;
}

const std::vector<ToolButton>& toolbar_table() {
  static const std::vector<ToolButton> t = {
      {400, 0, "New"},     {401, 1, "Open/Modify"}, {402, 2, "Save"},          {403, 3, "Delete"},
      {404, 4, "Cancel"},  {405, 7, "Search"},      {409, 8, "History"},       {407, 9, "Email"},
      {406, 5, "Photo"},   {408, 6, "Mailing"},     {411, 13, "Print address"}, {412, 11, "Member card"},
      {413, 12, "Record card"}, {461, 14, "Open the folder"}, {410, 10, "Quit"}};
  return t;
}

const std::vector<std::string>& toolbar_images() {
  static const std::vector<std::string> t = {"603", "604", "602", "606", "605", "610", "611", "601",
                                             "607", "609", "608", "615", "614", "613", "621"};
  return t;
}

const std::vector<Accel>& accel_table() {
  static const std::vector<Accel> t = {{'n', 400}, {'m', 401}, {'k', 403}, {'s', 402}, {'c', 404},
                                       {'r', 405}, {'h', 409}, {'v', 411}, {'t', 408}, {'i', 412},
                                       {'d', 406}, {'e', 407}, {'q', 410}};
  return t;
}

namespace {

using Handler = void (*)();

struct Command {
  int id;           // command id
  Handler handler;  // nullptr while the command is not built
};

// Every command of the window. A handler of nullptr is a command whose body is
// not built yet: dispatching it says so.
const std::vector<Command>& commands() {
  static const std::vector<Command> t = {
      {11, grep_hst},  {16, mk_arch},  {446, [] { open_doc(1); }}, {21, import},  {20, excel},
      {441, [] { edit_form(1); }}, {442, [] { edit_form(2); }}, {443, [] { edit_form(3); }},
      {444, [] { edit_form(4); }}, {27, labels_print},
      {418, [] { listing(0); }}, {419, [] { listing(1); }}, {14, import_photo},  {447, open_qmd}, {410, quit},
      {22, [] { cat_edit(1); }}, {33, [] { cat_edit(0); }}, {23, info_edit},  {6, get_field7}, {7, get_field8},
      {19, title_edit}, {8, page_setup_up}, {10, page_setup_lt},
      {433, [] { setup_form(1); }}, {434, [] { setup_form(2); }}, {435, [] { setup_form(3); }},
      {436, [] { setup_form(4); }},
      {437, [] { destroy_form(1); }}, {438, [] { destroy_form(2); }},
      {439, [] { destroy_form(3); }}, {440, [] { destroy_form(4); }},
      {26, labels_setup},  {31, smtp_setup}, {34, ssl_setup},  {32, set_win_path},
      {451, bip_on},  {450, bip_off}, {449, info_on}, {448, info_off},
      {414, [] { auto_id(0); }}, {415, [] { auto_id(1); }}, {416, [] { auto_id(2); }},
      {417, [] { auto_id(3); }},
      {455, [] { email_no_mail(1); }}, {454, [] { email_no_mail(0); }},
      {453, [] { email_no_labels(1); }}, {452, [] { email_no_labels(0); }},
      {460, activate_dirs}, {456, mode_loc}, {457, mode_net},
      {400, do_new}, {401, do_chg}, {403, do_del}, {402, do_ok}, {404, cancel},
      {405, srch}, {409, do_hst}, {411, letter_hd}, {408, [] { mailing(0); }}, {407, do_email},
      {412, cards}, {406, show_photo}, {413, record_card},
      {420, [] { set_flgs_rule(0); }}, {421, [] { set_flgs_rule(1); }},
      {422, [] { set_flgs_rule(2); }}, {423, [] { set_flgs_rule(3); }},
      {424, [] { set_flgs_rule(4); }},
      {425, [] { set_all_flgs(4); }}, {426, [] { set_all_flgs(5); }},
      {427, [] { set_all_flgs(6); }}, {428, [] { set_all_flgs(7); }},
      {429, [] { set_all_flgs(0); }}, {430, [] { set_all_flgs(1); }},
      {431, [] { set_all_flgs(2); }}, {432, [] { set_all_flgs(3); }},
      {458, give_version}, {459, www},
      {461, open_dir},
  };
  return t;
}

const Command* find_command(int id) {
  for (const auto& c : commands())
    if (c.id == id) return &c;
  return nullptr;
}

}  // namespace

bool command_built(int id) {
  const Command* c = find_command(id);
  return c && c->handler;
}

int dispatch(int id) {
  const Command* c = find_command(id);
  if (!c) return 1;
  if (c->handler)
    c->handler();
  else
    ws().not_built("command " + std::to_string(id));
  return 0;
}

void category_selected(int index) { cat_sel(index); }

void member_clicked(const std::string& ref) { selection_made(ref); }

void member_double_clicked(const std::string& ref) {
  if (ref.empty()) return;
  if (index_sel != ref) selection_made(ref);
  if (index_sel == ref) do_chg();
}

MenuMark menu_mark(int id) {
  if (id == 460) return MenuMark::check;
  if ((id >= 448 && id <= 457) || (id >= 414 && id <= 417) || (id >= 420 && id <= 424))
    return MenuMark::radio;
  return MenuMark::none;
}

bool command_checked(int id) {
  switch (id) {
    case 451: return bip == 1;
    case 450: return bip != 1;
    case 449: return info_flg == 1;
    case 448: return info_flg != 1;
    case 414: case 415: case 416: case 417: return type_id == id - 414;
    case 455: return getrc("mail_email_filter") == "yes";
    case 454: return getrc("mail_email_filter") != "yes";
    case 453: return getrc("labels_email_filter") == "yes";
    case 452: return getrc("labels_email_filter") != "yes";
    case 460: return dirs == 1;
    case 456: return nfs == 0;
    case 457: return nfs != 0;
    case 420: case 421: case 422: case 423: case 424: return listing_type == id - 420;
    default: return false;
  }
}

bool command_enabled(int id) {
  switch (id) {
    case 401: case 403: return task_in == 0 && !index_sel.empty();  // Modify, Delete
    case 402: return task_in == 1 || task_in == 2 || task_in == 3;  // Save
    case 404: return task_in != 0;                                  // Cancel
    default: return true;
  }
}

Shortcut menu_shortcut(const std::string& label) {
  const std::size_t at = label.rfind("alt>");
  if (at == std::string::npos || at + 5 != label.size() ||
      !std::islower(static_cast<unsigned char>(label.back())))
    return {label, 0};
  std::string text = label.substr(0, at);
  while (!text.empty() && (text.back() == ' ' || text.back() == '<')) text.pop_back();
  return {text, label.back()};
}

}  // namespace soc
