// The photo import: JPEG decoding with libjpeg (version-62 interface), the
// reduction to 96 x 120 grey levels and the photo file.
//
// The raster of the description in jpeg_handler.h is never built: each
// photo pixel is read straight from the source pixel that its raster pixel
// repeats, which gives the same photo without filling and copying a
// 960 x 1200 raster.
#include "import/jpeg_handler.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// libjpeg's header needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "db/history.h"
#include "db/records.h"
#include "db/util.h"
#include "import/filesel.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {

namespace {

constexpr long kJpegFileMax = 100L * 1024 * 1024;      // larger files are refused unread
constexpr long kDecodeMemoryMax = 512L * 1024 * 1024;  // libjpeg's working memory at most

// The error manager: error_exit jumps back into jpeg_to_grey; warnings are
// silent, except that a file that ends early is remembered.
struct ErrMgr {
  jpeg_error_mgr pub;  // libjpeg's part, first
  std::jmp_buf jump;   // where my_error_exit returns to
  bool cut_short;      // the data ended before the picture did
};

void my_error_exit(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrMgr*>(c->err)->jump, 1); }

void quiet_message(j_common_ptr c, int level) {
  if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrMgr*>(c->err)->cut_short = true;
}

// FF D8 FF and an APPn marker (JFIF, Exif, Adobe, ...).
bool has_signature(const std::string& s) {
  return s.size() >= 4 && static_cast<unsigned char>(s[0]) == 0xFF &&
         static_cast<unsigned char>(s[1]) == 0xD8 && static_cast<unsigned char>(s[2]) == 0xFF &&
         (static_cast<unsigned char>(s[3]) & 0xF0) == 0xE0;
}

// The grey value of pixel p of a decoded row: (R + G + B) div 3. CMYK is
// turned into RGB first; Adobe's files store the inks inverted.
int pixel_grey(const JSAMPLE* p, int comps, bool adobe) {
  switch (comps) {
    case 1:
      return p[0];
    case 3:
      return (p[0] + p[1] + p[2]) / 3;
    default: {
      int k = adobe ? p[3] : 255 - p[3];
      int sum = 0;
      for (int i = 0; i < 3; ++i) sum += (adobe ? p[i] : 255 - p[i]) * k / 255;
      return sum / 3;
    }
  }
}

// The Exif orientation (1 to 8) of an APP1 segment's data, 1 when it has
// none: the tag 0x0112 of the first image directory.
int exif_orientation(const unsigned char* d, unsigned n) {
  if (n < 14 || std::memcmp(d, "Exif\0\0", 6) != 0) return 1;
  const unsigned char* t = d + 6;  // the TIFF header
  const unsigned len = n - 6;
  const bool big = t[0] == 'M' && t[1] == 'M';
  if (!big && !(t[0] == 'I' && t[1] == 'I')) return 1;
  auto u16 = [&](unsigned at) { return big ? t[at] << 8 | t[at + 1] : t[at + 1] << 8 | t[at]; };
  auto u32 = [&](unsigned at) {
    return big ? static_cast<unsigned>(u16(at)) << 16 | u16(at + 2)
               : static_cast<unsigned>(u16(at + 2)) << 16 | u16(at);
  };
  if (u16(2) != 42) return 1;
  const unsigned ifd = u32(4);
  if (ifd > len - 2 || ifd < 8) return 1;
  const unsigned count = static_cast<unsigned>(u16(ifd));
  for (unsigned i = 0; i < count; ++i) {
    const unsigned e = ifd + 2 + 12 * i;
    if (e > len - 12) break;
    if (u16(e) == 0x0112 && u16(e + 2) == 3) {  // Orientation, a SHORT
      const int o = u16(e + 8);
      return o >= 1 && o <= 8 ? o : 1;
    }
  }
  return 1;
}

// The stored pixel (x, y) of a picture of w x h stored pixels that shows at
// (dx, dy) once turned upright by Exif orientation o.
void stored_at(int o, int w, int h, int dx, int dy, int& x, int& y) {
  switch (o) {
    case 2: x = w - 1 - dx; y = dy; break;
    case 3: x = w - 1 - dx; y = h - 1 - dy; break;
    case 4: x = dx; y = h - 1 - dy; break;
    case 5: x = dy; y = dx; break;
    case 6: x = dy; y = h - 1 - dx; break;
    case 7: x = w - 1 - dy; y = h - 1 - dx; break;
    case 8: x = w - 1 - dy; y = dx; break;
    default: x = dx; y = dy; break;
  }
}

