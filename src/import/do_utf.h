// Text from the data files prepared for display.
#pragma once

#include <string>
#include <string_view>

namespace soc {

// A copy of text ready for display: valid UTF-8 is kept as it is; any other
// byte (text written by older Windows installations) is taken as a
// Windows-1252 character and shown as such. Nothing is written back converted.
// Plain ASCII and valid UTF-8 are copied in one piece.
std::string do_utf(std::string_view text);

// The length of text cut to at most n bytes without splitting a UTF-8
// character: a character that begins before byte n and would end after it
// is left out whole. Any other byte (Windows-1252 text of older
// installations) is a character of its own, so that the cut never steps
// back over more than the three bytes a character can have after its first.
inline std::size_t cut_len(std::string_view text, std::size_t n) {
  if (text.size() <= n) return text.size();
  auto follows = [&text](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  if (!follows(n)) return n;
  for (std::size_t k = 1; k <= 3 && k <= n; ++k) {
    if (follows(n - k)) continue;
    const unsigned char first = static_cast<unsigned char>(text[n - k]);
    const std::size_t len = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return len > k ? n - k : n;
  }
  return n;
}

}  // namespace soc
