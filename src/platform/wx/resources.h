// Where the program finds its images at run time.
//
// The toolbar bitmaps, the dialog pictures and the program icon are PNG files
// named by their resource name ("603.png", "sociantes.png"). They are looked
// for beside an installed program (../share/sociantes/ from the executable),
// then in the source tree the program was built from, then in the share
// directory the build was configured to install into.
#pragma once

#include <string>

namespace soc::wxui {

// Full path of the image of resource `name` (without ".png"), "" when none
// of the resource directories holds it.
std::string resource_path(const std::string& name);

}  // namespace soc::wxui
