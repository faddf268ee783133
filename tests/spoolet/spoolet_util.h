// Running spoolet's headless mode from tests: a scratch HOME with the
// temporary directory and printer.dat, mailing files written there, the
// script run on a mailing-file argument, the output lines and exit code out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "driver/driver_util.h"

namespace soc::test {

class SpoolHome {
 public:
  // printer_dat: the first line of $HOME/sociantes_db/printer.dat, none when
  // empty. The print server is unreachable, so every job opens the dialog.
  explicit SpoolHome(const std::string& printer_dat = "NO_AUTO");
  const ScratchHome& home() const { return h_; }
  std::filesystem::path tmp() const { return h_.tmp(); }
  std::filesystem::path pdf(const std::string& name) const { return h_.path() / name; }
  // Writes a mailing file of that name into the temporary directory.
  std::string mailing(const std::string& name, const std::string& text) const;
  std::string log() const { return h_.read(tmp() / "print_dbg.txt"); }

  // Runs spoolet --script on the script with the arguments given.
  DriverRun run(const std::string& script, const std::vector<std::string>& args) const;
  DriverRun run(const std::string& script, const std::string& mailing) const {
    return run(script, std::vector<std::string>{mailing});
  }

 private:
  ScratchHome h_;
};

// A letters record: its lines, then the "#" line (CR LF line ends).
std::string letter(const std::vector<std::string>& lines, bool closed = true);
// A labels mailing file: top, gap, then count labels "NameKK First",
// "KK Street", "750KK City" (KK = 00, 01, ...).
std::string labels_file(int top, int gap, int count);

// Pages of a PDF file (pdfinfo), 0 when it cannot be read.
int pdf_pages(const std::filesystem::path& pdf);

// Metrics of the scheduler's main font ("Courier New", page height / 72):
// maximum character width and character height in device units.
void main_font_metrics(int& w, int& h);

}  // namespace soc::test