// Decides the geometry of a decoded picture of g.w x g.h pixels: for each
// photo row and column, the source row and column it shows, -1 for white.
void plan(PhotoGeometry& g, int* row_of, int* col_of) {
  g.vga = g.w == 640 && g.h == 480;
  if (g.vga) {
    g.sx = g.sy = 4;
    for (int j = 0; j < kPhotoH; ++j) row_of[j] = 4 * j;
    for (int k = 0; k < kPhotoW; ++k) col_of[k] = 127 + 4 * k;
    return;
  }
  g.fx = kRasterW / g.w;
  g.fy = kRasterH / g.h;
  g.sx = g.fx * g.w / kPhotoW;
  g.sy = g.fy * g.h / kPhotoH;
  for (int j = 0; j < kPhotoH; ++j) row_of[j] = j * g.sy < g.h * g.fy ? j * g.sy / g.fy : -1;
  for (int k = 0; k < kPhotoW; ++k) col_of[k] = k * g.sx < g.w * g.fx ? k * g.sx / g.fx : -1;
}

}  // namespace

std::string xpm_text(const unsigned char* grey) {
  std::string s = "/* XPM */\r\nstatic char * test_xpm[] = {\r\n\"96 120 24 1\",\r\n";
  char buf[32];
  for (int i = 0; i < 24; ++i) {
    std::snprintf(buf, sizeof buf, "\"%c c #%.2x%.2x%.2x\"\r\n", 'a' + i, 10 * i, 10 * i, 10 * i);
    s += buf;
  }
  s.reserve(s.size() + kPhotoH * (kPhotoW + 4));
  for (int j = 0; j < kPhotoH; ++j) {
    s += '"';
    for (int k = 0; k < kPhotoW; ++k) s += grey_symbol(grey[j * kPhotoW + k]);
    s += "\"\r\n";
  }
  return s;
}

