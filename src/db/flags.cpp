// The flag boxes and the flag characters of the remarks field, the flag
// filter rule, and the info labels (captions of the flag boxes).
#include "db/flags.h"

#include <vector>

#include <unistd.h>

#include "db/records.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc {

namespace {
const std::array<std::string, 4> kDefaultCaptions = {"Info-!", "Info-$", "Info-%", "Info-&&"};
const char* const kRuleNames[5] = {"none", "or", "and", "nor", "nand"};

bool is_flag_char(char c) { return c == '!' || c == '$' || c == '%' || c == '&'; }

int* flg_state(int k) {
  static int* const states[4] = {&flg1, &flg2, &flg3, &flg4};
  return states[k];
}
}  // namespace

std::array<std::string, 4> flag_names = kDefaultCaptions;
int flg1 = 0, flg2 = 0, flg3 = 0, flg4 = 0;
int flg_code = 0;

void flags_reset() {
  flag_names = kDefaultCaptions;
  flg1 = flg2 = flg3 = flg4 = 0;
  flg_code = 0;
}

// ---- info labels ----------------------------------------------------------

void mk_flags_bnts() {
  mk_nfname("sociantes.flg");
  std::vector<std::string> lines;
  if (is_this_file(file_name) != 0 || !read_lines(file_name, lines)) return;
  for (std::size_t k = 0; k < 4 && k < lines.size(); ++k)
    flag_names[k] = do_utf(cut_utf8(lines[k], kFlagCaptionMax));  // shown as the categories are
}

void info_edit() {
  if (nfs) {
    info(kRestricted, 1);
    return;
  }
  mk_fname("sociantes.flg");
  std::vector<std::string> lines;
  if (is_this_file(file_name) == 0 && read_lines(file_name, lines)) {
    tmp_str.clear();
    for (std::size_t k = 0; k < 4 && k < lines.size(); ++k)
      tmp_str += do_utf(cut_utf8(lines[k], 15)) + " ";
  } else {
    tmp_str = "Info-! Info-$ Info-% Info-&& ";
  }
  task_in = 23;
  set_status();
  info("  Please enter 4 info labels  of 10 characters length max. separated with <Spaces>. \r\n"
       " You should restart to update the window.  ",
       3);
}

int mk_info_file() {
  mk_fname("sociantes.flg");
  const std::string path = file_name;
  std::string text = tmp_str;
  if (text.empty()) {
    ::unlink(path.c_str());
    return 0;
  }
  if (text.back() != ' ') text += ' ';
  // Every blank ends one label; the file is put in place whole.
  std::string content;
  int blanks = 0;
  for (char c : text) {
    if (c == ' ') {
      content += "\r\n";
      ++blanks;
    } else if (c != '\r' && c != '\n') {
      content += c;
    }
  }
  if (blanks != 4) {
    ::unlink(path.c_str());
    info(" The info labels were not stored: " + std::to_string(blanks) +
             " labels were given, 4 are needed, \r\n separated by single blanks. "
             "\r\n The default labels apply at the next start. ",
         1);
    return 1;
  }
  if (replace_file(path, content) != 0) {
    info(" The info labels file cannot be written: \r\n" + path + " ", 1);
    return 1;
  }
  return 0;
}

// ---- flag boxes -----------------------------------------------------------

void clr_flgs() {
  for (int k = 1; k <= 4; ++k) ws().ctl_check(flag_ctl(k), false);
}

void update_flgs(const std::string& text) {
  clr_flgs();
  for (int k = 0; k < 4; ++k)
    if (text.find(kFlagChars[k]) != std::string::npos) ws().ctl_check(flag_ctl(k + 1), true);
}

void get_flgs() {
  for (int k = 0; k < 4; ++k) *flg_state(k) = ws().ctl_checked(flag_ctl(k + 1)) ? 1 : 0;
}

std::string bld_rem(const std::string& text) {
  std::string rem;
  for (char c : cut_utf8(text, kRemTextMax + 5))
    if (!is_flag_char(c)) rem += c;
  if (rem.size() >= kRemTextMax)
    rem = cut_utf8(rem, kRemTextMax);
  else if (rem.empty() || rem.back() != ' ')
    rem += ' ';
  for (int k = 0; k < 4; ++k)
    if (*flg_state(k) == 1) rem += kFlagChars[k];
  return rem;
}

void bld_infos(std::string& text) {
  get_flgs();
  text = bld_rem(text);
}

// ---- filter rule ----------------------------------------------------------

int eval_flg(const std::string& text) {
  bool any_ticked = false, some_hit = false, some_missing = false;
  for (int k = 0; k < 4; ++k) {
    if (*flg_state(k) != 1) continue;
    any_ticked = true;
    if (text.find(kFlagChars[k]) != std::string::npos)
      some_hit = true;
    else
      some_missing = true;
  }
  switch (listing_type) {
    case 0: return 1;                      // none
    case 1: return some_hit ? 1 : 0;       // or
    case 2: return some_missing ? 0 : 1;   // and
    case 3: return some_hit ? 0 : 1;       // nor
    case 4: return any_ticked && some_missing ? 1 : 0;  // nand
    default: return 0;
  }
}

const char* rule_name(int rule) { return rule >= 0 && rule < 5 ? kRuleNames[rule] : ""; }

void set_flgs_rule(int rule) {
  if (rule < 0 || rule > 4) return;
  listing_type = rule;
  save_rc("flag_filter", kRuleNames[rule]);
  set_status();
}

// ---- one flag in a remarks field -----------------------------------------

int rm_flg(std::string& rem, char c) {
  std::size_t before = rem.size();
  std::erase(rem, c);
  return rem.size() != before ? 1 : 0;
}

int add_flg(std::string& rem, char c) {
  if (rem.find(c) != std::string::npos) return 0;
  // The flags and blanks at the end of the field stay together with the new
  // flag; when the field would pass 62 bytes the remark text before them is
  // shortened, so that the flag is never cut off by the writer. Done in
  // place: a bulk change calls this for every member.
  std::size_t tail = rem.size();
  while (tail > 0 && (is_flag_char(rem[tail - 1]) || rem[tail - 1] == ' ')) --tail;
  if (tail == rem.size()) rem += ' ';
  rem += c;
  if (rem.size() - tail > kFieldMax) rem.erase(tail, rem.size() - tail - kFieldMax);
  if (rem.size() > kFieldMax) {
    const std::size_t room = kFieldMax - (rem.size() - tail);  // for the remark text
    const std::size_t keep = cut_len(std::string_view(rem.data(), tail), room);
    rem.erase(keep, tail - keep);
  }
  return 1;
}

int rm_flg(char c) { return rm_flg(data_xchg[10], c); }
int add_flg(char c) { return add_flg(data_xchg[10], c); }

}  // namespace soc
