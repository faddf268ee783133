// The scripted window of the headless mode and its script runner.
//
// Time is virtual: the timer fires only on "tick" lines, each advancing the
// clock by one second before the timer's work, and every wait of the
// program advances the clock by its length at once.
#include "scheduler/headless.h"

#include <cstdio>
#include <deque>
#include <istream>
#include <ostream>

#include "scheduler/spoolet.h"

namespace soc::sched {

namespace {

// One queued answer of the print dialog.
struct Reply {
  PrtPick pick;       // cancel, a printer, a PDF file
  std::string value;  // printer name or PDF path
};

class ScriptHost final : public SpoolHost {
 public:
  explicit ScriptHost(std::ostream& out) : out_(out) {}

  void show_status(const std::string& text) override {
    status_ = text;
    if (trace_) out_ << "status-line " << quoted(text) << "\n";
  }
  std::string delay_text() override { return delay_; }
  void error_box(const std::string& text, const std::string& caption) override {
    out_ << "box " << quoted(caption) << " " << quoted(text) << "\n";
  }
  PrtPick print_dialog(const std::vector<std::string>&, std::string& value) override {
    ++jobs_;
    // A dialog left standing: the timer goes on firing inside it.
    const int stand = stand_;
    stand_ = 0;
    for (int i = 0; i < stand; ++i) tick();
    Reply r{PrtPick::cancel, ""};
    if (!replies_.empty()) {
      r = replies_.front();
      replies_.pop_front();
    } else if (!pdf_dir_.empty()) {
      r = {PrtPick::pdf, pdf_dir_ + "/print-" + std::to_string(jobs_) + ".pdf"};
    }
    out_ << "print " << ms_;
    if (r.pick == PrtPick::cancel) {
      out_ << " cancel\n";
    } else {
      out_ << (r.pick == PrtPick::pdf ? " pdf " : " printer ") << quoted(r.value) << "\n";
    }
    value = r.value;
    return r.pick;
  }
  void sleep_ms(int ms) override { ms_ += ms > 0 ? ms : 0; }
  void start_ticks() override { ticking_ = true; }

  // One second of the timer.
  void tick() {
    ms_ += 1000;
    if (ticking_) timer_proc();
  }

