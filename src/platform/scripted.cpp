// The scripted window system and services: controls as records, output lines
// for everything shown, replies from a queue, virtual time.
#include "platform/scripted.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/fs.h"

namespace soc {

std::string quote(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '\\': q += "\\\\"; break;
      case '"': q += "\\\""; break;
      case '\r': q += "\\r"; break;
      case '\n': q += "\\n"; break;
      case '\t': q += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          q += buf;
        } else {
          q += static_cast<char>(c);
        }
    }
  }
  return q + "\"";
}

// A dialog of the script: its controls are the template's, by id.
class ScriptedWindowSystem::ScriptDialog final : public Dialog {
 public:
  ScriptDialog(const DialogTemplate& t, DialogProcedure& p) : proc(p), t_(t) {
    for (const auto& c : t.controls)
      items_.push_back({c.id, c.text, true, c.kind == DlgCtl::button, 0});
  }
  void limit(int id, std::size_t bytes) override {
    if (Item* i = find(id)) i->limit = bytes;
  }
  // What the user types: an entry takes no more than its limit.
  void type(int id, const std::string& s) {
    if (Item* i = find(id)) i->text = i->limit ? cut_utf8(s, i->limit) : s;
  }
  const DialogTemplate& tmpl() const override { return t_; }
  void set_text(int id, const std::string& s) override {
    if (Item* i = find(id)) i->text = s;
  }
  std::string get_text(int id) const override {
    for (const auto& i : items_)
      if (i.id == id) return i.text;
    return "";
  }
  void enable(int id, bool on) override {
    if (Item* i = find(id)) i->enabled = on;
  }
  bool can_press(int id) const override {
    for (const auto& i : items_)
      if (i.id == id) return i.button && i.enabled;
    return false;
  }
  void remove(int id) override {
    std::erase_if(items_, [id](const Item& i) { return i.id == id; });
  }
  void set_picture(int id, const std::string& path) override { set_text(id, path); }
  void end(int) override { ended_ = true; }
  bool ended() const override { return ended_; }
  std::vector<std::pair<int, std::string>> snapshot() const {
    std::vector<std::pair<int, std::string>> v;
    for (const auto& i : items_) v.emplace_back(i.id, i.text);
    return v;
  }
  DialogProcedure& proc;  // the procedure that serves it

 private:
  struct Item {
    int id;             // control id
    std::string text;   // its text
    bool enabled;       // not greyed
    bool button;        // a push button
    std::size_t limit;  // most bytes the user can type, 0 = no limit
  };
  Item* find(int id) {
    for (auto& i : items_)
      if (i.id == id) return &i;
    return nullptr;
  }
  const DialogTemplate& t_;   // the template
  std::vector<Item> items_;   // the controls
  bool ended_ = false;        // closed
};

ScriptedWindowSystem::ScriptedWindowSystem(std::ostream& out) : out_(out) {}
ScriptedWindowSystem::~ScriptedWindowSystem() = default;

ScriptedWindowSystem::Control* ScriptedWindowSystem::control(int ctl) {
  if (ctl < 1 || ctl > static_cast<int>(ctls_.size())) return nullptr;
  return &ctls_[static_cast<size_t>(ctl - 1)];
}

void ScriptedWindowSystem::info_box(int kind, const std::string& text) {
  out_ << "info " << kind << " " << quote(text) << "\n";
}

void ScriptedWindowSystem::message_box(const std::string& text, const std::string& caption,
                                       Icon) {
  out_ << "box " << quote(caption) << " " << quote(text) << "\n";
}

void ScriptedWindowSystem::message_box(const std::string& text, const std::string& caption,
                                       MsgIcon) {
  out_ << "box " << quote(caption) << " " << quote(text) << "\n";
}

