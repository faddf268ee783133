// sociantes: the member-database manager with its main window. The program
// takes no command-line options.
#include "platform/gui.h"

int main(int argc, char** argv) { return soc::run_gui(argc, argv); }
