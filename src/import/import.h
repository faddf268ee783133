// Spreadsheet export and import: semicolon-separated text files, one member a
// line, that a spreadsheet program opens or produces.
//
// The export writes the members that pass the category and flag filter, in
// member-file order. The import checks every line's number of fields first,
// then gives each line the next member reference, its identification by the
// identification mode and its history file, and places it in name order in
// the member file. It does so in one pass: the lines are sorted by name and
// merged with the member file read once, which gives exactly the file that
// inserting them one after the other would give, and the member file is
// replaced once. Both commands are refused in network mode.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "db/records.h"

namespace soc {

inline constexpr std::size_t kImportLineMax = 510;  // longest import line, in bytes
inline constexpr const char* kCantOpen = " The file can't be opened. ";

// The commands and their work on the chosen file (file_sel).
void excel();       // Files > Export Spread sheet: action 20, the file selection
void do_excel();
void import();      // Files > Import Spread sheet: action 21, the file selection
void do_import();

// One export line for the record last read by in (fields whole, as stored),
// its line end included.
std::string excel_line(const MemberReader& in);

// The ";" an import line must hold in identification mode id_type: 11 in
// modes 0 and 2 (the identification is the last column), 10 in modes 1, 3.
int import_semis(int id_type);
// The field check of an import file's text: splits it into lines (a UTF-8
// byte-order mark at its start is skipped) and returns 0 when every line has
// `semis` ";" and at most kImportLineMax bytes; otherwise the 1-based number
// of the first line that has not, with too_long telling which fault.
int chk_fields(const std::string& text, int semis, std::vector<std::string>& lines,
               bool& too_long);
// Splits one checked import line into the field globals (namespace fld):
// fields 1..10, 13 and, in modes 0 and 2, 11; each value is cut to 62 bytes
// on a whole character.
int unpack_data(const std::string& line);
// The identification an imported member gets in modes 1 and 3 (the new
// reference, or the date DDMMYYYY followed by it); the file's value in 0, 2.
std::string import_id(const std::string& from_file, const std::string& ref, const std::tm& date);

// The member file with the new records placed: the records of in copied as
// stored (put_raw's bytes), and each of recs (rows 1..13) before the first record
// whose Name sorts at or after its own, exactly as inserting recs one after
// the other in their order would place them (a later record of equal Name
// goes before an earlier one). The caller has refused a damaged text.
void merge_members(std::string_view text, const std::vector<Record>& recs, std::string& out);

}  // namespace soc
