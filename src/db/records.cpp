// Reading and writing member records; the name order of the member file.
#include "db/records.h"

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

bool LineReader::next(std::string& line) {
  if (pos_ >= text_.size()) return false;
  std::size_t nl = text_.find('\n', pos_);
  std::size_t end = nl == std::string::npos ? text_.size() : nl;
  std::size_t len = end - pos_;
  if (len > 0 && text_[end - 1] == '\r') --len;
  line.assign(text_, pos_, len);
  pos_ = nl == std::string::npos ? text_.size() : nl + 1;
  return true;
}

int get_data(LineReader& in, Record& r, int n) {
  std::string line;
  if (!in.next(line) || line.empty() || line[0] != '#') return 0;
  for (int i = 1; i <= n; ++i) {
    // A field line missing at the end of the file reads as empty; an
    // over-long line is cut, never split into the next field.
    if (!in.next(line)) line.clear();
    r[i] = cut_utf8(line, kFieldMax);
  }
  return n;
}

int get_data(LineReader& in, int n) { return get_data(in, data_xchg, n); }

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

int ins_data(LineReader& in, std::string& out) {
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
    put_data(out, kFields);
    ++count;
  }
  if (!written) {
    put_xchg();
    put_data(out, kFields);
    ++count;
  }
  return count;
}

int del_data(LineReader& in, std::string& out, const std::string& ref) {
  int left_out = 0;
  while (get_data(in, kFields) == kFields) {
    if (data_xchg[12] == ref) {
      ++left_out;
      continue;
    }
    put_data(out, kFields);
  }
  return left_out;
}

}  // namespace soc
