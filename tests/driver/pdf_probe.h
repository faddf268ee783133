// Looking into a printed PDF page from tests: where each word lies
// (pdftotext -bbox) and which grey a point has (pdftoppm), both in the
// device units of the printing layer (600 per inch).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace soc::test {

struct Word {
  std::string text;        // the word as extracted
  double x0, y0, x1, y1;   // its box in device units
};

class PdfPage {
 public:
  // Reads the words of a page (the first by default) and renders it in grey
  // at 300 dpi; ok() is false when the PDF, the page or the tools failed.
  explicit PdfPage(const std::filesystem::path& pdf, int page = 1);
  bool ok() const { return ok_; }
  const std::vector<Word>& words() const { return words_; }
  // The line of words starting with the word first whose box starts nearest
  // to device point (x, y); "" when no word starts within tol units. The
  // words of the line are joined by one space.
  std::string text_at(double x, double y, double tol) const;
  // Device top-left of the n-th word equal to w; false when missing.
  bool find(const std::string& w, double& x, double& y, int n = 0) const;
  // The grey (0..255) of device point (x, y).
  int grey(double x, double y) const;
  std::string all_text() const;   // every word, joined by single spaces

 private:
  bool ok_ = false;
  std::vector<Word> words_;
  int w_ = 0, h_ = 0;                 // raster size
  std::vector<unsigned char> px_;     // grey raster at 300 dpi
};

// Half a millimetre in device units at 600 dpi.
inline constexpr double kHalfMm = 600 / 25.4 / 2;

}  // namespace soc::test