int jpeg_to_grey(const std::string& jpeg, unsigned char* grey, PhotoGeometry* geo) {
  if (!has_signature(jpeg)) return 1;
  // Everything the jump back must find intact lives in memory here, set up
  // before setjmp or only through pointers.
  struct Work {
    jpeg_decompress_struct cinfo;  // the decompressor
    ErrMgr err;                    // its error manager
    PhotoGeometry g;               // the decisions
    int row_of[kPhotoH];           // source row of each photo row, -1 = white
    int col_of[kPhotoW];           // source column of each photo column, -1 = white
    std::vector<unsigned char> full;  // the whole decoded picture in grey, when it must be turned
  };
  std::vector<Work> holder(1);  // on the heap: libjpeg's structure is large
  Work* w = holder.data();
  w->cinfo.err = jpeg_std_error(&w->err.pub);
  w->err.pub.error_exit = my_error_exit;
  w->err.pub.emit_message = quiet_message;
  w->err.cut_short = false;
  if (setjmp(w->err.jump)) {
    jpeg_destroy_decompress(&w->cinfo);
    return 1;
  }
  jpeg_create_decompress(&w->cinfo);
  w->cinfo.mem->max_memory_to_use = kDecodeMemoryMax;
  jpeg_mem_src(&w->cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()),
               static_cast<unsigned long>(jpeg.size()));
  jpeg_save_markers(&w->cinfo, JPEG_APP0 + 1, 0xFFFF);
  if (jpeg_read_header(&w->cinfo, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&w->cinfo);
    return 1;
  }
  PhotoGeometry& g = w->g;
  g.src_w = static_cast<int>(w->cinfo.image_width);
  g.src_h = static_cast<int>(w->cinfo.image_height);
  g.orientation = 1;
  for (jpeg_saved_marker_ptr m = w->cinfo.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 1 && (g.orientation = exif_orientation(m->data, m->data_length)) != 1)
      break;
  const bool turned = g.orientation >= 5;  // shown with width and height swapped
  // The largest scale of 1, 1/2, 1/4, 1/8 at which the picture fits.
  for (g.denom = 1;; g.denom *= 2) {
    w->cinfo.scale_num = 1;
    w->cinfo.scale_denom = static_cast<unsigned>(g.denom);
    jpeg_calc_output_dimensions(&w->cinfo);
    const unsigned shown_w = turned ? w->cinfo.output_height : w->cinfo.output_width;
    const unsigned shown_h = turned ? w->cinfo.output_width : w->cinfo.output_height;
    if (shown_w <= kRasterW && shown_h <= kRasterH) break;
    if (g.denom == 8) {
      jpeg_destroy_decompress(&w->cinfo);
      return 1;
    }
  }
  jpeg_start_decompress(&w->cinfo);
  const int stored_w = static_cast<int>(w->cinfo.output_width);
  const int stored_h = static_cast<int>(w->cinfo.output_height);
  g.w = turned ? stored_h : stored_w;
  g.h = turned ? stored_w : stored_h;
  g.comps = w->cinfo.output_components;
  if ((g.comps != 1 && g.comps != 3 && g.comps != 4) ||
      (g.comps == 4 && w->cinfo.out_color_space != JCS_CMYK)) {
    jpeg_destroy_decompress(&w->cinfo);
    return 1;
  }
  const bool adobe = w->cinfo.saw_Adobe_marker;
  plan(g, w->row_of, w->col_of);
  std::memset(grey, 255, kPhotoW * kPhotoH);
  JSAMPARRAY row = (*w->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&w->cinfo),
                                                 JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(stored_w * g.comps), 1);
  int next_j = 0;  // photo rows are in source-row order: the next one to fill
  if (g.orientation != 1) w->full.resize(static_cast<size_t>(stored_w) * stored_h);
  while (w->cinfo.output_scanline < w->cinfo.output_height) {
    const int y = static_cast<int>(w->cinfo.output_scanline);
    jpeg_read_scanlines(&w->cinfo, row, 1);
    if (g.orientation != 1) {  // kept whole, sampled once turned upright
      unsigned char* keep = w->full.data() + static_cast<size_t>(y) * stored_w;
      for (int x = 0; x < stored_w; ++x)
        keep[x] = static_cast<unsigned char>(pixel_grey(row[0] + x * g.comps, g.comps, adobe));
      continue;
    }
    while (next_j < kPhotoH && w->row_of[next_j] >= 0 && w->row_of[next_j] < y) ++next_j;
    for (int j = next_j; j < kPhotoH && w->row_of[j] == y; ++j) {
      unsigned char* out = grey + j * kPhotoW;
      for (int k = 0; k < kPhotoW; ++k)
        if (w->col_of[k] >= 0)
          out[k] = static_cast<unsigned char>(pixel_grey(row[0] + w->col_of[k] * g.comps, g.comps, adobe));
    }
  }
  if (w->err.cut_short) {  // the rest of the picture would be made up
    jpeg_destroy_decompress(&w->cinfo);
    return 1;
  }
  if (g.orientation != 1) {
    for (int j = 0; j < kPhotoH; ++j) {
      for (int k = 0; k < kPhotoW; ++k) {
        if (w->row_of[j] < 0 || w->col_of[k] < 0) continue;
        int x, y;
        stored_at(g.orientation, stored_w, stored_h, w->col_of[k], w->row_of[j], x, y);
        grey[j * kPhotoW + k] = w->full[static_cast<size_t>(y) * stored_w + x];
      }
    }
  }
  jpeg_finish_decompress(&w->cinfo);
  jpeg_destroy_decompress(&w->cinfo);
  if (geo) *geo = g;
  return 0;
}

std::string photo_path(const std::string& ref) {
  mk_nfname("photos/" + ref + ".xpm");
  return file_name;
}

void import_photo() {
  if (action_busy()) return;
  if (fld::ref.empty()) {
    info(kNoMember, 1);
    return;
  }
  task_in = 14;
  set_status();
  filesel();
}

void jpeg_handler() {
  const std::string chosen = file_sel;  // used whole, however long
  const char* fail = nullptr;
  std::string data;
  unsigned char grey[kPhotoW * kPhotoH];
  if (fld::ref.empty()) {
    fail = kNoMember;
  } else if (is_this_file(chosen) != 0) {
    fail = kNoPhoto;
  } else if (const long len = get_file_len(chosen);
             len < 0 || len > kJpegFileMax || !read_file(chosen, data) ||
             jpeg_to_grey(data, grey) != 0) {
    fail = kBadPicture;
  } else {
    const std::string dest = photo_path(fld::ref);
    const std::string dir = dest.substr(0, dest.rfind('/'));
    if (!is_dir(dir)) make_dir(dir);
    // Written beside the old photo and renamed over it: a failure keeps it.
    if (replace_file(dest, xpm_text(grey)) != 0) fail = kPhotoNotSaved;
  }
  end_action();
  if (fail) info(fail, 1);
}

}  // namespace soc
