// The member search (action 4): the criterion dialog, the scan of the
// private copy of the member file, the selection of the member found and the
// mark on its row of the member list.
//
// Each OK reads the member file once, writes it to the private copy
// sociantes.tmp of the temporary directory and searches those bytes: one
// pass folds the whole text to lower case and notes where its lines end,
// the next place where the criterion occurs is found in the folded text,
// and only the records that hold such a place are tested field by field. The records are read as the member-file
// reader reads them (a marker line, 13 fields cut to 62 bytes); the member
// found is then read with that reader itself.
#include "db/search.h"

#include <bit>
#include <cerrno>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/categories.h"
#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "platform/window_system.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"

namespace soc {

int srch_pm = 0;
int list_cnt = 0;
std::string srch_crit;

void search_reset() {
  srch_pm = 0;
  list_cnt = 0;
  srch_crit.clear();
}

namespace {

const char* const kSrchPrompt =
    " Please enter a criteria and press <OK> \r\n Matching members will be displayed. ";

// Reads the whole file at path into out with one read; 0 on success.
int read_all(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 1;
  }
  out.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (true) {
    if (got == out.size()) out.resize(out.size() + 4096);  // the file grew meanwhile
    const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return 1;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  ::close(fd);
  return 0;
}

// Writes text as the whole content of path, reusing the file in place (the
// private copy is rewritten at every search). 0 on success.
int write_copy(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return 1;
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return 1;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  const bool ok = ::ftruncate(fd, static_cast<off_t>(text.size())) == 0;
  return (::close(fd) == 0 && ok) ? 0 : 1;
}

// The member file (network one in network mode) copied to sociantes.tmp of
// the temporary directory; text receives the copy's bytes. 0 on success.
int copy_members(std::string& text) {
  mk_nfname("sociantes.data");
  const std::string src = file_name;
  mk_tmp_fname("sociantes.tmp");
  const std::string dst = file_name;
  if (dst.empty() || read_all(src, text) != 0) return 1;
  return write_copy(dst, text);
}

// The length of a field line as the reader keeps it: at most 62 bytes,
// never splitting a UTF-8 character.
std::size_t field_len(std::string_view t, std::size_t start, std::size_t len) {
  return cut_len(t.substr(start, len), kFieldMax);
}

// True when the records of text follow one another with LF or CR LF line
// ends from the first byte to the end (damage counts as plain: the reader
// stops there too). Looks at the marker lines only.
bool plain_layout(std::string_view text, const std::vector<std::uint32_t>& nl) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") return false;
  std::size_t k = 0;
  while (k <= nl.size()) {
    const std::size_t start = k == 0 ? 0 : std::size_t{nl[k - 1]} + 1;
    if (start >= text.size()) return true;
    const std::size_t end = k < nl.size() ? std::size_t{nl[k]} : text.size();
    std::string_view marker = text.substr(start, end - start);
    if (!marker.empty() && marker.back() == '\r') marker.remove_suffix(1);
    if (marker.find('\r') != std::string_view::npos) return false;     // lone CR line ends
    if (marker.find_first_not_of(" \t") == std::string_view::npos) return false;  // a blank line
    if (marker[0] != '#') return true;
    k += 1 + kFields;
  }
  return true;
}

// The records of text as the member-file reader reads them, each line ended
// by CR LF, up to the end or the first damaged line.
std::string plain_copy(const std::string& text) {
  MemberReader in(text);
  Record r;
  std::string out;
  out.reserve(text.size());
  while (in.next(r) == kFields) in.put_raw(out);
  return out;
}

}  // namespace

std::string fold_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    c = static_cast<char>(static_cast<unsigned>(u - 'A') < 26u ? u | 0x20 : u);
  }
  return out;
}

int search_line(const std::string& field, const std::string& text) {
  return fold_lower(field).find(fold_lower(text)) != std::string::npos ? 1 : 0;
}

int lookup(const std::string& text) {
  for (int f = 1; f <= kFields; ++f)
    if (search_line(data_xchg[f], text)) return 1;
  return 0;
}

void fold_text(std::string_view text, std::string& low, std::vector<std::uint32_t>& nl) {
  low.resize(text.size());
  nl.clear();
  nl.reserve(text.size() / 8 + 16);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  auto* out = reinterpret_cast<unsigned char*>(low.data());
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: 'A'..'Z' moved to -128..-103 are the bytes
  // below -102; they get the 0x20 bit. The line feeds give a bit mask.
  const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80 - 'A'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i bit = _mm_set1_epi8(0x20);
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i cap = _mm_cmplt_epi8(_mm_add_epi8(c, shift), limit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(c, _mm_and_si128(cap, bit)));
    auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, lf)));
    while (m != 0) {
      nl.push_back(static_cast<std::uint32_t>(i + static_cast<unsigned>(std::countr_zero(m))));
      m &= m - 1;
    }
  }
#endif
  for (; i < text.size(); ++i) {
    const unsigned char c = in[i];
    out[i] = static_cast<unsigned char>(static_cast<unsigned>(c - 'A') < 26u ? c | 0x20 : c);
    if (c == '\n') nl.push_back(static_cast<std::uint32_t>(i));
  }
}