int ScriptedWindowSystem::run_dialog(int kind, const std::string& text, const DialogTemplate& t,
                                     bool modal, DialogProcedure& proc) {
  // Modeless notices that have been closed meanwhile are gone for good.
  std::erase_if(modeless_, [](const std::unique_ptr<ScriptDialog>& d) {
    if (!d->ended()) return false;
    d->proc.on_destroy(*d);
    return true;
  });
  out_ << "info " << kind << " " << quote(text) << "\n";
  auto d = std::make_unique<ScriptDialog>(t, proc);
  proc.on_init(*d);
  if (on_open) on_open(*d);
  opened = d->snapshot();
  if (!modal) {
    modeless_.push_back(std::move(d));
    return 0;
  }
  // A button that is not there or is greyed cannot be pressed.
  auto press = [&](int id) {
    if (d->can_press(id)) proc.on_command(*d, id);
  };
  while (!d->ended()) {
    if (replies.empty()) {
      // Nobody answers: the close button, and if that leaves the dialog
      // open, the dialog is closed anyway so that the script goes on.
      press(1004);
      if (!d->ended()) d->end(0);
      break;
    }
    Reply r = replies.front();
    replies.pop_front();
    switch (r.kind) {
      case Reply::ok:
        for (const auto& [id, s] : r.entries) d->type(id, s);
        press(1001);
        break;
      case Reply::yes:
        press(1001);
        break;
      case Reply::no:
      case Reply::close:
        press(1004);
        break;
      case Reply::closebox:
        proc.on_close(*d);
        break;
      case Reply::button:
        press(r.id);
        break;
    }
  }
  proc.on_destroy(*d);
  return 0;
}

bool ScriptedWindowSystem::message_beep() {
  out_ << "beep\n";
  return true;
}

void ScriptedWindowSystem::tone(int, int) { out_ << "beep\n"; }

bool ScriptedWindowSystem::select_file(const std::vector<FileFilter>&, const std::string&,
                                       std::string& path) {
  if (choices.empty()) return false;
  Choice c = choices.front();
  choices.pop_front();
  if (c.kind != Choice::file) return false;
  path = c.value;
  return true;
}

PrtPick ScriptedWindowSystem::print_dialog(const std::vector<std::string>& printers,
                                           std::string& value) {
  out_ << "printdialog";
  for (const auto& p : printers) out_ << " " << quote(p);
  out_ << "\n";
  if (choices.empty()) return PrtPick::cancel;
  Choice c = choices.front();
  choices.pop_front();
  value = c.value;
  return c.kind == Choice::printer ? PrtPick::printer
         : c.kind == Choice::pdf   ? PrtPick::pdf
                                   : PrtPick::cancel;
}

void ScriptedWindowSystem::ctl_set_text(int ctl, const std::string& s) {
  if (Control* c = control(ctl)) c->text = s;
}

std::string ScriptedWindowSystem::ctl_get_text(int ctl) {
  Control* c = control(ctl);
  return c ? c->text : std::string();
}

void ScriptedWindowSystem::ctl_enable(int ctl, bool on) {
  if (Control* c = control(ctl)) c->enabled = on;
}

void ScriptedWindowSystem::ctl_limit(int ctl, std::size_t bytes) {
  if (Control* c = control(ctl)) c->limit = bytes;
}

void ScriptedWindowSystem::ctl_type(int ctl, const std::string& s) {
  if (Control* c = control(ctl)) c->text = c->limit ? cut_utf8(s, c->limit) : s;
}

void ScriptedWindowSystem::ctl_check(int ctl, bool on) {
  if (Control* c = control(ctl)) c->checked = on;
}

bool ScriptedWindowSystem::ctl_checked(int ctl) {
  Control* c = control(ctl);
  return c && c->checked;
}

void ScriptedWindowSystem::list_clear(int ctl) {
  if (Control* c = control(ctl)) {
    c->items.clear();
    c->rows.clear();
    c->sel = -1;
  }
}

int ScriptedWindowSystem::list_selection(int ctl) {
  Control* c = control(ctl);
  return c ? c->sel : -1;
}

void ScriptedWindowSystem::list_select(int ctl, int row) {
  if (Control* c = control(ctl)) c->sel = row;
}

void ScriptedWindowSystem::list_set_rows(int ctl, std::vector<ListRow>& rows) {
  if (Control* c = control(ctl)) {
    c->items.clear();
    c->rows.swap(rows);
    c->sel = -1;
  }
}

int ScriptedWindowSystem::list_column_width(int ctl, int col) {
  Control* c = control(ctl);
  if (!c || col < 0 || col >= static_cast<int>(c->col_widths.size())) return 0;
  return c->col_widths[static_cast<size_t>(col)];
}

