// The page device: an A4 PDF surface in device units of 600 dpi, its
// document and page calls, and the submission of the finished PDF to CUPS.
#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/print/prt_impl.h"

namespace soc {

PrtState prt;

namespace {
std::string last_error;  // why the last device call failed

// cairo's output goes to memory: a write that fails while cairo finishes
// the document does not show in the surface's status, and a document never
// ended must leave the file chosen as it was.
cairo_status_t collect(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<Dc*>(closure)->bytes.append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Writes the document's bytes to its sibling file and renames it to the
// path chosen: the file there is the old one or the whole new one. 0 on
// success, else the errno of the step that failed (the sibling is then gone).
int put_whole(Dc* d) {
  std::size_t done = 0;
  int err = 0;
  while (done < d->bytes.size()) {
    const ssize_t n = ::write(d->fd, d->bytes.data() + done, d->bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(d->fd) != 0 && err == 0) err = errno;
  d->fd = -1;
  if (err == 0 && ::rename(d->part.c_str(), d->path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(d->part.c_str());
  return err;
}
}  // namespace

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
  // The file is made at the start, so that a place that cannot be written
  // stops the document before anything is drawn.
  d->part = d->path + ".part-" + std::to_string(::getpid());
  d->fd = ::open(d->part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (d->fd < 0) {
    last_error = std::strerror(errno);
    return 1;
  }
  d->bytes.clear();
  d->surface =
      cairo_pdf_surface_create_for_stream(collect, d, kPageW * 72.0 / 600, kPageH * 72.0 / 600);
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
  const int err = put_whole(d);
  d->bytes.clear();
  d->bytes.shrink_to_fit();
  if (err != 0) {
    last_error = "the PDF file cannot be written: " + d->path + ": " + std::strerror(err);
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
    // A document that was not ended writes nothing: the file keeps what
    // it held (it was removed, a PDF of the user's included).
    cairo_surface_finish(d->surface);
    cairo_surface_destroy(d->surface);
  }
  if (d->fd >= 0) {
    ::close(d->fd);
    ::unlink(d->part.c_str());
  }
  delete d;
  prt.dc = nullptr;
}

}  // namespace soc
