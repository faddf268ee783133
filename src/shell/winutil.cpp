// Box-layout toolkit of the main program: box declaration, the width,
// height and position rules, creation of frames and controls through the
// window's LayoutHost, the relayout of resizable boxes, and the small
// content helpers for list boxes and list views.
//
// Limits rather than faults: a box or element index outside the records, a
// sub-box index outside the records, and a sub-box that contains itself
// (directly or through others) are ignored; texts are cut to their limits at
// a UTF-8 character boundary; a negative width or height reaches the host
// as 0.
#include "shell/winutil.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>

#include "platform/fs.h"

namespace soc {

BoxTable boxes;
int fontx = 0;
int fonty = 0;
int border = 0;

namespace {

// Room left above the boxes for the toolbar, in pixels.
constexpr int toolbar_room = 32;

bool valid_box(int box) { return box >= 0 && box < max_boxes; }
bool valid_elem(int elem) { return elem >= 0 && elem < max_elems; }

// A rectangle as the host receives it: no negative size.
Rect fit(const Rect& r) { return {r.x, r.y, std::max(r.w, 0), std::max(r.h, 0)}; }

// Width of `s` in the font of the box's window; 0 when it has none.
int tw(const Box& b, const std::string& s) {
  return b.window ? get_average_len(*b.window, s) : 0;
}

// Extra space of one row: spacing percent of fonty.
int gap(const Box& b) { return (b.spacing * fonty) / 100; }

// Number of columns of a list view's column titles: its vertical bars + 1.
int title_count(const std::string& titles) {
  return static_cast<int>(std::count(titles.begin(), titles.end(), '|')) + 1;
}

bool has_ref(const std::string& s) { return s.find("Ref.") != std::string::npos; }

// Width a non-box element needs (width rule, stacked box).
int elem_width(const Box& b, const Element& el) {
  int e = tw(b, el.text) + tw(b, el.label);
  switch (el.kind) {
    case el_label:
    case el_list:
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

unsigned bit(int box) { return 1u << box; }

int width_of(int box, unsigned path);
int high_of(int box, unsigned path);

// Width taken by sub-box `s` shown in box `box`; a side-by-side sub-box
// widens the box's stored width, a narrower stacked one is widened.
int subbox_width(int box, int s, unsigned path) {
  if (!valid_box(s) || (path & bit(s))) return 0;
  Box& b = boxes[box];
  Box& sb = boxes[s];
  if (sb.flow == 1) {
    b.width += width_of(s, path | bit(s));
    return b.width;
  }
  const int ws = width_of(s, path | bit(s));
  if (b.width > ws) {
    sb.width = b.width;
    return sb.width;
  }
  return ws;
}

// `path` holds the boxes being measured around this one (cycle guard).
int width_of(int box, unsigned path) {
  Box& b = boxes[box];
  if (b.width != 0) return b.width;
  int w = tw(b, cut_utf8(b.title, max_text));
  int e = 0;
  for (const Element& el : b.elements) {
    if (el.kind == 0) break;
    if (el.kind == el_subbox)
      e = subbox_width(box, el.sub, path | bit(box));
    else if (b.direction == 0)
      e = elem_width(b, el);
    else
      e += elem_width(b, el);
    w = std::max(w, e);
  }
  return w;
}

int subbox_high(int s, unsigned path) {
  if (!valid_box(s) || (path & bit(s))) return -1;
  return high_of(s, path | bit(s));
}

// A one-row box holding sub-boxes is as high as its tallest sub-box, plus
// its own row space (as a stacked box adds it per sub-box).
int high_of(int box, unsigned path) {
  const Box& b = boxes[box];
  if (b.height != 0) return b.height;
  int n = 0;
  int subs = 0;
  for (const Element& el : b.elements) {
    if (el.kind == 0) break;
    if (el.kind == el_subbox) {
      int h = subbox_high(el.sub, path | bit(box));
      if (h < 0) continue;
      subs = b.direction == 0 ? subs + h + gap(b) : std::max(subs, h + gap(b));
    } else if (b.direction != 0) {
      if (el.kind == el_label || el.kind == el_check) n = 1;
    } else if (el.kind == el_list || el.kind == el_listview) {
      n = 12;
    } else if (el.kind == el_label || el.kind == el_entry || el.kind == el_check ||
               el.kind == el_radio || el.kind == el_labinput) {
      n += 1;
    }
  }
  if (subs > 0) return subs;
  return (n + 1) * fonty + n * gap(b);
}

// Placement mode of a window: flow type of its last top-level box.
int window_mode(const LayoutHost* window) {
  int mode = 0;
  for (const Box& b : boxes.box)
    if (b.window == window && b.parent == -1) mode = b.flow;
  return mode;
}

int box_mode(int box, const LayoutHost* window) {
  const Box& b = boxes[box];
  return b.parent != -1 ? b.flow : window_mode(window);
}

std::string strip_leading_spaces(const std::string& s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? std::string() : s.substr(i);
}

// Width of a list view created for `titles`: every column counts, the
// hidden "Ref." one included, less 6 x fontx for it. With a "Ref." column
// the list view thus reaches one fontx past its box's right edge until the
// first relayout sizes it to the box.
int listview_width(LayoutHost& w, const std::string& titles) {
  int width = get_average_len(w, titles) + (title_count(titles) + 3) * 2 * fontx;
  if (has_ref(titles)) width -= 6 * fontx;
  return width;
}

// Width of the label column of a stacked box: its widest labelled-entry
// label as drawn (the stored labels are padded with blanks to one width for
// this column).
int label_column(const Box& b, LayoutHost& w) {
  int col = 0;
  for (const Element& el : b.elements) {
    if (el.kind == 0) break;
    if (el.kind == el_labinput)
      col = std::max(col, get_average_len(w, strip_leading_spaces(el.label)));
  }
  return col;
}

void display_stacked(Box& b, LayoutHost& w) {
  const int step = fonty + gap(b);
  const int x0 = b.x + fontx;
  const int entry_h = fonty + fonty / 4;
  const int lab_col = label_column(b, w);
  for (int k = 0; k < max_elems; ++k) {
    Element& el = b.elements[static_cast<std::size_t>(k)];
    if (el.kind == 0) break;
    const int yk = b.y + (k + 1) * step;
    switch (el.kind) {
      case el_label:
        el.control = mk_label(w, {x0, yk, get_average_len(w, el.text), fonty}, el.text);
        break;
      case el_entry:
        el.control = mk_entry(w, {x0, yk, get_average_len(w, el.text) - 10, entry_h});
        break;
      case el_labinput: {
        // The labels end together at the right of their column, each centred
        // on its entry; the entries start in one column after it.
        const std::string l = strip_leading_spaces(el.label);
        const int lw = get_average_len(w, l);
        mk_label(w, {x0 + lab_col - lw, yk + (entry_h - fonty) / 2, lw + fontx / 2, fonty}, l);
        el.control = mk_entry(
            w, {b.x + 2 * fontx + lab_col, yk, b.width - 3 * fontx - lab_col, entry_h});
        break;
      }
      case el_check:
        el.control = mk_toggle(
            w, {x0, yk, get_average_len(w, el.text) + 4 * fontx, fonty}, el.text, el.id);
        break;
      case el_radio:
        el.control = mk_radio(
            w, {x0, yk, get_average_len(w, el.text) + 4 * fontx, fonty}, el.text, el.id);
        break;
      case el_list: {
        const int lw = b.width > 0 ? b.width - 2 * fontx : get_average_len(w, el.text);
        el.control = mk_list(w, {x0, b.y + fonty, lw, b.height - fonty}, el.text);
        break;
      }
      case el_listview:
        el.control = mk_listview(
            w, {x0, b.y + fonty, listview_width(w, el.text), b.height - fonty}, el.text);
        break;
      default:  // kind 8: the sub-box creates its own controls
        break;
    }
  }
}

// One-row box: labels and check boxes from a running offset. The box's own
// x is added into the offset at every step.
void display_row(Box& b, LayoutHost& w) {
  const int y = b.y + (3 * fonty) / 2;
  int o = 0;
  for (Element& el : b.elements) {
    if (el.kind == 0) break;
    if (el.kind != el_label && el.kind != el_check) continue;
    const int t = get_average_len(w, el.text);
    if (el.kind == el_label) {
      el.control = mk_label(w, {b.x + fontx + o, y, t, fonty}, el.text);
      o = b.x + o + fontx + t;
    } else {
      el.control = mk_toggle(w, {b.x + fontx + o, y, t + 4 * fontx, fonty}, el.text, el.id);
      o = b.x + o + 5 * fontx + t;
    }
  }
}

// Geometry and controls of the boxes of `window` that are top level (or
// children); stops at the first empty box and returns its index.
int create_pass(LayoutHost* window, bool top) {
  int i = 0;
  for (; i < max_boxes && !boxes[i].empty; ++i) {
    Box& b = boxes[i];
    if (b.window != window || (b.parent == -1) != top) continue;
    b.width = get_box_width(i);
    b.height = get_box_high(i);
    b.x = get_box_x(i, window);
    b.y = get_box_y(i, window);
    if (b.framed)
      b.frame = mk_grp(*window, {b.x, b.y, b.width, b.height + gap(b)}, b.title);
    display_box(i, window);
  }
  return i;
}

Ctl make(LayoutHost& w, CtlKind kind, const Rect& r, const std::string& text, int id) {
  return w.make_control(kind, fit(r), cut_utf8(text, max_text), id);
}

}  // namespace

void boxesinit(int first, int last, LayoutHost* window) {
  if (last > max_boxes) std::cout << "Box over capacity!!!" << std::endl;
  for (int i = std::max(first, 0); i <= last && i < max_boxes; ++i) {
    boxes[i].empty = 1;
    boxes[i].window = window;
  }
  if (valid_box(last + 1)) boxes[last + 1].empty = 1;
}

int boxinit(int box, int flow, int resizable, int spacing) {
  if (!valid_box(box)) {
    std::cout << "Box over capacity!!!" << std::endl;
    return 1;
  }
  Box& b = boxes[box];
  b.empty = 1;
  b.flow = flow;
  b.parent = -1;
  b.direction = 0;
  b.resizable = resizable;
  b.spacing = spacing;
  b.framed = 0;
  b.title.clear();
  b.x = b.y = b.width = b.height = 0;
  for (Element& el : b.elements) {
    el.kind = 0;
    el.text.clear();
    el.label.clear();
  }
  return 0;
}

void set_parent(int box, int parent) {
  if (valid_box(box) && (parent == -1 || valid_box(parent))) boxes[box].parent = parent;
}

int add_box(int box, int kind, const std::string& text) {
  if (!valid_box(box)) return 1;
  Box& b = boxes[box];
  b.empty = 0;
  for (Element& el : b.elements) {
    if (el.kind != 0) continue;
    el.kind = kind;
    el.id = 0;
    el.text = cut_utf8(text, max_text);
    if (kind == el_subbox) {
      long v = std::strtol(el.text.c_str(), nullptr, 10);  // atoi
      el.sub = (v < INT_MIN || v > INT_MAX) ? -1 : static_cast<int>(v);
    }
    break;
  }
  return 0;
}

void set_elem_id(int box, int elem, int id) {
  if (valid_box(box) && valid_elem(elem))
    boxes[box].elements[static_cast<std::size_t>(elem)].id = id;
}

void set_elem_labinput(int box, int elem, const std::string& label) {
  if (valid_box(box) && valid_elem(elem))
    boxes[box].elements[static_cast<std::size_t>(elem)].label = cut_utf8(label, max_text);
}

int do_boxes(LayoutHost* window) {
  if (!window) return -1;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i) {
    Box& b = boxes[i];
    if (b.window != window || b.parent == -1) continue;
    b.width = get_box_width(i);
    b.height = get_box_high(i);
  }
  create_pass(window, true);
  return create_pass(window, false) - 1;
}

int display_box(int box, LayoutHost* window) {
  if (!valid_box(box) || !window) return 1;
  Box& b = boxes[box];
  if (b.direction == 0)
    display_stacked(b, *window);
  else
    display_row(b, *window);
  return 0;
}

void resize_boxes(LayoutHost* window) {
  if (!window) return;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i) {
    Box& b = boxes[i];
    if (b.window != window || b.resizable != 1) continue;
    b.x = get_box_x(i, window);
    b.y = get_box_y(i, window);
    if (b.frame) window->move_control(b.frame, fit({b.x, b.y, b.width, b.height + gap(b)}));
    for (const Element& el : b.elements) {
      if (el.kind == 0) break;
      if ((el.kind == el_list || el.kind == el_listview) && el.control)
        window->move_control(
            el.control,
            fit({b.x + fontx, b.y + fonty, b.width - 2 * fontx, b.height - fonty}));
    }
  }
}

int get_font_size(LayoutHost& window) {
  int ave = 0;
  int height = 0;
  if (!window.text_metrics(ave, height)) {
    window.message_box(" GetTextMetrics Failed ", "", MsgIcon::error);
    return fonty;
  }
  fontx = ave;
  fonty = height * 120 / 100;
  return fonty;
}

int get_average_len(LayoutHost& window, const std::string& text) {
  return window.text_width(text);
}

int get_box_width(int box) { return valid_box(box) ? width_of(box, bit(box)) : 0; }

int get_box_high(int box) { return valid_box(box) ? high_of(box, bit(box)) : 0; }

int get_box_x(int box, LayoutHost* window) {
  if (!valid_box(box)) return 0;
  if (box_mode(box, window) != 1 || box == 0) return fontx;
  const Box& b = boxes[box];
  int x = fontx;
  for (int j = 0; j < box && !boxes[j].empty; ++j)
    if (boxes[j].window == window && boxes[j].parent == b.parent)
      x += get_box_width(j) + fontx;
  return x + border;
}

// A side-by-side child stands where its parent's rule puts it; stacked
// boxes go down past every earlier box that has a parent.
int get_box_y(int box, LayoutHost* window) {
  if (!valid_box(box)) return 0;
  const Box& b = boxes[box];
  if (b.parent == -1 && b.flow == 1) return fonty + toolbar_room;
  int idx = (b.parent != -1 && b.flow == 1 && valid_box(b.parent)) ? b.parent : box;
  int y = fonty + toolbar_room;
  for (int j = 0; j < idx && !boxes[j].empty; ++j)
    if (boxes[j].window == window && boxes[j].parent != -1) y += get_box_high(j) + fonty;
  return y;
}

int get_window_high(LayoutHost* window) {
  int highest = 0;
  int sum = 0;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i) {
    if (boxes[i].window != window || boxes[i].parent != -1) continue;
    const int h = get_box_high(i);
    highest = std::max(highest, h);
    sum += h;
  }
  return window_mode(window) == 1 ? highest : sum + 2 * fonty;
}

