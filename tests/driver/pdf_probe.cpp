// Words and greys of a printed PDF page through poppler's command-line tools.
#include "pdf_probe.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace soc::test {

namespace fs = std::filesystem;

namespace {
constexpr double kPtToDev = 600.0 / 72.0;   // device units per PDF point
constexpr int kDpi = 300;                   // raster resolution of grey()

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string unescape(std::string s) {
  const std::pair<const char*, const char*> ents[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"},
                                                       {"&quot;", "\""}, {"&apos;", "'"}};
  for (const auto& [e, c] : ents)
    for (std::size_t p; (p = s.find(e)) != std::string::npos;) s.replace(p, std::string(e).size(), c);
  return s;
}
}  // namespace

PdfPage::PdfPage(const fs::path& pdf, int page) {
  const std::string pg = " -f " + std::to_string(page) + " -l " + std::to_string(page) + " ";
  const fs::path html = pdf.string() + ".bbox.html";
  const fs::path ras = pdf.string() + ".ras";
  std::string cmd = "pdftotext" + pg + "-bbox '" + pdf.string() + "' '" + html.string() +
                    "' 2>/dev/null && pdftoppm" + pg + "-singlefile -gray -r " +
                    std::to_string(kDpi) + " '" + pdf.string() + "' '" + ras.string() + "'";
  if (std::system(cmd.c_str()) != 0) return;
  const std::string h = slurp(html);
  static const std::regex re(
      R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(h.begin(), h.end(), re), end; it != end; ++it) {
    const auto& m = *it;
    words_.push_back({unescape(m[5]), std::stod(m[1]) * kPtToDev, std::stod(m[2]) * kPtToDev,
                      std::stod(m[3]) * kPtToDev, std::stod(m[4]) * kPtToDev});
  }
  // The raster: a binary PGM, "P5 w h 255\n" then the pixels.
  const std::string pgm = slurp(ras.string() + ".pgm");
  std::istringstream in(pgm);
  std::string magic;
  int maxv = 0;
  in >> magic >> w_ >> h_ >> maxv;
  in.get();
  if (magic != "P5" || w_ <= 0 || h_ <= 0) return;
  const auto off = static_cast<std::size_t>(in.tellg());
  if (pgm.size() < off + static_cast<std::size_t>(w_) * h_) return;
  px_.assign(pgm.begin() + static_cast<long>(off), pgm.end());
  fs::remove(html);
  fs::remove(ras.string() + ".pgm");
  ok_ = true;
}

std::string PdfPage::text_at(double x, double y, double tol) const {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    const Word& w = words_[i];
    if (std::fabs(w.x0 - x) > tol || std::fabs(w.y0 - y) > tol) continue;
    std::string s = w.text;
    // Words that follow on the same line, one space apart (a wider gap is
    // another column).
    for (std::size_t k = i + 1; k < words_.size() && std::fabs(words_[k].y0 - w.y0) < 1 &&
                                words_[k].x0 > words_[k - 1].x1 &&
                                words_[k].x0 - words_[k - 1].x1 < w.y1 - w.y0;
         ++k)
      s += " " + words_[k].text;
    return s;
  }
  return "";
}

bool PdfPage::find(const std::string& word, double& x, double& y, int n) const {
  for (const auto& w : words_)
    if (w.text == word && n-- == 0) {
      x = w.x0;
      y = w.y0;
      return true;
    }
  return false;
}

int PdfPage::grey(double x, double y) const {
  const int px = static_cast<int>(x * kDpi / 600), py = static_cast<int>(y * kDpi / 600);
  if (px < 0 || py < 0 || px >= w_ || py >= h_) return -1;
  return px_[static_cast<std::size_t>(py) * w_ + px];
}

std::string PdfPage::all_text() const {
  std::string s;
  for (const auto& w : words_) s += (s.empty() ? "" : " ") + w.text;
  return s;
}

}  // namespace soc::test
