// Pictures for the photo tests, made at test time: a grey or colour raster
// written as PGM/PPM and turned into the wanted file by ImageMagick's
// `convert`, whose options choose the JPEG kind (progressive, CMYK, ...).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace soc::test {

// True when the real ImageMagick `convert` runs.
inline bool have_convert() {
  FILE* p = ::popen("convert -version 2>/dev/null", "r");
  if (!p) return false;
  char buf[256];
  std::string out;
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  ::pclose(p);
  return out.find("ImageMagick") != std::string::npos;
}

// A test's picture skip line when convert is missing.
#define SOC_NEED_CONVERT()                                                    \
  if (!::soc::test::have_convert())                                            \
  GTEST_SKIP() << "ImageMagick's convert cannot start (scripts/install-deps installs it)"

// Pixel (x, y) of a picture: a grey value, or for colour r, g, b.
using GreyAt = std::function<int(int x, int y)>;

// Writes a w x h picture to out through convert with opts (before the output
// name; "png:" etc. may prefix out). colour: each pixel is (v, v, v) of a PPM,
// so that convert keeps three components when told (-type TrueColor).
inline bool make_picture(const std::filesystem::path& out, int w, int h, const GreyAt& at,
                         const std::string& opts = "-quality 100", const std::string& prefix = "") {
  const std::filesystem::path raw = out.string() + ".pgm";
  {
    std::ofstream f(raw, std::ios::binary);
    f << "P5\n" << w << " " << h << "\n255\n";
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) f.put(static_cast<char>(at(x, y)));
  }
  const std::string cmd = "convert '" + raw.string() + "' " + opts + " '" + prefix + out.string() +
                          "' 2>/dev/null";
  const int rc = std::system(cmd.c_str());
  std::filesystem::remove(raw);
  return rc == 0 && std::filesystem::exists(out);
}

// A flat colour picture.
inline bool make_flat_colour(const std::filesystem::path& out, int w, int h, int r, int g, int b) {
  const std::string cmd = "convert -size " + std::to_string(w) + "x" + std::to_string(h) +
                          " 'xc:rgb(" + std::to_string(r) + "," + std::to_string(g) + "," +
                          std::to_string(b) + ")' -type TrueColor -quality 100 '" + out.string() +
                          "' 2>/dev/null";
  return std::system(cmd.c_str()) == 0 && std::filesystem::exists(out);
}

// Blocks of block x block pixels, each flat (so that JPEG keeps them
// exactly), whose grey value is 10 b + 5 with b = 0..22 from the block's
// column and row: block b shows as symbol "a" + b.
inline GreyAt blocks(int block) {
  return [block](int x, int y) { return 10 * ((x / block + 5 * (y / block)) % 23) + 5; };
}

inline std::string slurp_file(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

}  // namespace soc::test
