// The script interpreter of sociantes-driver.
#include "shell/script.h"

#include <cstdlib>
#include <ctime>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/search.h"
#include "db/util.h"
#include "documents/documents.h"
#include "mail/ssmtp.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc {

bool split_words(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= n) break;
    std::string w;
    if (line[i] != '"') {
      while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') w += line[i++];
      words.push_back(w);
      continue;
    }
    ++i;
    bool closed = false;
    while (i < n) {
      char c = line[i++];
      if (c == '"') {
        closed = true;
        break;
      }
      if (c != '\\') {
        w += c;
        continue;
      }
      if (i >= n) return false;
      char e = line[i++];
      switch (e) {
        case '\\': w += '\\'; break;
        case '"': w += '"'; break;
        case 'r': w += '\r'; break;
        case 'n': w += '\n'; break;
        case 't': w += '\t'; break;
        case 'x': {
          if (i + 2 > n || !std::isxdigit(static_cast<unsigned char>(line[i])) ||
              !std::isxdigit(static_cast<unsigned char>(line[i + 1])))
            return false;
          w += static_cast<char>(std::strtol(line.substr(i, 2).c_str(), nullptr, 16));
          i += 2;
          break;
        }
        default:
          return false;
      }
    }
    if (!closed) return false;
    if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') return false;
    words.push_back(w);
  }
  return true;
}

void reset_program_state() {
  util_reset();
  dialog_reset();
  mainwin_reset();
  members_reset();
  categories_reset();
  flags_reset();
  documents_reset();
  search_reset();
  ssmtp_reset();
  boxes = BoxTable{};
}

namespace {

// Parses a whole decimal number; false when s is not one.
bool to_int(const std::string& s, int& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  long l = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0') return false;
  v = static_cast<int>(l);
  return true;
}

class Interpreter {
 public:
  Interpreter(std::ostream& out) : out_(out), ws_(out), sys_(out) {
    reset_program_state();
    set_window_system(&ws_);
    set_services(&sys_);
    ws_.on_destroy = wm_destroy;
  }
  ~Interpreter() {
    set_window_system(nullptr);
    set_services(nullptr);
  }

  // Runs one line; returns false when the script must stop with exit code 2.
  bool line(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') return true;  // blank or comment
    std::vector<std::string> w;
    if (!split_words(text, w)) return fail("malformed line: " + text);
    if (w.empty()) return true;
    const std::string& c = w[0];
    if (c == "start") return start();
    if (c == "cmd" && w.size() == 2) return cmd(w[1]);
    if (c == "key" && w.size() == 2) return key(w[1]);
    if (c == "set" && w.size() == 3) return set(w[1], w[2]);
    if (c == "flag" && w.size() == 3) return flag(w[1], w[2]);
    if (c == "category" && w.size() == 2) return category(w[1]);
    if (c == "click" && w.size() == 2) return click(w[1]);
    if (c == "reply" && w.size() >= 2) return reply(w);
    if (c == "clock" && w.size() == 3) return clock(w[1], w[2]);
    if (c == "realtime" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
      sys_.set_realtime(w[1] == "on");
      return true;
    }
    if (c == "show" && w.size() == 2) return show(w[1]);
    if (c == "quit" && w.size() == 1) {
      quit();  // as the close box: a member being edited asks first
      return true;
    }
    return fail("unknown command: " + text);
  }

  bool closed() const { return ws_.closed; }

 private:
  bool fail(const std::string& what) {
    out_ << "error " << quote(what) << "\n";
    return false;
  }
  // A line that cannot be carried out now: reported, the script goes on.
  bool refuse(const std::string& what) {
    out_ << "error " << quote(what) << "\n";
    return true;
  }

  bool start() {
    wm_create();
    wm_size();  // the notification sent while the window is created
    wm_size();  // the one of the first showing: restores the size
    return true;
  }

  bool cmd(const std::string& id) {
    int v;
    if (!to_int(id, v)) return fail("malformed line: cmd " + id);
    dispatch(v);
    return true;
  }

  bool key(const std::string& k) {
    if (k.size() != 5 || k.compare(0, 4, "alt+") != 0) return fail("malformed line: key " + k);
    for (const auto& a : accel_table())
      if (a.key == k[4]) dispatch(a.command);
    return true;
  }

  bool set(const std::string& field, const std::string& text) {
    int f;
    if (!to_int(field, f) || f < 1 || f > 13 || f == 12) return fail("malformed line: set " + field);
    int ctl = form_ctl(form_elem_of_field(f));
    auto* c = ws_.control(ctl);
    if (!c) return refuse("the form is not created");
    if (!c->enabled) return refuse("entry " + field + " is disabled");
    ws_.ctl_type(ctl, text);
    return true;
  }

  bool flag(const std::string& k, const std::string& v) {
    int n;
    if (!to_int(k, n) || n < 1 || n > 4 || (v != "0" && v != "1"))
      return fail("malformed line: flag " + k + " " + v);
    ws_.ctl_check(flag_ctl(n), v == "1");
    return true;
  }

