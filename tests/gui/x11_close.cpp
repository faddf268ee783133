// The window manager's close request (WM_DELETE_WINDOW), sent through the X
// server to a GTK window. Apart from the tests that use it: the X headers
// define names that clash with wxWidgets'.
#include <X11/Xlib.h>
#include <dlfcn.h>

namespace soc::test {

bool send_close_request(void* gtk_widget) {
  // GTK's own functions, found in the running program (its headers are not
  // needed for two calls).
  auto window_of =
      reinterpret_cast<void* (*)(void*)>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  auto xid_of =
      reinterpret_cast<unsigned long (*)(void*)>(dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
  if (!window_of || !xid_of || !window_of(gtk_widget)) return false;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  const Window w = xid_of(window_of(gtk_widget));
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &ev);
  XFlush(d);
  XCloseDisplay(d);
  return true;
}

}  // namespace soc::test
