// The message function, the current action, the status line, and the one
// dialog procedure that serves every dialog template.
//
// A command that needs input sets the current action task_in, refreshes the
// status line and opens a dialog through info(). When the user presses OK the
// dialog procedure gathers the entries into one text (parts joined by '|') and
// dialog_ok() routes it by the current action to the command's completion.
// The close button (Close, No) and the title-bar close box abandon the action
// through close_dialog().
#pragma once

#include <string>

#include "platform/window_system.h"

namespace soc {

inline constexpr const char* kAnotherFunc = " Another Functionality is already used!  ";
inline constexpr const char* kRestricted = " This command is restricted in Network mode. ";
inline constexpr std::size_t kMsgMax = 511;    // longest dialog message
inline constexpr std::size_t kInputMax = 499;  // default length read from entry 1003

extern int task_in;            // current action, 0 = none
extern std::string dlg_msg;    // the text the dialog shows
extern std::string dlg_input;  // what OK gathered
extern std::string tmp_str;    // shared scratch text; carries OK input to the completions
extern std::string pdf_fname;  // PDF attachment path of the e-mail dialog
extern Dialog* hdlg;           // the dialog opened last, nullptr when none is open

// The message function: shows text as message kind `kind`.
void winfo(const std::string& text, int kind);
void info(const std::string& text, int kind);

// The status line from the current action and the option flags.
std::string status_text();
void set_status();

// Ends the current action: action 0 and a fresh status line.
void end_action();

// One-action rule: true (after the error box) when an action is running.
bool action_busy();

// A question (kind 2) outside the action table: Yes gives true; No and the
// close box give false. The current action is left as it is.
bool ask(const std::string& text);

// The bytes each entry of an action's dialog takes while the user
// types; OK gathers at most as much.
std::size_t entry_limit(int action);

// Dialog routing.
void dialog_ok(Dialog& d);
void close_dialog();
void kill_dialog(Dialog& d);
int dialog_show();

// The dialog template a message kind opens, nullptr for kinds that show none.
const DialogTemplate* template_for_kind(int kind);

// Starters of the caption and setting dialogs.
void get_field7();
void get_field8();
void page_setup_up();
void page_setup_lt();
void title_edit();

// Pure input rules of the completions (exposed for tests).
std::string label_from_input(const std::string& input);  // cut to 15, right-aligned in 21
// An address position typed in a dialog, as stored: atoi held within
// 0..kAddressMax (blank lines or columns), written in decimal.
inline constexpr long kAddressMax = 200;
std::string number_from_input(const std::string& input);

void dialog_reset();  // resets the globals of this module (tests)

}  // namespace soc
