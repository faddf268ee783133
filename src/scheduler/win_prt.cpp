// Page and label printing of the scheduler: the printer opening with the
// scheduler's own rules (QMD-PRT log, printer.dat in the local data
// directory then in vendexa_db, French warning), monospaced letter pages
// and one sheet of address labels two across, all in device units.
//
// Each call is a whole print job. The debug log is deleted after a job
// without failure and left in place after one that failed.
#include <algorithm>
#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

#include "scheduler/spoolet.h"

namespace soc::sched {

namespace {

const char* const kBanner =
    "\n\n                         QMD-PRT V0.5\n Spoolet, the mail printer scheduler: printing "
    "debug log\n";
const char* const kWarn =
    " Le contexte graphique imprimante ne peut être ouvert automatiquement.\n Un dialogue "
    "d'impression Windows va être lancé.\n Ceci n'est pas recommandé car vous perdez de "
    "l'efficacité. \n Comme solution: créez un fichier 'printer.dat' dans le répertoire de "
    "l'application\n contenant le nom exact de l'imprimante sélectionnée dans ce dialogue. \n Si "
    "ceci ne fonctionne pas, créez ce fichier 'printer.dat' contenant NO_AUTO .";
const char* const kPrinterTitle = "Imprimante";
const char* const kNoFont = " Initialisation pour Font <Courier New> introuvable.";
const char* const kNoLayout = " Mise en page impossible.";
const char* const kCredit = "Printed by Spoolet, the mail printer scheduler of Sociantes";
constexpr std::size_t kLineMax = 127;  // characters of a letter line printed
constexpr std::size_t kLabelMax = 38;  // characters of a label line printed
constexpr int kPageRows = 62;          // rows of a letter page
constexpr long long kOffSheet = 1 << 30;  // a position this far off the sheet is drawn there

std::string home_dir() {
  const char* h = std::getenv("HOME");
  std::string s = h ? h : "";
  if (s.empty())
    if (const passwd* pw = ::getpwuid(::getuid())) s = pw->pw_dir;
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// The boxes and print dialog of the printer opening, through the window.
class SpoolUi final : public PrtUi {
 public:
  void box(const std::string& text, const std::string& caption) override {
    host().error_box(text, caption);
  }
  PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) override {
    return host().print_dialog(printers, value);
  }
};

bool failed = false;  // a step of the current job failed: the log stays

// Opens the printer by the scheduler's rules; drawing is then in device
// units. 1 = open.
int open_printer() {
  PrtRules r;
  r.banner = kBanner;
  r.printer_dat = printer_dat_paths();
  r.log_path = tmp_dir() + "print_dbg.txt";
  r.spool_path = tmp_dir() + "spoolet_job.pdf";
  r.warn_text = kWarn;
  r.warn_title = kPrinterTitle;
  r.info_buf = 2044;
  r.make_fonts = false;
  r.cancel_log = " No valid Printer selected... Aborting!";
  r.no_log_text = "please create C:\\tmp directory";
  r.no_log_title = "Printing";
  SpoolUi ui;
  failed = false;
  if (open_prt(r, ui) != 1) return 0;
  prt.fx = prt.fy = 1;
  return 1;
}

// Makes the fonts (main first) and selects the main one; false when one is
// missing (reported, the job is over).
bool fonts(std::vector<Font>& made, const std::vector<int>& heights) {
  for (int h : heights) made.push_back(make_font("Courier New", h, false, false, true));
  for (const Font& ft : made)
    if (!ft) {
      prt_log(" Fonts <Courier New> not available, bye ...");
      host().error_box(kNoFont, kPrinterTitle);
      delete_dc();
      close_log();
      return false;
    }
  prt_log(" Fonts Ok.");
  select_font(made[0]);
  prt.tm = text_metrics();
  prt_log(" Char metrix: w=%u h=%u\n", static_cast<unsigned>(prt.tm.max_char_width),
          static_cast<unsigned>(prt.tm.height));
  return true;
}

void no_layout(const char* log) {
  prt_log("%s", log);
  host().error_box(kNoLayout, kPrinterTitle);
  delete_dc();
  close_log();
}

// Ends the document; false (reported) when the page could not be printed.
bool end_job() {
  if (end_doc() != 0) {
    const std::string why = dc_error();
    prt_log(" Printer error 5 %s\n", why.c_str());
    host().error_box(" The page could not be printed: " + why + " ", kPrinterTitle);
    delete_dc();
    close_log();
    return false;
  }
  delete_dc();
  return true;
}

// Closes the log and deletes it after a job without failure.
void close_job() {
  close_log();
  if (!failed) ::unlink((tmp_dir() + "print_dbg.txt").c_str());
}

void draw(const std::string& text, int x, int y) {
  if (!text.empty()) put_text(text, x, y);
}

}  // namespace

std::string tmp_dir() {
  const char* c = std::getenv("XDG_CACHE_HOME");
  std::string cache = (c && *c) ? std::string(c) : home_dir() + ".cache";
  if (cache.back() != '/') cache += '/';
  return cache + "sociantes/tmp/";
}

std::vector<std::string> printer_dat_paths() {
  const std::string h = home_dir();
  return {h + "sociantes_db/printer.dat", h + "vendexa_db/printer.dat"};
}

int win_prt(const std::string& path) {
  if (!open_printer()) return 0;
  const int H = prt.h_pix;
  std::vector<Font> f2;
  if (!fonts(f2, {H / 72, H / 120})) return 0;
  const int w = prt.tm.max_char_width, h = prt.tm.height;
  if (start_doc() != 0) {
    no_layout(" Printer error 4 ");
    return 0;
  }
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    prt_log(" File not found!");
    host().error_box(" Fichier introuvable.", kPrinterTitle);
    delete_dc();
    close_log();
    return 0;
  }
  if (start_page() != 0) {
    std::fclose(in);
    no_layout(" Printer error 1 ");
    return 0;
  }
  int i = 0;
  std::string line;
  while (read_line(in, line)) {
    draw(first_chars(line, kLineMax), 8 * w, h * i * 11 / 10);
    i = i + 1;
    if (i == kPageRows) {
      if (end_page() != 0) {
        prt_log(" Printer error 3 ");
        failed = true;
      }
      if (start_page() != 0) {
        prt_log(" Printer error 1 ");
        failed = true;
      }
      i = 2;
    }
  }
  std::fclose(in);
  select_font(f2[1]);
  if (i <= 58) draw(kCredit, 8 * w, H - H / 14);
  if (end_page() != 0) {
    prt_log(" Printer error 3 ");
    failed = true;
  }
  if (!end_job()) return 0;
  prt_log(" All passed OK ");
  close_job();
  return 0;
}

