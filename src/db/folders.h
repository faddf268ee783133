// Member folders: one directory `<ref>_dir` per member in the data
// directory, switched on once for all members (setting `dirs`), created for
// every new member afterwards, never removed, and opened in the desktop's
// file manager.
#pragma once

namespace soc {

void activate_dirs();  // Folders activation (action 35): the question
void create_dirs();    // its Yes: a folder for every member, then `dirs` on
void open_dir();       // the current member's folder in the file manager

}  // namespace soc
