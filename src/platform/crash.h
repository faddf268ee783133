// Deterministic crash points for the tests of interrupted rewrites.
//
// A rewrite that must leave the old or the new file calls crash_point() with
// a name at each step where a kill would matter ("replace:renamed",
// "new:after_replace", ...). When the environment variable SOCIANTES_CRASH_AT
// names that point, the program ends at once with _exit(86), as a kill would:
// no destructor runs, no lock is released, nothing is flushed. "NAME#K" ends
// at the K-th time the point is reached (1 = the first). Without the variable
// a crash point costs one comparison.
#pragma once

namespace soc {

inline constexpr int kCrashExit = 86;   // exit status of a crash point

void crash_point(const char* name);
void crash_reset();   // re-reads the variable (tests that set it in-process)

}  // namespace soc
