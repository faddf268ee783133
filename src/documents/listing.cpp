// The member listing (short and extended) and the address block of the
// current member, both written in the data directory and opened in the text
// editor; and the helpers every document shares: reading the member file under
// its lock, the category test, writing a document.
#include <cstdio>
#include <cstdlib>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/util.h"
#include "documents/documents.h"
#include "platform/fs.h"
#include "platform/services.h"
#include "shell/dialog.h"

namespace soc {

int form = 0;
std::string fmail;

void documents_reset() {
  form = 0;
  fmail.clear();
}

// ---- shared by the documents -----------------------------------------------

int read_members(std::string& text) {
  mk_nfname("sociantes.data");
  const std::string path = file_name;
  if (lock_f() != 0) return 1;
  const bool ok = read_file(path, text);
  file_name = path;
  unlock_f();
  if (!ok) {
    info("FATAL ERROR\r\nNo access to the database", 1);
    return 2;
  }
  // A damaged file would give a document of the members before the damage
  // only, made as if it were whole.
  std::string top;
  if (const int bad = scan_data(text, top); bad != 0) {
    info(damage_text(bad, "Nothing was made from it. Please repair the file first."), 1);
    return 3;
  }
  return 0;
}

int in_cat(const Record& r) {
  const std::string& sel = cat_txt[cat];
  return cat == 0 || r[13].compare(0, sel.size(), sel) == 0 ? 1 : 0;
}

Record current_record() {
  Record r;
  for (int i = 1; i <= kFields; ++i) r[static_cast<std::size_t>(i)] = fld::by_number(i);
  return r;
}

int write_doc(const std::string& path, const std::string& text) {
  if (replace_file(path, text) == 0) return 0;
  info(" The document cannot be written: \r\n" + path + " ", 1);
  return 1;
}

// ---- listing ---------------------------------------------------------------

namespace {
const std::string kStars(79, '*');
const std::string kDashes(79, '-');

// A name column: a text of 30 bytes or more is cut to 28 bytes (never
// inside a character), then dot-filled to 29 characters.
void name_column(std::string& dst, const std::string& text) {
  insert_line(dst, text.size() >= 30 ? cut_utf8(text, kListName) : text, 29);
}
}  // namespace

void insert_line(std::string& dst, const std::string& text, std::size_t width) {
  dst += text;
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80 && c != 0xC0 && c != 0xC1) ++count;
  if (count < width) dst.append(width - count, '.');
}

std::string listing_line(const Record& r) {
  std::string line;
  insert_line(line, r[11], 16);
  name_column(line, r[1]);
  name_column(line, r[2]);
  const std::string& rem = r[10];
  for (int k = 0; k < 3; ++k)
    line += rem.find(kFlagChars[k]) != std::string::npos ? kFlagChars[k] : ' ';
  if (rem.find(kFlagChars[3]) != std::string::npos) line += kFlagChars[3];
  return line;
}

std::string listing_text(const std::string& members, int extended, const std::tm& date,
                         const std::string& category, const std::string& rule) {
  char day[96];
  std::snprintf(day, sizeof day,
                "************************** LISTING SOCIANTES **************** DATE:%02d/%02d/%04d",
                date.tm_mday, date.tm_mon + 1, date.tm_year + 1900);
  std::string out;
  out.reserve(members.size() + 1024);
  for (const std::string& l :
       {kStars, std::string(day), kStars, "CATEGORY: " + category + "     Filter: " + rule, kStars,
        std::string("IDENTIFICATION  NAME                         FIRST NAME(S)                INFOS"),
        kDashes})
    out += l + "\r\n";
  MemberReader in(members);
  Record r;
  while (get_data(in, r, kFields) == kFields) {
    if (!in_cat(r) || eval_flg(r[10]) != 1) continue;
    out += listing_line(r) + "\r\n";
    if (extended)
      out += r[3] + "\r\n" + r[5] + "  " + r[4] + "\r\n" + r[6] + "\r\n\r\n";
  }
  out += kDashes + "\r\n";
  return out;
}

void listing(int extended) {
  if (action_busy()) return;
  get_flgs();
  std::string members;
  if (read_members(members) != 0) return;
  mk_fname("listing.qmd");
  const std::string path = file_name;
  const std::string text =
      listing_text(members, extended, local_now(), cat_txt[cat], getrc("flag_filter"));
  if (write_doc(path, text) == 0) sys().launch(Launch::editor, path);
  end_action();
}

// ---- address ---------------------------------------------------------------

void letter_hd() {
  if (action_busy()) return;
  if (fld::ref.empty()) {
    info(kNoMember, 1);
    return;
  }
  const std::string text = letter_block(current_record(), page_up_value(), page_lt_value());
  mk_fname("address.qmd");
  const std::string path = file_name;
  if (write_doc(path, text) == 0) sys().launch(Launch::editor, path);
}

void open_qmd() { sys().launch(Launch::editor, ""); }

}  // namespace soc
