// Member files and settings for the driver tests of the member commands.
#pragma once

#include <string>
#include <vector>

#include "driver_util.h"

namespace soc::test {

// One record as the program writes it; fields 1, 10, 11, 12, 13 given.
inline std::string rec(const std::string& name, const std::string& ref,
                       const std::string& rem = "", const std::string& cat = "",
                       const std::string& id = "") {
  std::string s = "#\r\n" + name + "\r\n";
  for (int f = 2; f <= 9; ++f) s += "\r\n";
  return s + rem + "\r\n" + id + "\r\n" + ref + "\r\n" + cat + "\r\n";
}

inline const std::string kRcHead =
    "##################################################################\r\n"
    "#        RC for Sociantes. Please, do not edit manually!\r\n"
    "##################################################################\r\n";

// A data directory as an earlier start left it: the member file, the
// categories file and the settings with the given extra lines.
inline void make_db(const ScratchHome& h, const std::string& members, const std::string& cats,
                    const std::string& rc_lines = "ref=A0000\r\n") {
  h.write(h.db() / "sociantes.data", members);
  h.write(h.db() / "sociantes.cat", cats);
  h.write(h.db() / ".sociantes.rc", kRcHead + rc_lines + "version=sociantes_v3.4.2\r\n");
  h.write(h.tmp() / ".keep", "");
}

// The reference number i ("A0012" for 12).
inline std::string ref_of(int i) {
  std::string d = std::to_string(i);
  return "A" + std::string(d.size() < 4 ? 4 - d.size() : 0, '0') + d;
}

// The value of key in the local settings file of h.
inline std::string rc_value(const ScratchHome& h, const std::string& key) {
  std::string text = h.read(h.db() / ".sociantes.rc");
  std::string k = "\n" + key + "=";
  size_t p = ("\n" + text).find(k);
  if (p == std::string::npos) return "<missing>";
  size_t start = p + k.size() - 1;
  size_t end = text.find('\r', start);
  return text.substr(start, end - start);
}

// The output lines of r that begin with prefix.
inline std::vector<std::string> lines_with(const DriverRun& r, const std::string& prefix) {
  std::vector<std::string> v;
  for (const auto& l : r.lines())
    if (l.compare(0, prefix.size(), prefix) == 0) v.push_back(l);
  return v;
}

}  // namespace soc::test
