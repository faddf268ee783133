// Reading and writing member records; the name order of the member file.
#include "db/records.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "import/do_utf.h"
#include "platform/fs.h"

namespace soc {

Record data_xchg;
Record tmp_xchg;

namespace fld {
std::string name, fname, adr, city, post, phone, act, nation, birth, rem, id, ref, category;

std::string& by_number(int n) {
  static std::string* const table[] = {nullptr, &name,  &fname, &adr, &city, &post, &phone, &act,
                                       &nation, &birth, &rem,   &id,  &ref,  &category};
  static std::string none;
  if (n < 1 || n > 13) {
    none.clear();
    return none;
  }
  return *table[n];
}
}  // namespace fld

bool LineReader::next(std::string_view& line) {
  const std::size_t size = text_.size();
  if (pos_ >= size) return false;
  // The line ends at the first LF or CR (CR LF or a lone CR). The next
  // position of each is kept, so that every byte is searched once even in a
  // file with one kind of line end only.
  const char* base = text_.data();
  auto next_of = [&](char c, std::size_t& at) {
    if (at != std::string::npos && at >= pos_) return;
    const void* p = std::memchr(base + pos_, c, size - pos_);
    at = p ? static_cast<std::size_t>(static_cast<const char*>(p) - base) : size;
  };
  next_of('\n', lf_);
  next_of('\r', cr_);
  std::size_t end = lf_ < cr_ ? lf_ : cr_;
  std::size_t after = end < size ? end + 1 : size;
  if (end < size && base[end] == '\r' && after < size && base[after] == '\n') ++after;
  line = std::string_view(text_).substr(pos_, end - pos_);
  pos_ = after;
  ++number_;
  return true;
}

bool LineReader::next(std::string& line) {
  std::string_view v;
  if (!next(v)) return false;
  line.assign(v);
  return true;
}

namespace {
bool blank_line(std::string_view l) { return l.find_first_not_of(" \t") == std::string_view::npos; }
}  // namespace

MemberReader::MemberReader(std::string text) : in_(std::move(text)) {
  if (in_.text().compare(0, 3, "\xEF\xBB\xBF") == 0) in_.skip(3);
}

int MemberReader::next(Record& r, int n) {
  if (bad_ != 0) return 0;
  std::string_view l;
  do {
    if (!in_.next(l)) return 0;
  } while (blank_line(l));
  if (l[0] != '#') {
    bad_ = in_.number();
    return 0;
  }
  raw_[0] = l;
  line_ = in_.number();
  n_ = n;
  whole_ = true;
  for (int i = 1; i <= n; ++i) {
    // A field line missing at the end of the file reads as empty; an
    // over-long line is cut, never split into the next field.
    if (!in_.next(l)) {
      l = {};
      whole_ = false;
    }
    raw_[static_cast<std::size_t>(i)] = l;
    std::string& f = r[static_cast<std::size_t>(i)];
    if (l.size() <= kFieldMax)
      f.assign(l);  // reuses the row's room: no allocation for a reused record
    else
      f = cut_utf8(std::string(l), kFieldMax);
  }
  return n;
}

std::string_view MemberReader::field(int i) const {
  return i >= 1 && i <= n_ ? raw_[static_cast<std::size_t>(i)] : std::string_view();
}

void MemberReader::put_raw(std::string& out) const { put_raw(out, 0, std::string()); }

void MemberReader::put_raw(std::string& out, int f, const std::string& value) const {
  for (int i = 0; i <= n_; ++i) {
    if (i == f && f != 0)
      out += value;
    else
      out += raw_[static_cast<std::size_t>(i)];
    out += "\r\n";
  }
}

int get_data(MemberReader& in, Record& r, int n) { return in.next(r, n); }

int get_data(MemberReader& in, int n) { return get_data(in, data_xchg, n); }

int put_data(std::string& out, const Record& r, int n) {
  out += "#\r\n";
  for (int i = 1; i <= n; ++i) {
    const std::string& f = r[i];
    // One look for a line end per field (not per byte).
    if (f.size() <= kFieldMax && !std::memchr(f.data(), '\r', f.size()) &&
        !std::memchr(f.data(), '\n', f.size())) {
      out += f;
    } else {
      // A field never reaches the file longer than 62 bytes or holding a
      // line end, which would shift every following field.
      std::string s = cut_utf8(f, kFieldMax);
      for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
      out += s;
    }
    out += "\r\n";
  }
  return n;
}

int put_data(std::string& out, int n) { return put_data(out, data_xchg, n); }

// ---- the one-pass scan ------------------------------------------------------

namespace {
// Finds the line ends (CR or LF) of a text from left to right, 64 bytes at a
// time: each block is looked at once, whatever the length of its lines.
class EolFinder {
 public:
  explicit EolFinder(std::string_view t) : p_(t.data()), size_(t.size()) {}
  // The first CR or LF at or after from, or the size of the text.
  std::size_t next(std::size_t from) {
    for (;;) {
#if defined(__SSE2__)
      if (from - blk_ < 64) {
        const std::uint64_t m = mask_ & (~std::uint64_t{0} << (from - blk_));
        if (m) return blk_ + static_cast<std::size_t>(__builtin_ctzll(m));
        from = blk_ + 64;
      }
      if (from + 64 > size_) break;
      const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
      std::uint64_t m = 0;
      for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p_ + from + 16 * i));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
        m |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << (16 * i);
      }
      blk_ = from;
      mask_ = m;
#else
      break;
#endif
    }
    while (from < size_ && p_[from] != '\n' && p_[from] != '\r') ++from;
    return from;
  }

 private:
  const char* p_;                   // the text
  std::size_t size_;                // its length
  std::size_t blk_ = static_cast<std::size_t>(-1) - 64;  // start of the block looked at (none yet)
  std::uint64_t mask_ = 0;          // its CR and LF bytes, one bit each
};

