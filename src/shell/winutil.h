// Box-layout toolkit of the main program.
//
// A window's controls are declared as "boxes": titled groups of elements
// (labels, entries, check boxes, radio buttons, a list box, a report list
// view, labelled entries and nested boxes). The toolkit measures the texts in
// the GUI font, derives every box's width and height from what it holds,
// places the boxes side by side or stacked, creates the group frames and the
// controls, and later moves the boxes that follow the window size. All sizes
// are counted in two font units, `fontx` and `fonty`.
//
// The toolkit itself draws nothing: the window that holds the boxes is a
// LayoutHost, which measures text and creates, moves and fills controls. The
// GUI program implements it with real controls; tests implement it with fixed
// metrics. The scheduler program has its own reduced copy (scheduler/swinutil).
#pragma once

#include <array>
#include <optional>
#include <string>

namespace soc {

// Position and size of a control in pixels, client coordinates of its window.
struct Rect {
  int x = 0;  // left edge
  int y = 0;  // top edge
  int w = 0;  // width
  int h = 0;  // height
  bool operator==(const Rect&) const = default;
};

// Handle of a control, handed out by the host; 0 = no control.
using Ctl = int;

// The controls the toolkit asks a host to create.
enum class CtlKind {
  group,     // titled group frame around a framed box
  label,     // static text on one line, no word wrap
  entry,     // one-line edit field with border, tab stop, horizontal auto-scroll
  check,     // automatic check box
  radio,     // automatic radio button
  list,      // list box with border, horizontal scroll bar, selection notices
  listview,  // report list view, selection always shown, full-row select
  button,    // push button (with a 16 x 16 icon when an icon id is given)
};

// Icon of a message box.
enum class MsgIcon { none, information, error };

// One window that holds boxes: text measurement in the GUI font and the
// controls of that window. Every control the host creates gets the GUI font.
class LayoutHost {
 public:
  virtual ~LayoutHost() = default;

  // Metrics of the GUI font: average character width and character height
  // in pixels. Returns false when they cannot be read (outputs untouched).
  virtual bool text_metrics(int& ave_char_width, int& height) = 0;

  // Full width in pixels of `s` drawn in the GUI font.
  virtual int text_width(const std::string& s) = 0;

  // Creates a child control of this window at `r` and returns its handle,
  // 0 on failure. `text` is the frame title, label text, check box or radio
  // text, the list box's window text, or the button text; entries and list
  // views are created with an empty text (list-view columns come through
  // add_column). `id` is the child id of check boxes and radio buttons, the
  // icon resource id of a button (0 = a text button), else 0.
  virtual Ctl make_control(CtlKind kind, const Rect& r, const std::string& text,
                           int id) = 0;

  // Moves and resizes a control (no effect on handle 0).
  virtual void move_control(Ctl c, const Rect& r) = 0;

  // Inserts a left-aligned column `col` (also its subitem index) into a
  // report list view, with its title and width in pixels (0 = hidden).
  virtual void add_column(Ctl view, int col, const std::string& title, int width) = 0;

  // Adds a tooltip showing `text` to a button; false when that fails.
  virtual bool add_tooltip(Ctl button, const std::string& text) = 0;

  // Appends a string to a list box; returns its index, negative on failure.
  virtual int list_add(Ctl list, const std::string& s) = 0;

  // Appends a row after the last row of a list view, its first column
  // showing `text`; returns the row index, -1 when it cannot be inserted.
  virtual int view_insert_item(Ctl view, const std::string& text) = 0;

  // Sets the text of column `sub` of row `item`; returns 1 done, 0 not done.
  virtual int view_set_text(Ctl view, int item, int sub, const std::string& s) = 0;

