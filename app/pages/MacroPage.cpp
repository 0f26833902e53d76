// The macro page: the macro list with its buttons, the recorded events with their buttons, and
// the play settings, recording and event fields.
#include <iterator>

#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "tavex/Buttons.h"
#include "tavex/CRecordList.h"
#include "tavex/CheckButtons.h"
#include "tavex/Edits.h"
#include "tavex/MComboBox.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelFill = 0x1E1A1A;  // COLORREF
constexpr unsigned kHeaderFill = 0x2A2626;
constexpr const char* kEventGroup = "MACRO_EVENT";
constexpr const char* kDelayGroup = "DELAY_TIME";
constexpr int kFirstMouseText = 307;
constexpr int kMouseChoices = 3;
constexpr int kPlayCountDigits = 2;
constexpr int kDelayDigits = 5;

struct ListButton {
  unsigned id;
  int text;
};
constexpr ListButton kListButtons[] = {
    {ids::kMacroNew, 26},    {ids::kMacroDelete, 27}, {ids::kMacroCopy, 28},
    {ids::kMacroImport, 29}, {ids::kMacroExport, 30}, {ids::kMacroRename, 33},
};

void BuildMacroList(PageBuilder& page) {
  page.Area(ids::kMacroListPanel, CRect(70, 110, 300, 712), kPanelFill, 0);
  page.Label(ids::kMacroListTitle, CRect(82, 116, 290, 144), 300, 14);
  page.List(ids::kMacroList, CRect(76, 150, 294, 610), true);
  for (int i = 0; i < static_cast<int>(std::size(kListButtons)); ++i) {
    const int left = 80 + (i % 3) * 72;
    const int top = 624 + (i / 3) * 42;
    page.Button(kListButtons[i].id, CRect(left, top, left + 68, top + 34), kListButtons[i].text);
  }
}

void BuildRecords(PageBuilder& page) {
  page.Area(ids::kRecordPanel, CRect(310, 110, 800, 712), kPanelFill, 0);
  page.Area(ids::kRecordHeader, CRect(316, 116, 794, 146), kHeaderFill, 0);
  page.Area(ids::kEventTitle, CRect(316, 146, 794, 147), 0x0051CA, 0);
  page.Label(ids::kColumnEvent, CRect(326, 116, 480, 146), 325, 13);
  page.Label(ids::kColumnAction, CRect(490, 116, 640, 146), 326, 13);
  page.Label(ids::kColumnDelay, CRect(650, 116, 790, 146), 327, 13);
  if (auto* records = static_cast<Tavex::CRecordList*>(
          page.Make("CRecordList", ids::kRecordList, CRect(316, 150, 794, 614)))) {
    records->SetFontWidth(14);
  }
  page.ImageButton(ids::kRecordUp, CRect(316, 628, 344, 656), "btn_record_up.png", 321);
  page.ImageButton(ids::kRecordDown, CRect(352, 628, 380, 656), "btn_record_down.png", 322);
  page.ImageButton(ids::kRecordDelete, CRect(388, 628, 416, 656), "btn_record_del.png", 323);
  page.Button(ids::kRecordSave, CRect(674, 625, 794, 659), 31);
}

void BuildSettings(PageBuilder& page) {
  page.Area(ids::kMacroSettingsPanel, CRect(810, 110, 1190, 712), kPanelFill, 0);
  page.Label(ids::kPlayCountLabel, CRect(824, 120, 1000, 148), 313);
  if (auto* count = page.Edit(ids::kPlayCount, CRect(1060, 118, 1140, 148), "1")) {
    count->SetDigitsOnly(1);
    count->SetMaxLength(kPlayCountDigits);
  }
  page.Label(ids::kDelayModeLabel, CRect(824, 164, 1180, 190), 314);
  if (auto* recorded = page.Radio(ids::kDelayRecorded, CRect(834, 196, 1180, 220), 315,
                                  kDelayGroup)) {
    recorded->SetCheck(1);
  }
  page.Radio(ids::kDelayNone, CRect(834, 226, 1180, 250), 316, kDelayGroup);
  page.Radio(ids::kDelayFixed, CRect(834, 256, 1040, 280), 317, kDelayGroup);
  if (auto* fixed = page.Edit(ids::kFixedDelay, CRect(1060, 253, 1140, 283), "10")) {
    fixed->SetDigitsOnly(1);
    fixed->SetMaxLength(kDelayDigits);
    fixed->SetEnabled(0);
  }
  page.Button(ids::kRecordStart, CRect(824, 300, 994, 334), 318);
  if (auto* stop = page.Button(ids::kRecordStop, CRect(1004, 300, 1174, 334), 319))
    stop->SetEnabled(0);

  page.Label(ids::kInsertEventLabel, CRect(824, 360, 1180, 388), 324);
  if (auto* key = page.Radio(ids::kEventKey, CRect(834, 394, 924, 418), 310, kEventGroup))
    key->SetCheck(1);
  page.Radio(ids::kEventMouse, CRect(930, 394, 1030, 418), 311, kEventGroup);
  page.Radio(ids::kEventDelay, CRect(1036, 394, 1184, 418), 312, kEventGroup);
  page.Edit(ids::kKeyField, CRect(834, 428, 1080, 458), "");
  if (auto* delay = page.Edit(ids::kDelayField, CRect(834, 428, 1080, 458), "")) {
    delay->SetDigitsOnly(1);
    delay->SetMaxLength(kDelayDigits);
    delay->SetVisible(0);
  }
  if (auto* mouse = page.TextCombo(ids::kMouseField, CRect(834, 428, 1080, 458),
                                   kFirstMouseText, kMouseChoices)) {
    mouse->SetVisible(0);
  }
  page.ImageButton(ids::kInsertEventButton, CRect(1090, 429, 1118, 457), "btn_record_time.png",
                   324);
  page.ImageButton(ids::kInsertDelayButton, CRect(1126, 429, 1154, 457), "btn_record_time.png",
                   312);
}

}  // namespace

void BuildMacroPage(PageBuilder& page) {
  BuildMacroList(page);
  BuildRecords(page);
  BuildSettings(page);
}
