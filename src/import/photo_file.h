// The member's photo file as a grid of grey levels.
//
// A photo file is the restricted XPM text of 96 x 120 pixels: a few header
// and palette lines, then one line per pixel row holding an opening double
// quote and 96 symbols. Symbol "a" is grey entry 0, "b" entry 1, and so on.
// Files with more than 23 lines up to and including the first pixel row are
// the 24-level form (entry k is grey 10 k); shorter headers are the older
// 16-level form (entry k is grey 16 k).
#pragma once

#include <string>
#include <vector>

namespace soc {

inline constexpr int kPhotoCols = 96;     // pixels of a row
inline constexpr int kPhotoRows = 120;    // pixel rows
inline constexpr int kPhotoLine = 96;     // a line this long or longer is the first pixel row

struct Photo {
  int levels = 0;            // 24 or 16 grey entries
  std::vector<int> grey;     // kPhotoCols x kPhotoRows levels 0..255, row after row; -1 = blank
};

// The grey table of a photo file: levels entries.
int photo_grey(int levels, int entry);

// Reads the photo file at path into photo. 0 = read; 1 = no such file; 2 =
// the file holds no pixel row (nothing to draw).
//
// Rows: a line longer than 96 characters fills its row (pixel p is the
// symbol at position p + 1); a shorter line leaves its row blank, and so do
// the rows after the end of the file. A symbol outside the grey table takes
// the nearest entry (below "a" the first, past the last entry the last).
int read_photo(const std::string& path, Photo& photo);

}  // namespace soc
