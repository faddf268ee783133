// Tests of the main program's box-layout toolkit with a recording window of
// fixed metrics: average character width 7, height 13 (so fontx = 7,
// fonty = 15, a 50 % row space of 7 and a row step of 22), every byte 7
// pixels wide, window frame 4. Expected numbers are worked out by hand from
// the layout rules.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "shell/winutil.h"

namespace soc {
static void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << "," << r.y << "," << r.w << "," << r.h << "}";
}
}  // namespace soc

namespace {

using namespace soc;

struct Made {
  CtlKind kind;      // what was asked for
  Rect r;            // where
  std::string text;  // with which text
  int id;            // child id or icon
};

struct Column {
  Ctl view;           // list view
  int col;            // column index
  std::string title;  // column title
  int width;          // width in pixels
};

class FakeHost : public LayoutHost {
 public:
  bool metrics_ok = true;
  bool listview_ok = true;
  bool tooltip_ok = true;
  bool insert_ok = true;
  int height = 13;
  std::vector<Made> made;
  std::vector<std::pair<Ctl, Rect>> moves;
  std::vector<Column> columns;
  std::vector<std::string> calls;     // list and list-view content calls
  std::vector<std::string> messages;  // "text|caption|icon"

  bool text_metrics(int& ave, int& h) override {
    if (!metrics_ok) return false;
    ave = 7;
    h = height;
    return true;
  }
  int text_width(const std::string& s) override { return 7 * static_cast<int>(s.size()); }
  Ctl make_control(CtlKind kind, const Rect& r, const std::string& text, int id) override {
    if (kind == CtlKind::listview && !listview_ok) return 0;
    made.push_back({kind, r, text, id});
    return static_cast<Ctl>(made.size());
  }
  void move_control(Ctl c, const Rect& r) override { moves.emplace_back(c, r); }
  void add_column(Ctl v, int col, const std::string& title, int width) override {
    columns.push_back({v, col, title, width});
  }
  bool add_tooltip(Ctl b, const std::string& text) override {
    calls.push_back("tip " + std::to_string(b) + " " + text);
    return tooltip_ok;
  }
  int list_add(Ctl l, const std::string& s) override {
    calls.push_back("add " + std::to_string(l) + " " + s);
    return 3;
  }
  int view_insert_item(Ctl v, const std::string& text) override {
    calls.push_back("item " + std::to_string(v) + " " + text);
    return insert_ok ? 41 : -1;
  }
  int view_set_text(Ctl v, int item, int sub, const std::string& s) override {
    calls.push_back("set " + std::to_string(v) + " " + std::to_string(item) + " " +
                    std::to_string(sub) + " " + s);
    return 1;
  }
  void message_box(const std::string& text, const std::string& caption, MsgIcon icon) override {
    messages.push_back(text + "|" + caption + "|" + std::to_string(static_cast<int>(icon)));
  }
  const Made& ctl(Ctl c) const { return made.at(static_cast<std::size_t>(c - 1)); }
};

class Winutil : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = BoxTable{};
    fontx = 7;
    fonty = 15;
    border = 4;
  }
  // Boxes 0..last of the window, each of the given flow type, row space 50 %.
  void declare(int last, int flow) {
    boxesinit(0, last, &host);
    for (int b = 0; b <= last; ++b) boxinit(b, flow, 0, 50);
  }
  FakeHost host;
};

TEST_F(Winutil, FontUnitsFromMetrics) {
  for (auto [h, fy] : {std::pair{13, 15}, {16, 19}, {10, 12}}) {
    host.height = h;
    EXPECT_EQ(get_font_size(host), fy);
    EXPECT_EQ(fontx, 7);
    EXPECT_EQ(fonty, fy);
  }
  host.metrics_ok = false;
  fontx = 5;
  EXPECT_EQ(get_font_size(host), 12);
  EXPECT_EQ(fontx, 5);
  ASSERT_EQ(host.messages, std::vector<std::string>{" GetTextMetrics Failed ||2"});
}