  // Modal message box with an OK button.
  virtual void message_box(const std::string& text, const std::string& caption,
                           MsgIcon icon) = 0;
};

inline constexpr int max_boxes = 16;     // box records 0 to 15
inline constexpr int max_elems = 16;     // element slots 0 to 15 per box
inline constexpr int max_text = 127;     // title, text and label limit (bytes)
inline constexpr int max_col_title = 67; // list-view column title limit (bytes)

// Element kinds.
inline constexpr int el_label = 1;     // static label
inline constexpr int el_entry = 2;     // entry; the text only sizes it
inline constexpr int el_check = 3;     // check box
inline constexpr int el_radio = 4;     // radio button
inline constexpr int el_list = 5;      // list box, 12 rows
inline constexpr int el_listview = 6;  // report list view, 12 rows; text = "T1|T2|..."
inline constexpr int el_labinput = 7;  // label followed by an entry
inline constexpr int el_subbox = 8;    // another box shown in this slot

// One element slot of a box.
struct Element {
  int kind = 0;        // 0 = free slot (ends every scan), else an el_* kind
  int id = 0;          // child id given to check boxes and radio buttons
  int sub = 0;         // kind 8: index of the box shown in this slot
  Ctl control = 0;     // control created for the element (kind 7: the entry)
  std::string text;    // control text, sizing text or column titles (<= 127 bytes)
  std::string label;   // kind 7: label shown before the entry (<= 127 bytes)
};

// One box record.
struct Box {
  int empty = 1;        // 1 = holds no element yet and ends every scan; 0 = in use
  int flow = 0;         // 1 = side by side with its kind; 2 = stacked
  int parent = -1;      // index of the containing box, -1 = top level
  int direction = 0;    // 0 = elements stacked in rows; else all in one row
  int resizable = 0;    // 1 = resize_boxes moves and resizes the box
  int spacing = 0;      // extra space per element row, percent of fonty
  int framed = 0;       // 1 = a titled group frame is drawn around the box
  int x = 0;            // left edge (pixels, client coordinates of its window)
  int y = 0;            // top edge
  int width = 0;        // width in pixels; non-zero = fixed, not recomputed
  int height = 0;       // height in pixels; non-zero = fixed
  LayoutHost* window = nullptr;  // window holding the box and its controls
  Ctl frame = 0;        // group frame, when framed
  std::string title;    // frame title, also counted in the width (<= 127 bytes)
  std::array<Element, max_elems> elements;  // element slots
};

// The box records of the program.
struct BoxTable {
  std::array<Box, max_boxes> box;  // records 0 to 15, used contiguously from 0
  Box& operator[](int i) { return box[static_cast<std::size_t>(i)]; }
  const Box& operator[](int i) const { return box[static_cast<std::size_t>(i)]; }
};

extern BoxTable boxes;  // the main program's boxes
extern int fontx;       // horizontal unit: average character width of the GUI font
extern int fonty;       // vertical unit: GUI font height x 120 / 100
extern int border;      // window frame thickness, set by the program's start-up

// Declaration (nothing is created yet).
void boxesinit(int first, int last, LayoutHost* window);
int boxinit(int box, int flow, int resizable, int spacing);
void set_parent(int box, int parent);
int add_box(int box, int kind, const std::string& text);
void set_elem_id(int box, int elem, int id);
void set_elem_labinput(int box, int elem, const std::string& label);

// Creation and relayout.
int do_boxes(LayoutHost* window);
int display_box(int box, LayoutHost* window);
void resize_boxes(LayoutHost* window);

// Measurement.
int get_font_size(LayoutHost& window);
int get_average_len(LayoutHost& window, const std::string& text);
int get_box_width(int box);
int get_box_high(int box);
int get_box_x(int box, LayoutHost* window);
int get_box_y(int box, LayoutHost* window);
int get_window_high(LayoutHost* window);
int get_window_width(LayoutHost* window);

// Content.
int insertlist(LayoutHost& window, Ctl list, const std::string& text);
int insertview(LayoutHost& window, Ctl view, const std::string& t0,
               const std::optional<std::string>& t1 = std::nullopt,
               const std::optional<std::string>& t2 = std::nullopt,
               const std::optional<std::string>& t3 = std::nullopt);
void wdbg(LayoutHost& window, const std::string& text);

// Control makers; each returns the new control, 0 when none was created.
Ctl mk_button(LayoutHost& window, const Rect& r, const std::string& text, int icon);
Ctl mk_grp(LayoutHost& window, const Rect& r, const std::string& title);
Ctl mk_empty_grp();
Ctl mk_radio(LayoutHost& window, const Rect& r, const std::string& text, int id);
Ctl mk_toggle(LayoutHost& window, const Rect& r, const std::string& text, int id);
Ctl mk_label(LayoutHost& window, const Rect& r, const std::string& text);
Ctl mk_entry(LayoutHost& window, const Rect& r);
Ctl mk_list(LayoutHost& window, const Rect& r, const std::string& text);
Ctl mk_listview(LayoutHost& window, const Rect& r, const std::string& titles);

}  // namespace soc
