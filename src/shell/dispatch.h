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

// The mark a menu item carries: a check mark of its own, or one radio mark
// among the items of its submenu.
enum class MenuMark { none, check, radio };
MenuMark menu_mark(int id);
// Whether the item of command id is checked (the settings it follows), and
// whether the command can apply now (greyed when not). The commands check
// the same conditions themselves when they run.
bool command_checked(int id);
bool command_enabled(int id);

// A menu label with an accelerator text ("New  <alt>n", "Mailing<  alt>t")
// as the text before it and the key; key 0 and the label unchanged when it
// carries none.
struct Shortcut {
  std::string text;  // the label without the accelerator text
  char key;          // Alt + this lower-case character, 0 = none
};
Shortcut menu_shortcut(const std::string& label);

// Carries out command id as a menu item, toolbar button or accelerator sends
// it. Returns 0, or 1 for an id that is no command.
int dispatch(int id);
// True when the command's handler is built.
bool command_built(int id);
// A change of the category list's selection.
void category_selected(int index);
// A click on a member list row (its hidden reference), or outside any row.
void member_clicked(const std::string& ref);
// A double click on a member list row: the member is selected and Modify starts.
void member_double_clicked(const std::string& ref);

}  // namespace soc