bool blank_text(const char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != ' ' && p[i] != '\t') return false;
  return true;
}

// The room of a cut field: at most kFieldMax bytes, on a whole character.
std::string_view cut_view(std::string_view v) {
  return v.substr(0, cut_len(v, kFieldMax));
}
}  // namespace

void MemberScan::start(std::string_view text, int n) {
  text_ = text;
  recs_.clear();
  n_ = n < 1 ? 1 : n > kFields ? kFields : n;
  bad_ = 0;
  broken_ = false;
}

int MemberScan::scan(std::string_view text, int n) {
  start(text, n);
  if (text.size() >= UINT32_MAX) {
    // Beyond what the offsets hold (and any member file): never rewritten.
    bad_ = 1;
    return bad_;
  }
  return scan_rest(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0, 0, nullptr, 0);
}

namespace {
// The length of the common start of a and b, compared a block at a time.
std::size_t same_head(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  constexpr std::size_t kBlock = 4096;
  std::size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0) i += kBlock;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// The length of the common end of a and b, at most limit bytes.
std::size_t same_tail(std::string_view a, std::string_view b, std::size_t limit) {
  constexpr std::size_t kBlock = 4096;
  std::size_t i = 0;
  while (i + kBlock <= limit &&
         std::memcmp(a.data() + a.size() - i - kBlock, b.data() + b.size() - i - kBlock, kBlock) == 0)
    i += kBlock;
  while (i < limit && a[a.size() - i - 1] == b[b.size() - i - 1]) ++i;
  return i;
}
}  // namespace

