// Box-layout toolkit of the label print scheduler (the reduced variant).
//
// The scheduler builds its one window from at most five framed boxes placed
// side by side: each box is a titled group of elements (labels, entries,
// check boxes, radio buttons, a list box, a report list view, drop-down
// combo boxes) sized from the texts it holds in the GUI font. There are no
// nested boxes, no one-row boxes, no labelled entries and no relayout.
//
// Everything here is the scheduler's own: it shares no code and no state
// with the main program's toolkit (shell/winutil), so the scheduler program
// links none of the main program. The window is a LayoutHost that measures
// text and creates and fills the controls; every box belongs to the one
// window set in `boxes.window` before the boxes are created.
#pragma once

#include <array>
#include <string>

namespace soc::sched {

// Position and size of a control in pixels, client coordinates of the window.
struct Rect {
  int x = 0;  // left edge
  int y = 0;  // top edge
  int w = 0;  // width
  int h = 0;  // height
  bool operator==(const Rect&) const = default;
};

// Handle of a control, handed out by the host; 0 = no control.
using Ctl = int;

// The controls the toolkit asks the host to create.
enum class CtlKind {
  group,     // titled group frame around a box
  label,     // static text on one line, no word wrap
  entry,     // one-line edit field with border, tab stop, horizontal auto-scroll
  check,     // automatic check box
  radio,     // automatic radio button
  list,      // list box with border, horizontal scroll bar, selection notices
  listview,  // report list view, selection always shown, full-row select,
             // rows kept sorted by their first column
  button,    // push button (with a 16 x 16 icon when an icon id is given)
  combo,     // editable drop-down combo box; the only control not given the GUI font
};

// Icon of a message box.
enum class MsgIcon { none, information, error };

// The scheduler's window: text measurement in the GUI font and its controls.
class LayoutHost {
 public:
  virtual ~LayoutHost() = default;

  // Metrics of the GUI font: average character width and character height
  // in pixels. Returns false when they cannot be read (outputs untouched).
  virtual bool text_metrics(int& ave_char_width, int& height) = 0;

  // Full width in pixels of `s` drawn in the GUI font.
  virtual int text_width(const std::string& s) = 0;

  // Creates a child control at `r` and returns its handle, 0 on failure.
  // `text` is the frame title, label, check box, radio, list box, combo box
  // or button text; entries and list views get an empty text (list-view
  // columns come through add_column). `id` is the child id of check boxes
  // and radio buttons, the icon resource id of a button (0 = text button).
  virtual Ctl make_control(CtlKind kind, const Rect& r, const std::string& text,
                           int id) = 0;

  // Inserts a left-aligned column `col` (also its subitem index) into a
  // report list view, with its title and width in pixels (0 = hidden).
  virtual void add_column(Ctl view, int col, const std::string& title, int width) = 0;

  // Adds a tooltip showing `text` to a button; false when that fails.
  virtual bool add_tooltip(Ctl button, const std::string& text) = 0;

  // Appends a string to a list box; returns its index, negative on failure.
  virtual int list_add(Ctl list, const std::string& s) = 0;

  // Adds a row to a list view, its first column showing `text`; returns the
  // row index, -1 when it cannot be inserted.
  virtual int view_insert_item(Ctl view, const std::string& text) = 0;

  // Sets the text of column `sub` of row `item`; returns 1 done, 0 not done.
  virtual int view_set_text(Ctl view, int item, int sub, const std::string& s) = 0;

  // Modal message box with an OK button.
  virtual void message_box(const std::string& text, const std::string& caption,
                           MsgIcon icon) = 0;
};

inline constexpr int max_boxes = 5;       // box records 0 to 4
inline constexpr int max_elems = 16;      // element slots 0 to 15 per box
inline constexpr int max_text = 127;      // title and text limit (bytes)
inline constexpr int max_col_title = 67;  // list-view column title limit (bytes)

// Element kinds.
inline constexpr int el_label = 1;     // static label
inline constexpr int el_entry = 2;     // entry; the text only sizes it
inline constexpr int el_check = 3;     // check box
inline constexpr int el_radio = 4;     // radio button
inline constexpr int el_list = 5;      // list box, 12 rows
inline constexpr int el_listview = 6;  // report list view, 12 rows; text = "T1|T2|..."
inline constexpr int el_combo = 7;     // drop-down combo box, 3 rows

// One element slot of a box.
struct Element {
  int kind = 0;      // 0 = free slot (ends every scan), else an el_* kind
  int id = 0;        // child id given to check boxes and radio buttons
  Ctl control = 0;   // control created for the element
  std::string text;  // control text, sizing text or column titles (<= 127 bytes)
};

// One box record; every box is framed.
struct Box {
  int empty = 1;      // 1 = holds no element yet and ends every scan; 0 = in use
  int flow = 0;       // 1 = placed under the toolbar; else at the top edge
  int spacing = 0;    // extra space per element row, percent of fonty
  int x = 0;          // left edge (pixels, client coordinates of the window)
  int y = 0;          // top edge
  int width = 0;      // width in pixels; non-zero = fixed, not recomputed
  int height = 0;     // height in pixels; non-zero = fixed
  std::string title;  // frame title, also counted in the width (<= 127 bytes)
  std::array<Element, max_elems> elements;  // element slots
};

// The scheduler's box records and the window they belong to.
struct BoxTable {
  std::array<Box, max_boxes> box;  // records 0 to 4, used contiguously from 0
  LayoutHost* window = nullptr;    // the scheduler's main window
  Box& operator[](int i) { return box[static_cast<std::size_t>(i)]; }
  const Box& operator[](int i) const { return box[static_cast<std::size_t>(i)]; }
};

extern BoxTable boxes;  // the scheduler's boxes
extern int fontx;       // horizontal unit: average character width of the GUI font
extern int fonty;       // vertical unit: GUI font height x 120 / 100
extern int border;      // window frame thickness, set by the program's start-up

// Declaration (nothing is created yet).
void boxesinit();
int boxinit(int box, int flow, int spacing);
int add_box(int box, int kind, const std::string& text);
void set_elem_id(int box, int elem, int id);

// Creation (in boxes.window).
int do_boxes();
int display_box(int box);

// Measurement (in the font of boxes.window; 0 while there is none).
int get_font_size();
int get_average_len(const std::string& text);
int get_box_width(int box);
int get_box_high(int box);
int get_box_x(int box);
int get_box_y(int box);
int get_window_high();
int get_window_width();

// Content.
int insertlist(Ctl list, const std::string& text);
int insertview(Ctl view, const std::string& t0, const std::string& t1,
               const std::string& t2, const std::string& t3);
void wdbg(const std::string& text);

// Control makers in boxes.window; each returns the new control, 0 when none.
Ctl mk_button(const Rect& r, const std::string& text, int icon);
Ctl mk_grp(const Rect& r, const std::string& title);
Ctl mk_empty_grp();
Ctl mk_radio(const Rect& r, const std::string& text, int id);
Ctl mk_toggle(const Rect& r, const std::string& text, int id);
Ctl mk_label(const Rect& r, const std::string& text);
Ctl mk_entry(const Rect& r);
Ctl mk_list(const Rect& r, const std::string& text);
Ctl mk_listview(const Rect& r, const std::string& titles);
Ctl mk_combox(const Rect& r, const std::string& text);

}  // namespace soc::sched
