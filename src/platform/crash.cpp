// Crash points: see crash.h.
#include "platform/crash.h"

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace soc {

namespace {
struct CrashAt {
  bool read = false;     // the variable was looked at
  std::string name;      // the point to end at; "" = none
  long nth = 1;          // end at this hit of the point
  long hits = 0;         // hits of the point so far
};
CrashAt at;

void read_var() {
  at = CrashAt{};
  at.read = true;
  const char* v = std::getenv("SOCIANTES_CRASH_AT");
  if (v == nullptr || *v == '\0') return;
  std::string s = v;
  std::size_t hash = s.find('#');
  if (hash != std::string::npos) {
    at.nth = std::strtol(s.c_str() + hash + 1, nullptr, 10);
    if (at.nth < 1) at.nth = 1;
    s.resize(hash);
  }
  at.name = s;
}
}  // namespace

void crash_point(const char* name) {
  if (!at.read) read_var();
  if (at.name.empty() || at.name != name) return;
  if (++at.hits >= at.nth) ::_exit(kCrashExit);
}

void crash_reset() { at = CrashAt{}; }

}  // namespace soc
