// The running program and the outside programs it starts.
#pragma once

#include <string>
#include <vector>

namespace soc {

// The directory that holds the running executable, with a final '/'.
std::string program_dir();
// Starts argv[0] with its arguments as a detached process, not waited for.
// Returns 0 when the process was started.
int spawn_detached(const std::vector<std::string>& argv);

}  // namespace soc
