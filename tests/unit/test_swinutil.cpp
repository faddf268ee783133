// Tests of the scheduler's reduced box-layout toolkit with a recording
// window of fixed metrics: average character width 7, height 13 (fontx = 7,
// fonty = 15, a 50 % row space of 7, a row step of 22), every byte 7 pixels
// wide, window frame 4. Expected numbers are worked out by hand.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "scheduler/swinutil.h"

namespace soc::sched {
static void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << "," << r.y << "," << r.w << "," << r.h << "}";
}
}  // namespace soc::sched

namespace {

using namespace soc::sched;

struct Made {
  CtlKind kind;      // what was asked for
  Rect r;            // where
  std::string text;  // with which text
  int id;            // child id
};

class FakeHost : public LayoutHost {
 public:
  bool listview_ok = true;
  std::vector<Made> made;
  std::vector<std::string> calls;  // columns, list and list-view content calls
  std::vector<std::string> messages;

  bool text_metrics(int& ave, int& h) override {
    ave = 7;
    h = 13;
    return true;
  }
  int text_width(const std::string& s) override { return 7 * static_cast<int>(s.size()); }
  Ctl make_control(CtlKind kind, const Rect& r, const std::string& text, int id) override {
    if (kind == CtlKind::listview && !listview_ok) return 0;
    made.push_back({kind, r, text, id});
    return static_cast<Ctl>(made.size());
  }
  void add_column(Ctl v, int col, const std::string& title, int width) override {
    calls.push_back("col " + std::to_string(v) + " " + std::to_string(col) + " " + title + " " +
                    std::to_string(width));
  }
  bool add_tooltip(Ctl, const std::string&) override { return true; }
  int list_add(Ctl l, const std::string& s) override {
    calls.push_back("add " + std::to_string(l) + " " + s);
    return 0;
  }
  int view_insert_item(Ctl v, const std::string& text) override {
    calls.push_back("item " + std::to_string(v) + " " + text);
    return 2;
  }
  int view_set_text(Ctl v, int item, int sub, const std::string& s) override {
    calls.push_back("set " + std::to_string(v) + " " + std::to_string(item) + " " +
                    std::to_string(sub) + " " + s);
    return 1;
  }
  void message_box(const std::string& text, const std::string& caption, MsgIcon icon) override {
    messages.push_back(text + "|" + caption + "|" + std::to_string(static_cast<int>(icon)));
  }
};

class Swinutil : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = BoxTable{};
    boxes.window = &host;
    border = 4;
    get_font_size();
  }
  FakeHost host;
};

