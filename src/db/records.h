// Member records as stored in the member file.
//
// A record is a marker line beginning with '#' followed by 13 field lines.
// Records are read into and written from the exchange buffer, a table of rows
// 1 to 13 (row 0 and rows 14, 15 unused), and copied between the buffer and
// the current member's field globals.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Reads a text file line by line. A line ends at CR LF, at LF or at a lone
// CR; the last line needs no line end. Lines are counted from 1.
class LineReader {
 public:
  explicit LineReader(std::string text) : text_(std::move(text)) {}
  bool next(std::string_view& line);  // false at the end; the view lives as long as the reader
  bool next(std::string& line);       // the same, copied
  int number() const { return number_; }  // number of the line last read (0 before the first)
  void skip(std::size_t n) { pos_ += n; }     // skips n bytes before the first line (a byte-order mark)
  const std::string& text() const { return text_; }
 private:
  std::string text_;     // whole file content
  std::size_t pos_ = 0;  // start of the next line
  int number_ = 0;       // lines read so far
  std::size_t lf_ = std::string::npos;  // next LF at or after pos_ (size: none; npos: not searched)
  std::size_t cr_ = std::string::npos;  // next CR, the same way
};

// The reader of the member file. It reads one record after the other and
// accepts what editors and other systems do to a text file without harm to
// a record: a UTF-8 byte-order mark at the start, CR LF, LF or lone CR line
// ends, and blank lines (empty or only blanks and tabs) where a marker line
// is expected. Anything else where a marker line is expected - a record with
// a field line too many or too few, a field split over two lines, a leading
// blank or NUL, stray text - is damage: the reading stops at that line, and
// bad_line() names it. A record cut short by the end of the file is read
// with its missing fields empty (whole() tells).
//
// Every rewrite of the member file reads it to its end first and is refused
// when bad_line() is not 0, so that the records after a damaged line are
// never dropped. Records a rewrite does not change are copied with put_raw():
// byte for byte, except that every line end becomes CR LF.
class MemberReader {
 public:
  explicit MemberReader(std::string text);
  MemberReader(const MemberReader&) = delete;  // the record views point into its own text
  MemberReader& operator=(const MemberReader&) = delete;
  // Reads the next record: fields 1..n into rows 1..n of r, each cut to 62
  // bytes on a whole character. Returns n, or 0 at the end of the file or
  // at a damaged line.
  int next(Record& r, int n = kFields);
  // The record last read as stored: its marker line and its field lines,
  // whole, each followed by CR LF (missing fields as empty lines).
  void put_raw(std::string& out) const;
  // The same with field f replaced by value (one line, written as it is).
  void put_raw(std::string& out, int f, const std::string& value) const;
  std::string_view field(int i) const;  // field i (1..n) of the record last read, whole, not cut
  int line() const { return line_; }    // line number of that record's marker line
  bool whole() const { return whole_; } // that record had all its n field lines
  int bad_line() const { return bad_; } // 0, or the damaged line where reading stopped

 private:
  LineReader in_;                           // the lines of the file
  std::array<std::string_view, 16> raw_{};  // [0] marker line, [1..n] field lines of the last record
  int n_ = 0;                               // fields of the last record
  int line_ = 0;                            // its marker line
  bool whole_ = true;                       // it had all its field lines
  int bad_ = 0;                             // first damaged line, 0 = none
};