  std::ostream& out_;
  std::string status_;              // the status line
  std::string delay_ = kDelayInitial;  // the delay selector's text
  std::deque<Reply> replies_;       // answers for the print dialogs, in order
  std::string pdf_dir_;             // unanswered print dialogs write here
  long long ms_ = 0;                // virtual milliseconds since the start
  int jobs_ = 0;                    // print dialogs opened
  int stand_ = 0;                   // seconds the next print dialog stands open
  bool trace_ = false;              // every status line shown is printed
  bool ticking_ = false;            // the timer has been started
};

// Runs one script line; 0 = go on, 1 = quit, 2 = bad line (reported).
int run_line(ScriptHost& h, const std::vector<std::string>& w) {
  const std::string& c = w[0];
  const std::size_t argc = w.size();
  if (c == "cmd" && argc == 2) {
    const int id = std::atoi(w[1].c_str());
    if (id == kCmdPrint) {
      do_print();
    } else if (id == kCmdPause) {
      do_pause();
    } else if (id == kCmdQuit) {
      h.out_ << "quit\n";
      return 1;
    } else {
      return 2;
    }
    return 0;
  }
  if (c == "trace" && argc == 2 && (w[1] == "on" || w[1] == "off")) {
    h.trace_ = w[1] == "on";
    return 0;
  }
  if (c == "delay" && argc == 2) {
    h.delay_ = w[1];
    return 0;
  }
  if (c == "tick" && argc <= 2) {
    if (argc == 2 && w[1] == "done") {
      // Until the run has ended, at most a day of seconds.
      for (int i = 0; i < 86400 && label_txt.rfind("Status: Ok", 0) != 0; ++i) h.tick();
      return 0;
    }
    const int count = argc == 2 ? std::atoi(w[1].c_str()) : 1;
    if (count < 1) return 2;
    for (int i = 0; i < count; ++i) h.tick();
    return 0;
  }
  if (c == "reply" && argc >= 2) {
    if (w[1] == "cancel" && argc == 2) {
      h.replies_.push_back({PrtPick::cancel, ""});
    } else if (w[1] == "pdf" && argc == 3) {
      h.replies_.push_back({PrtPick::pdf, w[2]});
    } else if (w[1] == "printer" && argc == 3) {
      h.replies_.push_back({PrtPick::printer, w[2]});
    } else if (w[1] == "stand" && argc == 3 && std::atoi(w[2].c_str()) > 0) {
      h.stand_ = std::atoi(w[2].c_str());
    } else if (w[1] == "pdf-dir" && argc == 3) {
      h.pdf_dir_ = w[2];
    } else {
      return 2;
    }
    return 0;
  }
  if (c == "show" && argc == 2) {
    if (w[1] == "status") {
      h.out_ << "status " << quoted(h.status_) << "\n";
    } else if (w[1] == "elapsed") {
      h.out_ << "elapsed " << h.ms_ << "\n";
    } else if (w[1] == "state") {
      h.out_ << "state n=" << n << " tot=" << tot << " tics=" << tics << " wait=" << wait_tmr
             << " pause=" << pause_st << "\n";
    } else if (w[1] == "delay") {
      h.out_ << "delay " << quoted(h.delay_) << "\n";
    } else {
      return 2;
    }
    return 0;
  }
  return 2;
}

}  // namespace

bool split_words(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  std::size_t i = 0;
  const std::size_t len = line.size();
  while (true) {
    while (i < len && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= len) return true;
    std::string word;
    if (line[i] != '"') {
      while (i < len && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
      words.push_back(word);
      continue;
    }
    for (++i;; ++i) {
      if (i >= len) return false;
      if (line[i] == '"') break;
      if (line[i] != '\\') {
        word += line[i];
        continue;
      }
      if (++i >= len) return false;
      switch (line[i]) {
        case '\\': word += '\\'; break;
        case '"': word += '"'; break;
        case 'r': word += '\r'; break;
        case 'n': word += '\n'; break;
        case 't': word += '\t'; break;
        case 'x': {
          if (i + 2 >= len) return false;
          const std::string hex = line.substr(i + 1, 2);
          char* end = nullptr;
          const long v = std::strtol(hex.c_str(), &end, 16);
          if (end != hex.c_str() + 2) return false;
          word += static_cast<char>(v);
          i += 2;
          break;
        }
        default: return false;
      }
    }
    ++i;
    words.push_back(word);
  }
}

std::string quoted(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    if (c == '\\') q += "\\\\";
    else if (c == '"') q += "\\\"";
    else if (c == '\r') q += "\\r";
    else if (c == '\n') q += "\\n";
    else if (c == '\t') q += "\\t";
    else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      q += buf;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

int run_headless(std::istream& in, std::ostream& out, const std::vector<std::string>& args,
                 const std::string& cmd_line) {
  ScriptHost h(out);
  set_host(&h);
  reset_run();
  std::string caption, text;
  if (take_argument(args, cmd_line, caption, text) != 0) {
    h.error_box(text, caption);
    set_host(nullptr);
    return 1;
  }
  set_status("Input file: " + file_name);
  int rc = 0;
  std::vector<std::string> words;
  for (std::string line; std::getline(in, line);) {
    if (!split_words(line, words)) {
      out << "error " << quoted(line) << "\n";
      rc = 2;
      break;
    }
    if (words.empty() || words[0][0] == '#') continue;
    const int r = run_line(h, words);
    if (r == 1) break;
    if (r == 2) {
      out << "error " << quoted(line) << "\n";
      rc = 2;
      break;
    }
  }
  out.flush();
  reset_run();
  set_host(nullptr);
  return rc;
}

}  // namespace soc::sched
