// Fuzz target of the info-labels file (the captions of the four flag
// boxes). Every input is such a file: each of its first four lines becomes
// a caption cut to 10 bytes on a whole character and shown as valid UTF-8;
// the captions of missing lines stay as they were. Four words of the input
// stored through the dialog read back as the four captions; any other
// number of words is refused and stores no file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/flags.h"
#include "fuzz_env.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "shell/dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  fuzz::program(true);
  const std::string text(reinterpret_cast<const char*>(data), size);
  mk_fname("sociantes.flg");
  const std::string path = file_name;
  fuzz::put_file(path, text);

  const std::array<std::string, 4> defaults = {"d1", "d2", "d3", "d4"};
  flag_names = defaults;
  mk_flags_bnts();
  const std::vector<std::string> lines = split_lines(text);
  for (std::size_t k = 0; k < 4; ++k) {
    if (k < lines.size())
      FUZZ_CHECK(flag_names[k] == do_utf(cut_utf8(lines[k], kFlagCaptionMax)));
    else
      FUZZ_CHECK(flag_names[k] == defaults[k]);
    FUZZ_CHECK(fuzz::valid_utf8(flag_names[k]));
  }

  // The words of the input, as the dialog would give them: single blanks.
  std::vector<std::string> words;
  std::string w;
  for (char c : text + " ") {
    if (static_cast<unsigned char>(c) <= ' ') {
      if (!w.empty()) words.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  std::string dialog;
  for (std::size_t k = 0; k < words.size() && k < 6; ++k) dialog += words[k] + " ";
  tmp_str = dialog;
  const int r = mk_info_file();
  if (words.size() == 4) {
    FUZZ_CHECK(r == 0);
    flag_names = defaults;
    mk_flags_bnts();
    for (std::size_t k = 0; k < 4; ++k)
      FUZZ_CHECK(flag_names[k] == do_utf(cut_utf8(words[k], kFlagCaptionMax)));
  } else {
    FUZZ_CHECK(r == (words.empty() ? 0 : 1));
    FUZZ_CHECK(is_this_file(path) != 0);
  }
  return 0;
}
