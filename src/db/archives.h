// Archives: at the end of a season the member file, the settings file and
// every member's history file are saved under a name in
// `archives.aff/<name>/` of the local data directory, and each history file
// starts again with its initial content. The archive is either complete, or
// refused or stopped with a message that says where.
#pragma once

#include <string>

#include "platform/window_system.h"

namespace soc {

inline constexpr const char* kArchRefused =
    " Impossible to create this archive, \r\nmay be it exists already ... ";
inline constexpr std::size_t kArchNameMax = 63;  // longest archive name, in bytes

void mk_arch();            // Create Archives (action 16): the name dialog
void do_arch(Dialog& d);   // its OK, after the pause: the archive named by tmp_str

// An archive name: letters, digits, '-', '_' and '.', at most 63 bytes, not
// "." or "..".
bool arch_name_ok(const std::string& name);
// A reference that can name a file of the data directory (no separator, not
// empty, not "." or "..").
bool plain_name(const std::string& ref);

}  // namespace soc