TEST_F(Winutil, DeclarationCalls) {
  boxes[3].flow = 9;
  boxes[3].empty = 0;
  boxesinit(1, 2, &host);
  EXPECT_EQ(boxes[0].window, nullptr);
  EXPECT_EQ(boxes[1].window, &host);
  EXPECT_EQ(boxes[2].window, &host);
  EXPECT_EQ(boxes[3].window, nullptr);  // after last: only marked empty
  EXPECT_EQ(boxes[3].empty, 1);
  EXPECT_EQ(boxes[3].flow, 9);

  boxes[1].x = 5;
  boxes[1].title = "T";
  set_parent(1, 0);
  add_box(1, el_label, "x");
  EXPECT_EQ(boxinit(1, 2, 1, 50), 0);
  const Box& b = boxes[1];
  EXPECT_EQ(b.empty, 1);
  EXPECT_EQ(b.flow, 2);
  EXPECT_EQ(b.parent, -1);
  EXPECT_EQ(b.resizable, 1);
  EXPECT_EQ(b.spacing, 50);
  EXPECT_EQ(b.x, 0);
  EXPECT_EQ(b.title, "");
  EXPECT_EQ(b.elements[0].kind, 0);
  EXPECT_EQ(b.window, &host);

  testing::internal::CaptureStdout();
  EXPECT_EQ(boxinit(16, 1, 0, 50), 1);
  EXPECT_EQ(boxinit(-1, 1, 0, 50), 1);
  boxesinit(14, 17, &host);  // 14 and 15 are taken, nothing beyond
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Box over capacity!!!\nBox over capacity!!!\nBox over capacity!!!\n");
  EXPECT_EQ(boxes[15].window, &host);
}

TEST_F(Winutil, AddBoxFillsSlotsAndCutsTexts) {
  declare(0, 1);
  add_box(0, el_subbox, "4");
  add_box(0, el_subbox, " 12abc");
  add_box(0, el_subbox, "x");
  EXPECT_EQ(boxes[0].empty, 0);
  EXPECT_EQ(boxes[0].elements[0].sub, 4);
  EXPECT_EQ(boxes[0].elements[1].sub, 12);
  EXPECT_EQ(boxes[0].elements[2].sub, 0);

  boxinit(0, 1, 0, 50);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(add_box(0, el_check, std::to_string(i)), 0);
  EXPECT_EQ(boxes[0].elements[15].text, "15");  // the 17th call changed nothing
  set_elem_id(0, 3, 77);
  EXPECT_EQ(boxes[0].elements[3].id, 77);

  boxinit(1, 1, 0, 50);
  add_box(1, el_labinput, std::string(126, 'a') + "\xC3\xA9");  // é would end at byte 128
  set_elem_labinput(1, 0, std::string(130, 'b'));
  EXPECT_EQ(boxes[1].elements[0].text, std::string(126, 'a'));
  EXPECT_EQ(boxes[1].elements[0].label, std::string(127, 'b'));
}

TEST_F(Winutil, WidthOfOneElement) {
  struct Case {
    int kind;
    const char* text;
    const char* label;
    int width;
  };
  const Case cases[] = {
      {el_label, "abc", "", 21 + 14},
      {el_entry, "abcd", "", 28},
      {el_check, "ab", "", 14 + 42},
      {el_radio, "ab", "", 14 + 42},
      {el_list, "abc", "", 21 + 14},
      {el_listview, "A|B|C", "", 35 + 7 * 14},
      {el_listview, "Ref.|B|C", "", 56 - 42 + 6 * 14},
      {el_labinput, "abcd", "  xy", 28 + 28},
  };
  for (const Case& c : cases) {
    declare(0, 1);
    add_box(0, c.kind, c.text);
    set_elem_labinput(0, 0, c.label);
    EXPECT_EQ(get_box_width(0), c.width) << c.kind << " " << c.text;
  }
  declare(0, 1);
  boxes[0].title = "abcdefghij";
  add_box(0, el_entry, "ab");
  EXPECT_EQ(get_box_width(0), 70);  // the title is wider
  boxes[0].width = 99;
  EXPECT_EQ(get_box_width(0), 99);
}

