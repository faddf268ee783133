// The category list of the main window and the category table.
#include "db/categories.h"

#include <vector>

#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/window_system.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc {

std::array<std::string, kCatSlots> cat_txt;
int cat = 0;

void categories_reset() {
  for (auto& s : cat_txt) s.clear();
  cat = 0;
}

void update_cats() {
  int list = cat_list_ctl();
  ws().list_clear(list);
  insertlist(ws().main_host(), list, "All");
  for (int i = 1; i < kCatSlots; ++i) cat_txt[i].clear();
  mk_fname("sociantes.cat");
  std::vector<std::string> lines;
  if (!read_lines(file_name, lines)) return;
  for (int i = 0; i < static_cast<int>(lines.size()) && i < kCatListed; ++i) {
    cat_txt[i + 1] = cut_utf8(lines[i], kCatMax);
    insertlist(ws().main_host(), list, do_utf(cat_txt[i + 1]));
  }
}

}  // namespace soc
