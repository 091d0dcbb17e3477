#include "calendar/win/schedule_dialog.h"

#include <cstring>
#include <memory>
#include <string>

#include "base/command_ids.h"
#include "base/region.h"
#include "base/win/message_box.h"
#include "calendar/calendar_settings.h"
#include "calendar/schedule.h"
#include "calendar/win/calendar_fonts.h"
#include "calendar/win/calendar_page.h"
#include "calendar/win/calendar_window.h"
#include "edit/undo_slot.h"
#include "edit/win/undo.h"
#include "calendar_res.h"
#include "image/image_view.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

// The dialog's working copy and where it shows.
struct ScheduleEdit {
  cal::CalendarRecord* record = nullptr;
  cal::Schedule work;
  int day = 1;            // the day in the edit box
  std::string shown;      // the edit box's text as last accepted
  bool restoring = false;
};

std::string EditText(HWND dialog) {
  char buf[64] = "";
  GetDlgItemTextA(dialog, IDC_SCHEDULE_TEXT, buf, sizeof buf);
  return buf;
}

void ShowDay(HWND dialog, ScheduleEdit& e, int day) {
  e.day = day;
  e.shown = e.work.texts[day - 1];
  e.restoring = true;
  SetDlgItemTextA(dialog, IDC_SCHEDULE_TEXT, e.shown.c_str());
  e.restoring = false;
}

void CheckPosition(HWND dialog, uint32_t position) {
  const cal::CellPosition cell = cal::CellOf(position);
  const int checked = IDC_CAL_CELL_FIRST + cell.row * 3 + cell.column;
  for (int id = IDC_CAL_CELL_FIRST; id <= IDC_CAL_CELL_LAST; ++id)
    CheckDlgButton(dialog, id, id == checked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL OnInit(HWND dialog, ScheduleEdit& e) {
  e.work = cal::ScheduleOf(*e.record);
  for (const std::string& d : cal::ScheduleDays(*e.record))
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_DAY, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(d.c_str()));
  SendDlgItemMessageA(dialog, IDC_SCHEDULE_DAY, CB_SETCURSEL, 0, 0);
  ShowDay(dialog, e, 1);
  CheckPosition(dialog, e.work.position);
  return TRUE;
}

// More than 10 characters: the previous text comes back, caret at its end.
void OnTextChange(HWND dialog, ScheduleEdit& e) {
  if (e.restoring) return;
  const std::string typed = EditText(dialog);
  if (cal::ScheduleTextFits(typed)) {
    e.shown = typed;
    return;
  }
  e.restoring = true;
  HWND edit = GetDlgItem(dialog, IDC_SCHEDULE_TEXT);
  SetWindowTextA(edit, e.shown.c_str());
  SendMessageA(edit, EM_SETSEL, e.shown.size(), e.shown.size());
  e.restoring = false;
}

// OK: nothing to do when the working copy draws what the record draws;
// otherwise the page is drawn again with the new texts.
void OnOk(HWND dialog, HWND window, ScheduleEdit& e) {
  e.work.texts[e.day - 1] = EditText(dialog);
  cal::CalendarRecord& r = *e.record;
  const cal::Schedule before = cal::ScheduleOf(r);
  EndDialog(dialog, IDOK);
  if (cal::SameSchedule(before, e.work)) return;
  cal::ApplySchedule(r, e.work);
  if (region::Code() == region::kJapanese && r.ScheduleFont.char_set != cal::kShiftJisCharset) {
    bool double_byte = false;
    for (const std::string& t : e.work.texts)
      for (unsigned char c : t) double_byte = double_byte || c >= 0x80;
    if (double_byte)
      if (auto f = cal::PreferredFont(cal::FontElement::kSchedule, r.Kind, InstalledFamilies()))
        r.ScheduleFont = *f;
  }
  ImageDocument* doc = DocumentOf(window);
  PageRequest request;
  request.own_file = doc->untitled ? std::string() : doc->path;
  auto page = MakeCalendarImage(r, request);
  if (!page) {
    cal::ApplySchedule(r, before);  // the page and its record stay together
    ShowError(err::kUnexpected);
    return;
  }
  // The old picture goes to the undo step with the texts it showed; undo
  // and redo exchange both.
  auto kept = std::make_shared<cal::Schedule>(before);
  UndoExchange exchange = [kept](HWND w) {
    if (cal::CalendarRecord* rec = CalendarOf(w)) cal::ExchangeSchedule(*rec, *kept);
  };
  if (!CommitEdit(window, std::move(*page), edit::kEditContent, exchange)) {
    cal::ApplySchedule(r, before);
    return;
  }
}

struct DialogContext {
  HWND window;
  ScheduleEdit edit;
};

INT_PTR CALLBACK ScheduleProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* c = reinterpret_cast<DialogContext*>(lParam);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    return OnInit(dialog, c->edit);
  }
  auto* c = reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  if (!c || msg != WM_COMMAND) return FALSE;
  ScheduleEdit& e = c->edit;
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id >= IDC_CAL_CELL_FIRST && id <= IDC_CAL_CELL_LAST) {
    e.work.position = static_cast<uint32_t>(id);
    CheckPosition(dialog, e.work.position);
    return TRUE;
  }
  switch (id) {
    case IDC_SCHEDULE_TEXT:
      if (code == EN_CHANGE) OnTextChange(dialog, e);
      return TRUE;
    case IDC_SCHEDULE_DAY:
      if (code == CBN_SELCHANGE) {
        e.work.texts[e.day - 1] = EditText(dialog);
        const LRESULT sel = SendDlgItemMessageA(dialog, IDC_SCHEDULE_DAY, CB_GETCURSEL, 0, 0);
        if (sel >= 0) ShowDay(dialog, e, static_cast<int>(sel) + 1);
      }
      return TRUE;
    case IDC_SCHEDULE_FONT:
      ChooseScheduleFont(dialog, *e.record, e.work.font, e.work.color);
      return TRUE;
    case IDOK:
      OnOk(dialog, c->window, e);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunScheduleDialog(HWND window) {
  cal::CalendarRecord* r = CalendarOf(window);
  if (!r || r->Kind != cal::kMonthly) return;
  DialogContext context{window, {}};
  context.edit.record = r;
  const int region_code = region::Code();
  const char* name = region_code == region::kFrench || region_code == region::kGerman
                         ? "CALSCHEDULE_EU"
                         : "CALSCHEDULE";
  DialogBoxParamA(GetModuleHandleA(nullptr), name, GetParent(GetParent(window)), ScheduleProc,
                  reinterpret_cast<LPARAM>(&context));
}

}  // namespace fq::win
