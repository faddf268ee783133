// Fuzz target of the member file readers and the member list. Every input is
// a member file. The two readers (MemberReader, record by record, and
// MemberScan, in one pass) must read the same records, the same lines and
// the same damage; every field as given to the program is at most 62 bytes,
// cut on a whole character from the field as stored. The records read,
// written back as stored and read again, are the same records, without
// damage. The one-pass rewrites (ins_sorted) give byte for byte what the
// record-by-record ones (ins_data, del_data) give. The member list of the
// main window shows one row per record read, with the record's reference,
// name and flags, all valid UTF-8, and remembers the damage. A scan of the
// input taken in part from the scan of the file written back (as after
// another workstation's change) is the fresh scan, and the other way round.
#include <cstddef>
#include <cstdint>
#include <string>

#include "db/members.h"
#include "db/records.h"
#include "fuzz_env.h"
#include "import/do_utf.h"
#include "platform/fs.h"
#include "shell/mainwin.h"

namespace {

using namespace soc;

// The two readers over text; returns the number of records.
std::size_t check_readers(const std::string& text, MemberScan& scan) {
  scan.scan(text);
  MemberReader rd(text);
  Record r;
  std::size_t k = 0;
  while (int n = rd.next(r)) {
    FUZZ_CHECK(n == kFields);
    FUZZ_CHECK(k < scan.size());
    FUZZ_CHECK(rd.line() == scan.line(k));
    FUZZ_CHECK(rd.whole() == scan.whole(k));
    for (int f = 1; f <= kFields; ++f) {
      FUZZ_CHECK(rd.field(f) == scan.field(k, f));
      FUZZ_CHECK(r[static_cast<std::size_t>(f)] == scan.shown(k, f));
      fuzz::check_cut(rd.field(f), r[static_cast<std::size_t>(f)], kFieldMax);
      FUZZ_CHECK(rd.field(f).find_first_of("\r\n") == std::string_view::npos);
    }
    std::string one, copied;
    rd.put_raw(one);
    scan.copy(copied, k, k + 1);
    FUZZ_CHECK(one == copied);
    ++k;
  }
  FUZZ_CHECK(k == scan.size());
  FUZZ_CHECK(rd.bad_line() == scan.bad_line());
  return k;
}

// The scan of text taken in part from old (a scan of another text that is
// still there) is the fresh scan of text.
void check_changed(const MemberScan& old, const std::string& text, const MemberScan& fresh) {
  MemberScan mended;
  FUZZ_CHECK(mended.scan_changed(old, text) == fresh.bad_line());
  FUZZ_CHECK(mended.size() == fresh.size());
  for (std::size_t k = 0; k < fresh.size(); ++k) {
    FUZZ_CHECK(mended.line(k) == fresh.line(k) && mended.whole(k) == fresh.whole(k));
    for (int f = 0; f <= kFields; ++f) FUZZ_CHECK(mended.field(k, f) == fresh.field(k, f));
    std::string a, b;
    mended.copy(a, k, k + 1);
    fresh.copy(b, k, k + 1);
    FUZZ_CHECK(a == b);
    const std::size_t o = mended.origin(k);
    const int c = mended.changed(k);
    if (o != kNoRecord)
      for (int f = 1; f <= kFields; ++f)
        if (f == 1 || f == 11 || f == 12 || c == 0 || (f == 10 && c != 10))
          FUZZ_CHECK(mended.field(k, f) == old.field(o, f));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScriptedWindowSystem& ws = fuzz::program(true);
  const std::string text(reinterpret_cast<const char*>(data), size);

  MemberScan scan;
  const std::size_t recs = check_readers(text, scan);

  // Written back as stored and read again: the same records, no damage.
  std::string back;
  scan.copy(back, 0, recs);
  MemberScan again;
  FUZZ_CHECK(check_readers(back, again) == recs);
  FUZZ_CHECK(again.bad_line() == 0);
  for (std::size_t k = 0; k < recs; ++k) {
    FUZZ_CHECK(again.whole(k));
    for (int f = 1; f <= kFields; ++f) FUZZ_CHECK(again.field(k, f) == scan.field(k, f));
  }

  // The input as a change of the file written back, and the other way round.
  check_changed(again, text, scan);
  check_changed(scan, back, again);

  // The highest reference is the highest of the references stored.
  std::string top;
  FUZZ_CHECK(scan_data(text, top) == scan.bad_line());
  FUZZ_CHECK(top == top_ref_of(scan));
  FUZZ_CHECK(top.empty() || is_ref(top));
  for (std::size_t k = 0; k < recs; ++k) {
    const std::string ref(scan.shown(k, 12));
    if (is_ref(ref)) FUZZ_CHECK(!top.empty() && ref_key(ref) <= ref_key(top));
  }

  if (scan.bad_line() == 0) {
    // A new member placed by both rewrites; its name comes from the input.
    Record m;
    for (int f = 1; f <= kFields; ++f) m[static_cast<std::size_t>(f)] = "f" + std::to_string(f);
    if (recs > 0) m[1] = cut_utf8(std::string(scan.shown(recs / 2, 1)) + (size % 2 ? "" : "a"), kFieldMax);
    data_xchg = m;
    get_xchg();
    MemberReader rd(text);
    std::string by_record, in_one_pass;
    FUZZ_CHECK(ins_data(rd, by_record) == static_cast<int>(recs) + 1);
    const NewRecord nr = member_record();
    ins_sorted(scan, in_one_pass, {&nr});
    FUZZ_CHECK(by_record == in_one_pass);
    MemberScan grown;
    FUZZ_CHECK(check_readers(in_one_pass, grown) == recs + 1);
    FUZZ_CHECK(grown.bad_line() == 0);

    // One member deleted by both.
    if (recs > 0) {
      const std::size_t k = size % recs;
      const std::string ref(scan.shown(k, 12));
      int nth = 0;
      for (std::size_t j = 0; j < k; ++j) nth += scan.shown(j, 12) == ref;
      MemberReader rd2(text);
      std::string del_by_record, del_one_pass;
      FUZZ_CHECK(del_data(rd2, del_by_record, ref, nth) == 1);
      FUZZ_CHECK(find_ref(scan, ref, nth) == k);
      ins_sorted(scan, del_one_pass, {}, k);
      FUZZ_CHECK(del_by_record == del_one_pass);
    }
  }

  // The member list of the main window, from the member file.
  mk_nfname("sociantes.data");
  fuzz::put_file(file_name, text);
  show_cust();
  const auto* list = ws.control(member_list_ctl());
  FUZZ_CHECK(list != nullptr);
  const std::size_t listed = recs < static_cast<std::size_t>(kListMax) ? recs : kListMax;
  FUZZ_CHECK(list->rows.size() == listed);
  FUZZ_CHECK(data_bad == scan.bad_line());
  for (std::size_t k = 0; k < listed; ++k) {
    const auto& row = list->rows[k];
    FUZZ_CHECK(row[0] == scan.shown(k, 12));
    FUZZ_CHECK(row[2] == do_utf(scan.shown(k, 1)));
    FUZZ_CHECK(row[3] == flag_column(scan.shown(k, 10)));
    FUZZ_CHECK(fuzz::valid_utf8(row[1]) && fuzz::valid_utf8(row[2]));
  }
  return 0;
}
