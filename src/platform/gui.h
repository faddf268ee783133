// The real program's window system: runs the wxWidgets application, whose
// main window runs the start-up of the command code. Returns the exit code.
#pragma once

namespace soc {

int run_gui(int argc, char** argv);

}  // namespace soc