int prt_win_labels(std::FILE* file, int top_mm, int gap_mm, int left) {
  if (!open_printer()) return kLabelsFailed;
  const int W = prt.w_pix, H = prt.h_pix;
  const int v = H / 280;
  std::vector<Font> f1;
  if (!fonts(f1, {H / 72})) return kLabelsFailed;
  const int h = prt.tm.height;
  if (start_doc() != 0) {
    no_layout(" Printer error 4 ");
    return kLabelsFailed;
  }
  if (start_page() != 0) {
    no_layout(" Printer error 1 ");
    return kLabelsFailed;
  }
  if (left <= 0) {
    no_layout(" Printer error 4 ");
    return kLabelsFailed;
  }
  // Positions are reckoned in 64 bits: top and gap are whatever numbers the
  // mailing file holds, and a label placed far off the sheet is simply not
  // seen, as it would not be on paper.
  long long y = 0;
  int row = 0;
  bool right = false, sheet_done = false;
  std::string line;
  while (!sheet_done) {
    int x;
    if (!right) {
      y = y + static_cast<long long>(row == 0 ? top_mm : gap_mm) * v;
      x = W / 20;
      if (left <= 1) sheet_done = true;
      right = true;
    } else {
      row = row + 1;
      x = W / 2 + W / 20;
      right = false;
      if (y > H - 6LL * h - static_cast<long long>(gap_mm) * v || left <= 1) sheet_done = true;
    }
    // One label: its lines up to the "#" line, each under the previous one;
    // the next label of the row starts at the row's top again.
    long long ly = y;
    bool at_end = true;
    while (read_line(file, line)) {
      if (line == "#") {
        at_end = false;
        break;
      }
      draw(first_chars(line, kLabelMax), x, static_cast<int>(std::clamp(ly, -kOffSheet, kOffSheet)));
      ly = ly + 2 * h;
    }
    left = left - 1;
    if (at_end) {
      // The file holds no further label.
      sheet_done = true;
      left = 0;
    }
  }
  if (end_page() != 0) {
    prt_log(" Printer error 3 ");
    failed = true;
  }
  if (!end_job()) return kLabelsFailed;
  prt_log(" All passed OK ");
  prt_log(" n=%u\n", static_cast<unsigned>(left));
  close_job();
  return left;
}

}  // namespace soc::sched
