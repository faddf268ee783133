// The file selection and the opening of a chosen document.
#include "import/filesel.h"

#include "db/util.h"
#include "import/import.h"
#include "import/jpeg_handler.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

std::string sel_file;
std::string file_sel;

const std::vector<FileFilter>& filesel_filters() {
  static const std::vector<FileFilter> f = {{"Tous (*.*)", "*.*"},
                                            {"Texte (*.TXT)", "*.txt"},
                                            {"utf8 (*.UTF8)", "*.utf8"},
                                            {"QMD (*.QMD)", "*.qmd"},
                                            {"ASCII (*.ASC)", "*.asc"}};
  return f;
}

std::size_t ms_filesel() {
  sel_file.clear();
  const std::string saved = file_name;  // the caller's current path stays
  mk_fname("");
  const std::string dir = file_name;
  file_name = saved;
  std::string path;
  if (!ws().select_file(filesel_filters(), dir, path)) return 0;
  sel_file = path;
  return sel_file.size();
}

void filesel() {
  if (ms_filesel() == 0) {
    if (task_in == 14 || task_in == 20 || task_in == 21) end_action();
    return;
  }
  file_sel = sel_file;
  switch (task_in) {
    case 0: file_ok_sel(); break;
    case 14: jpeg_handler(); break;
    case 20: do_excel(); break;
    case 21: do_import(); break;
    default: break;  // the Select. buttons of a dialog take sel_file themselves
  }
}

void file_ok_sel() {
  if (is_this_file(file_sel) != 0) {
    info(kNoFile, 1);
    return;
  }
  sys().launch(Launch::editor, file_sel);
}

void open_doc(int which) {
  if (which == 1) filesel();
}

}  // namespace soc
