// The member card and the record card: printer opening with their own log
// banners and warnings, the photo, and the two page layouts in program units
// (millimetres on the A4 page, device point = x * fx, y * fy).
#include "documents/cards.h"

#include "db/records.h"
#include "db/util.h"
#include "documents/documents.h"
#include "import/do_utf.h"
#include "import/photo_file.h"
#include "platform/fs.h"
#include "platform/print/prt.h"
#include "platform/window_system.h"
#include "shell/dialog.h"

namespace soc {

namespace {

const char* const kWarnRecord =
    " The printer graphic context can't be automaticaly opened.\n A printer dialog window is to be "
    "launched.\n This is a lost of time... \n You can create a file 'printer.dat' in the "
    "application directory \n with the exact name returned by dialog. \n If this doesn't work, "
    "please create the same file with NO_AUTO .";
const char* const kWarnCard =
    " Le contexte graphique imprimante ne peut être ouvert automatiquement.\n Un dialogue "
    "d'impression Windows va être lancé.\n Ceci n'est pas recommandé car vous perdez de "
    "l'efficacité. \n Comme solution: créez un fichier 'printer.dat' dans le répertoire de \n "
    "l'application contenant le nom exact de l'imprimante sélectionnée dans \n ce dialogue. \n Si "
    "rien n'y fait, créez ce même fichier contenant NO_AUTO .";
const char* const kNoLayout = " Mise en page impossible.";
const char* const kPrinterTitle = "Imprimante";
const char* const kPhotoBox = "Photo 35x45";
const char* const kCreditRecord = "Printed with Sociantes, member database manager";
const char* const kCreditCard1 = "Sociantes member card";
const char* const kCreditCard2 = "sociantes_v3.4.2";

// The print dialog and boxes of the printer opening, through the window system.
class CardUi final : public PrtUi {
 public:
  void box(const std::string& text, const std::string& caption) override {
    ws().message_box(text, caption, Icon::error);
  }
  PrtPick print_dialog(const std::vector<std::string>& printers, std::string& value) override {
    return ws().print_dialog(printers, value);
  }
};

int open_with(const char* tag, const char* warning, const char* warn_title) {
  mk_tmp_dir();
  PrtRules r;
  r.banner = std::string(tag) + " v0.6  Sociantes printing debug log\n";
  mk_fname("printer.dat");
  r.printer_dat = {file_name};
  mk_tmp_fname("print_dbg.txt");
  r.log_path = file_name;
  mk_tmp_fname("print_job.pdf");
  r.spool_path = file_name;
  r.warn_text = warning;
  r.warn_title = warn_title;
  CardUi ui;
  return open_prt(r, ui);
}

// Starts the document and its page; 0 = ready to draw, else the job is over.
int start_job() {
  if (start_doc() != 0) {
    prt_log(" Printer error 4 ");
    ws().message_box(kNoLayout, kPrinterTitle, Icon::error);
    close_log();
    delete_dc();
    return 1;
  }
  if (start_page() != 0) {
    prt_log(" Printer error 1 \n");
    ws().message_box(kNoLayout, kPrinterTitle, Icon::error);
    delete_dc();
    close_log();
    return 1;
  }
  return 0;
}

// Ends the page and the job. A page that cannot be sent to the printer (or
// written as the PDF file) is reported, not logged as a success.
void end_job() {
  if (end_page() != 0) prt_log(" Printer error 3\n");
  if (end_doc() != 0) {
    const std::string why = dc_error();
    prt_log(" Printer error 5 %s\n", why.c_str());
    ws().message_box(" The page could not be printed: " + why + " ", kPrinterTitle, Icon::error);
    delete_dc();
    close_log();
    return;
  }
  delete_dc();
  prt_log(" All passed OK.\n");
  close_log();
}

// A caption the user may rename (field7, field8), without its leading
// spaces, followed by ":".
std::string field_label(const char* key, const char* builtin) {
  std::string v = cut_utf8(nfs ? getnrc(key) : getrc(key), 21);
  if (v.empty()) v = builtin;
  v.erase(0, v.find_first_not_of(' ') == std::string::npos ? v.size() : v.find_first_not_of(' '));
  return v + ":";
}

}  // namespace

std::string first_chars(const std::string& s, std::size_t n) {
  const std::string u = do_utf(s);
  std::size_t count = 0, i = 0;
  for (; i < u.size(); ++i) {
    if ((static_cast<unsigned char>(u[i]) & 0xC0) == 0x80) continue;
    if (count == n) break;
    ++count;
  }
  return u.substr(0, i);
}

void split_birth(const std::string& field9, std::string& date, std::string& place) {
  const std::string b = first_chars(field9, 32);
  const std::size_t at = b.find('@');
  if (at == std::string::npos) {
    date = b;
    place.clear();
    return;
  }
  date = b.substr(0, at);
  place = at + 2 < b.size() ? b.substr(at + 2) : std::string();
}

int init_prt() { return open_with("WIN-PRT", kWarnRecord, "Printer"); }

int init_card_prt() { return open_with("CARD-PRT", kWarnCard, kPrinterTitle); }

int draw_photo(int x0, int y0) {
  mk_nfname("photos/" + fld::ref + ".xpm");
  Photo ph;
  if (read_photo(file_name, ph) != 0) return 0;
  // The grey table of this photo.
  prt.hg_n = ph.levels;
  for (int k = 0; k < ph.levels; ++k) prt.hg[static_cast<std::size_t>(k)] = photo_grey(ph.levels, k);
  put_cells(x0 * prt.fx, y0 * prt.fy, prt.fx * 35 / kPhotoCols, prt.fy * 45 / kPhotoRows, kPhotoCols,
            kPhotoRows, ph.grey);
  return 1;
}

void mk_record_card() {
  if (!init_prt()) {
    delete_dc();
    return;
  }
  if (start_job() != 0) return;
  const int h = prt.h_pix;
  const int photo = draw_photo(155, 35);

  gray_rect(20, 20, 170, 10, 0.8);
  set_font("Arial", h / 60, 1, 0);
  set_bgd_gray(0.8);
  put_text("RECORD CARD", 85, 23);
  set_gray(1);
  set_bgd_gray(1);

  if (!photo) {
    draw_rect(155, 35, 35, 45);
    set_font("Courier New", h / 120, 0, 0);
    put_text(kPhotoBox, 165, 75);
  }

  set_font("Arial", h / 70, 1, 0);
  const std::string labels[10] = {"Family Name:",      "First Name:", "Address:",
                                  "City/Town:",        "Phone Fax GSM:",
                                  "Birthday & place:", "Category:",
                                  field_label("field7", "Profession"),
                                  field_label("field8", "Nationality"), "Identification:"};
  for (int i = 0; i < 10; ++i) put_text(labels[i], 20, 45 + 15 * i);

  set_font("Courier new", h / 70, 0, 1);
  const std::string values[10] = {fld::name,  fld::fname,    fld::adr, fld::post + " " + fld::city,
                                  fld::phone, fld::birth,    fld::category,
                                  fld::act,   fld::nation,   fld::id};
  for (int i = 0; i < 10; ++i) put_text(values[i], 20, 52 + 15 * i);

  for (int y = 200; y <= 270; y += 10) draw_line(20, y, 190, y);
  set_font("Courier new", h / 120, 0, 0);
  put_text(kCreditRecord, 70, 278);
  end_job();
}

void mk_id_card() {
  if (!init_card_prt()) {
    delete_dc();
    return;
  }
  if (start_job() != 0) return;

  // The frame, its two panel dividers and the photo box.
  draw_line(20, 40, 185, 40);
  draw_line(185, 40, 185, 125);
  draw_line(185, 125, 20, 125);
  draw_line(20, 125, 20, 40);
  draw_line(75, 40, 75, 125);
  draw_line(130, 40, 130, 125);
  draw_line(80, 45, 80, 90);
  draw_line(80, 90, 115, 90);
  draw_line(115, 90, 115, 45);
  draw_line(115, 45, 80, 45);

  select_font(prt.fntb);
  set_bgd_level(255);
  struct Caption {
    int x, y;          // top-left corner
    const char* text;  // caption
  };
  static const Caption kCaptions[] = {
      {23, 42, "Family name:"}, {23, 50, "First name:"},      {23, 58, "Address:"},
      {23, 66, "City/Town:"},   {23, 78, "Place & date of birth:"},
      {23, 90, "Category:"},    {23, 98, "Identification:"}, {23, 106, "Signature:"},
      {132, 42, "Carte N\xB0:"}, {132, 52, "Issue date:"},   {132, 62, "Validation stamp:"}};
  for (const auto& c : kCaptions) put_text(c.text, c.x, c.y);

  prt.fntb.reset();
  select_font(prt.fnti);
  put_text(first_chars(fld::name, 32), 23, 46);
  put_text(first_chars(fld::fname, 32), 23, 54);
  put_text(first_chars(fld::adr, 32), 23, 62);
  put_text(first_chars(fld::city, 32), 23, 70);
  put_text(first_chars(fld::post, 32), 23, 74);
  std::string date, place;
  split_birth(fld::birth, date, place);
  put_text(date, 23, 86);
  put_text(place, 23, 82);
  put_text(first_chars(fld::category, 32), 23, 94);
  put_text(first_chars(fld::id, 32), 23, 102);

  // Grey areas with the light grey brush of the opening, no outline.
  fill_rect(22, 110, 73 - 22, 123 - 110);
  fill_rect(118, 43, 128 - 118, 92 - 43);
  fill_rect(78, 92, 128 - 78, 123 - 92);
  fill_rect(132, 66, 183 - 132, 113 - 66);

  const int photo = draw_photo(80, 45);
  prt_log(" Photo x=%u y=%u\n", static_cast<unsigned>(prt.fx * 35 / kPhotoCols),
          static_cast<unsigned>(prt.fy * 45 / kPhotoRows));

  prt.fnti.reset();
  select_font(prt.fntbb);
  set_bgd_level(200);
  std::string title = nfs ? getnrc("title") : getrc("title");
  if (title.empty()) title = kNoTitle;
  put_text(first_chars(fld::fname, 22), 78, 95);
  put_text(first_chars(fld::name, 22), 78, 100);
  put_text(first_chars(title, 22), 78, 112);

  prt.fntbb.reset();
  select_font(prt.sfnt);
  set_bgd_level(255);
  if (!photo) put_text(kPhotoBox, 82, 87);
  put_text(kCreditCard1, 132, 117);
  put_text(kCreditCard2, 132, 120);
  end_job();
}

namespace {
// Both card commands: one action at a time, and a member must be selected.
bool card_refused() {
  if (action_busy()) return true;
  if (!fld::ref.empty()) return false;
  info(kNoMember, 1);
  return true;
}
}  // namespace

void record_card() {
  if (!card_refused()) mk_record_card();
}

void cards() {
  if (!card_refused()) mk_id_card();
}

}  // namespace soc
