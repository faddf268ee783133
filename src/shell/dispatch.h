// The commands of the main window: the menu bar as data, the toolbar, the
// accelerators, and the dispatch of a command id to its handler.
#pragma once

#include <string>
#include <vector>

namespace soc {

// One entry of the menu bar. depth 0 = a menu of the bar, 1 = its item or
// submenu, 2 and 3 = deeper. id 0 = a submenu (its children follow).
struct MenuEntry {
  int depth;          // nesting level
  std::string label;  // label exactly as shown ("&&" shows as "&")
  int id;             // command id, 0 for a menu or submenu
};
const std::vector<MenuEntry>& menu_table();

struct ToolButton {
  int command;          // command id sent
  int image;            // image index in the image list
  std::string tooltip;  // tooltip text
};
const std::vector<ToolButton>& toolbar_table();
// Bitmap names of the image list in image-index order.
const std::vector<std::string>& toolbar_images();

struct Accel {
  char key;     // Alt + this lower-case character
  int command;  // command id
};
const std::vector<Accel>& accel_table();

// Carries out command id as a menu item, toolbar button or accelerator sends
// it. Returns 0, or 1 for an id that is no command.
int dispatch(int id);
// True when the command's handler is built.
bool command_built(int id);
// A change of the category list's selection.
void category_selected(int index);
// A click on a member list row (its hidden reference), or outside any row.
void member_clicked(const std::string& ref);

}  // namespace soc
