// The running program and the outside programs it starts.
#pragma once

#include <string>
#include <vector>

namespace soc {

// The directory that holds the running executable, with a final '/'.
std::string program_dir();
// Starts argv[0] with its arguments as a detached process, not waited for.
// Returns 0 when the process was started. When group is given it receives
// the process group the program runs in (its own, new one), which
// end_group() can end with everything the program started.
int spawn_detached(const std::vector<std::string>& argv, int* group = nullptr);
// Ends every process of a group that spawn_detached() made (0 = none).
void end_group(int group);

}  // namespace soc
