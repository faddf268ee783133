// Fonts through fontconfig and the drawing primitives on the page device.
//
// A font is asked for by its cell height, as the print spooler's fonts are:
// its cairo size is chosen so that ascent + descent equal that height. Text is
// placed by the top-left corner of its cell (cairo places it on its baseline)
// over a box of the text background grey, as an opaque text background does.
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <strings.h>

#include "import/do_utf.h"
#include "platform/print/prt_impl.h"

namespace soc {

namespace {

// Faces the page layouts ask for and the metric-compatible fonts that stand
// in for them (same advance widths and heights).
struct Substitute {
  const char* face;   // asked for
  const char* with;   // accepted instead
};
const Substitute kSubstitutes[] = {{"Courier New", "Liberation Mono"},
                                   {"Courier New", "Cousine"},
                                   {"Arial", "Liberation Sans"},
                                   {"Arial", "Arimo"}};

bool same_name(const std::string& a, const std::string& b) {
  return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool acceptable(const std::string& asked, const std::string& found) {
  if (same_name(asked, found)) return true;
  for (const auto& s : kSubstitutes)
    if (same_name(asked, s.face) && same_name(found, s.with)) return true;
  return false;
}

cairo_t* cr() { return prt.dc ? prt.dc->cr : nullptr; }

void source_grey(cairo_t* c, int level) {
  const double v = level / 255.0;
  cairo_set_source_rgb(c, v, v, v);
}

// Device rectangle of a rectangle in program units.
void unit_rect(cairo_t* c, int x, int y, int w, int h) {
  cairo_rectangle(c, x * prt.fx, y * prt.fy, w * prt.fx, h * prt.fy);
}

}  // namespace

Font make_font(const std::string& face, int height, bool bold, bool italic, bool strict) {
  if (height <= 0) return nullptr;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* match = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!match) return nullptr;
  FcChar8* fam = nullptr;
  std::string family;
  if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
    family = reinterpret_cast<const char*>(fam);
  if (family.empty() || (strict && !acceptable(face, family))) {
    FcPatternDestroy(match);
    return nullptr;
  }
  auto f = std::make_shared<PrtFont>();
  f->family = family;
  f->face = cairo_ft_font_face_create_for_pattern(match);
  FcPatternDestroy(match);
  if (cairo_font_face_status(f->face) != CAIRO_STATUS_SUCCESS) return nullptr;

  // Metrics at size 1000, without hinting, scale linearly to any size.
  cairo_matrix_t fm, ctm;
  cairo_matrix_init_scale(&fm, 1000, 1000);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* opt = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_NONE);
  cairo_scaled_font_t* sf = cairo_scaled_font_create(f->face, &fm, &ctm, opt);
  cairo_font_options_destroy(opt);
  cairo_font_extents_t e;
  cairo_scaled_font_extents(sf, &e);
  const bool ok = cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS && e.ascent + e.descent > 0;
  cairo_scaled_font_destroy(sf);
  if (!ok) return nullptr;
  f->size = height * 1000.0 / (e.ascent + e.descent);
  f->ascent = e.ascent * f->size / 1000;
  f->tm.height = height;
  f->tm.ascent = static_cast<int>(std::lround(f->ascent));
  f->tm.max_char_width = static_cast<int>(std::lround(e.max_x_advance * f->size / 1000));
  return f;
}

std::string font_family(const Font& f) { return f ? f->family : std::string(); }

void select_font(const Font& f) { prt.sel = f; }

TextMetrics text_metrics() { return prt.sel ? prt.sel->tm : TextMetrics{}; }

int grey_of(double g) { return static_cast<int>(g * 255) % 256; }

void draw_line(int x1, int y1, int x2, int y2) {
  cairo_t* c = cr();
  if (!c) return;
  cairo_move_to(c, x1 * prt.fx, y1 * prt.fy);
  cairo_line_to(c, x2 * prt.fx, y2 * prt.fy);
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_set_line_width(c, 1);  // the thinnest pen: one device unit
  cairo_stroke(c);
}

void draw_rect(int x, int y, int w, int h) {
  cairo_t* c = cr();
  if (!c) return;
  unit_rect(c, x, y, w, h);
  source_grey(c, prt.hgrey);
  cairo_fill_preserve(c);
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_set_line_width(c, 1);
  cairo_stroke(c);
}

namespace {
void fill_level(int x, int y, int w, int h, int level) {
  cairo_t* c = cr();
  if (!c) return;
  unit_rect(c, x, y, w, h);
  source_grey(c, level);
  cairo_fill(c);
}
}  // namespace

void gray_rect(int x, int y, int w, int h, double g) { fill_level(x, y, w, h, grey_of(g)); }

void fill_rect(int x, int y, int w, int h) { fill_level(x, y, w, h, prt.hgrey); }

void set_gray(double g) { prt.hgrey = grey_of(g); }
void set_gray_level(int level) { prt.hgrey = level & 255; }
void set_bgd_gray(double g) { prt.bgd = grey_of(g); }
void set_bgd_level(int level) { prt.bgd = level & 255; }

void set_font(const std::string& face, int height, int bold, int italic) {
  prt.used_fnt = make_font(face, height, bold != 0, italic != 0, false);
  select_font(prt.used_fnt);
}

void put_text(const std::string& text, int x, int y) {
  cairo_t* c = cr();
  const Font& f = prt.sel;
  if (!c || !f || text.empty()) return;
  const std::string s = do_utf(text);  // cairo takes UTF-8 only
  cairo_set_font_face(c, f->face);
  cairo_set_font_size(c, f->size);
  cairo_text_extents_t te;
  cairo_text_extents(c, s.c_str(), &te);
  const double dx = x * prt.fx, dy = y * prt.fy;
  cairo_rectangle(c, dx, dy, te.x_advance, f->tm.height);
  source_grey(c, prt.bgd);
  cairo_fill(c);
  cairo_move_to(c, dx, dy + f->ascent);
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_show_text(c, s.c_str());
}

void put_cells(int x, int y, int cw, int ch, int cols, int rows, const std::vector<int>& levels) {
  cairo_t* c = cr();
  if (!c || cols <= 0 || rows <= 0 || levels.size() < static_cast<std::size_t>(cols * rows)) return;
  // One picture of a pixel per cell, enlarged without smoothing.
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cols, rows);
  cairo_surface_flush(img);
  unsigned char* data = cairo_image_surface_get_data(img);
  const int stride = cairo_image_surface_get_stride(img);
  for (int j = 0; j < rows; ++j) {
    auto* row = reinterpret_cast<uint32_t*>(data + j * stride);
    for (int p = 0; p < cols; ++p) {
      const int v = levels[static_cast<std::size_t>(j * cols + p)];
      row[p] = v < 0 ? 0u : 0xFF000000u | (static_cast<uint32_t>(v & 255) * 0x010101u);
    }
  }
  cairo_surface_mark_dirty(img);
  cairo_save(c);
  cairo_translate(c, x, y);
  cairo_scale(c, cw, ch);
  cairo_set_source_surface(c, img, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_NEAREST);
  cairo_paint(c);
  cairo_restore(c);
  cairo_surface_destroy(img);
}

}  // namespace soc
