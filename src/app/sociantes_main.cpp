// sociantes: the member-database manager with its main window. The program
// takes no command-line options.
#include "platform/fs.h"
#include "platform/gui.h"

int main(int argc, char** argv) {
  soc::keep_large_buffers();
  return soc::run_gui(argc, argv);
}
