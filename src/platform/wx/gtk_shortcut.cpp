// GTK's accelerator label of a menu item, set and read for display only.
#include "platform/wx/gtk_shortcut.h"

#include <dlfcn.h>

namespace soc::wxui {

namespace {

// The few GTK and GObject calls needed, looked up once in the process.
struct Gtk {
  using Fn0 = unsigned long (*)();
  void* (*bin_child)(void*) = nullptr;                      // gtk_bin_get_child
  unsigned long (*accel_label_type)() = nullptr;            // gtk_accel_label_get_type
  int (*is_a)(void*, unsigned long) = nullptr;              // g_type_check_instance_is_a
  void (*set_accel)(void*, unsigned, unsigned) = nullptr;   // gtk_accel_label_set_accel
  void (*get_accel)(void*, unsigned*, unsigned*) = nullptr; // gtk_accel_label_get_accel
  bool ok = false;

  Gtk() {
    bin_child = reinterpret_cast<void* (*)(void*)>(dlsym(RTLD_DEFAULT, "gtk_bin_get_child"));
    accel_label_type = reinterpret_cast<Fn0>(dlsym(RTLD_DEFAULT, "gtk_accel_label_get_type"));
    is_a = reinterpret_cast<int (*)(void*, unsigned long)>(
        dlsym(RTLD_DEFAULT, "g_type_check_instance_is_a"));
    set_accel = reinterpret_cast<void (*)(void*, unsigned, unsigned)>(
        dlsym(RTLD_DEFAULT, "gtk_accel_label_set_accel"));
    get_accel = reinterpret_cast<void (*)(void*, unsigned*, unsigned*)>(
        dlsym(RTLD_DEFAULT, "gtk_accel_label_get_accel"));
    ok = bin_child && accel_label_type && is_a && set_accel && get_accel;
  }

  // The accelerator label inside a menu item, nullptr when there is none.
  void* label_of(wxMenuItem* item) const {
#ifdef __WXGTK__
    if (!ok || !item || !item->GetMenuItem()) return nullptr;
    void* child = bin_child(item->GetMenuItem());
    return child && is_a(child, accel_label_type()) ? child : nullptr;
#else
    (void)item;
    return nullptr;
#endif
  }
};

const Gtk& gtk() {
  static const Gtk g;
  return g;
}

}  // namespace

bool show_shortcut(wxMenuItem* item, char key) {
  void* label = gtk().label_of(item);
  if (!label) return false;
  // GDK key values of the Latin letters are their character codes.
  gtk().set_accel(label, static_cast<unsigned char>(key), kGdkAltMask);
  return true;
}

bool shown_shortcut(wxMenuItem* item, unsigned& key, unsigned& mods) {
  void* label = gtk().label_of(item);
  if (!label) return false;
  gtk().get_accel(label, &key, &mods);
  return key != 0;
}

}  // namespace soc::wxui