TEST_F(Winutil, WidthStackedIsWidestOneRowIsSum) {
  declare(0, 1);
  add_box(0, el_entry, "abcd");
  add_box(0, el_label, "abcdef");
  add_box(0, el_entry, "a");
  EXPECT_EQ(get_box_width(0), 56);
  boxes[0].direction = 1;
  EXPECT_EQ(get_box_width(0), 28 + 56 + 7);
}

TEST_F(Winutil, WidthWithSubBoxes) {
  declare(4, 2);
  for (int b = 1; b <= 4; ++b) set_parent(b, 0);
  boxes[1].flow = boxes[2].flow = 1;
  boxes[1].width = 30;
  boxes[2].width = 40;
  boxes[3].width = 20;
  add_box(0, el_subbox, "1");
  add_box(0, el_subbox, "2");
  add_box(0, el_subbox, "3");
  add_box(0, el_subbox, "99");  // no such box: ignored
  // side by side: 30, then 70; the stacked one is widened to the 70 so far
  EXPECT_EQ(get_box_width(0), 70);
  EXPECT_EQ(boxes[0].width, 70);
  EXPECT_EQ(boxes[3].width, 70);

  declare(2, 2);
  boxes[1].width = 50;
  boxes[2].width = 80;
  add_box(0, el_subbox, "1");
  add_box(0, el_subbox, "2");
  EXPECT_EQ(get_box_width(0), 80);
  EXPECT_EQ(boxes[1].width, 50);  // stacked sub-boxes keep their widths

  declare(0, 2);
  boxes[0].title = "ab";
  add_box(0, el_subbox, "0");  // a box inside itself counts nothing
  EXPECT_EQ(get_box_width(0), 14);
  EXPECT_EQ(get_box_high(0), 15);
}

TEST_F(Winutil, HeightRule) {
  struct Case {
    std::vector<int> kinds;
    int direction;
    int spacing;
    int high;
  };
  const Case cases[] = {
      {{el_label}, 0, 50, 2 * 15 + 7},
      {{el_label, el_entry, el_labinput}, 0, 50, 4 * 15 + 3 * 7},
      {{el_check, el_radio}, 0, 0, 3 * 15},
      {{el_label, el_list}, 0, 50, 13 * 15 + 12 * 7},      // the list sets 12 rows
      {{el_entry, el_entry, el_listview}, 0, 50, 13 * 15 + 12 * 7},
      {{el_list, el_label}, 0, 50, 14 * 15 + 13 * 7},
      {{el_check, el_check, el_check}, 1, 50, 2 * 15 + 7},  // one row
      {{el_entry, el_entry}, 1, 50, 15},
      {{}, 0, 50, 15},
  };
  for (const Case& c : cases) {
    declare(0, 1);
    boxes[0].spacing = c.spacing;
    boxes[0].direction = c.direction;
    for (int k : c.kinds) add_box(0, k, "t");
    EXPECT_EQ(get_box_high(0), c.high) << c.kinds.size() << " " << c.direction;
  }
  boxes[0].height = 99;
  EXPECT_EQ(get_box_high(0), 99);
}

TEST_F(Winutil, HeightWithSubBoxes) {
  declare(2, 2);
  set_parent(1, 0);
  set_parent(2, 0);
  boxes[1].height = 37;
  boxes[2].height = 81;
  add_box(0, el_label, "x");  // ignored when sub-boxes are there
  add_box(0, el_subbox, "1");
  add_box(0, el_subbox, "2");
  EXPECT_EQ(get_box_high(0), (37 + 7) + (81 + 7));
  boxes[0].direction = 1;  // one row: the tallest sub-box
  EXPECT_EQ(get_box_high(0), 81 + 7);
}

