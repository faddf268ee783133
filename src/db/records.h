// Member records as stored in the member file.
//
// A record is a marker line beginning with '#' followed by 13 field lines.
// Records are read into and written from the exchange buffer, a table of rows
// 1 to 13 (row 0 and rows 14, 15 unused), and copied between the buffer and
// the current member's field globals.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace soc {

inline constexpr std::size_t kFieldMax = 62;   // longest field, in bytes
inline constexpr int kFields = 13;             // fields of the current layout
inline constexpr int kListMax = 9900;          // records read for the member list

using Record = std::array<std::string, 16>;    // rows 1..13 hold the fields

extern Record data_xchg;   // the exchange buffer
extern Record tmp_xchg;    // save area of push_xchg / pop_xchg

// The current member, one global per field (namespace fld keeps the short
// names of the fields apart from everything else).
namespace fld {
extern std::string name, fname, adr, city, post, phone, act, nation, birth, rem, id, ref, category;
std::string& by_number(int n);   // field n (1..13)
}  // namespace fld

// Reads a text file line by line, accepting CR LF or LF.
class LineReader {
 public:
  explicit LineReader(std::string text) : text_(std::move(text)) {}
  bool next(std::string& line);  // false at the end
 private:
  std::string text_;   // whole file content
  std::size_t pos_ = 0; // start of the next line
};

// Reads one record (n fields) into r / the exchange buffer; n, or 0 at the
// end or when the next line is not a marker line.
int get_data(LineReader& in, Record& r, int n);
int get_data(LineReader& in, int n);
// Appends the marker line and rows 1..n of r / the exchange buffer to out.
int put_data(std::string& out, const Record& r, int n);
int put_data(std::string& out, int n);

void get_xchg();        // rows to field globals
void put_xchg();        // field globals to rows
int push_xchg(int n);   // rows 1..n to the save area
int pop_xchg(int n);    // and back

// 1 when a sorts at or after b in the member file's name order.
int chk_alfa(const std::string& a, const std::string& b);

// Ordered insertion: copies the records of in to out and writes the current
// member (the field globals) before the first record whose Name sorts at or
// after the member's Name, or after the last one. Uses the exchange buffer.
// Returns the number of records written, the member included.
int ins_data(LineReader& in, std::string& out);
// Copies the records of in to out except those whose reference (field 12) is
// ref. Returns the number of records left out.
int del_data(LineReader& in, std::string& out, const std::string& ref);

}  // namespace soc