TEST_F(Swinutil, DeclarationCalls) {
  EXPECT_EQ(fontx, 7);
  EXPECT_EQ(fonty, 15);
  for (Box& b : boxes.box) b.empty = 0;
  boxesinit();
  for (const Box& b : boxes.box) EXPECT_EQ(b.empty, 1);

  add_box(4, el_label, "x");
  boxes[4].title = "T";
  EXPECT_EQ(boxinit(4, 1, 50), 0);
  EXPECT_EQ(boxes[4].flow, 1);
  EXPECT_EQ(boxes[4].spacing, 50);
  EXPECT_EQ(boxes[4].elements[0].kind, 0);
  EXPECT_EQ(boxes[4].title, "");
  testing::internal::CaptureStdout();
  EXPECT_EQ(boxinit(5, 1, 50), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Box over capacity!!!\n");
  EXPECT_EQ(add_box(5, el_label, "x"), 1);
}

TEST_F(Swinutil, WidthAndHeightRules) {
  struct Case {
    std::vector<std::pair<int, const char*>> elems;
    int width;
    int high;
  };
  const Case cases[] = {
      {{{el_label, "abc"}}, 21 + 14, 2 * 15 + 7},
      {{{el_entry, "abcd"}, {el_check, "ab"}}, 14 + 42, 3 * 15 + 2 * 7},
      {{{el_radio, "ab"}, {el_list, "abcdefgh"}}, 56 + 14, 13 * 15 + 12 * 7},
      {{{el_listview, "Ref.|B|C"}}, 56 - 42 + 6 * 14, 13 * 15 + 12 * 7},
      {{{el_listview, "A|B|C"}, {el_label, "x"}}, 35 + 7 * 14, 14 * 15 + 13 * 7},
      {{{el_label, "x"}, {el_label, "y"}, {el_combo, "abc"}}, 21 + 14, 4 * 15 + 3 * 7},
      {{{el_combo, "abc"}, {el_label, "y"}}, 21 + 14, 5 * 15 + 4 * 7},
      {{}, 0, 15},
  };
  for (const Case& c : cases) {
    boxinit(0, 1, 50);
    for (auto [kind, text] : c.elems) add_box(0, kind, text);
    EXPECT_EQ(get_box_width(0), c.width) << c.elems.size();
    EXPECT_EQ(get_box_high(0), c.high) << c.elems.size();
  }
  boxes[0].title = "abcdefghij";
  EXPECT_EQ(get_box_width(0), 70);
  boxes[0].width = 99;
  boxes[0].height = 98;
  EXPECT_EQ(get_box_width(0), 99);
  EXPECT_EQ(get_box_high(0), 98);
}

TEST_F(Swinutil, DelayBoxAndSecondBox) {
  const std::string label = std::string(23, ' ') + "Delay adjustment in seconds" + std::string(25, ' ');
  boxesinit();
  boxinit(0, 1, 50);
  boxes[0].title = "Delay";
  add_box(0, el_label, label);
  add_box(0, el_combo, "Select delay");
  add_box(0, el_label, std::string(13, ' '));
  boxinit(1, 2, 50);
  add_box(1, el_list, "abc");
  add_box(1, el_check, "ab");
  set_elem_id(1, 1, 12);
  EXPECT_EQ(do_boxes(), 1);

  // box 0: 75-byte label; 1 + 3 (combo) rows; box 1: 12 + 1 rows
  EXPECT_EQ((Rect{boxes[0].x, boxes[0].y, boxes[0].width, boxes[0].height}),
            (Rect{11, 47, 525 + 14, 5 * 15 + 4 * 7}));
  EXPECT_EQ((Rect{boxes[1].x, boxes[1].y, boxes[1].width, boxes[1].height}),
            (Rect{7 + 546 + 4, 0, 56, 14 * 15 + 13 * 7}));
  const std::vector<Made> want = {
      {CtlKind::group, {11, 47, 539, 110}, "Delay", 0},
      {CtlKind::label, {18, 69, 525, 15}, label, 0},
      {CtlKind::combo, {18, 91, 74, 88}, "Select delay", 0},
      {CtlKind::label, {18, 113, 91, 15}, std::string(13, ' '), 0},
      {CtlKind::group, {557, 0, 56, 308}, "", 0},
      {CtlKind::list, {564, 22, 21, 286}, "abc", 0},
      {CtlKind::check, {564, 44, 42, 15}, "ab", 12},
  };
  ASSERT_EQ(host.made.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(host.made[i].kind, want[i].kind) << i;
    EXPECT_EQ(host.made[i].r, want[i].r) << i;
    EXPECT_EQ(host.made[i].text, want[i].text) << i;
    EXPECT_EQ(host.made[i].id, want[i].id) << i;
  }
  EXPECT_EQ(boxes[0].elements[1].control, 3);
  EXPECT_EQ(get_window_high(), 301);
  EXPECT_EQ(get_window_width(), 7 + 546 + 63 + 7);
}

TEST_F(Swinutil, EntryRadioListView) {
  boxinit(0, 1, 50);
  Box& b = boxes[0];
  b.x = 10;
  b.y = 50;
  b.width = 200;
  b.height = 300;
  add_box(0, el_entry, "abcdefgh");
  add_box(0, el_radio, "ef");
  set_elem_id(0, 1, 6);
  add_box(0, el_listview, "Ref.|Ab|Cd");
  display_box(0);
  ASSERT_EQ(host.made.size(), 3u);
  EXPECT_EQ(host.made[0].r, (Rect{17, 72, 46, 18}));
  EXPECT_EQ(host.made[0].text, "");
  EXPECT_EQ(host.made[1].r, (Rect{17, 94, 42, 15}));
  EXPECT_EQ(host.made[1].id, 6);
  EXPECT_EQ(host.made[2].r, (Rect{17, 65, 70 + 6 * 14 - 42, 285}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"col 3 0 Ref. 0", "col 3 1 Ab 35",
                                                  "col 3 2 Cd 35"}));
  host.listview_ok = false;
  EXPECT_EQ(mk_listview({0, 0, 1, 1}, "A"), 0);
  EXPECT_EQ(host.messages, std::vector<std::string>{"List view failed||0"});
}

TEST_F(Swinutil, ContentHelpers) {
  EXPECT_EQ(insertview(4, "A0001", "a", "", "c"), 1);
  EXPECT_EQ(insertlist(5, "3"), 0);
  const std::vector<std::string> want = {"item 4 NULL", "set 4 2 0 A0001", "set 4 2 1 a",
                                         "set 4 2 2 ",  "set 4 2 3 c",     "add 5 3"};
  EXPECT_EQ(host.calls, want);
  wdbg("here");
  EXPECT_EQ(host.messages, std::vector<std::string>{"here|DEBUG|1"});

  boxes.window = nullptr;  // no window yet: nothing measured or created
  EXPECT_EQ(get_average_len("abc"), 0);
  EXPECT_EQ(mk_label({0, 0, 1, 1}, "x"), 0);
  EXPECT_EQ(insertlist(5, "3"), -1);
  EXPECT_EQ(host.made.size(), 0u);
}

}  // namespace
