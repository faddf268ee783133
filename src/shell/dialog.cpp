// The message function, the status line and the dialog procedure with the
// routing of OK input to the completion of the current action.
#include "shell/dialog.h"

#include <cstdio>
#include <cstdlib>

#include "db/members.h"
#include "db/search.h"
#include "db/util.h"
#include "platform/fs.h"
#include "shell/completions.h"
#include "shell/mainwin.h"

namespace soc {

int task_in = 0;
std::string dlg_msg;
std::string dlg_input;
std::string tmp_str;
std::string pdf_fname;
Dialog* hdlg = nullptr;

namespace {

// Text of entry id of d, cut to its limit as the fixed buffers were.
std::string entry(Dialog& d, int id) { return cut_utf8(d.get_text(id), entry_limit(task_in)); }

// What OK gathers from the dialog, by the current action.
std::string gather(Dialog& d) {
  switch (task_in) {
    case 2: case 17: case 27: case 28: case 35:
      return "";
    case 24: case 31:
      return entry(d, 1074) + "|" + entry(d, 1075) + "|" + entry(d, 1076);
    case 26: case 34:
      return entry(d, 1074) + "|" + entry(d, 1075);
    case 29: case 30:
      pdf_fname = entry(d, 1076);
      return entry(d, 1074) + "|" + entry(d, 1075);
    default:
      return entry(d, 1003);
  }
}

// The question asked by ask() while it is open, and its answer.
Dialog* asked = nullptr;
bool asking = false;
bool asked_yes = false;

// Fills the dialog's controls when it opens, by the current action.
void init_by_action(Dialog& d) {
  switch (task_in) {
    case 23:
      d.set_text(1003, tmp_str);
      break;
    case 13: {
      const std::string saved = file_name;  // the caller's current path stays
      mk_tmp_fname("tmp.bmp");
      if (is_this_file(file_name) == 0) d.set_picture(1006, file_name);
      file_name = saved;
      break;
    }
    case 26: {
      d.set_text(1071, " 1st Position:");
      d.set_text(1072, " Next Spaces:");
      std::string up = getrc("labels_up"), gap = getrc("labels_gap");
      d.set_text(1074, up.empty() ? "30" : up);
      d.set_text(1075, gap.empty() ? "30" : gap);
      break;
    }
    case 31:
      d.set_text(1071, "SMTP Server:");
      d.set_text(1072, "Sender Host name:");
      d.set_text(1073, "Sender Email address:");
      d.set_text(1074, getrc("smtp_server"));
      d.set_text(1075, getrc("smtp_host"));
      d.set_text(1076, getrc("smtp_email"));
      break;
    case 34:
      d.set_text(1071, "Identification");
      d.set_text(1072, "Pass");
      d.remove(1073);
      d.remove(1076);
      d.set_text(1074, getrc("ssl_user"));
      d.set_text(1075, "");
      break;
    case 29: case 30:
      d.set_text(1071, "Subject:");
      d.set_text(1072, "File:");
      break;
    default:
      break;
  }
}

// The one dialog procedure of every template.
class DialogProc final : public DialogProcedure {
 public:
  void on_init(Dialog& d) override {
    hdlg = &d;
    if (asking && !asked) asked = &d;
    d.set_text(1005, dlg_msg);
    const std::string& t = d.tmpl().title;
    if (t == "INTRO" || t == "CAPTURE" || t == "MAPPING" || t == "EMAIL") {
      d.set_text(1004, " Close ");
    } else if (t == "QUESTION") {
      d.set_text(1004, "No");
      d.set_text(1001, "Yes");
    }
    if (&d == asked) return;  // a question of its own: the action's fields are not there
    init_by_action(d);
    for (const DlgControl& c : d.tmpl().controls)
      if (c.kind == DlgCtl::entry) d.limit(c.id, entry_limit(task_in));
  }

