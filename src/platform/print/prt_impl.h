// Inside the printing library: the page device and the font records, which
// hold cairo objects and stay out of the public header.
#pragma once

#include <cairo.h>

#include <string>

#include "platform/print/prt.h"

namespace soc {

struct Dc {
  std::string path;                      // the PDF written
  std::string printer;                   // CUPS destination it goes to, "" = the PDF is the result
  cairo_surface_t* surface = nullptr;    // from the start of the document to its end
  cairo_t* cr = nullptr;                 // drawing context, unit = device unit
  bool page_open = false;                // between the start and the end of a page
  std::string bytes;                     // the PDF made so far; written out whole at the end
  std::string part;                      // the sibling it goes to before it is renamed to path
  int fd = -1;                           // part, open from the start of the document
};

struct PrtFont {
  cairo_font_face_t* face = nullptr;     // the resolved face
  double size = 0;                       // cairo size giving the cell height
  TextMetrics tm;                        // metrics at that size
  double ascent = 0;                     // cell top to baseline at that size
  std::string family;                    // the family fontconfig found
  ~PrtFont() {
    if (face) cairo_font_face_destroy(face);
  }
};

}  // namespace soc