void ScriptedWindowSystem::set_list_column_width(int ctl, int col, int w) {
  Control* c = control(ctl);
  if (!c || col < 0) return;
  if (col >= static_cast<int>(c->col_widths.size())) c->col_widths.resize(static_cast<size_t>(col) + 1);
  c->col_widths[static_cast<size_t>(col)] = w;
}

void ScriptedWindowSystem::window_size(int& w, int& h) {
  w = win_w;
  h = win_h;
}

void ScriptedWindowSystem::client_size(int& w, int& h) {
  // Frame 4 pixels, caption 23, menu bar 20 and toolbar 44 inside the frame.
  w = win_w - 8;
  h = win_h - 8 - 23 - 20 - 44;
}

void ScriptedWindowSystem::move_window(int, int, int w, int h) {
  win_w = w;
  win_h = h;
}

void ScriptedWindowSystem::frame_metrics(int& border, int& caption) {
  border = 4;
  caption = 23;
}

void ScriptedWindowSystem::not_built(const std::string& what) {
  out_ << "error " << quote(what + " not built") << "\n";
}

void ScriptedWindowSystem::close_main_window() {
  if (closed) return;
  closed = true;
  if (on_destroy) on_destroy();
}

bool ScriptedWindowSystem::text_metrics(int& ave_char_width, int& height) {
  ave_char_width = 7;
  height = 13;
  return true;
}

int ScriptedWindowSystem::text_width(const std::string& s) {
  int chars = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++chars;
  return 7 * chars;
}

Ctl ScriptedWindowSystem::make_control(CtlKind kind, const Rect& r, const std::string& text,
                                       int id) {
  Control c;
  c.kind = kind;
  c.r = r;
  c.text = text;
  c.id = id;
  ctls_.push_back(c);
  return static_cast<Ctl>(ctls_.size());
}

void ScriptedWindowSystem::move_control(Ctl ctl, const Rect& r) {
  if (Control* c = control(ctl)) c->r = r;
}

void ScriptedWindowSystem::add_column(Ctl view, int col, const std::string&, int width) {
  set_list_column_width(view, col, width);
}

int ScriptedWindowSystem::list_add(Ctl list, const std::string& s) {
  Control* c = control(list);
  if (!c) return -1;
  c->items.push_back(s);
  return static_cast<int>(c->items.size()) - 1;
}

int ScriptedWindowSystem::view_insert_item(Ctl view, const std::string& text) {
  Control* c = control(view);
  if (!c) return -1;
  c->rows.push_back({text, "", "", ""});
  return static_cast<int>(c->rows.size()) - 1;
}

int ScriptedWindowSystem::view_set_text(Ctl view, int item, int sub, const std::string& s) {
  Control* c = control(view);
  if (!c || item < 0 || item >= static_cast<int>(c->rows.size()) || sub < 0 || sub > 3) return 0;
  c->rows[static_cast<size_t>(item)][static_cast<size_t>(sub)] = s;
  return 1;
}

ScriptedServices::ScriptedServices(std::ostream& out) : out_(out), base_(std::time(nullptr)) {}

std::time_t ScriptedServices::now() {
  return base_ + static_cast<std::time_t>((elapsed_ms_ - base_elapsed_) / 1000);
}

void ScriptedServices::sleep_ms(int ms) {
  if (ms <= 0) return;
  if (realtime_) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  elapsed_ms_ += ms;
}

int ScriptedServices::launch(Launch what, const std::string& arg) {
  static const char* const names[] = {"editor", "explorer", "browser", "scheduler", "script"};
  out_ << "launch " << names[static_cast<int>(what)];
  if (!(what == Launch::editor && arg.empty())) out_ << " " << quote(arg);
  out_ << "\n";
  return launch_fails_ ? 1 : 0;
}

int ScriptedServices::start_script(const std::string& path, int& job) {
  launch(Launch::script, path);
  out_.flush();
  return Services::start_script(path, job);
}

void ScriptedServices::poll_ms(int ms) {
  if (ms <= 0) return;
  if (!realtime_) std::this_thread::sleep_for(std::chrono::milliseconds(ms < 10 ? ms : 10));
  sleep_ms(ms);
}

void ScriptedServices::set_clock(std::time_t t) {
  base_ = t;
  base_elapsed_ = elapsed_ms_;
}

void ScriptedServices::set_realtime(bool on) { realtime_ = on; }

}  // namespace soc