  bool category(const std::string& index) {
    int i;
    if (!to_int(index, i)) return fail("malformed line: category " + index);
    auto* c = ws_.control(cat_list_ctl());
    if (!c || i < 0 || i >= static_cast<int>(c->items.size()))
      return refuse("no category entry " + index);
    c->sel = i;
    category_selected(i);
    return true;
  }

  bool click(const std::string& row) {
    int r;
    if (!to_int(row, r)) return fail("malformed line: click " + row);
    auto* c = ws_.control(member_list_ctl());
    if (!c || r < 0 || r >= static_cast<int>(c->rows.size())) return true;  // outside any row
    c->sel = r;
    member_clicked(c->rows[static_cast<size_t>(r)][0]);
    return true;
  }

  bool reply(const std::vector<std::string>& w) {
    const std::string& k = w[1];
    Reply r{Reply::ok, {}, 0};
    if (k == "ok") {
      for (size_t i = 2; i < w.size(); ++i) {
        size_t eq = w[i].find('=');
        int id;
        if (eq == std::string::npos || !to_int(w[i].substr(0, eq), id))
          return fail("malformed line: reply " + w[i]);
        r.entries.emplace_back(id, w[i].substr(eq + 1));
      }
    } else if (w.size() == 2 && (k == "yes" || k == "no" || k == "close" || k == "closebox")) {
      r.kind = k == "yes" ? Reply::yes : k == "no" ? Reply::no : k == "close" ? Reply::close
                                                                             : Reply::closebox;
    } else if (k == "button" && w.size() == 3) {
      r.kind = Reply::button;
      if (!to_int(w[2], r.id)) return fail("malformed line: reply button " + w[2]);
    } else if ((k == "file" || k == "printer" || k == "pdf") && w.size() == 3) {
      ws_.choices.push_back({k == "file" ? Choice::file : k == "pdf" ? Choice::pdf : Choice::printer,
                             w[2]});
      return true;
    } else if (k == "cancel" && w.size() == 2) {
      ws_.choices.push_back({Choice::cancel, ""});
      return true;
    } else {
      return fail("malformed line: reply " + k);
    }
    ws_.replies.push_back(r);
    return true;
  }

  bool clock(const std::string& date, const std::string& time) {
    std::tm tm{};
    if (std::sscanf((date + " " + time).c_str(), "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon,
                    &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
      return fail("malformed line: clock " + date + " " + time);
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    sys_.set_clock(std::mktime(&tm));
    return true;
  }

  bool show(const std::string& what) {
    if (what == "status") {
      out_ << "status " << quote(ws_.status) << "\n";
    } else if (what == "action") {
      out_ << "action " << task_in << "\n";
    } else if (what == "title") {
      out_ << "title " << quote(ws_.title) << "\n";
    } else if (what == "form") {
      show_form();
    } else if (what == "list") {
      auto* c = ws_.control(member_list_ctl());
      if (c)
        for (const auto& r : c->rows)
          out_ << "row " << quote(r[0]) << " " << quote(r[1]) << " " << quote(r[2]) << " "
               << quote(r[3]) << "\n";
      out_ << "selected " << (c ? c->sel : -1) << "\n";
    } else if (what == "categories") {
      auto* c = ws_.control(cat_list_ctl());
      if (c)
        for (size_t i = 0; i < c->items.size(); ++i)
          out_ << "category " << i << " " << quote(c->items[i]) << "\n";
      out_ << "selected " << (c ? c->sel : -1) << "\n";
    } else if (what == "selection") {
      out_ << "selection " << quote(index_sel) << " " << quote(fld::ref) << "\n";
    } else if (what == "elapsed") {
      out_ << "elapsed " << sys_.elapsed_ms() << "\n";
    } else {
      return fail("unknown show: " + what);
    }
    // What was shown is handed on at once, so that a program that drives
    // the driver through a pipe can read the answer before the next line.
    out_.flush();
    return true;
  }

  void show_form() {
    for (int e = 0; e < 12; ++e) {
      auto* c = ws_.control(form_ctl(e));
      out_ << "entry " << form_field_of_elem(e) << " "
           << (c && c->enabled ? "enabled " : "disabled ") << quote(c ? c->text : "") << "\n";
    }
    out_ << "flags";
    for (int k = 1; k <= 4; ++k) out_ << " " << (ws_.ctl_checked(flag_ctl(k)) ? 1 : 0);
    out_ << "\n";
    for (int e = 0; e < 12; ++e)
      out_ << "label " << form_field_of_elem(e) << " "
           << quote(boxes[4].elements[static_cast<size_t>(e)].label) << "\n";
    for (int k = 0; k < 4; ++k)
      out_ << "flaglabel " << k + 1 << " "
           << quote(boxes[5].elements[static_cast<size_t>(k)].text) << "\n";
  }

  std::ostream& out_;
  ScriptedWindowSystem ws_;
  ScriptedServices sys_;
};

}  // namespace

int run_script(std::istream& in, std::ostream& out) {
  Interpreter it(out);
  std::string text;
  while (!it.closed() && std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (!it.line(text)) return 2;
  }
  return 0;
}

}  // namespace soc
