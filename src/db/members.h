// The member file, the member list of the main window, the selection and the
// edit cycle (New, Modify, Delete, Save, Cancel).
#pragma once

#include <string>

#include "db/records.h"

namespace soc {

extern std::string index_sel;   // reference of the selected member (its record lock is held); "" = none

// The five-character flag column of a member list row for a remarks field.
std::string flag_column(const std::string& rem);
// Fills the member list from the member file; returns 0.
int show_cust();

void members_reset();  // tests

}  // namespace soc