// The member file scanned in one pass: where each record and each of its
// lines lie, and where the file is damaged. It reads exactly what
// MemberReader reads (the same byte-order mark, line ends, blank lines,
// damage and records cut short at the end) without copying a field, so that
// a rewrite checks the whole file and builds the new one from the same scan:
// unchanged records are copied as stored (put_raw's bytes), and a run of
// records already stored with CR LF line ends is copied in one piece.
class MemberScan {
 public:
  // Scans text as records of n fields (1..13); the text must outlive the
  // scan and stay unchanged. Returns bad_line(). The scan's room is reused.
  // A text of 4 GiB or more counts as damaged at line 1.
  int scan(std::string_view text, int n = kFields);
  // The same for text, a changed copy of the text old scanned (which must
  // still be there): the records before the first changed byte and those
  // of the unchanged end are taken from old, moved, and only the records
  // between are read. The result is the scan's; origin() gives each
  // record's place in old (kNoRecord for a new one). A record read anew in
  // the place of as many old ones is paired with the old one at its place
  // when its Name, identification and reference are the same; changed()
  // then names a field that differs (10 when the remarks do), 0 = none.
  int scan_changed(const MemberScan& old, std::string_view text);
  std::size_t size() const { return recs_.size(); }    // records read
  int bad_line() const { return bad_; }                 // 0, or the damaged line where reading stopped
  std::string_view text() const { return text_; }
  std::string_view field(std::size_t rec, int f) const {  // field f (1..n) as stored, whole
    if (rec >= recs_.size() || f < 1 || f > n_) return {};
    return line_of(recs_[rec], f);
  }
  // The same cut to 62 bytes on a whole character (what get_data gives).
  std::string_view shown(std::size_t rec, int f) const {
    const std::string_view v = field(rec, f);
    return v.size() <= kFieldMax ? v : cut_field(v);
  }
  static std::string_view cut_field(std::string_view v);  // v cut to 62 bytes on a whole character
  int line(std::size_t rec) const { return static_cast<int>(recs_[rec].line); }  // its marker line
  bool whole(std::size_t rec) const { return recs_[rec].whole; }  // it had all its field lines
  // Appends records [from, to) as stored (put_raw's bytes). With kept, each
  // record appended is noted there (see begin_kept).
  void copy(std::string& out, std::size_t from, std::size_t to, MemberScan* kept = nullptr) const;
  // Appends record rec as stored with field f replaced by value (one line).
  void copy_with(std::string& out, std::size_t rec, int f, std::string_view value,
                 MemberScan* kept = nullptr) const;

  // The scan of a new text, kept while a rewrite builds it out of the records
  // of another scan, so that the text written need not be scanned again.
  // begin_kept(n) empties this scan; copy, copy_with and ins_sorted, given it
  // as kept, note each record they append; note_added notes a record appended
  // otherwise (a marker line and n field lines ending at the end of out, CR
  // LF each, as put_data writes them). end_kept(text) ties the scan to the
  // finished text: false, and the scan is empty, when the records noted do
  // not cover the text exactly (the text must then be scanned).
  void begin_kept(int n = kFields);
  void note_added(std::string_view out, std::size_t start);
  bool end_kept(std::string_view text);
  // For a kept or changed scan: the record of the scan it was built from that record
  // rec copies (kNoRecord for a record added), and the field that copy
  // changed (0 = none: the same fields).
  std::size_t origin(std::size_t rec) const;
  int changed(std::size_t rec) const { return recs_[rec].changed; }

 private:
  struct Rec {
    std::array<std::uint32_t, 15> at;  // starts of the marker line and the n field lines; at[n + 1]: just past the record
    std::uint32_t line;                // marker line number
    bool whole;                        // every field line was there
    bool crlf;                         // whole, and every line ends in CR LF: stored as put_raw writes it
    std::uint8_t changed;              // kept or changed scan: the field its copy changed, 0 = none
    std::uint32_t from;                // kept or changed scan: the record it copies, UINT32_MAX = added (fresh scan: its own place)
  };
  // Line i (0 = marker) of r without its line end.
  std::string_view line_of(const Rec& r, int i) const {
    if (!r.crlf) return odd_line(r, i);
    const std::size_t start = r.at[static_cast<std::size_t>(i)];
    return text_.substr(start, r.at[static_cast<std::size_t>(i + 1)] - 2 - start);
  }
  std::string_view odd_line(const Rec& r, int i) const;  // line_of for a record not stored as written
  void start(std::string_view text, int n);  // an empty scan of text, n fields per record
  // Scans text_ from pos (a line start, number lines read before it) to the
  // end; with old, from the first record start at or after same_from that
  // old had (moved) the old records are taken. Returns bad_.
  int scan_rest(std::size_t pos, std::uint32_t number, const MemberScan* old, std::size_t same_from);
  // Pairs the records read anew from first on with the old records at their places.
  void pair_changed(const MemberScan& old, std::size_t first);
  Rec& note(std::size_t start);  // a new kept record starting at start
  // Notes r, record rec of the scan copied, as moved whole by delta bytes.
  void note_moved(const Rec& r, std::size_t rec, std::size_t delta);
  std::string_view text_;    // the text scanned
  std::vector<Rec> recs_;    // its records, in file order
  int n_ = kFields;          // fields per record
  int bad_ = 0;              // first damaged line, 0 = none
  bool broken_ = false;      // a kept scan was noted something it cannot hold
};

