// Categories: the categories file, the category table behind the category
// list of the main window, and the selected category. A member belongs to
// the selected category when its field 13 begins with the category's name.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace soc {

inline constexpr int kCatSlots = 64;        // slots of the category table
inline constexpr int kCatListed = 62;       // names listed after "All"
inline constexpr std::size_t kCatMax = 31;  // longest category name

extern std::array<std::string, kCatSlots> cat_txt;  // slot 0 = "All" (empty name), 1.. = names in file order
extern int cat;                                      // selected entry, 0 = "All"

// Reloads the category list and table from the local categories file; the
// selected category stays selected when its name is still listed.
int update_cats();   // reloads the category list and table; 1 when the selected category is gone (the filter fell back to "All")

void cat_edit(int add);     // starts the dialog: 1 = add (action 22), 0 = remove (action 33)
int mk_cat_file(int add);   // changes the categories file with the dialog text (tmp_str); 0 = changed

// The categories file lines after adding name (before the first line it
// sorts before, equal names included) or removing every line equal to name.
std::vector<std::string> cat_add_lines(const std::vector<std::string>& lines, const std::string& name);
std::vector<std::string> cat_rm_lines(const std::vector<std::string>& lines, const std::string& name);

void categories_reset();  // tests

}  // namespace soc
