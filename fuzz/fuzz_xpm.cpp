// Fuzz target of the photo-file reader and the display bitmap: every input
// is a photo file. Each pixel reads as a grey of the two palettes (or white),
// tmp.bmp built by buid_bmp is the bitmap of those greys, 34614 bytes with
// the same header for every photo and three equal bytes per pixel, and a
// photo written by the program from what was read reads back unchanged once
// it is in the program's own 24 levels.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "db/util.h"
#include "fuzz_env.h"
#include "import/jpeg_handler.h"
#include "import/photo_show.h"

namespace {

bool palette_grey(int v) { return v == 255 || (v % 10 == 0 && v <= 230) || (v % 16 == 0 && v <= 240); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  fuzz::program(false);
  static const bool made = mk_tmp_dir() == 0;
  FUZZ_CHECK(made);
  const std::string in(reinterpret_cast<const char*>(data), size);

  unsigned char grey[kPhotoW * kPhotoH];
  photo_greys(in, grey);
  for (unsigned char g : grey) FUZZ_CHECK(palette_grey(g));

  const std::string photo = fuzz::scratch_home() + "A0001.xpm";
  fuzz::put_file(photo, in);
  file_name = photo;
  FUZZ_CHECK(buid_bmp() == 0);
  FUZZ_CHECK(file_name == photo);
  mk_tmp_fname("tmp.bmp");
  const std::string bmp = fuzz::get_file(file_name);
  FUZZ_CHECK(bmp == bmp_bytes(grey));
  FUZZ_CHECK(bmp.size() == static_cast<size_t>(kBmpSize));
  static const std::string header = bmp.substr(0, kBmpHeader);
  FUZZ_CHECK(bmp.compare(0, kBmpHeader, header) == 0);
  for (std::size_t i = kBmpHeader; i + 2 < bmp.size(); i += 3)
    FUZZ_CHECK(bmp[i] == bmp[i + 1] && bmp[i] == bmp[i + 2]);

  unsigned char once[kPhotoW * kPhotoH], twice[kPhotoW * kPhotoH];
  photo_greys(xpm_text(grey), once);
  photo_greys(xpm_text(once), twice);
  FUZZ_CHECK(std::memcmp(once, twice, sizeof once) == 0);
  return 0;
}
