// Fuzz target of the photo readers: every input goes through the JPEG import
// (jpeg_to_grey) and the photo-file reader with the bitmap builder
// (photo_greys, bmp_bytes). Besides not crashing, each must keep its
// promises: a photo file always reads as greys of its palettes or white, the
// bitmap is always 34614 bytes, and a JPEG that converts gives a photo file
// that reads back as the same greys rounded down to the palette.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/jpeg_handler.h"
#include "import/photo_show.h"

namespace {

bool palette_grey(int v) { return v == 255 || (v % 10 == 0 && v <= 230) || (v % 16 == 0 && v <= 240); }

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  const std::string in(reinterpret_cast<const char*>(data), size);
  unsigned char grey[kPhotoW * kPhotoH];
  photo_greys(in, grey);
  for (unsigned char g : grey) check(palette_grey(g));
  check(bmp_bytes(grey).size() == static_cast<size_t>(kBmpSize));

  PhotoGeometry geo;
  if (jpeg_to_grey(in, grey, &geo) == 0) {
    check(geo.w >= 1 && geo.w <= kRasterW && geo.h >= 1 && geo.h <= kRasterH);
    check(geo.denom == 1 || geo.denom == 2 || geo.denom == 4 || geo.denom == 8);
    unsigned char back[kPhotoW * kPhotoH];
    photo_greys(xpm_text(grey), back);
    for (int i = 0; i < kPhotoW * kPhotoH; ++i) check(back[i] == (grey[i] >= 230 ? 230 : grey[i] / 10 * 10));
  }
  return 0;
}
