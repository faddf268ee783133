// Fuzz target of the categories file. Every input is a categories file: the
// category table and list take its first 62 lines, each cut to 31 bytes on a
// whole character, shown as valid UTF-8. Adding a category (its name from
// the input) puts exactly that line into the file once, after every line
// that sorts before it, the other lines kept in order; removing it again
// leaves the lines that differ from it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/categories.h"
#include "db/records.h"
#include "fuzz_env.h"
#include "platform/fs.h"
#include "shell/dialog.h"

namespace {

using namespace soc;

std::vector<std::string> without(const std::vector<std::string>& lines, const std::string& name) {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l != name) out.push_back(l);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScriptedWindowSystem& ws = fuzz::program(true);
  const std::string text(reinterpret_cast<const char*>(data), size);
  mk_fname("sociantes.cat");
  const std::string path = file_name;
  fuzz::put_file(path, text);

  cat = 0;
  update_cats();
  const std::vector<std::string> lines = split_lines(text);
  const std::size_t listed = lines.size() < static_cast<std::size_t>(kCatListed) ? lines.size() : kCatListed;
  const auto* list = ws.control(cat_list_ctl());
  FUZZ_CHECK(list != nullptr && list->items.size() == listed + 1);
  for (std::size_t i = 0; i < listed; ++i) {
    fuzz::check_cut(lines[i], cat_txt[i + 1], kCatMax);
    FUZZ_CHECK(fuzz::valid_utf8(list->items[i + 1]));
  }
  for (std::size_t i = listed + 1; i < cat_txt.size(); ++i) FUZZ_CHECK(cat_txt[i].empty());

  // A category selected by name stays selected while it is listed.
  if (listed > 0) {
    cat = static_cast<int>(size % listed) + 1;
    const std::string name = cat_txt[cat];
    FUZZ_CHECK(update_cats() == 0);
    FUZZ_CHECK(cat >= 1 && cat_txt[cat] == name);
    cat = 0;
  }

  // Add, then remove, a name taken from the input.
  std::string name = lines.empty() ? "Bureau" : lines[lines.size() / 2].substr(0, 40);
  for (char& c : name)
    if (c == '\r' || c == '\n') c = ' ';
  name = cut_utf8(name, kCatMax);
  if (name.empty()) return 0;
  tmp_str = name;
  FUZZ_CHECK(mk_cat_file(1) == 0);
  const std::vector<std::string> added = split_lines(fuzz::get_file(path));
  // split_lines drops an empty last line: a file ending in blank lines
  // keeps them as lines before the name.
  std::vector<std::string> old = split_lines(text);
  FUZZ_CHECK(added.size() == old.size() + 1);
  std::size_t at = 0;
  while (at < old.size() && added[at] == old[at]) ++at;
  FUZZ_CHECK(added[at] == name);
  for (std::size_t i = at; i < old.size(); ++i) FUZZ_CHECK(added[i + 1] == old[i]);
  for (std::size_t i = 0; i < at; ++i)
    FUZZ_CHECK(old[i] == name || chk_alfa(name, old[i] + "\r\n") == 1);

  tmp_str = name;
  FUZZ_CHECK(mk_cat_file(0) == 0);
  FUZZ_CHECK(split_lines(fuzz::get_file(path)) == without(old, name));
  return 0;
}
