// The services in use, and the real implementation: the system clock, real
// sleeps, and outside programs started through the desktop.
#include "platform/services.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace soc {

std::time_t RealServices::now() { return std::time(nullptr); }

void RealServices::sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int RealServices::launch(Launch what, const std::string& arg) {
  switch (what) {
    case Launch::editor:
      if (arg.empty()) {
        // The editor alone: the desktop's application for plain text.
        return spawn_detached({"/bin/sh", "-c", kEditorAlone});
      }
      return spawn_detached({"xdg-open", arg});
    case Launch::explorer:
    case Launch::browser:
      return spawn_detached({"xdg-open", arg});
    case Launch::scheduler:
      return spawn_detached({installed_program("spoolet"), arg});
    case Launch::script:
      return spawn_detached({"/bin/sh", arg});
  }
  return 1;
}

int Services::start_script(const std::string& path, int& job) {
  return spawn_detached({"/bin/sh", path}, &job);
}

namespace {

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

long long steady_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace soc