TEST_F(Winutil, StackedControls) {
  declare(0, 1);
  Box& b = boxes[0];
  b.x = 10;
  b.y = 50;
  b.width = 200;
  b.height = 300;
  add_box(0, el_label, "ab");
  add_box(0, el_entry, "abcdefgh");
  add_box(0, el_check, "cd");
  set_elem_id(0, 2, 5);
  add_box(0, el_radio, "ef");
  set_elem_id(0, 3, 6);
  add_box(0, el_list, "xyz");
  add_box(0, el_labinput, "sizing");
  set_elem_labinput(0, 5, "  Lab");
  add_box(0, el_subbox, "3");
  add_box(0, el_listview, "A|B");
  add_box(0, el_entry, "a");
  EXPECT_EQ(display_box(0, &host), 0);

  // rows at y + (k + 1) x 22; x0 = 17
  const std::vector<Made> want = {
      {CtlKind::label, {17, 72, 14, 15}, "ab", 0},
      {CtlKind::entry, {17, 94, 46, 18}, "", 0},
      {CtlKind::check, {17, 116, 42, 15}, "cd", 5},
      {CtlKind::radio, {17, 138, 42, 15}, "ef", 6},
      {CtlKind::list, {17, 65, 186, 285}, "xyz", 0},
      {CtlKind::label, {17, 183, 24, 15}, "Lab", 0},  // centred on its entry
      {CtlKind::entry, {45, 182, 158, 18}, "", 0},
      {CtlKind::listview, {17, 65, 21 + 5 * 14, 285}, "", 0},
      {CtlKind::entry, {17, 248, 0, 18}, "", 0},  // 7 - 10 reaches the host as 0
  };
  ASSERT_EQ(host.made.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(host.made[i].kind, want[i].kind) << i;
    EXPECT_EQ(host.made[i].r, want[i].r) << i;
    EXPECT_EQ(host.made[i].text, want[i].text) << i;
    EXPECT_EQ(host.made[i].id, want[i].id) << i;
  }
  const int handles[] = {1, 2, 3, 4, 5, 7, 0, 8, 9};  // kind 7 keeps the entry
  for (std::size_t k = 0; k < 9; ++k) EXPECT_EQ(b.elements[k].control, handles[k]) << k;

  host.made.clear();
  b.width = 0;  // no width: the list is as wide as its text
  b.elements[0].kind = el_list;
  b.elements[1].kind = 0;
  display_box(0, &host);
  EXPECT_EQ(host.made.at(0).r, (Rect{17, 65, 14, 285}));
}

TEST_F(Winutil, OneRowControlsAddBoxXAtEveryStep) {
  declare(0, 2);
  Box& b = boxes[0];
  b.direction = 1;
  b.x = 20;
  b.y = 100;
  add_box(0, el_check, "ab");
  set_elem_id(0, 0, 9);
  add_box(0, el_entry, "not created");
  add_box(0, el_label, "cde");
  add_box(0, el_check, "f");
  display_box(0, &host);
  // y = 100 + 22; check at 20+7; o = 20+35+14 = 69; label at 96, o = 20+69+7+21 = 117;
  // check at 144
  ASSERT_EQ(host.made.size(), 3u);
  EXPECT_EQ(host.made[0].r, (Rect{27, 122, 42, 15}));
  EXPECT_EQ(host.made[0].id, 9);
  EXPECT_EQ(host.made[1].r, (Rect{96, 122, 21, 15}));
  EXPECT_EQ(host.made[2].r, (Rect{144, 122, 35, 15}));
  EXPECT_EQ(b.elements[1].control, 0);
}

