// The member list after every kind of change: the rows shown (and the record
// a click on each row selects) are always those of the member file as it
// stands, whether the list was built afresh, shown again unchanged, or
// mended after a save; in a category, at the row limit, and after another
// workstation changed the file.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "db/categories.h"
#include "db/flags.h"
#include "db/members.h"
#include "db/records.h"
#include "db/util.h"
#include "import/do_utf.h"
#include "program_fixture.h"
#include "shell/dispatch.h"
#include "shell/mainwin.h"

namespace soc {
namespace {

std::string member(const std::string& name, const std::string& ref, const std::string& rem,
                   const std::string& category) {
  std::string s = "#\r\n" + name + "\r\n";
  for (int i = 2; i <= 13; ++i)
    s += (i == 10 ? rem : i == 11 ? "id " + ref : i == 12 ? ref : i == 13 ? category : name + std::to_string(i)) +
         "\r\n";
  return s;
}

class ListRows : public test::ProgramTest {
 protected:
  std::string data() { return read(db() / "sociantes.data"); }

  // The rows the member file calls for, read with the record reader.
  std::vector<ListRow> expected(std::vector<std::string>& names) {
    const std::string text = data();
    MemberReader in(text);
    Record r;
    std::vector<ListRow> rows;
    names.clear();
    const std::string& sel = cat_txt[cat];
    for (int n = 0; n < kListMax && in.next(r) == kFields; ++n) {
      if (cat != 0 && r[13].compare(0, sel.size(), sel) != 0) continue;
      rows.push_back({r[12], do_utf(r[11]), do_utf(r[1]), flag_column(r[10])});
      names.push_back(r[1]);
    }
    return rows;
  }

  // The list shows the file's rows, and a click on the first, a middle and
  // the last row selects that row's record.
  void check(const std::string& step) {
    SCOPED_TRACE(step);
    std::vector<std::string> names;
    const std::vector<ListRow> want = expected(names);
    const auto& rows = ws_.control(member_list_ctl())->rows;
    ASSERT_EQ(rows.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) ASSERT_EQ(rows[i], want[i]) << "row " << i;
    if (want.empty()) return;
    for (std::size_t i : {std::size_t{0}, want.size() / 2, want.size() - 1}) {
      ws_.list_select(member_list_ctl(), static_cast<int>(i));
      selection_made(want[i][0]);
      EXPECT_EQ(fld::name, names[i]) << "row " << i;
      EXPECT_EQ(do_utf(fld::id), want[i][1]) << "row " << i;
    }
  }

  void select(const std::string& ref) {
    const auto& rows = ws_.control(member_list_ctl())->rows;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i][0] == ref) {
        ws_.list_select(member_list_ctl(), static_cast<int>(i));
        selection_made(ref);
        return;
      }
    FAIL() << ref << " is not listed";
  }
  void type(int field, const std::string& s) { ws_.ctl_set_text(form_ctl(form_elem_of_field(field)), s); }
  void save_new(const std::string& name, const std::string& category) {
    dispatch(400);
    type(1, name);
    type(13, category);
    dispatch(402);
  }
  void modify(const std::string& ref, int field, const std::string& s) {
    select(ref);
    dispatch(401);
    type(field, s);
    dispatch(402);
  }
  void remove(const std::string& ref) {
    select(ref);
    ws_.replies.push_back({Reply::yes, {}, 0});
    dispatch(403);
    dispatch(402);
  }
  void flags(int code) {
    flg_code = code;
    do_all_flgs();
  }
};