int MemberScan::scan_changed(const MemberScan& old, std::string_view text) {
  const std::string_view was = old.text_;
  if (old.bad_ != 0 || old.broken_ || old.recs_.empty() || text.size() >= UINT32_MAX) {
    // Nothing to take from old: every record is read anew.
    scan(text, old.n_);
    for (Rec& r : recs_) r.from = UINT32_MAX;
    return bad_;
  }
  start(text, old.n_);
  const std::size_t head = same_head(was, text);
  const std::size_t shorter = was.size() < text.size() ? was.size() : text.size();
  const std::size_t tail = same_tail(was, text, shorter - head);
  const std::size_t end = static_cast<std::size_t>(n_ + 1);
  // The records before the first changed byte read as they did (the byte
  // after a record must be the same too unless its lines end in CR LF: a
  // last line ending in CR might end in CR LF now).
  std::size_t kept = 0;
  while (kept < old.recs_.size() && old.recs_[kept].at[end] + !old.recs_[kept].crlf <= head) ++kept;
  recs_.assign(old.recs_.begin(), old.recs_.begin() + static_cast<std::ptrdiff_t>(kept));
  for (std::size_t k = 0; k < kept; ++k) {
    recs_[k].from = static_cast<std::uint32_t>(k);
    recs_[k].changed = 0;
  }
  if (kept == 0)
    scan_rest(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0, 0, &old, text.size() - tail);
  else
    scan_rest(recs_.back().at[end], recs_.back().line + static_cast<std::uint32_t>(n_), &old,
              text.size() - tail);
  pair_changed(old, kept);
  return bad_;
}

void MemberScan::pair_changed(const MemberScan& old, std::size_t first) {
  // The records read anew lie between first and the records taken from the
  // end; where as many stood there in old (a change made in place, such as
  // a bulk flag change), each is paired with the old record at its place.
  std::size_t last = first;
  while (last < recs_.size() && recs_[last].from == UINT32_MAX) ++last;
  const std::size_t old_last = last < recs_.size() ? recs_[last].from : old.recs_.size();
  if (old_last < first || old_last - first != last - first) return;
  for (std::size_t k = first; k < last; ++k) {
    Rec& r = recs_[k];
    const Rec& o = old.recs_[k];
    const auto same = [&](int f) { return f > n_ || line_of(r, f) == old.line_of(o, f); };
    // A field the list shows other than the flags changed: not the same
    // member's row.
    if (!same(1) || !same(11) || !same(12)) continue;
    int changed = 10;
    if (same(10)) {
      changed = 0;
      for (int f = 2; f <= n_ && changed == 0; ++f)
        if (!same(f)) changed = f;
    }
    r.from = static_cast<std::uint32_t>(k);
    r.changed = static_cast<std::uint8_t>(changed);
  }
}

