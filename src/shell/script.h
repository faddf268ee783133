// The scripted front end: runs script lines against the command code with the
// scripted window system, and prints what the program shows.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace soc {

// Splits a script line into words: blanks separate words; a word in double
// quotes may hold blanks and the escapes \\ \" \r \n \t \xHH. False when the
// line is malformed (an unterminated quote, a bad escape).
bool split_words(const std::string& line, std::vector<std::string>& words);

// Runs a whole script. Returns the driver's exit code: 0 at the end of the
// script (or when the main window was closed), 2 on an unknown command or a
// malformed line.
int run_script(std::istream& in, std::ostream& out);

// Resets every process-wide global of the command code (tests).
void reset_program_state();

}  // namespace soc