TEST_F(Winutil, ListViewColumnsAndHiddenRef) {
  const Ctl with_ref = mk_listview(host, {0, 0, 1, 1}, "Ref.|Ab|Cd");
  ASSERT_EQ(host.columns.size(), 3u);
  EXPECT_EQ(host.columns[0].title, "Ref.");
  EXPECT_EQ(host.columns[0].width, 0);
  EXPECT_EQ(host.columns[1].col, 1);
  EXPECT_EQ(host.columns[1].width, 14 + 21);
  EXPECT_EQ(host.columns[2].title, "Cd");
  EXPECT_EQ(host.columns[2].view, with_ref);

  host.columns.clear();
  mk_listview(host, {0, 0, 1, 1}, std::string(70, 'a') + "||");
  ASSERT_EQ(host.columns.size(), 3u);
  EXPECT_EQ(host.columns[0].title, std::string(67, 'a'));
  EXPECT_EQ(host.columns[0].width, 67 * 7 + 21);
  EXPECT_EQ(host.columns[2].title, "");

  // the same titles without "Ref." gives a list view 6 x fontx wider
  declare(1, 1);
  add_box(0, el_listview, "Ref.|Ab|Cd");
  add_box(1, el_listview, "Xyz.|Ab|Cd");
  host.made.clear();
  display_box(0, &host);
  display_box(1, &host);
  EXPECT_EQ(host.made[0].r.w, 70 + 6 * 14 - 42);
  EXPECT_EQ(host.made[1].r.w, 70 + 6 * 14);

  host.listview_ok = false;
  host.columns.clear();
  EXPECT_EQ(mk_listview(host, {0, 0, 1, 1}, "A|B"), 0);
  EXPECT_TRUE(host.columns.empty());
  EXPECT_EQ(host.messages, std::vector<std::string>{"List view failed||0"});
}

TEST_F(Winutil, EmptyBoxEndsEveryScan) {
  declare(2, 1);
  for (int b = 0; b <= 2; ++b) boxes[b].framed = 1;
  add_box(0, el_label, "abc");
  add_box(2, el_label, "xyz");  // box 1 never gets an element
  EXPECT_EQ(do_boxes(&host), 0);
  ASSERT_EQ(host.made.size(), 2u);
  EXPECT_EQ(host.made[0].kind, CtlKind::group);
  EXPECT_EQ(host.made[0].r, (Rect{7, 47, 35, 37 + 7}));
  EXPECT_EQ(boxes[2].width, 0);
  EXPECT_EQ(get_window_width(&host), 7 + 35 + 7 + 7);
  EXPECT_EQ(get_window_high(&host), 37);
}

TEST_F(Winutil, PlacementAndWindowNeed) {
  FakeHost other;
  declare(3, 1);
  boxes[2].window = &other;
  for (int b = 0; b <= 3; ++b) add_box(b, el_entry, std::string(static_cast<std::size_t>(b + 1), 'a'));
  // widths 7, 14, 21, 28; heights 37; box 2 belongs to another window
  EXPECT_EQ(get_box_x(0, &host), 7);
  EXPECT_EQ(get_box_x(1, &host), 7 + 14 + 4);
  EXPECT_EQ(get_box_x(3, &host), 7 + 14 + 21 + 4);
  EXPECT_EQ(get_box_y(3, &host), 47);
  EXPECT_EQ(get_window_width(&host), 7 + 14 + 21 + 35 + 7);
  EXPECT_EQ(get_window_high(&host), 37);

  // mode 2 (the last top-level box, even one never filled, is stacked)
  boxinit(4, 2, 0, 50);
  boxes[4].window = &host;
  EXPECT_EQ(get_box_x(3, &host), 7);
  EXPECT_EQ(get_box_y(3, &host), 47);  // flow type 1 itself
  EXPECT_EQ(get_window_width(&host), 28 + 7);
  EXPECT_EQ(get_window_high(&host), 3 * 37 + 30);

  // children: stacked ones go down past every earlier box with a parent;
  // a side-by-side child takes its parent's row and x from fontx
  boxes = BoxTable{};
  declare(3, 1);
  boxes[1].flow = boxes[2].flow = 2;
  set_parent(1, 0);
  set_parent(2, 0);
  set_parent(3, 0);
  for (int b = 0; b <= 3; ++b) add_box(b, el_entry, std::string(static_cast<std::size_t>(b + 1), 'a'));
  EXPECT_EQ(get_box_x(2, &host), 7);
  EXPECT_EQ(get_box_y(1, &host), 47);
  EXPECT_EQ(get_box_y(2, &host), 47 + 37 + 15);
  EXPECT_EQ(get_box_x(3, &host), 7 + (14 + 7) + (21 + 7) + 4);
  EXPECT_EQ(get_box_y(3, &host), 47);
}

