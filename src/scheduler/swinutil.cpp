// Box-layout toolkit of the label print scheduler: box declaration, the
// width, height and position rules of its side-by-side framed boxes, the
// creation of frames and controls in the scheduler's window, and the
// content helpers for list boxes and list views.
//
// Limits rather than faults: a box or element index outside the records is
// ignored; texts are cut to their limits at a UTF-8 character boundary; a
// negative width or height reaches the host as 0; with no window set,
// texts measure 0 and no control is created.
#include "scheduler/swinutil.h"

#include <algorithm>
#include <iostream>

#include "import/do_utf.h"

namespace soc::sched {

BoxTable boxes;
int fontx = 0;
int fonty = 0;
int border = 0;

namespace {

// Room left above the boxes for the toolbar, in pixels.
constexpr int toolbar_room = 32;

bool valid_box(int box) { return box >= 0 && box < max_boxes; }
bool valid_elem(int elem) { return elem >= 0 && elem < max_elems; }

// Cuts `s` to at most `n` bytes without splitting a UTF-8 character.
std::string cut_text(const std::string& s, std::size_t n) {
  return s.substr(0, cut_len(s, n));
}

// A rectangle as the host receives it: no negative size.
Rect fit(const Rect& r) { return {r.x, r.y, std::max(r.w, 0), std::max(r.h, 0)}; }

int tw(const std::string& s) { return get_average_len(s); }

// Extra space of one row: spacing percent of fonty.
int gap(const Box& b) { return (b.spacing * fonty) / 100; }

int title_count(const std::string& titles) {
  return static_cast<int>(std::count(titles.begin(), titles.end(), '|')) + 1;
}

bool has_ref(const std::string& s) { return s.find("Ref.") != std::string::npos; }

int elem_width(const Element& el) {
  int e = tw(el.text);
  switch (el.kind) {
    case el_label:
    case el_list:
    case el_combo:
      e += 2 * fontx;
      break;
    case el_check:
    case el_radio:
      e += 6 * fontx;
      break;
    case el_listview: {
      int c = title_count(el.text);
      if (has_ref(el.text)) {
        e -= 6 * fontx;
        c -= 1;
      }
      e += (c + 4) * 2 * fontx;
      break;
    }
    default:
      break;
  }
  return e;
}

int listview_width(const std::string& titles) {
  int width = tw(titles) + (title_count(titles) + 3) * 2 * fontx;
  if (has_ref(titles)) width -= 6 * fontx;
  return width;
}

Ctl make(CtlKind kind, const Rect& r, const std::string& text, int id) {
  if (!boxes.window) return 0;
  return boxes.window->make_control(kind, fit(r), cut_text(text, max_text), id);
}

}  // namespace

void boxesinit() {
  for (Box& b : boxes.box) b.empty = 1;
}

int boxinit(int box, int flow, int spacing) {
  if (!valid_box(box)) {
    std::cout << "Box over capacity!!!" << std::endl;
    return 1;
  }
  Box& b = boxes[box];
  b.empty = 1;
  b.flow = flow;
  b.spacing = spacing;
  b.title.clear();
  b.x = b.y = b.width = b.height = 0;
  for (Element& el : b.elements) {
    el.kind = 0;
    el.text.clear();
  }
  return 0;
}

int add_box(int box, int kind, const std::string& text) {
  if (!valid_box(box)) return 1;
  Box& b = boxes[box];
  b.empty = 0;
  for (Element& el : b.elements) {
    if (el.kind != 0) continue;
    el.kind = kind;
    el.id = 0;
    el.text = cut_text(text, max_text);
    break;
  }
  return 0;
}

void set_elem_id(int box, int elem, int id) {
  if (valid_box(box) && valid_elem(elem))
    boxes[box].elements[static_cast<std::size_t>(elem)].id = id;
}

// One pass: geometry, frame and controls of every box up to the first
// empty one; returns the index of the last box created.
int do_boxes() {
  int i = 0;
  for (; i < max_boxes && !boxes[i].empty; ++i) {
    Box& b = boxes[i];
    b.width = get_box_width(i);
    b.height = get_box_high(i);
    b.x = get_box_x(i);
    b.y = get_box_y(i);
    mk_grp({b.x, b.y, b.width, b.height + gap(b)}, b.title);
    display_box(i);
  }
  return i - 1;
}

int display_box(int box) {
  if (!valid_box(box)) return 1;
  Box& b = boxes[box];
  const int step = fonty + gap(b);
  const int x0 = b.x + fontx;
  for (int k = 0; k < max_elems; ++k) {
    Element& el = b.elements[static_cast<std::size_t>(k)];
    if (el.kind == 0) break;
    const int yk = b.y + (k + 1) * step;
    switch (el.kind) {
      case el_label:
        el.control = mk_label({x0, yk, tw(el.text), fonty}, el.text);
        break;
      case el_entry:
        el.control = mk_entry({x0, yk, tw(el.text) - 10, fonty + fonty / 4});
        break;
      case el_check:
        el.control = mk_toggle({x0, yk, tw(el.text) + 4 * fontx, fonty}, el.text, el.id);
        break;
      case el_radio:
        el.control = mk_radio({x0, yk, tw(el.text) + 4 * fontx, fonty}, el.text, el.id);
        break;
      case el_list:
        el.control = mk_list({x0, yk, tw(el.text), b.height - fonty}, el.text);
        break;
      case el_listview:
        el.control =
            mk_listview({x0, b.y + fonty, listview_width(el.text), b.height - fonty}, el.text);
        break;
      case el_combo:
        el.control = mk_combox({x0, yk, tw(el.text) - 10, b.height - fonty}, el.text);
        break;
      default:
        break;
    }
  }
  return 0;
}

int get_font_size() {
  if (!boxes.window) return fonty;
  int ave = 0;
  int height = 0;
  if (!boxes.window->text_metrics(ave, height)) {
    boxes.window->message_box(" GetTextMetrics Failed ", "", MsgIcon::error);
    return fonty;
  }
  fontx = ave;
  fonty = height * 120 / 100;
  return fonty;
}

int get_average_len(const std::string& text) {
  return boxes.window ? boxes.window->text_width(text) : 0;
}

int get_box_width(int box) {
  if (!valid_box(box)) return 0;
  const Box& b = boxes[box];
  if (b.width != 0) return b.width;
  int w = tw(cut_text(b.title, max_text));
  for (const Element& el : b.elements) {
    if (el.kind == 0) break;
    w = std::max(w, elem_width(el));
  }
  return w;
}

int get_box_high(int box) {
  if (!valid_box(box)) return 0;
  const Box& b = boxes[box];
  if (b.height != 0) return b.height;
  int n = 0;
  for (const Element& el : b.elements) {
    if (el.kind == 0) break;
    if (el.kind >= el_label && el.kind <= el_radio)
      n += 1;
    else if (el.kind == el_list || el.kind == el_listview)
      n = 12;
    else if (el.kind == el_combo)
      n = 3;
  }
  return (n + 1) * fonty + n * gap(b);
}

int get_box_x(int box) {
  if (!valid_box(box)) return 0;
  int x = fontx;
  for (int j = 0; j < box && !boxes[j].empty; ++j) x += get_box_width(j) + fontx;
  return x + border;
}

int get_box_y(int box) {
  if (!valid_box(box)) return 0;
  return boxes[box].flow == 1 ? fonty + toolbar_room : 0;
}

int get_window_high() {
  int highest = 0;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i)
    highest = std::max(highest, get_box_high(i));
  return highest;
}