int get_window_width(LayoutHost* window) {
  int sum = 0;
  int widest = fontx;
  for (int i = 0; i < max_boxes && !boxes[i].empty; ++i) {
    if (boxes[i].window != window) continue;
    if (boxes[i].parent != -1) break;
    const int w = get_box_width(i);
    sum += w + fontx;
    widest = std::max(widest, w);
  }
  return window_mode(window) == 1 ? fontx + sum + fontx : widest + fontx;
}

int insertlist(LayoutHost& window, Ctl list, const std::string& text) {
  if (!list) return -1;
  return window.list_add(list, text);
}

int insertview(LayoutHost& window, Ctl view, const std::string& t0,
               const std::optional<std::string>& t1, const std::optional<std::string>& t2,
               const std::optional<std::string>& t3) {
  if (!view) return -1;
  const int item = window.view_insert_item(view, "NULL");
  if (item < 0) return -1;
  int answer = window.view_set_text(view, item, 0, t0);
  if (t1) answer = window.view_set_text(view, item, 1, *t1);
  if (t2) answer = window.view_set_text(view, item, 2, *t2);
  if (t3) answer = window.view_set_text(view, item, 3, *t3);
  return answer;
}

void wdbg(LayoutHost& window, const std::string& text) {
  window.message_box(text, "DEBUG", MsgIcon::information);
}

