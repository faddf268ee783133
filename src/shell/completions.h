// Completions of dialog actions that belong to the command modules (members,
// categories, documents, e-mail, ...). dialog_ok() handles the caption and
// setting actions itself and hands every other action here.
#pragma once

#include "platform/window_system.h"

namespace soc {

// Runs the completion of action with the OK input in tmp_str. Actions without
// a completion leave the dialog open and do nothing.
void run_completion(int action, Dialog& d);
// Runs what closing the dialog of action (No, Close) undoes besides ending
// the action.
void run_close(int action);

}  // namespace soc
