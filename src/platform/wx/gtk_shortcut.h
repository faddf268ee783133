// The shortcut column of GTK menu items.
//
// A menu label with an accelerator text shows the key in GTK's shortcut
// column, right-aligned after the label. wxWidgets would also make every key
// it shows an accelerator of its own, while the program's accelerators are
// those of its table (and one item shows a key that has none); so the column
// is filled through GTK itself, for display only. GTK is reached through the
// symbols of the running process: the GTK build of wxWidgets loaded it.
#pragma once

#include <wx/menuitem.h>

namespace soc::wxui {

// Shows Alt + key (a lower-case character) in the item's shortcut column;
// false when this is no GTK menu item.
bool show_shortcut(wxMenuItem* item, char key);
// The key and modifier mask (GDK) the column shows; false when none.
bool shown_shortcut(wxMenuItem* item, unsigned& key, unsigned& mods);

inline constexpr unsigned kGdkAltMask = 1u << 3;  // GDK_MOD1_MASK

}  // namespace soc::wxui