// A member to write into the member file: its Name (field 1) as compared for
// the name order, and its record as written by put_data.
struct NewRecord {
  std::string name;   // field 1, cut as stored
  std::string text;   // marker line and 13 field lines, CR LF each
};

// The one-pass rewrites. Each copies the records of in to out as stored
// (put_raw's bytes), except the record leave_out (npos = none), and writes
// the records of add, which must be in name order (chk_alfa), each before
// the first copied record whose Name sorts at or after its own, or at the
// end. Several new records at one place keep their order. The caller checks
// in.bad_line() before the scan is used.
inline constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);
// With kept, the new text's scan is noted there (see MemberScan::begin_kept).
void ins_sorted(const MemberScan& in, std::string& out, const std::vector<const NewRecord*>& add,
                std::size_t leave_out = kNoRecord, MemberScan* kept = nullptr);
// The nth record (0 = the first) of in whose reference (field 12) is ref, or
// kNoRecord.
std::size_t find_ref(const MemberScan& in, std::string_view ref, int nth);
// The record of the current member (the field globals) as put_data writes it.
NewRecord member_record();

// Reads one record (n fields) into r / the exchange buffer; n, or 0 at the
// end or when the file is damaged there (in.bad_line() then says where).
int get_data(MemberReader& in, Record& r, int n);
int get_data(MemberReader& in, int n);
// Appends the marker line and rows 1..n of r / the exchange buffer to out.
int put_data(std::string& out, const Record& r, int n);
int put_data(std::string& out, int n);

void get_xchg();        // rows to field globals
void put_xchg();        // field globals to rows
int push_xchg(int n);   // rows 1..n to the save area
int pop_xchg(int n);    // and back

// 1 when a sorts at or after b in the member file's name order.
int chk_alfa(std::string_view a, std::string_view b);

// Ordered insertion: copies the records of in to out (as stored, put_raw)
// and writes the current member (the field globals) before the first record
// whose Name sorts at or after the member's Name, or after the last one.
// Uses the exchange buffer. Returns the number of records written, the
// member included. The caller checks in.bad_line() before using out.
int ins_data(MemberReader& in, std::string& out);
// Copies the records of in to out (as stored) except one: the nth record
// (0 = the first) whose reference (field 12) is ref. Records that share its
// reference stay. Returns 1 when that record was left out, else 0.
int del_data(MemberReader& in, std::string& out, const std::string& ref, int nth);

// 1 when ref can name a member's files (record lock, history file, folder,
// photo): one ASCII letter and four digits. Any other reference is shown
// but never used in a path.
int is_ref(std::string_view ref);

// The layout of a member file text, decided from the records themselves (a
// 13-field record has its next marker line 14 lines on): kFields when every
// record has 13 fields, 12 when every record has 12 (the layout before
// categories had their own field), 0 for neither; an empty file counts as
// kFields. For 0, old_first is set when the 12-field reading gets further
// than the 13-field one (the file was meant to be in the old layout), and
// bad_line receives the line where that reading stumbled.
int data_layout(const std::string& text, int& bad_line, bool& old_first);

}  // namespace soc
