// Starts spoolet's real window on the program's arguments.
#pragma once

namespace soc::spoolwx {

// Runs the wxWidgets application until the window is closed; returns the
// exit code (1 when the argument was refused).
int run_spoolet_gui(int argc, char** argv);

}  // namespace soc::spoolwx
