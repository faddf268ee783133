// The page device: an A4 PDF surface in device units of 600 dpi, its
// document and page calls, and the submission of the finished PDF to CUPS.
#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <unistd.h>

#include "platform/print/prt_impl.h"

namespace soc {

PrtState prt;

namespace {
std::string last_error;  // why the last device call failed
}

Dc* make_dc(const std::string& path, const std::string& printer) {
  Dc* d = new Dc;
  d->path = path;
  d->printer = printer;
  return d;
}

void set_page_metrics() {
  prt.w_pix = kPageW;
  prt.h_pix = kPageH;
  prt.fx = prt.w_pix / 210;
  prt.fy = prt.h_pix / 285;
}

int start_doc() {
  Dc* d = prt.dc;
  if (!d || d->surface) return 1;
  // The surface is measured in points; the context's unit is the device unit.
  d->surface = cairo_pdf_surface_create(d->path.c_str(), kPageW * 72.0 / 600, kPageH * 72.0 / 600);
  if (cairo_surface_status(d->surface) != CAIRO_STATUS_SUCCESS) {
    last_error = cairo_status_to_string(cairo_surface_status(d->surface));
    cairo_surface_destroy(d->surface);
    d->surface = nullptr;
    return 1;
  }
  d->cr = cairo_create(d->surface);
  cairo_scale(d->cr, 72.0 / 600, 72.0 / 600);
  return 0;
}

int start_page() {
  Dc* d = prt.dc;
  if (!d || !d->cr || d->page_open) return 1;
  d->page_open = true;
  return 0;
}

int end_page() {
  Dc* d = prt.dc;
  if (!d || !d->cr || !d->page_open) return 1;
  d->page_open = false;
  cairo_show_page(d->cr);
  if (cairo_status(d->cr) != CAIRO_STATUS_SUCCESS) {
    last_error = cairo_status_to_string(cairo_status(d->cr));
    return 1;
  }
  return 0;
}

int end_doc() {
  Dc* d = prt.dc;
  if (!d || !d->cr) return 1;
  cairo_destroy(d->cr);
  d->cr = nullptr;
  cairo_surface_finish(d->surface);
  cairo_status_t st = cairo_surface_status(d->surface);
  cairo_surface_destroy(d->surface);
  d->surface = nullptr;
  if (st != CAIRO_STATUS_SUCCESS) {
    last_error = cairo_status_to_string(st);
    return 1;
  }
  if (d->printer.empty()) return 0;
  // CUPS copies the file when the job is created: the spool file goes at once.
  int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, d->printer.c_str(), d->path.c_str(), "Sociantes", 0,
                           nullptr);
  ::unlink(d->path.c_str());
  if (job <= 0) {
    last_error = cupsLastErrorString();
    return 1;
  }
  return 0;
}

std::string dc_error() { return last_error; }

void delete_dc() {
  Dc* d = prt.dc;
  if (!d) return;
  if (d->cr) cairo_destroy(d->cr);
  if (d->surface) {
    // A document that was not ended leaves no half-written file behind.
    cairo_surface_finish(d->surface);
    cairo_surface_destroy(d->surface);
    ::unlink(d->path.c_str());
  }
  delete d;
  prt.dc = nullptr;
}

}  // namespace soc
