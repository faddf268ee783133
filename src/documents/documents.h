// Text documents and mailing files.
//
// The member listing (short and extended), the address block of the current
// member, the four letter templates and the mailing files that the print
// scheduler spoolet prints part by part. Documents are written in the data
// directory and opened in the text editor; mailing files lie directly in the
// temporary directory, named A (letters) or L (labels) + minutes + seconds of
// their creation + ".qmd". Members are selected by the category and the flag
// filter, reading the member file under the member-file lock.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "db/history.h"
#include "db/records.h"

namespace soc {

inline constexpr std::size_t kListName = 28;   // name cut of the listing, in bytes
inline constexpr int kPageLtMax = 200;         // widest left indent of a letter address
inline constexpr int kPageUpMax = 200;         // most blank lines above a letter address
inline constexpr int kFormRows = 71;           // rows of a template page
inline constexpr int kFormRowsWritten = 61;    // rows written to form.qmd
inline constexpr std::size_t kFormCols = 95;   // longest line of a template row
inline constexpr int kFormDefsMax = 32;        // definitions of one template used
inline constexpr std::size_t kFormLineMax = 31;  // bytes of a form.data line read

extern int form;            // template number (1..4) of the template command in progress
extern std::string fmail;   // path of the last mailing file

// ---- shared by the documents (listing.cpp) --------------------------------

// Reads the member file (the network one in network mode) under the
// member-file lock. 0 = read; 1 = the lock was not obtained (the lock
// function has said so); 2 = the file cannot be read, 3 = it is damaged
// (both said here).
int read_members(std::string& text);
// 1 when record r belongs to the selected category (prefix of field 13).
int in_cat(const Record& r);
// The current member (the field globals) as a record.
Record current_record();
// Writes a document whole; 0 = written, 1 = not (said here).
int write_doc(const std::string& path, const std::string& text);

// ---- listing and address (listing.cpp) -------------------------------------

// Appends text to dst, then dots until the text counts width characters
// (UTF-8: every byte but continuation bytes and 0xC0, 0xC1 counts one).
void insert_line(std::string& dst, const std::string& text, std::size_t width);
// One member's line of the listing, line end excluded.
std::string listing_line(const Record& r);
// The whole listing document for the member file text: header with date
// (day, month, year), category text and flag rule, then every member of the
// category that the flag filter accepts (flg1..flg4, listing_type).
std::string listing_text(const std::string& members, int extended, const std::tm& date,
                         const std::string& category, const std::string& rule);
void listing(int extended);   // Files > Listing > Short (0) / Extended (1)
void letter_hd();             // Actions > Address
void open_qmd();              // Files > QMD: the text editor alone

// ---- mailing files (mailing.cpp) -------------------------------------------

// The indent and the blank lines above a letter address: page_lt (default 32,
// at most 200) and page_up (default 8, at most 200).
int page_lt_value();
int page_up_value();
// The address block of a letter: up empty lines, then name and first names,
// address, postcode and city, each after lt spaces.
std::string letter_block(const Record& r, int up, int lt);
// The record of one member in a letters / labels mailing file.
std::string letter_record(const Record& r, int up, int lt);
std::string label_record(const Record& r);
int mailing(int kind);        // 0 letters (Actions > Mailing), 1 labels; 0 = file written
void labels_print();          // Files > Print labels
void labels_setup();          // Parameters > Labels adjustment (action 26)
int do_labels_data();         // its completion with tmp_str
void mailing_go();            // Yes to the mailing question (actions 17 and 27)
void mailing_no();            // No to the letters question: its file is deleted

// ---- templates (templates.cpp) ---------------------------------------------

struct FormDef {
  int tmpl;    // template number 1..4
  int field;   // template field 1..12
  int x;       // column, counted from 0
  int y;       // row, counted from 1
};

// A form.data line as a definition; false when it holds no four numbers.
bool parse_form_def(const std::string& line, FormDef& d);
// The record field (1..13) shown by template field f (1..12), 0 for others.
int form_field(int f);
// The page of template n: definitions of n in file order (the first 32) put
// on 71 rows with the texts of rec; returns what form.qmd holds (rows 1..61).
std::string render_form(const std::vector<std::string>& lines, int n, const Record& rec);
// The form.data lines left after deleting field f of template n.
std::vector<std::string> form_lines_without(const std::vector<std::string>& lines, int n, int f);

void setup_form(int n);   // Parameters > Templates > Add (action 24)
int do_form_data();       // its completion with tmp_str
void destroy_form(int n); // Parameters > Templates > Delete (action 25)
int del_form_data();      // its completion with tmp_str
void edit_form(int n);    // Files > Edit Templates

void documents_reset();   // tests

}  // namespace soc
