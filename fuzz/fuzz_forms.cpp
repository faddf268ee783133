// Fuzz target of the template definitions of form.data and the rendering of
// a template page. The input is the content of form.data, an empty line,
// then the member's fields one a line. Every template's page is 61 rows and
// at most one extra line per definition, every line ending in CR LF and no
// longer than 95 bytes, except where blanking the line ends before a column
// joined a short line to the extra line under it (never more than twice
// that); the page depends only on the first 32 definitions of its template,
// in file order. Deleting a field's definitions leaves no line
// that starts with its key and keeps every other line in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "documents/documents.h"
#include "fuzz_env.h"
#include "platform/fs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace soc;
  const auto p = fuzz::pieces(std::string_view(reinterpret_cast<const char*>(data), size), "\n\n", 2);
  const std::vector<std::string> lines = split_lines(p[0]);
  Record rec;
  if (p.size() > 1) {
    const std::vector<std::string> fields = split_lines(p[1]);
    for (std::size_t f = 1; f <= static_cast<std::size_t>(kFields) && f <= fields.size(); ++f)
      rec[f] = cut_utf8(fields[f - 1], kFieldMax);  // as a record field is: one line, 62 bytes
  }

  for (int n = 1; n <= 4; ++n) {
    const std::string page = render_form(lines, n, rec);
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < page.size();) {
      const std::size_t lf = page.find('\n', pos);
      FUZZ_CHECK(lf != std::string::npos && lf > pos && page[lf - 1] == '\r');
      FUZZ_CHECK(lf - 1 - pos <= 2 * kFormCols);
      ++count;
      pos = lf + 1;
    }
    FUZZ_CHECK(count >= static_cast<std::size_t>(kFormRowsWritten));
    FUZZ_CHECK(count <= static_cast<std::size_t>(kFormRowsWritten + kFormDefsMax));

    // Only the first 32 definitions of template n count.
    std::vector<std::string> own;
    for (const std::string& l : lines) {
      FormDef d;
      if (parse_form_def(cut_utf8(l, kFormLineMax), d) && d.tmpl == n && own.size() < kFormDefsMax)
        own.push_back(l);
    }
    FUZZ_CHECK(render_form(own, n, rec) == page);

    const int f = static_cast<int>(size % 13);
    const std::string key = std::to_string(n) + " " + std::to_string(f) + " ";
    const std::vector<std::string> kept = form_lines_without(lines, n, f);
    std::size_t j = 0;
    for (const std::string& l : lines) {
      if (l.compare(0, key.size(), key) == 0) continue;
      FUZZ_CHECK(j < kept.size() && kept[j] == l);
      ++j;
    }
    FUZZ_CHECK(j == kept.size());
  }
  return 0;
}
