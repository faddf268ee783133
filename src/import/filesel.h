// The program's file selection: the open-file dialog with the program's
// filter list, starting in the data directory, followed by a dispatch on the
// current action: with no action the chosen file is opened in the text
// editor (Consult Archives and the other document-opening commands); action
// 20 exports to it, action 21 imports it, action 14 (the photo import) takes
// it as its photo. Any other action (the Select. buttons of a dialog) takes
// the path from sel_file itself.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace soc {

inline constexpr const char* kNoFile = "     No file!     ";

extern std::string sel_file;  // the path chosen last ("" when cancelled)
extern std::string file_sel;  // the same, for the action that asked for it

const std::vector<FileFilter>& filesel_filters();  // description/pattern pairs, in order

// The open-file dialog; the length of the chosen path, 0 when cancelled.
std::size_t ms_filesel();
// The file selection with the dispatch on the current action.
void filesel();
// Opens the chosen file (file_sel) in the text editor, or says it is none.
void file_ok_sel();
// A document-opening command of the Files menu: 1 = Consult Archives.
void open_doc(int which);

}  // namespace soc
