// Printing: the printer state, the page device, the fonts, the drawing
// primitives, the printer choice rules and the printing debug log.
//
// A page is drawn with cairo on an A4 PDF surface of 4960 x 7016 device units
// (600 dots per inch). Printing to a CUPS destination writes that PDF to a
// spool file and submits it with libcups when the document ends; "Save as PDF
// file" writes it where the user said. Positions of the primitives are whole
// program units (millimetres on the page): device x = x * fx, device y =
// y * fy. Font heights are character cell heights in device units; fonts are
// found through fontconfig, which maps "Courier New" and "Arial" to their
// metric-compatible Liberation fonts.
//
// This small library is shared by sociantes (the cards) and the print
// scheduler spoolet, so it knows nothing of either: the caller gives the
// rules (log banner, where printer.dat lies, the warning text) and the user
// interface (the warning box and the print dialog). One job at a time.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace soc {

inline constexpr int kPageW = 4960;          // A4 width in device units at 600 dpi
inline constexpr int kPageH = 7016;          // A4 height in device units
inline constexpr std::size_t kPrtNameMax = 79;  // bytes of printer.dat's first line used

struct PrtFont;                              // a made font (opaque)
using Font = std::shared_ptr<PrtFont>;
struct Dc;                                   // the page device of an open printer (opaque)

struct TextMetrics {
  int max_char_width = 0;  // widest character advance, device units
  int height = 0;          // character cell height (ascent + descent)
  int ascent = 0;          // cell top to baseline
};

// The printer state, one job at a time.
struct PrtState {
  Dc* dc = nullptr;                 // device of the open printer, nullptr when closed
  int fx = 0, fy = 0;               // device units per millimetre (width / 210, height / 285)
  int w_pix = 0, h_pix = 0;         // physical page width and height in device units
  Font fntb, fntbb, fnti, sfnt;     // the four fonts made at opening
  Font used_fnt;                    // the font last made by set_font
  Font sel;                         // the font text is drawn with
  int hgrey = 200;                  // current fill grey 0..255
  int bgd = 255;                    // text background grey 0..255
  std::array<int, 24> hg{};         // grey table: level of each entry
  int hg_n = 0;                     // entries of hg in use
  TextMetrics tm;                   // metrics of the selected font when read
  std::FILE* fd = nullptr;          // the debug log, nullptr when closed
};
extern PrtState prt;

// The rules of one printer user (the cards, the scheduler).
struct PrtRules {
  std::string banner;                     // written first to the debug log, line ends included
  std::vector<std::string> printer_dat;   // where printer.dat is looked for, in order
  std::string log_path;                   // the debug log, created anew
  std::string spool_path;                 // the PDF made for a printer before it is submitted
  std::string warn_text;                  // box shown before the print dialog (not with NO_AUTO)
  std::string warn_title;                 // its caption
  std::size_t info_buf = 1000;            // bytes of printer information read at first
  bool make_fonts = true;                 // make the four fonts of the state
  std::string cancel_log = " No valid Printer selected... Aborting!\n";  // logged on cancel
  std::string font_title = "Imprimante";  // caption of the missing font box
  std::string no_log_text;                // when set: box shown, and no printing, without a log
  std::string no_log_title;               // its caption
};

// What the user sees of the printer opening.
enum class PrtPick { cancel, printer, pdf };
class PrtUi {
 public:
  virtual ~PrtUi() = default;
  virtual void box(const std::string& text, const std::string& caption) = 0;  // error box
  // The print dialog over the destinations: the printer name or the PDF
  // path chosen goes to value.
  virtual PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) = 0;
};

// ---- opening (prt_open.cpp) -------------------------------------------------

// Chooses and opens the printer by rules; 1 when a printer is open (and the
// fonts made), 0 when not (the log is closed then).
int open_prt(const PrtRules& rules, PrtUi& ui);
// Writes to the debug log (nothing when it is closed).
void prt_log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void close_log();
// The CUPS destinations by name, the default one first.
std::vector<std::string> prt_destinations();
// The CUPS default destination, "" when there is none.
std::string prt_default();
// The choice mode after the first line of printer.dat: 2 with NO_AUTO, else 0.
int prt_mode_of(const std::string& line);

// ---- the page device (prt_page.cpp) -----------------------------------------

// A device writing a PDF to path; printer names the CUPS destination it is
// submitted to when the document ends ("" = the PDF is the result).
Dc* make_dc(const std::string& path, const std::string& printer);
// 0 = done, 1 = failed, as the print spooler's document and page calls.
int start_doc();
int start_page();
int end_page();
int end_doc();              // finishes the PDF and submits it to the destination
std::string dc_error();     // why the last call failed
void delete_dc();
void set_page_metrics();    // fx, fy, w_pix, h_pix from the page size

// ---- fonts and drawing (prt_draw.cpp) ---------------------------------------

// A font of face, cell height in device units, bold, italic. With strict, a
// face neither installed nor substituted by its metric-compatible font gives
// nullptr; otherwise the nearest installed font is taken.
Font make_font(const std::string& face, int height, bool bold, bool italic, bool strict);
std::string font_family(const Font& f);  // the family actually used
void select_font(const Font& f);
TextMetrics text_metrics();              // of the selected font

int grey_of(double g);   // gray level g (0 black .. 1 white) as 0..255, modulo 256
void draw_line(int x1, int y1, int x2, int y2);
void draw_rect(int x, int y, int w, int h);
void gray_rect(int x, int y, int w, int h, double g);
void fill_rect(int x, int y, int w, int h);  // the current fill, no outline
void set_gray(double g);
void set_gray_level(int level);
void set_bgd_gray(double g);
void set_bgd_level(int level);
void set_font(const std::string& face, int height, int bold, int italic);
void put_text(const std::string& text, int x, int y);
// A grid of cols x rows cells of cw x ch device units from device point
// (x, y): cell k has grey levels[k] (0..255), -1 leaves it blank.
void put_cells(int x, int y, int cw, int ch, int cols, int rows, const std::vector<int>& levels);

}  // namespace soc
