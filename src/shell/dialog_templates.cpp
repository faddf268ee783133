// The ten dialog templates of the program, as data: title, size and every
// control in dialog units. Button 1004 is the close button; its caption is set
// by the dialog procedure when the dialog opens.
#include "shell/dialog.h"

namespace soc {

namespace {
using C = DlgCtl;

const DialogTemplate kCapture{1000, "CAPTURE", 250, 120, {
    {C::picture, 0, 110, 5, 0, 0, "618"},
    {C::text, 1005, 5, 25, 240, 50, ""},
    {C::entry, 1003, 5, 80, 240, 12, ""},
    {C::button, 1004, 30, 100, 50, 15, "Fermer"},
    {C::button, 1001, 150, 100, 50, 15, "OK"}}};

const DialogTemplate kIntro{1020, "INTRO", 200, 160, {
    {C::picture, 0, 90, 5, 0, 0, "616"},
    {C::text, 1005, 0, 37, 200, 100, ""},
    {C::button, 1004, 75, 140, 50, 15, "Fermer"}}};

const DialogTemplate kQuestion{1030, "QUESTION", 200, 150, {
    {C::picture, 0, 85, 5, 0, 0, "620"},
    {C::text, 1005, 5, 37, 190, 90, ""},
    {C::button, 1004, 20, 130, 50, 15, "Fermer"},
    {C::button, 1001, 120, 130, 50, 15, "OK"}}};

const DialogTemplate kMapping1{1060, "MAPPING", 220, 120, {
    {C::picture, 0, 95, 5, 0, 0, "619"},
    {C::text, 1005, 5, 37, 210, 60, ""},
    {C::entry, 1003, 90, 70, 40, 12, ""},
    {C::button, 1001, 140, 100, 50, 15, "OK"},
    {C::button, 1004, 30, 100, 50, 15, "Fermer"}}};

const DialogTemplate kMapping3{1070, "MAPPING", 220, 120, {
    {C::picture, 0, 95, 5, 0, 0, "619"},
    {C::text, 1005, 5, 20, 210, 40, ""},
    {C::label, 1071, 60, 70, 20, 15, "Field"},
    {C::label, 1072, 100, 70, 20, 15, "X:"},
    {C::label, 1073, 140, 70, 20, 15, "Y:"},
    {C::entry, 1074, 60, 80, 20, 12, ""},
    {C::entry, 1075, 100, 80, 20, 12, ""},
    {C::entry, 1076, 140, 80, 20, 12, ""},
    {C::button, 1001, 140, 100, 50, 15, "OK"},
    {C::button, 1004, 30, 100, 50, 15, "Fermer"}}};

const DialogTemplate kWait{1080, "WAIT", 200, 120, {
    {C::picture, 0, 85, 5, 0, 0, "617"},
    {C::text, 1005, 5, 30, 190, 80, ""}}};

const DialogTemplate kMapping2{1090, "MAPPING", 220, 120, {
    {C::picture, 0, 95, 5, 0, 0, "619"},
    {C::text, 1005, 5, 30, 210, 40, ""},
    {C::label, 1071, 30, 70, 60, 15, ""},
    {C::label, 1072, 130, 70, 60, 15, ""},
    {C::entry, 1074, 50, 80, 20, 12, ""},
    {C::entry, 1075, 150, 80, 20, 12, ""},
    {C::button, 1001, 140, 100, 50, 15, "OK"},
    {C::button, 1004, 30, 100, 50, 15, "Fermer"}}};

const DialogTemplate kEmail3{1100, "EMAIL", 200, 150, {
    {C::picture, 0, 95, 5, 0, 0, "609"},
    {C::text, 1005, 5, 30, 210, 40, ""},
    {C::label, 1071, 5, 70, 80, 15, ""},
    {C::label, 1072, 5, 90, 80, 15, ""},
    {C::label, 1073, 5, 110, 80, 15, ""},
    {C::entry, 1074, 110, 70, 80, 12, ""},
    {C::entry, 1075, 110, 90, 80, 12, ""},
    {C::entry, 1076, 110, 110, 80, 12, ""},
    {C::button, 1001, 120, 130, 50, 15, "OK"},
    {C::button, 1004, 30, 130, 50, 15, "Fermer"}}};

const DialogTemplate kPhoto{1200, "PHOTO", 80, 100, {
    {C::picture, 1006, 15, 5, 0, 0, "616"},
    {C::button, 1004, 15, 80, 50, 15, "OK"}}};

const DialogTemplate kEmailSend{1300, "EMAIL", 220, 150, {
    {C::picture, 0, 95, 5, 0, 0, "609"},
    {C::text, 1005, 5, 30, 210, 40, ""},
    {C::label, 1071, 10, 70, 25, 15, "Subject:"},
    {C::label, 1072, 10, 90, 35, 15, "Text file:  "},
    {C::label, 1073, 10, 110, 35, 15, "PDF att.:"},
    {C::entry, 1074, 40, 70, 170, 12, ""},
    {C::button, 1007, 50, 90, 30, 12, "Select."},
    {C::entry, 1075, 80, 90, 130, 12, ""},
    {C::button, 1008, 50, 110, 30, 12, "Select."},
    {C::entry, 1076, 80, 110, 130, 12, ""},
    {C::button, 1001, 140, 130, 50, 15, "OK"},
    {C::button, 1004, 30, 130, 50, 15, "Fermer"}}};
}  // namespace

const DialogTemplate* template_for_kind(int kind) {
  switch (kind) {
    case 2: return &kQuestion;
    case 3: return &kCapture;
    case 4: return &kWait;
    case 5: return &kIntro;
    case 6: return &kMapping1;
    case 7: return &kPhoto;
    case 9: return &kMapping3;
    case 10: return &kMapping2;
    case 11: return &kEmail3;
    case 29: return &kEmailSend;
    default: return nullptr;
  }
}

}  // namespace soc
