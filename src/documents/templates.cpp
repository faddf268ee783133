// The four letter templates: their definitions in form.data (one line per
// placed field: template, field, column X, row Y), adding and deleting
// definitions, and rendering a template with the selected member's fields
// into form.qmd, opened in the text editor.
//
// A page has 71 rows of which the first 61 are written. A field is put in its
// row at column X by blanking every line end and unused byte before X; when
// the row already reaches past X the text goes on an extra line under it. No
// text put on the page passes column 95: a longer text is cut. (Blanking the
// line ends before X can join a short line to the extra line under it, into
// one longer line.)
#include <array>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

#include "db/members.h"
#include "db/util.h"
#include "documents/documents.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

namespace {

constexpr int kXMax = 79;   // widest column accepted for a new definition
constexpr int kYMax = 69;   // lowest row accepted for a new definition

// Puts text into a row at column x as described above.
void put_field(std::string& row, int x, const std::string& text) {
  for (std::size_t i = 0; i < static_cast<std::size_t>(x); ++i) {
    if (i == row.size())
      row += ' ';
    else if (static_cast<unsigned char>(row[i]) <= 10)
      row[i] = ' ';
  }
  const std::size_t last = row.rfind('\n');
  const std::size_t col = row.size() - (last == std::string::npos ? 0 : last + 1);
  row += cut_utf8(text, col < kFormCols ? kFormCols - col : 0);
  row += '\n';
}

// The text after the k-th '|' of s ("" when there is none).
std::string part(const std::string& s, int k) {
  std::size_t pos = 0;
  for (int i = 0; i < k; ++i) {
    pos = s.find('|', pos);
    if (pos == std::string::npos) return "";
    ++pos;
  }
  return s.substr(pos);
}

}  // namespace

bool parse_form_def(const std::string& line, FormDef& d) {
  return std::sscanf(line.c_str(), "%d %d %d %d", &d.tmpl, &d.field, &d.x, &d.y) == 4;
}

int form_field(int f) {
  if (f >= 1 && f <= 10) return f;
  if (f == 11) return 13;
  if (f == 12) return 11;
  return 0;
}

std::string render_form(const std::vector<std::string>& lines, int n, const Record& rec) {
  std::array<std::string, kFormRows> rows;
  rows.fill("\n");
  int kept = 0;
  for (const std::string& line : lines) {
    FormDef d;
    if (!parse_form_def(cut_utf8(line, kFormLineMax), d) || d.tmpl != n) continue;
    if (++kept > kFormDefsMax) break;
    // Definitions written by hand outside the page are left out.
    if (form_field(d.field) == 0 || d.y < 1 || d.y > kFormRows || d.x < 0 ||
        d.x >= static_cast<int>(kFormCols))
      continue;
    put_field(rows[static_cast<std::size_t>(d.y - 1)], d.x,
              rec[static_cast<std::size_t>(form_field(d.field))]);
  }
  std::string out;
  for (int y = 0; y < kFormRowsWritten; ++y)
    for (char c : rows[static_cast<std::size_t>(y)]) {
      if (c == '\n') out += '\r';
      out += c;
    }
  return out;
}

std::vector<std::string> form_lines_without(const std::vector<std::string>& lines, int n, int f) {
  const std::string key =
      std::to_string(static_cast<unsigned>(n)) + " " + std::to_string(static_cast<unsigned>(f)) + " ";
  std::vector<std::string> kept;
  for (const std::string& l : lines)
    if (l.compare(0, key.size(), key) != 0) kept.push_back(l);
  return kept;
}

void setup_form(int n) {
  form = n;
  task_in = 24;
  set_status();
  info("\r\n Please enter the number[1-12]\r\n and coordonnates X[1-79] Y[1-30] \r\n of the field "
       "you want to insert in the Template \r\n",
       9);
}

int do_form_data() {
  const int f = std::atoi(tmp_str.c_str());
  const int x = std::atoi(part(tmp_str, 1).c_str());
  const int y = std::atoi(part(tmp_str, 2).c_str());
  if (f < 1 || f > 12 || x < 0 || x > kXMax || y < 1 || y > kYMax) {
    info("Bad value!", 1);
    return 1;
  }
  mk_fname("form.data");
  const std::string path = file_name;
  std::string text;
  if (!read_file(path, text)) {
    // A file that is there but cannot be read is not an empty one: writing
    // the new definition alone would lose the others.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
      info(" The template definitions cannot be read: \r\n" + path + " ", 1);
      return 1;
    }
    text.clear();
  }
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  char line[64];
  std::snprintf(line, sizeof line, "%u %u %u %u\r\n", static_cast<unsigned>(form),
                static_cast<unsigned>(f), static_cast<unsigned>(x), static_cast<unsigned>(y));
  return write_doc(path, text + line);
}

void destroy_form(int n) {
  form = n;
  task_in = 25;
  set_status();
  info("\r\n Please, select the field[1-12] to delete. \r\n", 6);
}

int del_form_data() {
  mk_fname("form.data");
  const std::string path = file_name;
  std::vector<std::string> lines;
  if (is_this_file(path) != 0 || !read_lines(path, lines)) return 1;
  // The copy is made in the temporary directory, then put in place.
  mk_tmp_fname("form.tmp");
  const std::string tmp = file_name;
  const std::string kept = join_crlf(form_lines_without(lines, form, std::atoi(tmp_str.c_str())));
  if (tmp.empty() || replace_file(tmp, kept) != 0 || replace_file_from(path, tmp) != 0) {
    info(" The template definitions cannot be written: \r\n" + path + " ", 1);
    return 1;
  }
  return 0;
}

void edit_form(int n) {
  if (action_busy()) return;
  if (index_sel.empty()) {
    info(kNoMember, 1);
    return;
  }
  form = n;
  mk_fname("form.data");
  std::vector<std::string> lines;
  if (is_this_file(file_name) != 0 || !read_lines(file_name, lines)) {
    info(" No data ! ", 1);
    return;
  }
  mk_fname("form.qmd");
  const std::string path = file_name;
  if (write_doc(path, render_form(lines, n, current_record())) == 0) sys().launch(Launch::editor, path);
}

}  // namespace soc
