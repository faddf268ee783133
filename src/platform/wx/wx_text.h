// Text between the command code (UTF-8 bytes in std::string) and wxWidgets
// (wxString).
#pragma once

#include <wx/string.h>

#include <string>

namespace soc::wxui {

// UTF-8 bytes as a wxString. Bytes that are not valid UTF-8 (which the
// command code does not hand over: file text goes through do_utf first) are
// taken as Latin-1 rather than lost.
inline wxString wxs(const std::string& s) {
  wxString w = wxString::FromUTF8(s.data(), s.size());
  if (w.empty() && !s.empty()) w = wxString(s.data(), wxConvISO8859_1, s.size());
  return w;
}

// A wxString as UTF-8 bytes.
inline std::string u8(const wxString& w) {
  const wxScopedCharBuffer b = w.utf8_str();
  return std::string(b.data(), b.length());
}

// Message text for a multi-line control: CR LF and a lone CR become a line
// feed (the messages are written with Windows line ends).
inline wxString display_lines(const std::string& s) {
  std::string t;
  t.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      t += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      t += s[i];
    }
  }
  return wxs(t);
}

}  // namespace soc::wxui
