// The member card and the record card of the current member, printed
// straight to the printer (or to a PDF file chosen in the print dialog).
//
// Both open the printer by the choice rules of the printing layer (the first
// line of printer.dat in the local data directory, the CUPS default
// destination, the print dialog), draw one page in program units and end the
// job; every step goes to print_dbg.txt in the temporary directory. The photo
// file of the member is drawn in grey levels, or a placeholder without one.
#pragma once

#include <string>

namespace soc {

inline constexpr const char* kNoTitle = "SOCIANTE'S CLUB";  // association name when none is set

int init_prt();          // opens the printer for the record card; 1 = open
int init_card_prt();     // the same for the member card (its own banner and warning)
int draw_photo(int x0, int y0);  // the member's photo with its top-left corner at (x0, y0); 1 = drawn
void mk_record_card();   // draws and prints the record card
void mk_id_card();       // draws and prints the member card
void record_card();      // Actions > Record card
void cards();            // Actions > Member card

// The place and the date of field 9 ("mm dd yyyy @ place") as the member
// card prints them, from its first 32 characters.
void split_birth(const std::string& field9, std::string& date, std::string& place);
// The first n characters of s (UTF-8 characters; other bytes count one each).
std::string first_chars(const std::string& s, std::size_t n);

}  // namespace soc
