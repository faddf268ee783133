// Fuzz target of the scheduler's mailing-file reader. The first byte says
// letters or labels and whether the print dialog cancels or prints into a
// PDF file; the rest is the mailing file. The count of records is the
// number of "#" lines and a last record without one; a letters run prints
// each record as its own part, line for line, and a labels run takes the
// two header numbers and uses every label once. Every run ends, deletes the
// mailing file and says it is done.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_env.h"
#include "scheduler/spoolet.h"

namespace {

using namespace soc::sched;
using soc::PrtPick;

class Host final : public SpoolHost {
 public:
  bool to_pdf = false;       // the print dialog prints into a file
  std::string pdf;           // that file
  void show_status(const std::string&) override {}
  std::string delay_text() override { return "3"; }
  void error_box(const std::string&, const std::string&) override {}
  PrtPick print_dialog(const std::vector<std::string>&, std::string& value) override {
    if (!to_pdf) return PrtPick::cancel;
    value = pdf;
    return PrtPick::pdf;
  }
  void sleep_ms(int) override {}
  void start_ticks() override {}
};

// The lines of a mailing file as the scheduler reads them.
std::vector<std::string> file_lines(const std::string& text) {
  std::vector<std::string> lines = soc::fuzz::pieces(text, "\n", text.size() + 2);
  if (lines.back().empty()) lines.pop_back();
  for (auto& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& home = soc::fuzz::scratch_home();
  static Host host;
  set_host(&host);
  if (size == 0) return 0;
  const bool is_labels = data[0] & 1;
  host.to_pdf = data[0] & 2;
  host.pdf = home + "out.pdf";
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = home + (is_labels ? "L0102.qmd" : "A0102.qmd");
  std::filesystem::create_directories(tmp_dir());
  soc::fuzz::put_file(path, text);

  reset_run();
  std::string caption, msg;
  FUZZ_CHECK(take_argument({"\"" + path + "\""}, path, caption, msg) == 0);
  FUZZ_CHECK(labels == (is_labels ? 1 : 0));

  std::vector<std::string> lines = file_lines(text);
  std::size_t from = 0;
  if (is_labels) from = 2;
  // The records: runs of lines up to a "#" line; a last run counts when it
  // holds a line that is not empty.
  std::vector<std::vector<std::string>> recs(1);
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i] == "#")
      recs.emplace_back();
    else
      recs.back().push_back(lines[i]);
  }
  bool last_counts = false;
  for (const auto& l : recs.back()) last_counts = last_counts || !l.empty();
  if (!last_counts) recs.pop_back();

  do_print();  // starts the run: opens and counts the file
  FUZZ_CHECK(tot == static_cast<int>(recs.size()) && n == tot);
  if (is_labels) {
    FUZZ_CHECK(top == std::atoi(lines.size() > 0 ? lines[0].c_str() : ""));
    FUZZ_CHECK(gap == std::atoi(lines.size() > 1 ? lines[1].c_str() : ""));
  }
  for (std::size_t part = 0; part <= recs.size(); ++part) {
    const int before = n;
    do_next_part();
    if (part == recs.size()) break;
    FUZZ_CHECK(n < before && n >= 0);
    if (!is_labels) {
      std::string expect;
      for (const auto& l : recs[part]) expect += l + "\r\n";
      FUZZ_CHECK(soc::fuzz::get_file(prt_file) == expect);
    }
    if (n == 0) {
      do_next_part();
      break;
    }
  }
  FUZZ_CHECK(n == 0 && f == nullptr);
  FUZZ_CHECK(label_txt == "Status: Ok Done: " + std::to_string(tot) + "/" + std::to_string(tot));
  FUZZ_CHECK(!std::filesystem::exists(path));
  if (!prt_file.empty()) ::unlink(prt_file.c_str());
  return 0;
}
