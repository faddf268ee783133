// Reading the member's photo file into grey levels.
#include "import/photo_file.h"

#include "platform/fs.h"

namespace soc {

int photo_grey(int levels, int entry) { return levels == 24 ? 10 * entry : 16 * entry; }

int read_photo(const std::string& path, Photo& photo) {
  std::string text;
  if (!read_file(path, text)) return 1;
  const std::vector<std::string> lines = split_lines(text);
  // The first pixel row: the first line of 96 characters or more.
  std::size_t first = 0;
  while (first < lines.size() && lines[first].size() < static_cast<std::size_t>(kPhotoLine)) ++first;
  if (first == lines.size()) return 2;
  photo.levels = first + 1 > 23 ? 24 : 16;
  photo.grey.assign(static_cast<std::size_t>(kPhotoCols * kPhotoRows), -1);
  for (int j = 0; j < kPhotoRows && first + static_cast<std::size_t>(j) < lines.size(); ++j) {
    const std::string& line = lines[first + static_cast<std::size_t>(j)];
    if (line.size() <= static_cast<std::size_t>(kPhotoCols)) continue;
    for (int p = 0; p < kPhotoCols; ++p) {
      int e = static_cast<unsigned char>(line[static_cast<std::size_t>(p) + 1]) - 'a';
      if (e < 0) e = 0;
      if (e >= photo.levels) e = photo.levels - 1;
      photo.grey[static_cast<std::size_t>(j * kPhotoCols + p)] = photo_grey(photo.levels, e);
    }
  }
  return 0;
}

}  // namespace soc
