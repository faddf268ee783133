// Member photos, the display: the Photo command turns the member's photo
// file into the 24-bit bitmap tmp.bmp of the temporary directory (96 x 120
// pixels, bottom row first) and opens the PHOTO dialog, which shows it.
//
// The photo file is read as the program writes it: short lines (the header
// and the palette) and then one pixel row per line, a double quote followed
// by 96 symbols. Symbol s is the grey (s - "a") x 10 in the 24-level files
// this program writes, and (s - "a") x 16 in older files with 16 levels,
// told apart by their shorter header. A symbol outside the palette is shown
// as the nearest grey of the palette; rows missing at the end, and symbols
// missing at the end of a short row, are white.
#pragma once

#include <string>

namespace soc {

inline constexpr const char* kPhotoNotShown = "\r\n The photo can't be shown. \r\n";
inline constexpr int kBmpHeader = 54;       // bytes before the pixels
inline constexpr int kBmpSize = 34614;      // the whole tmp.bmp

// The 96 x 120 grey values (top row first) of a photo file's text.
void photo_greys(const std::string& text, unsigned char* grey);
// The bytes of tmp.bmp for 96 x 120 grey values, top row first.
std::string bmp_bytes(const unsigned char* grey);

// Converts the photo file at file_name into tmp.bmp; 0 = done, 1 = the photo
// file cannot be read or tmp.bmp cannot be written (then no tmp.bmp is left,
// so that no other member's photo is shown).
int buid_bmp();
// The Photo command (action 13).
void show_photo();

}  // namespace soc
