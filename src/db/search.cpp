// The member search (action 4): the criterion dialog, the scan of the
// private copy of the member file, the selection of the member found and the
// mark on its row of the member list.
//
// Each OK reads the member file once and searches those bytes; the private
// copy sociantes.tmp of the temporary directory always holds them. One pass
// folds the whole text to lower case and notes where its lines end, the next
// place where the criterion occurs is found in the folded text, and only the
// records that hold such a place are tested field by field. The records are
// read as the member-file reader reads them (a marker line, 13 fields cut to
// 62 bytes); the member found is then read with that reader itself.
//
// The bytes last copied are kept with their folded form: when the next OK
// reads the same bytes and the private copy is still the file written then,
// the copy is neither written nor folded again. The member file is not even
// read again while it is the very file read then (same file, size and
// times, opened afresh so that a network file system checks them), provided
// its times were settled when it was read; see settled().
#include "db/search.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
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

// Bytes whose first one lies on a 64-byte boundary. The member file is read
// into such a buffer: on some processors the kernel's copy into a buffer
// that begins a few bytes after a page boundary (where large blocks from
// the allocator begin) takes ten times as long as one aligned.
class ReadBuffer {
 public:
  char* data() { return p_.get(); }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {p_.get(), size_}; }
  // Room for n bytes; those kept are the first n, the others undefined.
  void resize(std::size_t n) {
    if (n > cap_) {
      const std::size_t cap = std::max(n, cap_ * 3 / 2);
      Bytes q(static_cast<char*>(::operator new[](cap, std::align_val_t{kAlign})));
      if (size_ > 0) std::memcpy(q.get(), p_.get(), std::min(size_, n));
      p_ = std::move(q);
      cap_ = cap;
    }
    size_ = n;
  }
  void swap(ReadBuffer& o) noexcept {
    p_.swap(o.p_);
    std::swap(size_, o.size_);
    std::swap(cap_, o.cap_);
  }

 private:
  static constexpr std::size_t kAlign = 64;
  struct Free {
    void operator()(char* p) const { ::operator delete[](p, std::align_val_t{kAlign}); }
  };
  using Bytes = std::unique_ptr<char[], Free>;
  Bytes p_;              // the bytes
  std::size_t size_ = 0; // bytes in use
  std::size_t cap_ = 0;  // bytes allocated
};

// The identity of a file: a file removed, replaced or written since it
// was noted no longer matches.
struct CopyStamp {
  dev_t dev = 0;            // file system
  ino_t ino = 0;            // file
  off_t size = -1;          // length in bytes
  struct timespec mtime{};  // last write
  struct timespec ctime{};  // last change of content or attributes
};

