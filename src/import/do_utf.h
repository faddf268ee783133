// Text from the data files prepared for display.
#pragma once

#include <string>
#include <string_view>

namespace soc {

// A copy of text ready for display: valid UTF-8 is kept as it is; any other
// byte (text written by older Windows installations) is taken as a
// Windows-1252 character and shown as such. Nothing is written back converted.
// Plain ASCII and valid UTF-8 are copied in one piece.
std::string do_utf(std::string_view text);

}  // namespace soc