// The main window's form as the main window declares it.
void main_layout(FakeHost& h) {
  static const char* labels[12] = {
      "                 Name", "        First Name(s)", "              Address",
      "                 City", "         ZIP/PostCode", "            Tel Email",
      "           Profession", "          Nationality", "Birthday(mm dd yyyy @ place)",
      "              Remarks", "             Category", "       Identification"};
  get_font_size(h);
  boxesinit(0, 5, &h);
  for (int b = 0; b < 4; ++b) boxinit(b, 1, 0, 50);
  boxinit(4, 2, 0, 50);
  boxinit(5, 2, 0, 50);
  set_parent(4, 0);
  set_parent(5, 0);
  boxes[2].framed = boxes[3].framed = boxes[4].framed = boxes[5].framed = 1;
  boxes[5].direction = 1;
  boxes[4].title = "Data";
  for (int k = 0; k < 12; ++k) {
    add_box(4, el_labinput, "the quick brown fox jumps over the lazy dog");
    set_elem_labinput(4, k, labels[k]);
  }
  add_box(0, el_subbox, "4");
  add_box(0, el_subbox, "5");
  boxes[5].title = "Flags";
  for (const char* f : {"Info-!", "Info-$", "Info-%", "Info-&&"}) add_box(5, el_check, f);
  add_box(1, el_label, "");
  boxes[2].title = "Categories";
  add_box(2, el_list, "S\xC3\xA9lectionner_une_cat");
  boxes[2].width = 20 * fontx;
  boxes[3].title = "Selection";
  add_box(3, el_listview, "Ref.|Indentification|Names                  |Flags");
}

TEST_F(Winutil, MainWindowForm) {
  main_layout(host);
  EXPECT_EQ(do_boxes(&host), 5);
  // box widths: data 301 + 196 (longest label), flags 3 x 84 + 91, category
  // fixed 140, selection 350 - 42 + 7 x 14; box 0 as wide as the data box
  const Rect geometry[6] = {{7, 47, 497, 286 + 44},  {515, 47, 14, 37},
                            {536, 47, 140, 279},    {683, 47, 406, 279},
                            {7, 47, 497, 279},      {7, 341, 343, 37}};
  for (int b = 0; b < 6; ++b)
    EXPECT_EQ((Rect{boxes[b].x, boxes[b].y, boxes[b].width, boxes[b].height}), geometry[b]) << b;
  EXPECT_EQ(get_window_high(&host), 330);
  EXPECT_EQ(get_window_width(&host), 7 + 504 + 21 + 147 + 413 + 7);

  ASSERT_EQ(host.made.size(), 35u);
  EXPECT_EQ(host.made[0].r, (Rect{522, 69, 0, 15}));  // the spacer label
  EXPECT_EQ(host.ctl(boxes[2].frame).r, (Rect{536, 47, 140, 286}));
  EXPECT_EQ(host.ctl(boxes[2].frame).text, "Categories");
  EXPECT_EQ(host.ctl(boxes[2].elements[0].control).r, (Rect{543, 62, 126, 264}));
  EXPECT_EQ(host.ctl(boxes[3].frame).r, (Rect{683, 47, 406, 286}));
  EXPECT_EQ(host.ctl(boxes[3].elements[0].control).r, (Rect{690, 62, 350 + 98 - 42, 264}));
  ASSERT_EQ(host.columns.size(), 4u);
  EXPECT_EQ(host.columns[0].width, 0);
  EXPECT_EQ(host.columns[1].width, 105 + 21);
  EXPECT_EQ(host.columns[2].width, 161 + 21);
  EXPECT_EQ(host.columns[3].width, 35 + 21);
  EXPECT_EQ(host.ctl(boxes[4].frame).r, (Rect{7, 47, 497, 286}));
  EXPECT_EQ(boxes[0].frame, 0);
  EXPECT_EQ(boxes[1].frame, 0);

  // labels drawn without their leading spaces, right-aligned in a column as
  // wide as the widest (196, "Birthday..."), each centred on its entry (one
  // pixel lower); the entries start in one column fontx after it, at 217, and
  // end one fontx before the box's right edge (7 + 497 - 7 = 497)
  struct Row {
    const char* label;
    int label_w;
  };
  const Row rows[12] = {{"Name", 35},        {"First Name(s)", 98}, {"Address", 56},
                        {"City", 35},        {"ZIP/PostCode", 91},  {"Tel Email", 70},
                        {"Profession", 77},  {"Nationality", 84},   {"Birthday(mm dd yyyy @ place)", 203},
                        {"Remarks", 56},     {"Category", 63},      {"Identification", 105}};
  for (std::size_t k = 0; k < 12; ++k) {
    const int y = 69 + 22 * static_cast<int>(k);
    const Ctl entry = boxes[4].elements[k].control;
    const Made& label = host.ctl(entry - 1);
    EXPECT_EQ(label.text, rows[k].label) << k;
    const int text_w = rows[k].label_w - 7;
    EXPECT_EQ(label.r, (Rect{14 + 196 - text_w, y + 1, text_w + 3, 15})) << k;
    EXPECT_EQ(host.ctl(entry).kind, CtlKind::entry);
    EXPECT_EQ(host.ctl(entry).r, (Rect{217, y, 497 - 217, 18})) << k;
  }
  EXPECT_EQ(host.ctl(boxes[5].frame).r, (Rect{7, 341, 343, 44}));
  const int flag_x[4] = {14, 98, 182, 266};
  for (std::size_t k = 0; k < 4; ++k) {
    const Made& c = host.ctl(boxes[5].elements[k].control);
    EXPECT_EQ(c.kind, CtlKind::check);
    EXPECT_EQ(c.r, (Rect{flag_x[k], 363, k == 3 ? 77 : 70, 15})) << k;
  }
}

