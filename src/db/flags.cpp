// Captions of the flag boxes.
#include "db/flags.h"

#include <vector>

#include "db/util.h"
#include "platform/fs.h"

namespace soc {

std::array<std::string, 4> flag_names = {"Info-!", "Info-$", "Info-%", "Info-&&"};

void flags_reset() { flag_names = {"Info-!", "Info-$", "Info-%", "Info-&&"}; }

void mk_flags_bnts() {
  mk_nfname("sociantes.flg");
  std::vector<std::string> lines;
  if (is_this_file(file_name) != 0 || !read_lines(file_name, lines)) return;
  for (std::size_t k = 0; k < 4 && k < lines.size(); ++k)
    flag_names[k] = cut_utf8(lines[k], kFlagCaptionMax);
}

}  // namespace soc
