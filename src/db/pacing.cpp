// The pacing setting and the display pauses it governs.
#include "db/pacing.h"

#include "db/util.h"
#include "platform/services.h"

namespace soc {

bool pacing_on() { return getrc("pacing") != "no"; }

void pace_ms(int ms) {
  if (pacing_on()) sys().sleep_ms(ms);
}

}  // namespace soc