TEST_F(Winutil, MainWindowRelayoutMovesOnlyFramesAndLists) {
  main_layout(host);
  do_boxes(&host);
  const std::size_t created = host.made.size();
  // as a resize of the client area to 1200 x 600 with a 20-pixel status bar does
  const int H = 600, W = 1200, sbh = 20;
  boxes[2].height = H - sbh - fonty - boxes[2].y;
  boxes[3].height = H - sbh - fonty - boxes[3].y;
  boxes[3].width = W - boxes[3].x - 2 * fontx;
  boxes[2].resizable = boxes[3].resizable = 1;
  resize_boxes(&host);
  const std::vector<std::pair<Ctl, Rect>> want = {
      {boxes[2].frame, {536, 47, 140, 518 + 7}},
      {boxes[2].elements[0].control, {543, 62, 126, 503}},
      {boxes[3].frame, {683, 47, 503, 525}},
      {boxes[3].elements[0].control, {690, 62, 489, 503}}};
  EXPECT_EQ(host.moves, want);
  EXPECT_EQ(host.made.size(), created);
}

TEST_F(Winutil, ContentHelpersAndButton) {
  EXPECT_EQ(insertlist(host, 5, "All"), 3);
  EXPECT_EQ(insertlist(host, 0, "All"), -1);
  EXPECT_EQ(insertview(host, 8, "A0001", "id", std::nullopt, "flags"), 1);
  host.insert_ok = false;
  EXPECT_EQ(insertview(host, 8, "A0002", "x", "y", "z"), -1);
  EXPECT_EQ(insertview(host, 0, "A0003"), -1);
  const std::vector<std::string> want = {"add 5 All",         "item 8 NULL",
                                         "set 8 41 0 A0001",  "set 8 41 1 id",
                                         "set 8 41 3 flags",  "item 8 NULL"};
  EXPECT_EQ(host.calls, want);

  host.calls.clear();
  wdbg(host, "here");
  const Ctl b = mk_button(host, {1, 2, 3, 4}, "Quit", 608);
  EXPECT_EQ(host.ctl(b).kind, CtlKind::button);
  EXPECT_EQ(host.ctl(b).id, 608);
  EXPECT_EQ(host.calls, std::vector<std::string>{"tip 1 Quit"});
  host.tooltip_ok = false;
  EXPECT_NE(mk_button(host, {1, 2, 3, 4}, "Save", 0), 0);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"here|DEBUG|1", "Tooltip failed||2"}));
  EXPECT_EQ(mk_empty_grp(), 0);
}

}  // namespace
