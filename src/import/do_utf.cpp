// Display conversion of file text: UTF-8 kept, other bytes read as Windows-1252.
#include "import/do_utf.h"

#include <cstdint>
#include <cstring>

namespace soc {

namespace {
// Unicode code points of Windows-1252 bytes 0x80..0x9F (0 = undefined, shown as U+FFFD).
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void put_utf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at s[i], 0 when there is none.
std::size_t utf8_len(std::string_view s, std::size_t i) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned c = b(i);
  std::size_t n;
  unsigned cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

// The length of the plain ASCII start of text, eight bytes at a time.
std::size_t ascii_prefix(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    if (w & 0x8080808080808080ULL) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}
}  // namespace

std::string do_utf(std::string_view text) {
  std::size_t i = ascii_prefix(text);
  if (i == text.size()) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  std::size_t run = 0;  // start of the bytes kept as they are, not appended yet
  while (i < text.size()) {
    std::size_t n = utf8_len(text, i);
    if (n > 0) {
      i += n;
      continue;
    }
    out.append(text, run, i - run);
    unsigned c = static_cast<unsigned char>(text[i++]);
    unsigned cp = c >= 0xA0 ? c : kCp1252High[c - 0x80];
    put_utf8(out, cp ? cp : 0xFFFD);
    run = i;
  }
  out.append(text, run, text.size() - run);
  return out;
}

}  // namespace soc
