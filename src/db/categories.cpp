// The categories file, the category list of the main window and the category
// table, and the Add / Remove category commands.
#include "db/categories.h"

#include <algorithm>
#include <filesystem>

#include "db/records.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/winutil.h"

namespace soc {

std::array<std::string, kCatSlots> cat_txt;
int cat = 0;

void categories_reset() {
  for (auto& s : cat_txt) s.clear();
  cat = 0;
}

int update_cats() {
  int list = cat_list_ctl();
  const std::string selected = cat_txt[cat];
  const bool marked = cat != 0 || ws().list_selection(list) >= 0;
  ws().list_clear(list);
  insertlist(ws().main_host(), list, "All");
  for (int i = 1; i < kCatSlots; ++i) cat_txt[i].clear();
  int found = 0;
  mk_fname("sociantes.cat");
  std::vector<std::string> lines;
  if (read_lines(file_name, lines)) {
    for (int i = 0; i < static_cast<int>(lines.size()) && i < kCatListed; ++i) {
      cat_txt[i + 1] = cut_utf8(lines[i], kCatMax);
      insertlist(ws().main_host(), list, do_utf(cat_txt[i + 1]));
      if (found == 0 && cat != 0 && cat_txt[i + 1] == selected) found = i + 1;
    }
  }
  // The table may have shifted: the filter keeps the name, not the slot.
  const int was = cat;
  cat = found;
  if (marked) ws().list_select(list, cat);
  return was != 0 && found == 0 ? 1 : 0;
}

std::vector<std::string> cat_add_lines(const std::vector<std::string>& lines,
                                       const std::string& name) {
  std::vector<std::string> out;
  out.reserve(lines.size() + 1);
  bool placed = false;
  for (const auto& l : lines) {
    // The line is compared with its line end, so that a name equal to a
    // line sorts before it.
    if (!placed && chk_alfa(name, l + "\r\n") == 0) {
      out.push_back(name);
      placed = true;
    }
    out.push_back(l);
  }
  if (!placed) out.push_back(name);
  return out;
}

std::vector<std::string> cat_rm_lines(const std::vector<std::string>& lines,
                                      const std::string& name) {
  std::vector<std::string> out;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
               [&name](const std::string& l) { return l != name; });
  return out;
}

void cat_edit(int add) {
  if (nfs) {
    info(kRestricted, 1);
    return;
  }
  tmp_str.clear();
  task_in = add ? 22 : 33;
  set_status();
  info(add ? " Please, enter a new category(max 24 chars).\r\n"
           : "Please, enter the category you want to delete .\r\n",
       3);
}

int mk_cat_file(int add) {
  std::string name = tmp_str;
  std::replace(name.begin(), name.end(), '\r', ' ');
  std::replace(name.begin(), name.end(), '\n', ' ');
  if (add) name = cut_utf8(name, kCatMax);
  if (name.empty()) return 1;
  mk_fname("sociantes.cat");
  const std::string path = file_name;
  std::vector<std::string> lines;
  if (!std::filesystem::exists(path)) {
    if (!add) return 1;
    return replace_file(path, name + "\r\n") == 0 ? 0 : 1;
  }
  if (!read_lines(path, lines)) {
    // A file that is there but cannot be read is never replaced.
    info(" The categories file cannot be read: \r\n" + path + " ", 1);
    return 1;
  }
  std::vector<std::string> out = add ? cat_add_lines(lines, name) : cat_rm_lines(lines, name);
  // The new list goes through cat.tmp and is renamed over the file.
  mk_tmp_fname("cat.tmp");
  const std::string tmp = file_name;
  if (tmp.empty() || replace_file(tmp, join_crlf(out)) != 0 || replace_file_from(path, tmp) != 0) {
    info(" The categories file cannot be written: \r\n" + path + " ", 1);
    return 1;
  }
  return 0;
}

}  // namespace soc
