// Choosing and opening the printer without asking the user: the first line
// of printer.dat, else the CUPS default destination, else (or at once with
// NO_AUTO) the print dialog. Every step is written to the debug log.
#include <cups/cups.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/print/prt_impl.h"

namespace soc {

namespace {

inline constexpr int kTechnology = 2;   // a raster printer, as the spooler counts device kinds
inline constexpr unsigned kTextCaps = 0x7FFF;  // every text capability: cairo scales and turns text

const char* const kFontsMissing =
    " Problème d'initialisation de Police ...  Courier New et Arial doivent être disponibles. ";

// The first line of the first printer.dat that opens; false when none does.
bool read_printer_dat(const std::vector<std::string>& paths, std::string& line) {
  for (const auto& p : paths) {
    std::ifstream in(p, std::ios::binary);
    if (!in) continue;
    std::getline(in, line);
    // The line end is not part of the name.
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.size() > kPrtNameMax) line.resize(kPrtNameMax);
    return true;
  }
  return false;
}

const char* option(const cups_dest_t* d, const char* name) {
  const char* v = cupsGetOption(name, d->num_options, d->options);
  return v ? v : "";
}

// Opens the destination name and logs its information as the level-2
// printer information: 1 when it exists.
int open_dest(const std::string& name, std::size_t buf, std::string& opened) {
  cups_dest_t* d = name.empty() ? nullptr : cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
  if (!d) {
    prt_log(" Open Printer failed,\n");
    return 0;
  }
  // Its size: every attribute name and value with their terminators.
  std::size_t size = std::string(d->name).size() + 1;
  for (int i = 0; i < d->num_options; ++i)
    size += std::string(d->options[i].name).size() + std::string(d->options[i].value).size() + 2;
  if (size > buf) prt_log(" Malloc lenght req: %u\n", static_cast<unsigned>(size));
  prt_log(" Info lenght: %u\n", static_cast<unsigned>(size));
  prt_log(" server: %s\n", cupsServer());
  prt_log(" Printer: %s\n", d->name);
  prt_log(" Share: %s\n", option(d, "printer-info"));
  prt_log(" Port: %s\n", option(d, "device-uri"));
  prt_log(" Driver: %s\n", option(d, "printer-make-and-model"));
  opened = d->name;
  cupsFreeDests(1, d);
  return 1;
}

int make_fonts() {
  const int h = prt.h_pix;
  prt.fntb = make_font("Courier New", h / 90, true, false, true);
  prt.fntbb = make_font("Arial", h / 70, true, false, true);
  prt.fnti = make_font("Courier New", h / 100, false, true, true);
  prt.sfnt = make_font("Courier New", h / 120, false, false, true);
  return prt.fntb && prt.fntbb && prt.fnti && prt.sfnt ? 1 : 0;
}

}  // namespace

void prt_log(const char* fmt, ...) {
  if (!prt.fd) return;
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(prt.fd, fmt, ap);
  va_end(ap);
}

void close_log() {
  if (prt.fd) std::fclose(prt.fd);
  prt.fd = nullptr;
}

std::string prt_default() {
  cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!d) return "";
  std::string name = d->name;
  cupsFreeDests(1, d);
  return name;
}

std::vector<std::string> prt_destinations() {
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  std::string def;
  for (int i = 0; i < n; ++i) {
    if (dests[i].instance) continue;
    if (dests[i].is_default) def = dests[i].name;
    else names.push_back(dests[i].name);
  }
  cupsFreeDests(n, dests);
  std::sort(names.begin(), names.end());
  if (!def.empty()) names.insert(names.begin(), def);
  return names;
}

// A file a PDF may be written to: none there yet, an empty one or a PDF.
// Any other file (the member file, a spreadsheet picked by mistake) is
// kept.
bool pdf_target_ok(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return false;
  if (st.st_size == 0) return true;
  char head[5] = {};
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  const std::size_t n = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return n == sizeof head && std::memcmp(head, "%PDF-", sizeof head) == 0;
}

int prt_mode_of(const std::string& line) { return line.find("NO_AUTO") != std::string::npos ? 2 : 0; }

int open_prt(const PrtRules& r, PrtUi& ui) {
  delete_dc();
  close_log();
  int mode = 0;
  prt.hgrey = 200;
  prt.bgd = 255;
  prt.hg_n = 16;
  for (int k = 0; k < 16; ++k) prt.hg[static_cast<std::size_t>(k)] = 16 * k;
  prt.fd = std::fopen(r.log_path.c_str(), "w");
  if (!prt.fd && !r.no_log_text.empty()) {
    ui.box(r.no_log_text, r.no_log_title);
    return 0;
  }
  prt_log("%s", r.banner.c_str());

  std::string name;
  if (read_printer_dat(r.printer_dat, name)) {
    prt_log(" Found in <printer.dat> : %s\n", name.c_str());
    mode = prt_mode_of(name);
  } else {
    name = prt_default();
    prt_log(" Default Printer: %s\n", name.empty() ? "NOT_FOUND" : name.c_str());
    if (!name.empty()) {
      prt_log(" Name: %s\n", name.c_str());
    } else {
      prt_log(" Default printer not found,\n");
      mode = 1;
    }
  }
  std::string opened;
  if (mode != 2 && open_dest(name, r.info_buf, opened)) prt.dc = make_dc(r.spool_path, opened);

  if (!prt.dc) {
    prt_log(" DC from Dialog.");
    if (mode != 2) ui.box(r.warn_text, r.warn_title);
    std::string value;
    const PrtPick pick = ui.print_dialog(prt_destinations(), value);
    if (pick == PrtPick::cancel || value.empty()) {
      prt_log("%s", r.cancel_log.c_str());
      close_log();
      return 0;
    }
    if (pick == PrtPick::pdf && !pdf_target_ok(value)) {
      prt_log(" Not a PDF file, kept: %s\n", value.c_str());
      ui.box(" This file is no PDF file: \r\n[ " + value + " ] \r\n It is not overwritten; "
             "nothing was printed. ",
             r.warn_title);
      close_log();
      return 0;
    }
    prt.dc = pick == PrtPick::printer ? make_dc(r.spool_path, value) : make_dc(value, "");
  }

  set_page_metrics();
  prt_log(" Technology: %u %u\n", kTechnology, 2u);
  prt_log(" Width: %u\n", static_cast<unsigned>(prt.w_pix));
  prt_log(" Height: %u\n", static_cast<unsigned>(prt.h_pix));
  prt_log(" Text: %x\n", kTextCaps);
  if (!r.make_fonts) return 1;
  if (!make_fonts()) {
    prt_log(" Fonts not available, bye ...\n");
    ui.box(kFontsMissing, r.font_title);
    close_log();
    return 0;
  }
  prt_log(" Fonts Ok.");
  select_font(prt.fntb);
  prt.tm = text_metrics();
  prt_log(" Char metrix: w=%u h=%u\n", static_cast<unsigned>(prt.tm.max_char_width),
          static_cast<unsigned>(prt.tm.height));
  return 1;
}

}  // namespace soc
