// History files and the history search.
//
// Every member has a free text file `<ref>.dat` in the data directory, which
// the History command opens in the text editor. The history search runs the
// system's `grep` over all history files through a small shell script in the
// temporary directory: the program creates `wait.flg`, starts the script,
// which writes `grep`'s output to `grep.clt` and then deletes `wait.flg`,
// and polls until the flag is gone. The raw output is then formatted into
// `grep_out.txt`, one block per history file, and opened in the editor.
#pragma once

#include <string>

#include "platform/services.h"
#include "platform/window_system.h"

namespace soc {

inline constexpr const char* kNoMember = " Sorry! No member is selected! ";
inline constexpr const char* kGrepFailed = "Grep failed...";
inline constexpr const char* kNoData = " No data ! ";

// The longest real time the history search waits for `grep` (60 s); tests
// may shorten it.
extern int grep_bound_ms;

void do_hst();                 // History: the current member's history file in the editor
// The current member's file or folder `<ref><suffix>` started with what,
// unless an action runs or no member is current (each said in a message).
void open_current(const std::string& suffix, Launch what);
void grep_hst();               // History search (action 11): the criterion dialog
void do_grep(Dialog& d);       // its OK: the search with the criterion in tmp_str
int format_grep();             // grep.clt into grep_out.txt; 1 when grep.clt is missing

// The script that runs the search: `grep` gets the criterion as one argument
// and every history file of data_dir; its output goes to clt, then flag is
// deleted. Every path and the criterion are quoted for the shell.
std::string grep_script(const std::string& crit, const std::string& data_dir,
                        const std::string& clt, const std::string& flag);
// The formatted result of grep's raw output.
std::string format_grep_text(const std::string& raw);

}  // namespace soc