  void on_command(Dialog& d, int id) override {
    if (&d == asked) {
      if (id != 1001 && id != 1004) return;
      asked_yes = id == 1001;
      d.end(0);
      return;
    }
    switch (id) {
      case 1001:
        dlg_input = gather(d);
        if (task_in == 4) do_srch();  // the search runs here; its dialog stays open
        if (task_in == 16) {
          d.enable(1001, false);
          d.enable(1004, false);
        }
        dialog_ok(d);
        break;
      case 1007:
      case 1008: {
        std::string path;
        const std::string saved = file_name;  // the caller's current path stays
        mk_fname("");
        const std::string dir = file_name;
        file_name = saved;
        if (ws().select_file({{"All files", "*"}}, dir, path))
          d.set_text(id == 1007 ? 1075 : 1076, path);
        break;
      }
      case 1004:
        close_dialog();
        break;
      default:
        break;
    }
  }

  // The title-bar close box is the close button (Close, No, the photo's
  // OK): the action is abandoned as that button abandons it. A dialog
  // without a close button to press (the wait notice, a running archive
  // whose buttons are greyed) stays open.
  void on_close(Dialog& d) override {
    if (d.can_press(1004)) on_command(d, 1004);
  }

  void on_destroy(Dialog& d) override {
    if (hdlg == &d) hdlg = nullptr;
    if (asked == &d) asked = nullptr;
  }
};

DialogProc the_proc;

void beep_if_on() {
  if (bip != 1) return;
  if (!ws().message_beep()) ws().tone(400, 100);
}

}  // namespace

void end_action() {
  task_in = 0;
  set_status();
}

void dialog_reset() {
  task_in = 0;
  dlg_msg.clear();
  dlg_input.clear();
  tmp_str.clear();
  pdf_fname.clear();
  hdlg = nullptr;
}

void winfo(const std::string& text, int kind) {
  dlg_msg = cut_utf8(text, kMsgMax);
  if (kind == 0) {
    if (info_flg == 1) ws().info_box(0, dlg_msg);
    return;
  }
  if (kind == 1) {
    ws().info_box(1, dlg_msg);
    return;
  }
  const DialogTemplate* t = template_for_kind(kind);
  if (!t) return;
  beep_if_on();
  if (ws().run_dialog(kind, dlg_msg, *t, kind != 4, the_proc) != 0)
    ws().message_box("Dialog failed!!!", "", Icon::error);
}

void info(const std::string& text, int kind) { winfo(text, kind); }

bool ask(const std::string& text) {
  asking = true;
  asked_yes = false;
  winfo(text, 2);
  asking = false;
  asked = nullptr;
  return asked_yes;
}

std::size_t entry_limit(int action) {
  switch (action) {
    case 4: return 62;                 // a search text
    case 6: case 7: return 15;         // " 15 characters max. length"
    case 19: return 20;                // " 20 Letters max."
    case 22: return 24;                // "(max 24 chars)"
    case 24: case 26: return 3;        // field number, positions and spacings
    case 29: case 30: case 31: return 126;
    case 34: return 62;
    default: return kInputMax;
  }
}

std::string status_text() {
  std::string s;
  switch (task_in) {
    case 1: s = "Action: New "; break;
    case 2: s = "Action: Delete "; break;
    case 3: s = "Action: Modify "; break;
    case 4: s = "Action: Search "; break;
    case 6: case 7: s = "Action: Label modification. "; break;
    case 8: case 10: s = "Action: Address position "; break;
    case 11: s = "Action: grep "; break;
    case 13: case 14: s = "Action: Photo "; break;
    case 16: s = "Action: Archives "; break;
    case 19: s = "Action: Naming  "; break;
    case 20: s = "Action: Export CSV "; break;
    case 21: s = "Action: Import CSV  "; break;
    case 22: case 23: case 24: case 25: case 26: s = " Action: Parameters  "; break;
    case 27: s = "Print labels"; break;
    case 28: s = "Flags"; break;
    case 29: case 30: case 31: case 34: s = "Action: Email"; break;
    default: s = "Action: Selection "; break;
  }
  s += bip == 1 ? "    Bip: On " : "    Bip: Off ";
  s += info_flg == 1 ? "   Info: On " : "   Info: Off ";
  s += nfs ? "   Net: Client" : "   Net: Local";
  s += "   ID: [" + std::to_string(static_cast<unsigned>(type_id)) + "]";
  s += "   Filters: " + getrc("flag_filter");
  return s;
}

void set_status() {
  chk_options();
  ws().set_status_text(status_text());
  show_title();  // the association name may have changed with the settings
}

bool action_busy() {
  if (task_in == 0) return false;
  info(kAnotherFunc, 1);
  return true;
}

std::string label_from_input(const std::string& input) {
  std::string t = cut_utf8(input, 15);
  return std::string(21 - t.size(), ' ') + t;
}

std::string number_from_input(const std::string& input) {
  // atoi: leading blanks, a sign, digits; a number out of range is held at
  // its bound (a negative one would come back as four thousand million).
  return std::to_string(clamp_num(input, 0, kAddressMax));
}

void dialog_ok(Dialog& d) {
  if (task_in == 4) return;
  tmp_str = dlg_input;
  switch (task_in) {
    case 2:  // Yes to the delete question: Save deletes
      kill_dialog(d);
      break;
    case 6: case 7:
      kill_dialog(d);
      save_rc(task_in == 6 ? "field7" : "field8", label_from_input(tmp_str));
      end_action();
      break;
    case 8: case 10:
      kill_dialog(d);
      save_rc(task_in == 8 ? "page_up" : "page_lt", number_from_input(tmp_str));
      end_action();
      break;
    case 19:
      kill_dialog(d);
      save_rc("title", cut_utf8(tmp_str, 20));
      end_action();
      break;
    case 32:
      kill_dialog(d);
      save_rc("win_net_path", tmp_str);
      end_action();
      break;
    default:
      run_completion(task_in, d);
      break;
  }
  tmp_str.clear();
}

void close_dialog() {
  const int a = task_in;
  run_close(a);
  if (a != 1 && a != 3 && a != 20 && a != 21) {
    const bool listed = a == 0 || a == 2 || a == 4 || a == 6 || a == 7 || a == 8 || a == 10 ||
                        a == 11 || a == 13 || a == 14 || a == 16 || a == 17 || a == 19 ||
                        (a >= 22 && a <= 35);
    if (listed) {
      end_action();
      if (a == 2) show_cust();
    }
  }
  if (hdlg && !hdlg->ended()) hdlg->end(0);
  tmp_str.clear();
}

void kill_dialog(Dialog& d) { d.end(0); }

int dialog_show() { return 0; }

namespace {
// Starters that check network mode, then the one-action rule.
bool caption_refused() {
  if (nfs) {
    info(kRestricted, 1);
    return true;
  }
  return action_busy();
}

const char* const kLabelPrompt =
    " Please enter the new Label. \r\n15 characters max. length\r\n and restart to update the "
    "window.  ";

void start_action(int action, const std::string& prompt, int kind) {
  task_in = action;
  set_status();
  info(prompt, kind);
}
}  // namespace

void get_field7() {
  if (!caption_refused()) start_action(6, kLabelPrompt, 3);
}

void get_field8() {
  if (!caption_refused()) start_action(7, kLabelPrompt, 3);
}

void title_edit() {
  if (!caption_refused())
    start_action(19, " Here you can enter your association name. \r\n 20 Letters max.", 3);
}

void page_setup_up() {
  start_action(8, "\r\n Number of blank lines on top of the address: \r\n", 6);
}

void page_setup_lt() {
  start_action(10, " Number of blank column on the left of the address: ", 6);
}

}  // namespace soc