int MemberScan::scan_rest(std::size_t pos, std::uint32_t number, const MemberScan* old,
                          std::size_t same_from) {
  const std::string_view text = text_;
  const char* p = text.data();
  const std::size_t size = text.size();
  const std::size_t end = static_cast<std::size_t>(n_ + 1);
  EolFinder eol(text);
  // Reads the line at pos: returns its end and moves pos past its line end;
  // crlf is cleared unless that line end is CR LF.
  auto take = [&](bool& crlf) {
    const std::size_t e = eol.next(pos);
    ++number;
    if (e < size && p[e] == '\r' && e + 1 < size && p[e + 1] == '\n') {
      pos = e + 2;
    } else {
      crlf = false;
      pos = e < size ? e + 1 : size;
    }
    return e;
  };
  while (pos < size) {
    if (old && pos >= same_from && p[pos] == '#') {
      // From here to the end the text is the old one moved: where the old
      // scan had a record start, it read the rest as this scan would.
      const std::size_t at = pos - (size - old->text_.size());
      const auto& o = old->recs_;
      const auto it = std::lower_bound(o.begin(), o.end(), at,
                                       [](const Rec& r, std::size_t v) { return r.at[0] < v; });
      if (it != o.end() && it->at[0] == at) {
        const std::uint32_t moved = static_cast<std::uint32_t>(pos - at);
        const std::uint32_t lines = number + 1 - it->line;
        for (auto r = it; r != o.end(); ++r) {
          Rec& k = recs_.emplace_back(*r);
          for (std::size_t i = 0; i <= end; ++i) k.at[i] += moved;
          k.line += lines;
          k.from = static_cast<std::uint32_t>(r - o.begin());
          k.changed = 0;
        }
        return bad_;
      }
    }
    bool crlf = true;
    const std::size_t start = pos;
    const std::size_t e = take(crlf);
    if (p[start] != '#') {
      if (blank_text(p + start, e - start)) continue;
      bad_ = static_cast<int>(number);
      break;
    }
    Rec& r = recs_.emplace_back();
    r.changed = 0;
    r.from = old ? UINT32_MAX : static_cast<std::uint32_t>(recs_.size() - 1);
    r.at[0] = static_cast<std::uint32_t>(start);
    r.line = number;
    r.whole = true;
    for (int i = 1; i <= n_; ++i) {
      r.at[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(pos);
      if (pos >= size) {
        r.whole = false;  // a field line missing at the end reads as empty
        continue;
      }
      take(crlf);
    }
    r.at[end] = static_cast<std::uint32_t>(pos);
    r.crlf = crlf && r.whole;
  }
  return bad_;
}

std::string_view MemberScan::odd_line(const Rec& r, int i) const {
  const std::size_t start = r.at[static_cast<std::size_t>(i)];
  std::size_t next = r.at[static_cast<std::size_t>(i + 1)];
  if (start >= text_.size()) return {};
  // The line ends before its line end: CR LF, LF or CR (the last line of the
  // text may have none). A line never holds a CR or LF itself.
  if (next > start && text_[next - 1] == '\n') {
    --next;
    if (next > start && text_[next - 1] == '\r') --next;
  } else if (next > start && text_[next - 1] == '\r') {
    --next;
  }
  return text_.substr(start, next - start);
}

std::string_view MemberScan::cut_field(std::string_view v) { return cut_view(v); }

void MemberScan::copy(std::string& out, std::size_t from, std::size_t to, MemberScan* kept) const {
  if (to > recs_.size()) to = recs_.size();
  while (from < to) {
    const Rec& r = recs_[from];
    if (!r.crlf) {
      copy_with(out, from++, 0, {}, kept);
      continue;
    }
    // A run of records stored as written and following each other without a
    // blank line between them goes in one piece.
    std::size_t last = from;
    while (last + 1 < to && recs_[last + 1].crlf &&
           recs_[last + 1].at[0] == recs_[last].at[static_cast<std::size_t>(n_ + 1)])
      ++last;
    const std::size_t begin = r.at[0], end = recs_[last].at[static_cast<std::size_t>(n_ + 1)];
    if (kept)
      for (std::size_t k = from; k <= last; ++k) kept->note_moved(recs_[k], k, out.size() - begin);
    out.append(text_.data() + begin, end - begin);
    from = last + 1;
  }
}

void MemberScan::copy_with(std::string& out, std::size_t rec, int f, std::string_view value,
                           MemberScan* kept) const {
  if (rec >= recs_.size()) return;
  const Rec& r = recs_[rec];
  const std::size_t start = out.size();
  if (r.crlf && f >= 1 && f <= n_) {
    // Stored as written: the lines before and after the field in one piece each.
    const std::size_t at = r.at[static_cast<std::size_t>(f)];
    const std::size_t after = r.at[static_cast<std::size_t>(f + 1)];
    out.append(text_.data() + r.at[0], at - r.at[0]);
    out += value;
    out += "\r\n";
    const std::size_t moved = out.size();  // where the lines after the field go
    out.append(text_.data() + after, r.at[static_cast<std::size_t>(n_ + 1)] - after);
    if (kept && !std::memchr(value.data(), '\r', value.size()) &&
        !std::memchr(value.data(), '\n', value.size())) {
      Rec& k = kept->note(start);
      k.from = static_cast<std::uint32_t>(rec);
      k.changed = static_cast<std::uint8_t>(f);
      for (int i = 0; i <= n_ + 1; ++i) {
        const std::size_t u = static_cast<std::size_t>(i);
        k.at[u] = static_cast<std::uint32_t>(i <= f ? r.at[u] - r.at[0] + start : r.at[u] - after + moved);
      }
    } else if (kept) {
      kept->broken_ = true;
    }
    return;
  }
  for (int i = 0; i <= n_; ++i) {
    out += i == f && f != 0 ? value : line_of(r, i);
    out += "\r\n";
  }
  if (kept) {
    kept->note_added(out, start);
    // The lines as stored, or one field changed.
    kept->recs_.back().from = static_cast<std::uint32_t>(rec);
    kept->recs_.back().changed = static_cast<std::uint8_t>(f >= 1 && f <= n_ ? f : 0);
  }
}

void MemberScan::begin_kept(int n) { start({}, n); }

MemberScan::Rec& MemberScan::note(std::size_t start) {
  if (start >= UINT32_MAX) broken_ = true;
  Rec& k = recs_.emplace_back();
  // The new text has CR LF line ends only, no blank line and every field line.
  k.line = static_cast<std::uint32_t>(recs_.size() - 1) * static_cast<std::uint32_t>(n_ + 1) + 1;
  k.whole = true;
  k.crlf = true;
  k.changed = 0;
  k.from = UINT32_MAX;
  return k;
}

std::size_t MemberScan::origin(std::size_t rec) const {
  const std::uint32_t from = recs_[rec].from;
  return from == UINT32_MAX ? kNoRecord : from;
}

void MemberScan::note_moved(const Rec& r, std::size_t rec, std::size_t delta) {
  Rec& k = note(r.at[0] + delta);
  k.from = static_cast<std::uint32_t>(rec);
  for (int i = 0; i <= n_ + 1; ++i) {
    const std::size_t u = static_cast<std::size_t>(i);
    k.at[u] = static_cast<std::uint32_t>(r.at[u] + delta);
  }
}

void MemberScan::note_added(std::string_view out, std::size_t start) {
  Rec& k = note(start);
  std::size_t pos = start;
  for (int i = 0; i <= n_; ++i) {
    // Each line ends at its first CR, which is followed by LF.
    k.at[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(pos);
    const std::size_t cr = out.find('\r', pos);
    if (cr == std::string_view::npos || cr + 1 >= out.size() || out[cr + 1] != '\n' ||
        out.substr(pos, cr - pos).find('\n') != std::string_view::npos) {
      broken_ = true;
      return;
    }
    pos = cr + 2;
  }
  k.at[static_cast<std::size_t>(n_ + 1)] = static_cast<std::uint32_t>(pos);
  if (pos != out.size() || out[start] != '#') broken_ = true;
}

bool MemberScan::end_kept(std::string_view text) {
  // The records noted must follow each other from the start to the end of
  // the text: then every line of it was noted.
  bool whole = !broken_ && text.size() < UINT32_MAX;
  std::size_t end = 0;
  for (const Rec& r : recs_) {
    if (r.at[0] != end) whole = false;
    end = r.at[static_cast<std::size_t>(n_ + 1)];
  }
  if (!whole || end != text.size()) {
    begin_kept(n_);
    return false;
  }
  text_ = text;
  return true;
}

void ins_sorted(const MemberScan& in, std::string& out, const std::vector<const NewRecord*>& add,
                std::size_t leave_out, MemberScan* kept) {
  // Writes the new records [first, last).
  auto put_new = [&](std::size_t first, std::size_t last) {
    for (; first < last; ++first) {
      const std::size_t start = out.size();
      out += add[first]->text;
      if (kept) kept->note_added(out, start);
    }
  };
  std::size_t next = 0;  // the first new record not written yet
  std::size_t from = 0;  // the first stored record not copied yet
  for (std::size_t k = 0; k < in.size() && (next < add.size() || leave_out != kNoRecord); ++k) {
    if (k == leave_out) {
      in.copy(out, from, k, kept);
      from = k + 1;
      leave_out = kNoRecord;
      continue;
    }
    if (next == add.size()) continue;
    const std::string_view name = in.shown(k, 1);
    std::size_t first = next;
    while (next < add.size() && chk_alfa(name, add[next]->name) == 1) ++next;
    if (next == first) continue;
    in.copy(out, from, k, kept);
    from = k;
    put_new(first, next);
  }
  in.copy(out, from, in.size(), kept);
  put_new(next, add.size());
}

std::size_t find_ref(const MemberScan& in, std::string_view ref, int nth) {
  int seen = 0;
  for (std::size_t k = 0; k < in.size(); ++k)
    if (in.shown(k, 12) == ref && seen++ == nth) return k;
  return kNoRecord;
}

NewRecord member_record() {
  NewRecord nr;
  nr.name = fld::name;
  Record r;
  for (int i = 1; i <= kFields; ++i) r[static_cast<std::size_t>(i)] = fld::by_number(i);
  put_data(nr.text, r, kFields);
  return nr;
}

void get_xchg() {
  for (int i = 1; i <= kFields; ++i) fld::by_number(i) = data_xchg[i];
}

void put_xchg() {
  for (int i = 1; i <= kFields; ++i) data_xchg[i] = fld::by_number(i);
}

int push_xchg(int n) {
  for (int i = 1; i <= n && i < 16; ++i) tmp_xchg[i] = data_xchg[i];
  return n;
}

int pop_xchg(int n) {
  for (int i = 1; i <= n && i < 16; ++i) data_xchg[i] = tmp_xchg[i];
  return n;
}

int chk_alfa(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    // Bytes compare as signed 8-bit values: 0x80..0xFF before ASCII.
    auto ca = static_cast<signed char>(a[i]);
    auto cb = static_cast<signed char>(b[i]);
    if (ca != cb) return ca > cb ? 1 : 0;
  }
  return a.size() >= b.size() ? 1 : 0;
}

int ins_data(MemberReader& in, std::string& out) {
  int count = 0;
  bool written = false;
  while (get_data(in, kFields) == kFields) {
    if (!written && chk_alfa(data_xchg[1], fld::name) == 1) {
      push_xchg(kFields);
      put_xchg();
      put_data(out, kFields);
      pop_xchg(kFields);
      written = true;
      ++count;
    }
    in.put_raw(out);
    ++count;
  }
  if (!written) {
    put_xchg();
    put_data(out, kFields);
    ++count;
  }
  return count;
}

int del_data(MemberReader& in, std::string& out, const std::string& ref, int nth) {
  int seen = 0, left_out = 0;
  Record r;
  while (get_data(in, r, kFields) == kFields) {
    if (r[12] == ref && seen++ == nth) {
      left_out = 1;
      continue;
    }
    in.put_raw(out);
  }
  return left_out;
}

int is_ref(std::string_view ref) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (ref.size() != 5 || !letter(ref[0])) return 0;
  for (std::size_t i = 1; i < 5; ++i)
    if (!digit(ref[i])) return 0;
  return 1;
}

namespace {
// Reads text as records of n fields: the number of records read before the
// first flaw; flaw receives its line (a damaged line, or the marker line of
// a record cut short by the end of the file), 0 = none.
int reads_as(const std::string& text, int n, int& flaw) {
  MemberReader in(text);
  Record r;
  int count = 0;
  flaw = 0;
  while (in.next(r, n) == n) {
    if (!in.whole()) {
      flaw = in.line();
      return count;
    }
    ++count;
  }
  flaw = in.bad_line();
  return count;
}
}  // namespace

int data_layout(const std::string& text, int& bad_line, bool& old_first) {
  int flaw13 = 0, flaw12 = 0;
  bad_line = 0;
  old_first = false;
  const int n13 = reads_as(text, kFields, flaw13);
  if (flaw13 == 0) return kFields;
  const int n12 = reads_as(text, 12, flaw12);
  if (flaw12 == 0) return 12;
  // Neither: the layout that reads further is the one the file was meant to
  // have (a 12-field record makes the 13-field reading stumble at once).
  old_first = n12 > n13;
  bad_line = old_first ? flaw12 : flaw13;
  return 0;
}

}  // namespace soc
