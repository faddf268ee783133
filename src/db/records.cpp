// Reading and writing member records; the name order of the member file.
#include "db/records.h"

#include <cstring>

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
    if (f.size() <= kFieldMax && f.find_first_of("\r\n") == std::string::npos) {
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

int chk_alfa(const std::string& a, const std::string& b) {
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
