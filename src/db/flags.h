// Flags: four yes/no marks per member kept as the characters ! $ % & in the
// remarks field, shown as four check boxes whose captions (the info labels)
// the user names. The same boxes select members for listings, mailings,
// exports and bulk e-mail under the flag filter rule listing_type; the bulk
// Set / Reset commands add or remove one flag in every member of the selected
// category.
#pragma once

#include <array>
#include <string>

namespace soc {

inline constexpr std::size_t kFlagCaptionMax = 10;  // longest caption shown
inline constexpr std::size_t kRemTextMax = 58;      // remark text kept before the flags
inline constexpr const char kFlagChars[4] = {'!', '$', '%', '&'};  // flag 1..4

extern std::array<std::string, 4> flag_names;  // captions of the four flag boxes
extern int flg1, flg2, flg3, flg4;             // box states read by get_flgs (1 = ticked)
extern int flg_code;                           // code of the bulk change asked for (0..7)

// The info labels.
void mk_flags_bnts();  // loads the captions from the info-labels file
void info_edit();      // starts the info-labels dialog (action 23)
int mk_info_file();    // stores the dialog text (tmp_str) as the info-labels file; 0 = stored

// The flag boxes.
void clr_flgs();                          // unchecks the four boxes
void update_flgs(const std::string& text);  // checks box k when flag k's character is in text
void get_flgs();                          // reads the boxes into flg1..flg4

// The remarks field composed from the remark text and the flag states
// flg1..flg4: text without flag characters, cut to 58, a separating blank,
// then the ticked flags in the order ! $ % &.
std::string bld_rem(const std::string& text);
// The same after reading the boxes (get_flgs); text is changed in place.
void bld_infos(std::string& text);

// 1 when a member with remarks field text passes the rule listing_type with
// the ticked flags flg1..flg4.
int eval_flg(const std::string& text);
void set_flgs_rule(int rule);   // Flags > Filters: rule 0..4 (none, or, and, nor, nand)
const char* rule_name(int rule);  // "none" .. "nand"; "" for any other value

// Bulk change of one flag.
void set_all_flgs(int code);   // starts it (action 28); code 4..7 adds, 0..3 removes ! $ % &
int do_all_flgs();             // performs the confirmed change; 0 = done
int rm_flg(char c);            // removes c from field 10 of the exchange buffer; 1 = changed
int add_flg(char c);           // adds c to field 10 of the exchange buffer; 1 = changed
int rm_flg(std::string& rem, char c);   // the same on one remarks field
int add_flg(std::string& rem, char c);

void flags_reset();    // tests

}  // namespace soc
