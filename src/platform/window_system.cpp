// The window system in use.
#include "platform/window_system.h"

#include <cstdlib>
#include <iostream>

namespace soc {

namespace {
WindowSystem* current = nullptr;
}

WindowSystem& ws() {
  if (!current) {
    std::cerr << "sociantes: no window system installed\n";
    std::abort();
  }
  return *current;
}

void set_window_system(WindowSystem* w) { current = w; }

}  // namespace soc