void srch_scan(std::string_view text, std::string_view low, const std::vector<std::uint32_t>& nl,
               const std::string& category, const std::string& folded, SrchScan& s) {
  // Line k as the line reader gives it: from the byte after line feed k-1
  // up to line feed k, one carriage return before it dropped; after the
  // last line feed only when something is left.
  auto line = [&](std::size_t k, std::size_t& start, std::size_t& len) {
    if (k > nl.size()) return false;
    start = k == 0 ? 0 : nl[k - 1] + 1;
    if (k == nl.size() && start >= text.size()) return false;
    const std::size_t end = k < nl.size() ? nl[k] : text.size();
    len = end - start;
    if (len > 0 && text[end - 1] == '\r') --len;
    return true;
  };
  // Where line k begins (the end of the text when there is none).
  auto line_at = [&](std::size_t k) {
    return k == 0 ? std::size_t{0} : k <= nl.size() ? std::size_t{nl[k - 1]} + 1 : text.size();
  };
  // Field f of the record whose first field is line first, cut as the reader cuts it.
  auto field = [&](std::size_t first, int f) {
    std::size_t start = 0, len = 0;
    if (!line(first + static_cast<std::size_t>(f) - 1, start, len)) return std::string_view();
    return std::string_view(text.data() + start, field_len(text, start, len));
  };
  int j = 0;
  std::size_t k = 0;                         // the next line to read
  std::size_t occ = std::string_view::npos;  // next place of the criterion, once looked for
  bool looked = false;
  s.hit = false;
  std::size_t start = 0, len = 0;
  while (line(k, start, len) && len > 0 && text[start] == '#') {
    const std::size_t at = start;
    const std::size_t first = k + 1;
    k += 1 + kFields;
    ++j;
    if (j <= s.pm) continue;
    const std::size_t end = line_at(k);
    if (!looked) {
      occ = low.find(folded, at);
      looked = true;
    }
    if (!category.empty() && field(first, 13).substr(0, category.size()) != category) {
      if (occ < end) occ = low.find(folded, end);
      continue;
    }
    ++s.cnt;
    if (occ >= end) continue;  // the criterion is nowhere in this record
    for (int f = 1; f <= kFields; ++f) {
      const std::string_view v = field(first, f);
      const std::size_t off = v.empty() ? 0 : static_cast<std::size_t>(v.data() - text.data());
      if (low.substr(off, v.size()).find(folded) != std::string_view::npos) {
        s.pm = j;
        s.hit = true;
        s.at = at;
        s.end = end;
        return;
      }
    }
    occ = low.find(folded, end);
  }
  s.pm = j;
}

void srch() {
  if (action_busy()) return;
  task_in = 4;
  set_status();
  info(kSrchPrompt, 3);
}

void do_srch() {
  const std::string crit = dlg_input;
  if (crit != srch_crit) {
    list_cnt = 0;
    srch_pm = 0;
    srch_crit = crit;
  }
  if (crit.empty()) {
    close_dialog();
    info(kNoCriteria, 1);
    return;
  }
  free_sel();
  const std::string folded = fold_lower(crit);
  std::string text;
  // The line positions are kept in 32 bits: a member file of 4 GiB is refused.
  if (copy_members(text) != 0 || text.size() >= 0xFFFFFFFFu) {
    info(" ERROR 1 ", 1);
    return;
  }
  std::string low;
  std::vector<std::uint32_t> nl;
  fold_text(text, low, nl);
  if (!plain_layout(text, nl)) {
    // A byte-order mark, lone CR line ends or blank lines between records:
    // the records are scanned as the member-file reader reads them.
    text = plain_copy(text);
    fold_text(text, low, nl);
  }
  SrchScan s;
  s.pm = srch_pm;
  s.cnt = list_cnt;
  srch_scan(text, low, nl, cat_txt[cat], folded, s);
  list_cnt = s.cnt;
  srch_pm = s.pm;
  if (!s.hit) {
    show_cust();
    if (!ws().message_beep()) ws().tone(400, 100);
    return;
  }
  // The member found, read with the member-file reader. Only a reference
  // of one letter and four digits names a lock file.
  MemberReader rec(text.substr(s.at, s.end - s.at));
  get_data(rec, kFields);
  const std::string ref = data_xchg[12];
  if (!is_ref(ref)) {
    show_cust();
    refuse_selection(ref);
    return;
  }
  mk_nfname(ref);
  if (lock_f() != 0) {
    // Locked by another workstation: the list comes back and the next OK
    // goes on after this member.
    show_cust();
    return;
  }
  // Which of the records sharing this reference was found (file order).
  // Most references stand in one record only: the records before the hit
  // are read only when the reference appears among them.
  int nth = 0;
  if (std::string_view(text.data(), s.at).find(ref) != std::string_view::npos) {
    MemberReader before(text.substr(0, s.at));
    Record r;
    while (get_data(before, r, kFields) == kFields)
      if (r[12] == ref) ++nth;
  }
  sel_nth = nth;
  index_sel = ref;
  get_xchg();
  show_data();
  ws().list_select(member_list_ctl(), list_cnt - 1);
}

}  // namespace soc
