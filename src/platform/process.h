// The running program and the outside programs it starts, and who runs it:
// the host, the user, the process and the boot of the host, as recorded in
// lock files so that a lock left by a program that no longer runs can be
// recognised.
#pragma once

#include <string>
#include <vector>

namespace soc {

// The directory that holds the running executable, with a final '/'.
std::string program_dir();
// The program NAME of this installation: beside the running program, else
// in the installation's bin directory, else NAME alone (then looked up on
// PATH when it is started). Only an executable file counts.
std::string installed_program(const std::string& name);
// The same choice between two given directories (with a final '/' or not).
std::string find_program(const std::string& name, const std::string& own_dir,
                         const std::string& bin_dir);
// Starts argv[0] with its arguments as a detached process, not waited for.
// Returns 0 when the process was started. When group is given it receives
// the process group the program runs in (its own, new one), which
// end_group() can end with everything the program started.
int spawn_detached(const std::vector<std::string>& argv, int* group = nullptr);
// Ends every process of a group that spawn_detached() made (0 = none).
void end_group(int group);

std::string host_name();     // this workstation's host name; "" when unknown
std::string user_name();     // the user running the program
long process_id();           // this process
std::string machine_id();    // stays the same across starts of this host; "" when unknown
std::string boot_id();       // changes at every start of the host; "" when unknown
// false only when no process pid runs on this host (a process of another
// user counts as running).
bool process_alive(long pid);

}  // namespace soc
