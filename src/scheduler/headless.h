// The headless mode of spoolet (spoolet --script FILE MAILING): the same
// start-up, run state machine and printing as the window, with a scripted
// window and virtual time. Script lines press the toolbar buttons, type
// into the delay selector, let the timer tick and answer the print dialog;
// what the program shows is printed on standard output. See the README.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace soc::sched {

// Runs the script (read from in) on the program's arguments (without the
// program name). Returns the exit code: 0 at the end of the script or on
// Quit, 1 when the start-up refused the argument, 2 on a bad script line.
int run_headless(std::istream& in, std::ostream& out, const std::vector<std::string>& args,
                 const std::string& cmd_line);

// Splits a script line into words: blanks separate, a word in double quotes
// may hold blanks and the escapes \\ \" \r \n \t \xHH. False when malformed.
bool split_words(const std::string& line, std::vector<std::string>& words);
// Text in double quotes with those escapes, bytes past ASCII as \xHH.
std::string quoted(const std::string& s);

}  // namespace soc::sched
