#include "edit/win/geometry_commands.h"

#include <cstdio>
#include <string>

#include "base/command_ids.h"
#include "base/region.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "edit/geometry.h"
#include "edit/size_rules.h"
#include "edit/undo_slot.h"
#include "edit/win/undo.h"
#include "edit_res.h"
#include "image/image_view.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

constexpr char kCannotTurn[] = "This image is correspond to bits per pixel.";
constexpr char kCannotResize[] = "The size of this image cannot be changed.";

void ShowBox(HWND owner, const char* text) {
  const std::string caption(kAppCaption);
  MessageBoxA(owner, text, caption.c_str(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

// --- Image Size dialog ------------------------------------------------------

struct SizeState {
  int width = 0, height = 0;  // the current picture
  edit::NewSize chosen;
  bool updating = false;  // the dialog itself is rewriting a field
};

SizeState* SizeOf(HWND dialog) {
  return reinterpret_cast<SizeState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string FieldText(HWND dialog, int id) {
  char text[32] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void SetField(HWND dialog, int id, const std::string& text) {
  SizeState* st = SizeOf(dialog);
  st->updating = true;
  SetDlgItemTextA(dialog, id, text.c_str());
  st->updating = false;
}

// A size field changed: its text is filtered, and with the proportion kept
// the other field follows (and may hold the edited one back).
void OnSizeEdited(HWND dialog, int id) {
  SizeState* st = SizeOf(dialog);
  if (st->updating) return;
  const std::string typed = FieldText(dialog, id);
  std::string text = edit::FilterSizeField(typed);
  const int other_id = id == IDC_SIZE_NEW_WIDTH ? IDC_SIZE_NEW_HEIGHT : IDC_SIZE_NEW_WIDTH;
  if (!text.empty() && IsDlgButtonChecked(dialog, IDC_SIZE_CONSTRAIN) == BST_CHECKED) {
    const double ratio = id == IDC_SIZE_NEW_WIDTH ? double(st->height) / st->width
                                                  : double(st->width) / st->height;
    const edit::ConstrainedSize c = edit::Constrain(std::stoi(text), ratio);
    text = std::to_string(c.edited);
    SetField(dialog, other_id, std::to_string(c.other));
  }
  if (text != typed) {
    SetField(dialog, id, text);
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, text.size(), text.size());
  }
}

BOOL OnSizeInit(HWND dialog, LPARAM lp) {
  auto* st = reinterpret_cast<SizeState*>(lp);
  SetWindowLongPtrA(dialog, DWLP_USER, lp);
  st->updating = true;
  CheckDlgButton(dialog, IDC_SIZE_CONSTRAIN, BST_CHECKED);
  SetDlgItemInt(dialog, IDC_SIZE_WIDTH, st->width, FALSE);
  SetDlgItemInt(dialog, IDC_SIZE_HEIGHT, st->height, FALSE);
  SetDlgItemInt(dialog, IDC_SIZE_NEW_WIDTH, st->width, FALSE);
  SetDlgItemInt(dialog, IDC_SIZE_NEW_HEIGHT, st->height, FALSE);
  for (int id : {IDC_SIZE_NEW_WIDTH, IDC_SIZE_NEW_HEIGHT})
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, 16, 0);
  st->updating = false;
  return TRUE;
}

void OnSizeOk(HWND dialog) {
  SizeState* st = SizeOf(dialog);
  auto size = edit::AcceptedSize(FieldText(dialog, IDC_SIZE_NEW_WIDTH),
                                 FieldText(dialog, IDC_SIZE_NEW_HEIGHT));
  if (!size) {
    const std::string text(edit::kInvalidSizeMessage);
    ShowBox(dialog, text.c_str());
    return;  // the dialog stays
  }
  st->chosen = *size;
  EndDialog(dialog, size->width == st->width && size->height == st->height ? IDCANCEL : IDOK);
}

INT_PTR CALLBACK SizeProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: return OnSizeInit(dialog, lp);
    case WM_COMMAND: {
      const int id = LOWORD(wp), code = HIWORD(wp);
      if (id == IDOK) OnSizeOk(dialog);
      else if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
      else if ((id == IDC_SIZE_NEW_WIDTH || id == IDC_SIZE_NEW_HEIGHT) && code == EN_CHANGE)
        OnSizeEdited(dialog, id);
      else if (id == IDC_SIZE_CONSTRAIN && code == BN_CLICKED &&
               IsDlgButtonChecked(dialog, IDC_SIZE_CONSTRAIN) == BST_CHECKED)
        OnSizeEdited(dialog, IDC_SIZE_NEW_WIDTH);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

bool ResizeImage(HWND window, int width, int height) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return false;
  RestoreImageWindow(window);
  WaitCursor wait;
  auto resized = edit::ResizePicture(doc->picture, width, height);
  if (!resized) {
    ShowFailure(resized);
    return false;
  }
  // Shown at 100 % from now on.
  const int zoom = doc->zoom;
  doc->zoom = view::kDefaultZoom;
  if (!CommitEdit(window, std::move(*resized), edit::kEditSize)) {
    doc->zoom = zoom;
    return false;
  }
  FitImageWindow(window);
  return true;
}

void ImageSizeCommand(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  if (!edit::CanTurnOrResize(doc->bit_count)) {
    ShowBox(window, kCannotResize);
    return;
  }
  SizeState state;
  state.width = doc->width;
  state.height = doc->height;
  const std::string name = region::DialogName("SIZECHANGE", region::Variants::kUsEuJapan);
  HWND frame = GetParent(GetParent(window));
  if (DialogBoxParamA(GetModuleHandleA(nullptr), name.c_str(), frame, SizeProc,
                      reinterpret_cast<LPARAM>(&state)) != IDOK)
    return;
  ResizeImage(window, state.chosen.width, state.chosen.height);
}

void RotateCommand(HWND window, int command_id) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  const bool right = command_id == cmd::kRotateRight;
  ClearImageSelection(window);
  WaitCursor wait;
  RestoreImageWindow(window);
  if (!edit::CanTurnOrResize(doc->bit_count)) {
    ShowBox(window, kCannotTurn);
    return;
  }
  auto turned = edit::RotateQuarter(doc->picture, right ? edit::Turn::kRight : edit::Turn::kLeft);
  if (!turned) {
    ShowFailure(turned);
    return;
  }
  const int rotation = right ? edit::TurnedRight(doc->rotation) : edit::TurnedLeft(doc->rotation);
  if (!CommitEdit(window, std::move(*turned), rotation)) return;
  doc->rotation = rotation;
  doc->last_edit_kind = right ? edit::kLastEditRight : edit::kLastEditLeft;
}

}  // namespace fq::win