TEST_F(ListRows, EveryChangeShowsTheRowsOfTheFileAsItStands) {
  write(db() / "sociantes.data", member("Adam", "A0000", "Pays $", "Choir") +
                                     member("Berg", "A0001", "", "Band") +
                                     member("Cole", "A0002", "%", "Choir soprano") +
                                     member("D\xE9j\xE0", "A0003", "!", "Band") +
                                     member("Egon", "A0004", "", "Choir") +
                                     member("Egon", "A0005", "&", "Choir"));
  setrc("ref", "A0006");
  cat_txt[1] = "Choir";
  cat_txt[2] = "Band";
  show_cust();
  check("first list");
  show_cust();
  check("the same file again");
  save_new("Bodo", "Band");
  check("new member in the middle");
  save_new("Aaron", "Choir");
  check("new member in front");
  modify("A0001", 1, "Zorro");
  check("modified: moved to the end");
  modify("A0002", 10, "Cole's remark !");
  check("modified: remarks");
  modify("A0002", 11, "new id");
  check("modified: identification");
  remove("A0000");
  check("deleted");
  flags(4);
  check("flag ! set for all");
  flags(5);
  check("flag $ set for all");
  flags(0);
  check("flag ! reset for all");
  select("A0002");  // Modify started and cancelled: the list comes back
  dispatch(401);
  EXPECT_TRUE(ws_.control(member_list_ctl())->rows.empty());
  dispatch(404);
  check("after cancel");
  cat_sel(1);
  check("category Choir");
  modify("A0005", 13, "Band");
  check("a member leaves the category");
  save_new("Fritz", "Choir");
  check("a new member in the category");
  save_new("Gert", "Band");
  check("a new member of another category");
  flags(6);
  check("flag % set in the category");
  remove("A0004");
  check("deleted in the category");
  cat_sel(2);
  check("category Band");
  cat_sel(0);
  check("all");

  // Another workstation rewrites the file: same size, other bytes.
  std::string other = data();
  other[other.find("Zorro")] = 'X';
  write(db() / "sociantes.data", other);
  show_cust();
  check("changed by another workstation");
  // Other changes another workstation makes: the rows of the records it
  // left are kept, the others read anew, and the list is the file's.
  const std::vector<std::pair<const char*, std::function<void(std::string&)>>> changes = {
      {"a member added in the middle",
       [](std::string& f) { f.insert(f.find("#\r\nEgon"), member("Dora", "B0001", "$", "Choir")); }},
      {"a member removed at the start", [](std::string& f) { f.erase(0, f.find("#", 1)); }},
      {"a name changed", [](std::string& f) { f[f.find("Egon")] = 'I'; }},
      {"a member leaves the category", [](std::string& f) { f.replace(f.find("Choir"), 5, "Band!"); }},
      {"remarks changed", [](std::string& f) { f.insert(f.find("Pays $") + 4, " !"); }},
      {"a blank line and a member at the end",
       [](std::string& f) { f += "\r\n" + member("Zack", "B0002", "", "Choir"); }},
      {"a damaged line in the middle", [](std::string& f) { f.insert(f.find("#\r\nIgon"), "stray\r\n"); }},
      {"mended again", [](std::string& f) { f.erase(f.find("stray\r\n"), 7); }},
      {"every remark changed in place (a bulk flag change)",
       [](std::string& f) {
         for (std::size_t at = 0; (at = f.find("\r\nid ", at)) != std::string::npos; at += 5)
           f.insert(f.rfind("\r\n", at - 1) + 2, "&");
       }},
      {"a reference and an identification changed in place",
       [](std::string& f) {
         f.replace(f.find("\r\nB0001\r\n") + 2, 5, "B0009");
         f.replace(f.find("\r\nid A0003\r\n") + 2, 8, "id Z0003");
       }},
      {"a name and the fields of another changed in place",
       [](std::string& f) {
         f.replace(f.find("\r\nDora\r\n") + 2, 4, "Dina");
         f.replace(f.find("Cole2"), 5, "Kohl2");
       }},
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const int c = i % 3 == 1 ? 1 : 0;  // some with the category Choir shown
    cat_sel(c);
    check(std::string(changes[i].first) + ": before");
    changes[i].second(other);
    write(db() / "sociantes.data", other);
    show_cust();
    check(std::string(changes[i].first) + (c ? " (category Choir shown)" : ""));
  }
  cat_sel(0);

  // And again between the list and a save: the save reads it anew.
  other[other.find("Xorro")] = 'Y';
  write(db() / "sociantes.data", other);
  remove("A0003");
  check("deleted after another workstation's change");
}

TEST_F(ListRows, TheRowLimitHoldsWhenASaveMendsTheList) {
  std::string file;
  for (int i = 0; i < kListMax; ++i) {
    char ref[8];
    std::snprintf(ref, sizeof ref, "A%04d", i);
    file += member("M" + std::to_string(100000 + i), ref, i % 3 ? "" : "!", "Choir");
  }
  write(db() / "sociantes.data", file);
  setrc("ref", "B0000");
  show_cust();
  check("the limit");
  save_new("Aaron", "Choir");
  check("one more: the last record leaves the list");
  remove("A0500");
  check("one less: it comes back");
  modify("A0000", 1, "Zorro");
  check("moved behind the limit");
}

}  // namespace
}  // namespace soc