CopyStamp stamp_of(const struct stat& st) {
  return CopyStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool operator==(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool operator==(const CopyStamp& a, const CopyStamp& b) {
  return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtime == b.mtime &&
         a.ctime == b.ctime;
}

// A file whose times lie at least two seconds in the past when it is read:
// a write in place after the read then gives it other times. A file written
// just before (within one tick of its clock) could be written again without
// its times changing, so it is read again at the next OK.
bool settled(const CopyStamp& st) {
  struct timespec now;
  if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
  const auto old = [&](const struct timespec& t) { return t.tv_sec + 2 <= now.tv_sec; };
  return st.size >= 0 && old(st.mtime) && old(st.ctime);
}

// Reads the whole file at path into out (one read of the size it has, and
// one more that finds its end); 0 on success. stamp receives the file's
// identity when it did not change during the read, else an identity that
// matches no file.
int read_all(const std::string& path, ReadBuffer& out, CopyStamp& stamp) {
  stamp = CopyStamp{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 1;
  }
  std::size_t want = static_cast<std::size_t>(st.st_size) + 4096;
  out.resize(want);
  std::size_t got = 0;
  while (true) {
    if (got == want) out.resize(want += want / 2);  // the file grew meanwhile
    const ssize_t n = ::read(fd, out.data() + got, want - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return 1;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  struct stat after;
  if (::fstat(fd, &after) == 0 && stamp_of(after) == stamp_of(st) &&
      static_cast<std::size_t>(st.st_size) == got)
    stamp = stamp_of(st);
  ::close(fd);
  return 0;
}

// The identity of the file at path, opened afresh (a network file system
// then asks its server); an identity that matches no file when it cannot
// be opened.
CopyStamp stamp_now(const std::string& path) {
  CopyStamp stamp;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return stamp;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) stamp = stamp_of(st);
  ::close(fd);
  return stamp;
}

// Writes text as the whole content of path, reusing the file in place;
// stamp receives the file as written. 0 on success.
int write_copy(const std::string& path, std::string_view text, CopyStamp& stamp) {
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
  struct stat st;
  const bool ok = ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 && ::fstat(fd, &st) == 0;
  if (ok) stamp = stamp_of(st);
  return (::close(fd) == 0 && ok) ? 0 : 1;
}

// The length of a field line as the reader keeps it: at most 62 bytes,
// never splitting a UTF-8 character.
std::size_t field_len(std::string_view t, std::size_t start, std::size_t len) {
  return cut_len(t.substr(start, len), kFieldMax);
}

// The lines of a text, as the line reader gives them, from the positions
// of its line feeds.
struct Lines {
  std::string_view text;                // the whole text
  const std::vector<std::uint32_t>& nl; // the position of each line feed
  // Line k: from the byte after line feed k-1 up to line feed k, one
  // carriage return before it dropped; after the last line feed only when
  // something is left.
  bool line(std::size_t k, std::size_t& start, std::size_t& len) const {
    if (k > nl.size()) return false;
    start = k == 0 ? 0 : nl[k - 1] + 1;
    if (k == nl.size() && start >= text.size()) return false;
    const std::size_t end = k < nl.size() ? nl[k] : text.size();
    len = end - start;
    if (len > 0 && text[end - 1] == '\r') --len;
    return true;
  }
  // Where line k begins (the end of the text when there is none).
  std::size_t at(std::size_t k) const {
    return k == 0 ? std::size_t{0} : k <= nl.size() ? std::size_t{nl[k - 1]} + 1 : text.size();
  }
  // Field f of the record whose first field is line first, cut as the reader cuts it.
  std::string_view field(std::size_t first, int f) const {
    std::size_t start = 0, len = 0;
    if (!line(first + static_cast<std::size_t>(f) - 1, start, len)) return {};
    return text.substr(start, field_len(text, start, len));
  }
};

// Lines per record: the marker line and the 13 fields.
constexpr std::size_t kStride = 1 + kFields;

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

// A reference of one letter and four digits as a number below 520,000.
std::uint32_t ref_code(std::string_view ref) {
  const auto l = static_cast<unsigned char>(ref[0]);
  const std::uint32_t letter = l <= 'Z' ? l - 'A' : 26u + (l - 'a');
  return letter * 10000u + static_cast<std::uint32_t>(std::atoi(std::string(ref.substr(1)).c_str()));
}

// The references (field 12, of one letter and four digits) that stand in
// more than one of the first records of text, into dups as ref_code()s,
// sorted.
void shared_refs(std::string_view text, const std::vector<std::uint32_t>& nl, int records,
                 std::vector<std::uint32_t>& dups) {
  const Lines ls{text, nl};
  static std::vector<bool> seen;
  seen.assign(52u * 10000u, false);
  dups.clear();
  for (int r = 0; r < records; ++r) {
    const std::string_view ref = ls.field(static_cast<std::size_t>(r) * kStride + 1, 12);
    if (!is_ref(ref)) continue;
    const std::uint32_t code = ref_code(ref);
    if (seen[code])
      dups.push_back(code);
    else
      seen[code] = true;
  }
  std::sort(dups.begin(), dups.end());
}

// The member file as the last OK copied it, and what the scan made of it.
struct Copied {
  std::string src;                // the member file read
  std::string dst;                // the private copy written
  ReadBuffer raw;                 // the member file's bytes, as in the copy
  bool plain = true;              // raw is scanned as it is (see plain_layout)
  std::string rewritten;          // otherwise its records as the reader reads them
  std::string low;                // the scanned text folded to lower case
  std::vector<std::uint32_t> nl;  // the line feeds of the scanned text
  int records = 0;                // the records the scan reads in it
  std::vector<std::uint32_t> dups;  // ref_code() of the references standing in several records, sorted
  CopyStamp stamp;                // the copy as written
  CopyStamp src_stamp;            // the member file as read, when settled() then
  bool valid = false;             // the fields above belong together
  std::string_view text() const { return plain ? raw.view() : std::string_view(rewritten); }
};

Copied& copied() {
  static Copied c;
  return c;
}

// The member file (network one in network mode) read and copied to
// sociantes.tmp of the temporary directory, then folded for the scan; the
// copy and the fold of the last OK serve again when the member file holds
// the same bytes and the copy is the file written then. 0 on success.
int copy_members() {
  mk_nfname("sociantes.data");
  const std::string src = file_name;
  mk_tmp_fname("sociantes.tmp");
  const std::string dst = file_name;
  if (dst.empty()) return 1;
  Copied& c = copied();
  const auto copy_kept = [&] {
    struct stat st;
    return ::stat(dst.c_str(), &st) == 0 && stamp_of(st) == c.stamp;
  };
  if (c.valid && c.src == src && c.dst == dst && c.src_stamp.size >= 0 &&
      stamp_now(src) == c.src_stamp && copy_kept())
    return 0;  // the very file read at an earlier OK, and its copy
  static ReadBuffer fresh;  // the bytes read, in a buffer kept from one OK to the next
  CopyStamp src_stamp;
  // The line positions are kept in 32 bits: a member file of 4 GiB is refused.
  if (read_all(src, fresh, src_stamp) != 0 || fresh.size() >= 0xFFFFFFFFu) return 1;
  if (!settled(src_stamp)) src_stamp = CopyStamp{};
  if (c.valid && c.src == src && c.dst == dst && fresh.view() == c.raw.view()) {
    c.src_stamp = src_stamp;
    if (copy_kept()) return 0;
    // The copy was removed or changed since: written again, the scan's
    // data serve as they are.
    if (write_copy(dst, c.raw.view(), c.stamp) == 0) return 0;
    c.valid = false;
    return 1;
  }
  c.valid = false;
  if (write_copy(dst, fresh.view(), c.stamp) != 0) return 1;
  c.src = src;
  c.dst = dst;
  c.src_stamp = src_stamp;
  c.raw.swap(fresh);
  fold_text(c.raw.view(), c.low, c.nl);
  c.plain = plain_layout(c.raw.view(), c.nl);
  if (!c.plain) {
    // A byte-order mark, lone CR line ends or blank lines between records:
    // the records are scanned as the member-file reader reads them.
    c.rewritten = plain_copy(std::string(c.raw.view()));
    fold_text(c.rewritten, c.low, c.nl);
  }
  c.records = srch_records(c.text(), c.nl);
  shared_refs(c.text(), c.nl, c.records, c.dups);
  c.valid = true;
  return 0;
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

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// The places of the 32 at p whose first byte is head's and whose byte n-1 is tail's.
__attribute__((target("avx2"))) inline __m256i wide_maybe(const char* p, std::size_t n,
                                                         __m256i head, __m256i tail) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + n - 1));
  return _mm256_and_si256(_mm256_cmpeq_epi8(a, head), _mm256_cmpeq_epi8(b, tail));
}

// find_text's blocks of 64 places, on processors that have AVX2: from i on
// while a whole block fits before last. The place found, or npos with i at
// the first place not tested.
__attribute__((target("avx2"))) std::size_t find_wide(const char* h, std::size_t& i,
                                                      std::size_t last, std::string_view needle) {
  const std::size_t n = needle.size();
  const __m256i head = _mm256_set1_epi8(needle.front());
  const __m256i tail = _mm256_set1_epi8(needle.back());
  for (; i + 63 <= last; i += 64) {
    const __m256i lo = wide_maybe(h + i, n, head, tail);
    const __m256i hi = wide_maybe(h + i + 32, n, head, tail);
    const __m256i any = _mm256_or_si256(lo, hi);
    if (_mm256_testz_si256(any, any)) continue;
    auto m = static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(lo))) |
             static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(hi))) << 32;
    while (m != 0) {
      const std::size_t at = i + static_cast<unsigned>(std::countr_zero(m));
      if (std::memcmp(h + at, needle.data(), n) == 0) return at;
      m &= m - 1;
    }
  }
  return std::string_view::npos;
}