Ctl mk_button(LayoutHost& window, const Rect& r, const std::string& text, int icon) {
  const Ctl c = make(window, CtlKind::button, r, text, icon);
  if (!c || !window.add_tooltip(c, cut_utf8(text, max_text)))
    window.message_box("Tooltip failed", "", MsgIcon::error);
  return c;
}

Ctl mk_grp(LayoutHost& window, const Rect& r, const std::string& title) {
  return make(window, CtlKind::group, r, title, 0);
}

Ctl mk_empty_grp() { return 0; }

Ctl mk_radio(LayoutHost& window, const Rect& r, const std::string& text, int id) {
  return make(window, CtlKind::radio, r, text, id);
}

Ctl mk_toggle(LayoutHost& window, const Rect& r, const std::string& text, int id) {
  return make(window, CtlKind::check, r, text, id);
}

Ctl mk_label(LayoutHost& window, const Rect& r, const std::string& text) {
  return make(window, CtlKind::label, r, text, 0);
}

Ctl mk_entry(LayoutHost& window, const Rect& r) {
  return make(window, CtlKind::entry, r, "", 0);
}

Ctl mk_list(LayoutHost& window, const Rect& r, const std::string& text) {
  return make(window, CtlKind::list, r, text, 0);
}

// Columns: one per title between vertical bars; a title containing "Ref."
// gets width 0 (a hidden column that carries a key).
Ctl mk_listview(LayoutHost& window, const Rect& r, const std::string& titles) {
  const Ctl c = make(window, CtlKind::listview, r, "", 0);
  if (!c) {
    window.message_box("List view failed", "", MsgIcon::none);
    return 0;
  }
  int col = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = titles.find('|', start);
    const std::string title =
        cut_utf8(titles.substr(start, bar == std::string::npos ? std::string::npos : bar - start),
                 max_col_title);
    const int width = has_ref(title) ? 0 : get_average_len(window, title) + 3 * fontx;
    window.add_column(c, col++, title, width);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return c;
}

}  // namespace soc
