// The photo display: reading the photo file, the bitmap tmp.bmp, and the
// Photo command.
#include "import/photo_show.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "db/history.h"
#include "db/records.h"
#include "db/util.h"
#include "import/jpeg_handler.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace soc {

namespace {

constexpr std::size_t kPiece = 98;     // the photo file is read in pieces of at most this
constexpr std::size_t kShortLine = 80; // a piece this long or shorter is no pixel row
constexpr int kShortFor24 = 23;        // more short lines than this before the rows: 24 levels

void put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, unsigned v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// The grey of symbol c in a palette of levels greys, step apart.
unsigned char symbol_grey(unsigned char c, int levels, int step) {
  int i = static_cast<int>(c) - 'a';
  if (i < 0) i = 0;
  if (i > levels - 1) i = levels - 1;
  return static_cast<unsigned char>(i * step);
}

}  // namespace

void photo_greys(const std::string& text, unsigned char* grey) {
  std::memset(grey, 255, kPhotoW * kPhotoH);
  int shorts = 0, row = 0, levels = 0, step = 0;
  std::size_t pos = 0;
  while (pos < text.size() && row < kPhotoH) {
    // One piece as a text-mode read gives it: up to a line feed (CR LF read
    // as one line feed) and at most kPiece characters.
    std::size_t n = 0;
    std::size_t end = pos;
    while (end < text.size() && n < kPiece) {
      const char c = text[end];
      if (c == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
        ++end;  // CR LF is one line end
        continue;
      }
      ++end;
      ++n;
      if (c == '\n') break;
    }
    const std::size_t start = pos;
    pos = end;
    if (n <= kShortLine) {
      if (row == 0) ++shorts;
      continue;
    }
    if (levels == 0) {
      levels = shorts > kShortFor24 ? 24 : 16;
      step = shorts > kShortFor24 ? 10 : 16;
    }
    // Symbols 1 to 96 of the piece (after the opening quote); the closing
    // quote, a line end or the end of the piece before that leaves the rest
    // of the row white.
    unsigned char* out = grey + row * kPhotoW;
    std::size_t i = start + 1;
    for (int k = 0; k < kPhotoW && i < end; ++k, ++i) {
      if (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') break;
      if (text[i] == '\n' || text[i] == '"') break;
      out[k] = symbol_grey(static_cast<unsigned char>(text[i]), levels, step);
    }
    ++row;
  }
}

std::string bmp_bytes(const unsigned char* grey) {
  constexpr unsigned kPixels = kPhotoW * kPhotoH * 3;
  std::string s = "BM";
  s.reserve(kBmpSize);
  put32(s, kBmpSize);
  put16(s, 0);
  put16(s, 0);
  put32(s, kBmpHeader);
  put32(s, 40);
  put32(s, kPhotoW);
  put32(s, kPhotoH);
  put16(s, 1);
  put16(s, 24);
  put32(s, 0);
  put32(s, kPixels);
  put32(s, 3543);
  put32(s, 3543);
  put32(s, 0);
  put32(s, 0);
  for (int r = kPhotoH - 1; r >= 0; --r)  // bottom row first
    for (int k = 0; k < kPhotoW; ++k) s.append(3, static_cast<char>(grey[r * kPhotoW + k]));
  return s;
}

int buid_bmp() {
  const std::string photo = file_name;
  mk_tmp_fname("tmp.bmp");
  const std::string bmp = file_name;
  file_name = photo;
  std::string text;
  unsigned char grey[kPhotoW * kPhotoH];
  if (read_file(photo, text)) {
    photo_greys(text, grey);
    if (!bmp.empty() && replace_file(bmp, bmp_bytes(grey)) == 0) return 0;
  }
  std::error_code ec;
  if (!bmp.empty()) std::filesystem::remove(bmp, ec);
  return 1;
}

void show_photo() {
  if (action_busy()) return;
  if (fld::ref.empty()) {
    info(kNoMember, 1);
    return;
  }
  photo_path(fld::ref);
  if (chk_file() != 0) {
    info(kNoPhoto, 1);
    return;
  }
  if (buid_bmp() != 0) {
    info(kPhotoNotShown, 1);
    return;
  }
  task_in = 13;
  set_status();
  info(fld::ref, 7);
}

}  // namespace soc
