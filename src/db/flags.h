// Flags: four yes/no marks per member kept as the characters ! $ % & in the
// remarks field, shown as four check boxes whose captions (the info labels)
// the user names.
#pragma once

#include <array>
#include <string>

namespace soc {

inline constexpr std::size_t kFlagCaptionMax = 10;  // longest caption shown

extern std::array<std::string, 4> flag_names;  // captions of the four flag boxes

void mk_flags_bnts();  // loads the captions from the info-labels file
void flags_reset();    // tests

}  // namespace soc
