// The member search: a criterion typed into a dialog that stays open, each
// OK stepping to the next member one of whose fields contains it (ASCII
// letters compared without case). The search runs on a private copy of the
// member file in the temporary directory, so it needs no member-file lock;
// the member found is selected under its record lock and its row of the
// (category-filtered) member list is marked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace soc {

inline constexpr const char* kNoCriteria = " No criteria! ";

extern int srch_pm;             // record number (1-based, file order) of the last hit, 0 before the first
extern int list_cnt;            // list rows passed up to the last hit
extern std::string srch_crit;   // the last criterion

void srch();     // Search (action 4): opens the criterion dialog
void do_srch();  // OK of the criterion dialog (criterion in dlg_input): finds the next member

// Lower case of ASCII letters only; bytes 0x80 and above are unchanged.
std::string fold_lower(std::string_view s);
// 1 when the folded criterion text occurs in the field, folded the same way.
int search_line(const std::string& field, const std::string& text);
// 1 when the folded criterion text occurs in one of the 13 fields of the
// record in the exchange buffer.
int lookup(const std::string& text);

// Where needle first occurs in hay at or after from (npos when nowhere),
// bytes compared exactly: std::string_view::find, with sixteen places tested
// at a time on the needle's first and last byte.
std::size_t find_text(std::string_view hay, std::string_view needle, std::size_t from = 0);

// The scan of one search over the bytes of a member file (exposed for tests).
struct SrchScan {
  int pm = 0;        // in: records already searched; out: the last record read (the hit, or all)
  int cnt = 0;       // in/out: list rows passed
  bool hit = false;  // out: a record matched; it is record pm
  std::size_t at = 0;   // out: where the hit's marker line begins in the text
  std::size_t end = 0;  // out: where the line after the hit's last field begins
};
// One pass over text: low receives it folded as fold_lower() does, nl the
// position of every line feed in order.
void fold_text(std::string_view text, std::string& low, std::vector<std::uint32_t>& nl);
// The number of records the scan reads in text: from the first line, one
// marker line and 13 field lines each, up to the end or the first line that
// is no marker line. nl is what fold_text() found in text.
int srch_records(std::string_view text, const std::vector<std::uint32_t>& nl);
// Reads the records of text as the member-file reader does (marker line,
// 13 fields cut to 62 bytes) after record s.pm, passing over those whose
// field 13 does not begin with category (when not empty), and stops at the
// first whose fields contain folded (already folded). low and nl are what
// fold_text() made of text, records what srch_records() counted in it.
void srch_scan(std::string_view text, std::string_view low, const std::vector<std::uint32_t>& nl,
               int records, const std::string& category, const std::string& folded, SrchScan& s);

void search_reset();  // tests

}  // namespace soc
