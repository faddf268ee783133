// Fuzz target of the spreadsheet import: the line splitter with the field
// check (chk_fields), the split of a line into the member's fields
// (unpack_data) and the placing of the new records in the member file
// (merge_members). The first byte chooses the identification mode, the rest
// is the import file. The check accepts exactly the files whose every line
// has the right number of ";" and at most 510 bytes, and otherwise names the
// first line that has not; every field taken is at most 62 bytes, a prefix
// of its column cut on a whole character, so that a line of short columns
// splits into fields that join back into the line. The records placed in
// one pass give the file that inserting them one after the other gives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "fuzz_env.h"
#include "import/import.h"
#include "platform/fs.h"

namespace {

using namespace soc;

constexpr int kColumns[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11};  // field of each column

std::string member(const std::string& name, const std::string& ref) {
  Record r;
  for (int f = 1; f <= kFields; ++f) r[static_cast<std::size_t>(f)] = "x" + std::to_string(f);
  r[1] = name;
  r[12] = ref;
  std::string out;
  put_data(out, r, kFields);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::program(false);
  if (size == 0) return 0;
  type_id = data[0] % 4;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int semis = import_semis(type_id);
  FUZZ_CHECK(semis == (type_id == 1 || type_id == 3 ? 10 : 11));

  std::vector<std::string> lines;
  bool too_long = false;
  const int bad = chk_fields(text, semis, lines, too_long);
  LineReader in(text);
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) in.skip(3);
  std::string_view l;
  int first_bad = 0;
  bool first_too_long = false;
  std::vector<std::string> all;
  while (in.next(l)) {
    const bool longer = l.size() > kImportLineMax;
    const auto count = std::count(l.begin(), l.end(), ';');
    if (longer || count != semis) {
      first_bad = in.number();
      first_too_long = longer;
      break;
    }
    all.emplace_back(l);
  }
  FUZZ_CHECK(bad == first_bad);
  FUZZ_CHECK(too_long == first_too_long);
  if (bad != 0) return 0;
  FUZZ_CHECK(lines == all);

  std::vector<Record> recs;
  for (std::size_t i = 0; i < lines.size() && i < 40; ++i) {
    const std::string& line = lines[i];
    FUZZ_CHECK(unpack_data(line) == 0);
    const auto cols = fuzz::pieces(line, ";", 99);
    FUZZ_CHECK(static_cast<int>(cols.size()) == semis + 1);
    std::string joined;
    bool short_cols = true;
    for (int c = 0; c <= semis; ++c) {
      const std::string& v = fld::by_number(kColumns[c]);
      const std::string& col = cols[static_cast<std::size_t>(c)];
      fuzz::check_cut(col, v, kFieldMax);
      short_cols = short_cols && col.size() <= kFieldMax;
      joined += (c ? ";" : "") + v;
    }
    if (short_cols) FUZZ_CHECK(joined == line);
    if (semis == 10) FUZZ_CHECK(fld::id.empty());
    Record r;
    for (int f = 1; f <= kFields; ++f) r[static_cast<std::size_t>(f)] = fld::by_number(f);
    char ref[8];
    std::snprintf(ref, sizeof ref, "A%04u", static_cast<unsigned>(i));
    r[12] = ref;
    recs.push_back(r);
  }

  // Placed in one pass, and one after the other.
  const std::string base = member("Dupont", "B0001") + member("Martin", "B0002") +
                           member(recs.empty() ? "Zola" : recs[0][1], "B0003");
  std::string merged;
  merge_members(base, recs, merged);
  std::string cur = base;
  for (const Record& r : recs) {
    data_xchg = r;
    get_xchg();
    MemberReader rd(cur);
    std::string out;
    ins_data(rd, out);
    cur = out;
  }
  FUZZ_CHECK(merged == cur);
  return 0;
}
