// The mail printer scheduler spoolet: its argument, its run state and the
// run state machine driven by a one-second timer, the commands of its
// toolbar, the declaration of its window and the page and label printing of
// each part.
//
// A letters mailing file is printed one letter page per part, a labels file
// one sheet of labels per part, with the delay chosen in the window between
// parts. The state is process-wide, as the program runs one mailing file.
// The window (the real one or the scripted one of the headless mode) is a
// SpoolHost: it shows the status line and message boxes, holds the delay
// selector, runs the print dialog, owns the timer and the program's waits.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/print/prt.h"

namespace soc::sched {

// What the run needs of its window.
class SpoolHost {
 public:
  virtual ~SpoolHost() = default;
  virtual void show_status(const std::string& text) = 0;  // the status line
  virtual std::string delay_text() = 0;                    // text of the delay selector
  // A modal message box with the error icon.
  virtual void error_box(const std::string& text, const std::string& caption) = 0;
  // The print dialog over the destinations (see PrtUi).
  virtual PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) = 0;
  virtual void sleep_ms(int ms) = 0;  // one wait of the program (blocks the window)
  virtual void start_ticks() = 0;     // starts the one-second timer (once)
};

void set_host(SpoolHost* h);
SpoolHost& host();

// Texts of the window.
inline constexpr const char* kTitle = "SPOOLET V1.0";
inline constexpr const char* kDelayGroup = "Delay";
inline constexpr const char* kDelayLabel =
    "                       Delay adjustment in seconds                         ";
inline constexpr const char* kDelaySelect = "Select delay";
inline constexpr const char* kDelaySpacer = "             ";
inline constexpr const char* kDelayEntries[] = {"3", "10", "30", "100"};
inline constexpr const char* kDelayInitial = "10";
inline constexpr int kTimerId = 222;   // the one-second timer

// Toolbar commands, their pictures and tooltips.
inline constexpr int kCmdPrint = 400;
inline constexpr int kCmdPause = 401;
inline constexpr int kCmdQuit = 403;
struct ToolButton {
  int cmd;              // command sent
  int picture;          // picture resource number
  const char* tooltip;  // its tooltip
};
inline constexpr ToolButton kToolbar[] = {
    {kCmdPrint, 601, "Print/Resume"}, {kCmdPause, 602, "Pause"}, {kCmdQuit, 604, "Quit"}};

// Run state.
extern std::string file_name;  // the mailing file, from the command line
extern int labels;             // 1 labels file, 0 letters
extern std::FILE* f;           // the open mailing file, nullptr when closed
extern int top, gap;           // label geometry in millimetres (labels file)
extern int tot;                // records in the file
extern int n;                  // records still to print (letters: parts; labels: labels)
extern std::string prt_file;   // path of the current part
extern int wait_tmr;           // delay between parts in seconds
extern int tics;               // seconds left before the next part; 0 = print now
extern int pause_st;           // 0 never paused, 1 paused, 2 resumed
extern int is_printing;        // 1 while a part prints: the countdown stands still
extern std::string label_txt;  // text of the status line
extern int run_on;             // 1 once a run has been started
extern int headers_read;       // 1 once the two header lines of a labels file are skipped

// Start-up: takes the mailing file from the program's arguments (without
// the program name). 0 = file_name and labels are set; 1 = the program ends
// after the message box with caption and text.
int take_argument(const std::vector<std::string>& args, const std::string& cmd_line,
                  std::string& caption, std::string& text);
void reset_run();              // every run variable to its start-up value
void set_status(const std::string& text);  // label_txt shown on the status line

// The run.
void start_timer();   // init_amps, then the one-second timer
void init_amps();     // opens and counts the mailing file
void timer_proc();    // the work of one second
void do_next_part();  // prints the next part or ends the run

// Toolbar commands. Print/Resume starts a run when none is going and
// resumes a paused one; Pause pauses a run that is going.
void do_print();
void do_pause();

// The window's boxes (the delay selector), declared for the toolkit.
void declare_boxes();

// Page and label printing: each call is a whole print job. win_prt prints
// a letters part file as monospaced pages; prt_win_labels prints one sheet
// of labels from the current position of file and returns the labels still
// to print, or 10000 on failure.
int win_prt(const std::string& path);
int prt_win_labels(std::FILE* file, int top_mm, int gap_mm, int left);
inline constexpr int kLabelsFailed = 10000;

// Where the scheduler's files are: the temporary directory (the debug log,
// the spool file) and the printer.dat files looked for, in order.
std::string tmp_dir();
std::vector<std::string> printer_dat_paths();

// Reads one line without its line end (CR LF or LF); false at the end of
// the file.
bool read_line(std::FILE* file, std::string& line);
// The first n characters of s (UTF-8 characters; other bytes count one).
std::string first_chars(const std::string& s, std::size_t n);

}  // namespace soc::sched