const bool kHasAvx2 = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

std::size_t find_text(std::string_view hay, std::string_view needle, std::size_t from) {
  const std::size_t n = needle.size();
  if (from > hay.size() || n > hay.size() - from) return std::string_view::npos;
  if (n == 0) return from;
  const char* h = hay.data();
  const std::size_t last = hay.size() - n;  // the last place where needle fits
  std::size_t i = from;
#if defined(__x86_64__) && defined(__GNUC__)
  if (kHasAvx2) {
    const std::size_t at = find_wide(h, i, last, needle);
    if (at != std::string_view::npos) return at;
  }
#endif
#if defined(__SSE2__)
  // Sixteen places at once: those whose first byte and whose byte n-1 are
  // the needle's are compared whole.
  const __m128i head = _mm_set1_epi8(needle.front());
  const __m128i tail = _mm_set1_epi8(needle.back());
  for (; i + 15 <= last; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + n - 1));
    auto m = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, head), _mm_cmpeq_epi8(b, tail))));
    while (m != 0) {
      const std::size_t at = i + static_cast<unsigned>(std::countr_zero(m));
      if (std::memcmp(h + at, needle.data(), n) == 0) return at;
      m &= m - 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (h[i] == needle.front() && std::memcmp(h + i, needle.data(), n) == 0) return i;
  return std::string_view::npos;
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

int srch_records(std::string_view text, const std::vector<std::uint32_t>& nl) {
  const Lines ls{text, nl};
  int n = 0;
  std::size_t start = 0, len = 0;
  for (std::size_t k = 0; ls.line(k, start, len) && len > 0 && text[start] == '#'; k += kStride) ++n;
  return n;
}

void srch_scan(std::string_view text, std::string_view low, const std::vector<std::uint32_t>& nl,
               int records, const std::string& category, const std::string& folded, SrchScan& s) {
  const Lines ls{text, nl};
  // Where record r (0-based) begins: its marker line.
  auto rec_at = [&](int r) { return ls.at(static_cast<std::size_t>(r) * kStride); };
  // True when record r matches, and then it is the hit.
  auto matches = [&](int r) {
    const std::size_t first = static_cast<std::size_t>(r) * kStride + 1;
    for (int f = 1; f <= kFields; ++f) {
      const std::string_view v = ls.field(first, f);
      const std::size_t off = v.empty() ? 0 : static_cast<std::size_t>(v.data() - text.data());
      if (low.substr(off, v.size()).find(folded) != std::string_view::npos) {
        s.pm = r + 1;
        s.hit = true;
        s.at = rec_at(r);
        s.end = rec_at(r + 1);
        return true;
      }
    }
    return false;
  };
  s.hit = false;
  int r = s.pm < 0 ? 0 : s.pm;  // the first record not searched yet
  if (r >= records) {
    s.pm = records;
    return;
  }
  std::size_t occ = find_text(low, folded, rec_at(r));  // the next place of the criterion
  if (category.empty()) {
    // Every record is a list row; only those holding a place of the
    // criterion are tested, the others are only counted.
    const std::size_t stop = rec_at(records);
    while (occ < stop) {
      const auto line = static_cast<std::size_t>(std::lower_bound(nl.begin(), nl.end(), occ) - nl.begin());
      const int holder = static_cast<int>(line / kStride);
      s.cnt += holder - r + 1;
      if (matches(holder)) return;
      r = holder + 1;
      occ = find_text(low, folded, rec_at(r));
    }
    s.cnt += records - r;
    s.pm = records;
    return;
  }
  // A category: the list rows are the records whose field 13 begins with it.
  for (; r < records; ++r) {
    const std::size_t end = rec_at(r + 1);
    const std::string_view cat_field = ls.field(static_cast<std::size_t>(r) * kStride + 1, 13);
    if (cat_field.substr(0, category.size()) != category) {
      if (occ < end) occ = find_text(low, folded, end);
      continue;
    }
    ++s.cnt;
    if (occ >= end) continue;  // the criterion is nowhere in this record
    if (matches(r)) return;
    occ = find_text(low, folded, end);
  }
  s.pm = records;
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
  if (copy_members() != 0) {
    info(" ERROR 1 ", 1);
    return;
  }
  const Copied& c = copied();
  const std::string_view text = c.text();
  SrchScan s;
  s.pm = srch_pm;
  s.cnt = list_cnt;
  srch_scan(text, c.low, c.nl, c.records, cat_txt[cat], folded, s);
  list_cnt = s.cnt;
  srch_pm = s.pm;
  if (!s.hit) {
    show_cust();
    if (!ws().message_beep()) ws().tone(400, 100);
    return;
  }
  // The member found, read with the member-file reader. Only a reference
  // of one letter and four digits names a lock file.
  MemberReader rec(std::string(text.substr(s.at, s.end - s.at)));
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
  // are read only when its reference stands in several.
  int nth = 0;
  if (std::binary_search(c.dups.begin(), c.dups.end(), ref_code(ref))) {
    MemberReader before(std::string(text.substr(0, s.at)));
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
