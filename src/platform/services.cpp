// The services in use, and the real implementation: the system clock, real
// sleeps, and outside programs started through the desktop.
#include "platform/services.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace soc {

namespace {

class RealServices final : public Services {
 public:
  std::time_t now() override { return std::time(nullptr); }
  void sleep_ms(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void launch(Launch what, const std::string& arg) override {
    switch (what) {
      case Launch::editor:
        if (arg.empty()) {
          // The editor alone: the user's editor of choice, else the desktop's.
          const char* ed = std::getenv("VISUAL");
          spawn_detached({ed && *ed ? ed : "gnome-text-editor"});
        } else {
          spawn_detached({"xdg-open", arg});
        }
        break;
      case Launch::explorer:
      case Launch::browser:
        spawn_detached({"xdg-open", arg});
        break;
      case Launch::scheduler:
        spawn_detached({program_dir() + "spoolet", arg});
        break;
      case Launch::script:
        spawn_detached({"/bin/sh", arg});
        break;
    }
  }
};

RealServices real_services;
Services* current = &real_services;

}  // namespace

Services& sys() { return *current; }
void set_services(Services* s) { current = s ? s : &real_services; }

std::tm local_now() {
  std::time_t t = sys().now();
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return tm;
}

}  // namespace soc
