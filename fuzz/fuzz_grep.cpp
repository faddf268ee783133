// Fuzz target of the formatting of the history search's result
// (format_grep): every input is grep's raw output. The lines that name a
// file are grouped under a line of stars and the file name, one heading
// each time the file changes; nothing else is added and nothing is lost:
// the input without the file names of its lines is found, in order, in the
// result, whose size is exactly that plus the headings. The file version
// (grep.clt to grep_out.txt) writes the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "db/history.h"
#include "db/util.h"
#include "fuzz_env.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  fuzz::program(false);
  static const bool made = mk_tmp_dir() == 0;
  FUZZ_CHECK(made);
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string out = format_grep_text(raw);

  // The input without its file names, and the size of the headings.
  std::string rest, prev;
  std::size_t headings = 0, heading_bytes = 0;
  bool first = true;
  for (std::size_t pos = 0; pos < raw.size();) {
    const std::size_t nl = raw.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? raw.size() : nl + 1;
    const std::string line = raw.substr(pos, end - pos);
    pos = end;
    std::size_t colon = line.find(':');
    if (colon == 1) colon = line.find(':', 2);  // a drive letter
    if (colon == std::string::npos) {
      rest += line;
      continue;
    }
    const std::string part = line.substr(0, colon + 1);
    if (first || part != prev) {
      ++headings;
      heading_bytes += 75 + 2 + part.size() + 2;
      prev = part;
      first = false;
    }
    rest += line.substr(colon + 1);
  }
  FUZZ_CHECK(out.size() == rest.size() + heading_bytes);
  std::size_t at = 0;
  for (char c : out)
    if (at < rest.size() && c == rest[at]) ++at;
  FUZZ_CHECK(at == rest.size());
  std::size_t star_lines = 0;
  const std::string stars = std::string(75, '*') + "\r\n";
  for (std::size_t p = out.find(stars); p != std::string::npos; p = out.find(stars, p + 1)) ++star_lines;
  FUZZ_CHECK(star_lines >= headings);
  if (raw.find('*') == std::string::npos) FUZZ_CHECK(star_lines == headings);

  mk_tmp_fname("grep.clt");
  fuzz::put_file(file_name, raw);
  FUZZ_CHECK(format_grep() == 0);
  mk_tmp_fname("grep_out.txt");
  FUZZ_CHECK(fuzz::get_file(file_name) == out);
  return 0;
}
