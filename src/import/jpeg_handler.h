// Member photos, the import: a JPEG file chosen by the user becomes the
// member's photo file, a restricted XPM text of 96 x 120 pixels in 24 grey
// levels (symbols "a" to "x"), named after the member's reference, in the
// folder `photos` of the data directory (the network one in network mode).
//
// The picture is brought to a raster of at most 960 x 1200 pixels by
// repeating each source pixel fx times across and each source row fy times
// down (fx = 960 div W, fy = 1200 div H), then every sx-th column and sy-th
// row of that raster is taken (sx = fx W div 96, sy = fy H div 120). A
// picture of exactly 640 x 480 is cropped to its columns 127 to 510 and
// sampled every fourth pixel instead. A picture larger than 960 x 1200 is
// decoded by libjpeg at 1/2, 1/4 or 1/8 of its size (the largest that fits)
// and then treated as a picture of the reduced size. A picture whose Exif
// data say it is to be shown turned or mirrored (portraits taken with a
// phone) is first turned upright, and its shown size is the one that counts.
#pragma once

#include <string>

namespace soc {

inline constexpr const char* kBadPicture = "\r\n Invalide picture file. \r\n";
inline constexpr const char* kNoPhoto = "\r\n Photo not available. \r\n";
inline constexpr const char* kPhotoNotSaved = "\r\n The photo file can't be written. \r\n";
inline constexpr int kPhotoW = 96;       // columns of a photo file
inline constexpr int kPhotoH = 120;      // rows of a photo file
inline constexpr int kRasterW = 960;     // widest picture taken at its own size
inline constexpr int kRasterH = 1200;    // highest picture taken at its own size

// What a conversion decided, for the caller's curiosity (tests, benchmarks).
struct PhotoGeometry {
  int src_w = 0, src_h = 0;  // size stored in the JPEG
  int orientation = 1;       // Exif orientation: 1 upright, 2..8 turned or mirrored
  int denom = 1;             // decoded at 1/denom of that size
  int w = 0, h = 0;          // size of the decoded picture as shown upright
  int comps = 0;             // components per decoded pixel (1 grey, 3 RGB, 4 CMYK)
  bool vga = false;          // a 640 x 480 picture: cropped and sampled by 4
  int fx = 0, fy = 0;        // repetition factors (not for VGA)
  int sx = 0, sy = 0;        // sampling steps (4 for VGA)
};

// The grey value v (0 black .. 255 white) as a photo symbol.
inline char grey_symbol(int v) { return v < 240 ? static_cast<char>('a' + v / 10) : 'x'; }

// The whole text of a photo file for 96 x 120 grey values, top row first.
std::string xpm_text(const unsigned char* grey);

// Converts JPEG bytes into the 96 x 120 grey values of a photo, top row
// first. 0 = done; 1 = not a picture this program takes (no JPEG signature,
// a damaged or cut-short file, an unusual colour model, larger than 7680 x
// 9600 pixels). geo, when given, receives the decisions taken.
int jpeg_to_grey(const std::string& jpeg, unsigned char* grey, PhotoGeometry* geo = nullptr);

// The path of the photo file of member ref (also left in file_name).
std::string photo_path(const std::string& ref);

// Import a photo: the starter (action 14) and the work on the chosen file
// (file_sel), run by the file selection.
void import_photo();
void jpeg_handler();

}  // namespace soc
