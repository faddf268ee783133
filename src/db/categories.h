// Categories: the categories file, the category table behind the category
// list of the main window, and the selected category.
#pragma once

#include <array>
#include <string>

namespace soc {

inline constexpr int kCatSlots = 64;       // slots of the category table
inline constexpr int kCatListed = 62;      // names listed after "All"
inline constexpr std::size_t kCatMax = 31; // longest category name

extern std::array<std::string, kCatSlots> cat_txt;  // slot 0 = "All", 1.. = names in file order
extern int cat;                                      // selected entry, 0 = "All"

void update_cats();   // reloads the category list and table from the local categories file

void categories_reset();  // tests

}  // namespace soc
