// Pacing: the pauses that exist only so that a person can follow what the
// program does (the second before an archive and per archived member, the
// first second of the history search).
//
// The local setting `pacing` decides: missing or "yes" keeps every pause;
// "no" skips them. Pauses that wait for something real (a lock, an outside
// program) are never skipped, only made shorter where stated.
#pragma once

namespace soc {

// True unless the local setting `pacing` is "no" (read at every call).
bool pacing_on();
// One display pause of ms milliseconds through the program's clock, or
// nothing when pacing is off.
void pace_ms(int ms);

}  // namespace soc