int get_window_width() {
  int sum = 0;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i) sum += get_box_width(i) + fontx;
  return fontx + sum + fontx;
}

int insertlist(Ctl list, const std::string& text) {
  if (!list || !boxes.window) return -1;
  return boxes.window->list_add(list, text);
}

int insertview(Ctl view, const std::string& t0, const std::string& t1,
               const std::string& t2, const std::string& t3) {
  if (!view || !boxes.window) return -1;
  LayoutHost& w = *boxes.window;
  const int item = w.view_insert_item(view, "NULL");
  if (item < 0) return -1;
  w.view_set_text(view, item, 0, t0);
  w.view_set_text(view, item, 1, t1);
  w.view_set_text(view, item, 2, t2);
  return w.view_set_text(view, item, 3, t3);
}

void wdbg(const std::string& text) {
  if (boxes.window) boxes.window->message_box(text, "DEBUG", MsgIcon::information);
}

Ctl mk_button(const Rect& r, const std::string& text, int icon) {
  if (!boxes.window) return 0;
  const Ctl c = make(CtlKind::button, r, text, icon);
  if (!c || !boxes.window->add_tooltip(c, cut_text(text, max_text)))
    boxes.window->message_box("Tooltip failed", "", MsgIcon::error);
  return c;
}

Ctl mk_grp(const Rect& r, const std::string& title) {
  return make(CtlKind::group, r, title, 0);
}

Ctl mk_empty_grp() { return 0; }

Ctl mk_radio(const Rect& r, const std::string& text, int id) {
  return make(CtlKind::radio, r, text, id);
}

Ctl mk_toggle(const Rect& r, const std::string& text, int id) {
  return make(CtlKind::check, r, text, id);
}

Ctl mk_label(const Rect& r, const std::string& text) {
  return make(CtlKind::label, r, text, 0);
}

Ctl mk_entry(const Rect& r) { return make(CtlKind::entry, r, "", 0); }

Ctl mk_list(const Rect& r, const std::string& text) {
  return make(CtlKind::list, r, text, 0);
}

Ctl mk_combox(const Rect& r, const std::string& text) {
  return make(CtlKind::combo, r, text, 0);
}

// Columns: one per title between vertical bars; a title containing "Ref."
// gets width 0 (a hidden column that carries a key).
Ctl mk_listview(const Rect& r, const std::string& titles) {
  if (!boxes.window) return 0;
  LayoutHost& w = *boxes.window;
  const Ctl c = make(CtlKind::listview, r, "", 0);
  if (!c) {
    w.message_box("List view failed", "", MsgIcon::none);
    return 0;
  }
  int col = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = titles.find('|', start);
    const std::string title =
        cut_text(titles.substr(start, bar == std::string::npos ? std::string::npos : bar - start),
                 max_col_title);
    w.add_column(c, col++, title, has_ref(title) ? 0 : tw(title) + 3 * fontx);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return c;
}

}  // namespace soc::sched
