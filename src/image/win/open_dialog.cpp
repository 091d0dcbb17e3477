#include "image/win/open_dialog.h"

#include <commdlg.h>
#include <cderr.h>

#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/win/image_display.h"
#include "base/file_io.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/temp_file.h"

namespace fq::win {
namespace {

constexpr char kOpenFilter[] =
    "JPEG Files(*.JPG)\0*.jpg\0Bitmap Files(*.BMP)\0*.bmp\0Album Files(*.ALB)\0*.alb\0"
    "Calendar Files(*.CAL)\0*.cal\0AVI Files(*.avi)\0*.avi\0";
constexpr DWORD kAlbumFilterIndex = 3;

// What the hook keeps while the dialog is open.
struct PreviewState {
  OPENFILENAMEA* ofn = nullptr;
  temp::TempFile decoded;  // the JPEG preview's bitmap, one for the dialog's life
  std::string shown;       // the file drawn in the frame, "" for none
};

PreviewState* StateOf(HWND hook) {
  return reinterpret_cast<PreviewState*>(GetWindowLongPtrA(hook, GWLP_USERDATA));
}

RECT FrameRect(HWND hook) {
  RECT r{};
  GetClientRect(GetDlgItem(hook, kPreviewFrame), &r);
  return r;
}

void ClearPreview(HWND hook) {
  StateOf(hook)->shown.clear();
  InvalidateRect(GetDlgItem(hook, kPreviewFrame), nullptr, TRUE);
}

// Draws `path` into the frame; false when it cannot be previewed.
bool DrawPreview(HWND hook, const std::string& path) {
  PreviewState* state = StateOf(hook);
  std::string bitmap = path;
  if (IsJpegFile(path)) {
    if (state->decoded.path().empty()) {
      auto tmp = temp::TempFile::Create();
      if (!tmp) return false;
      state->decoded = std::move(*tmp);
    }
    if (!JpegToBitmapFile(path, state->decoded.path())) return false;
    bitmap = state->decoded.path();
  }
  HWND frame = GetDlgItem(hook, kPreviewFrame);
  HDC dc = GetDC(frame);
  RECT box = FrameRect(hook);
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  Status s = DrawBitmapFileFitted(dc, bitmap, box);
  ReleaseDC(frame, dc);
  return s.ok();
}

std::string SelectedPath(HWND hook) {
  char path[MAX_PATH] = "";
  SendMessageA(GetParent(hook), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
  return path;
}

bool IsAlbumName(const std::string& path) {
  return path.find(".alb") != std::string::npos || path.find(".ALB") != std::string::npos;
}

// Previews the selected file; the box shows whether that worked.
void PreviewSelection(HWND hook) {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  std::string path = SelectedPath(hook);
  ClearPreview(hook);
  UpdateWindow(GetDlgItem(hook, kPreviewFrame));
  bool ok = false;
  if (path.size() > 1 && StateOf(hook)->ofn->nFilterIndex != kAlbumFilterIndex &&
      !IsAlbumName(path) && io::Fs().Exists(path)) {
    ok = DrawPreview(hook, path);
  }
  if (ok) StateOf(hook)->shown = path;
  CheckDlgButton(hook, kPreviewCheck, ok ? BST_CHECKED : BST_INDETERMINATE);
  SetCursor(old);
}

void OnPreviewClicked(HWND hook) {
  // The box cycles; only a tick asks for a preview.
  if (IsDlgButtonChecked(hook, kPreviewCheck) == BST_CHECKED) {
    PreviewSelection(hook);
  } else {
    CheckDlgButton(hook, kPreviewCheck, BST_UNCHECKED);
    ClearPreview(hook);
  }
}

void OnInit(HWND hook, OPENFILENAMEA* ofn) {
  auto* state = reinterpret_cast<PreviewState*>(ofn->lCustData);
  state->ofn = ofn;
  SetWindowLongPtrA(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  if (settings::ReadPreviewState(settings::Store()) != 0)
    CheckDlgButton(hook, kPreviewCheck, BST_INDETERMINATE);
}

// The frame: a sunken edge around the last preview (drawn again from the
// bitmap, which the preview state still names).
void OnDrawFrame(HWND hook) {
  HWND frame = GetDlgItem(hook, kPreviewFrame);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(frame, &ps);
  RECT r = FrameRect(hook);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  EndPaint(frame, &ps);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    HWND hook = GetParent(frame);
    OnDrawFrame(hook);
    PreviewState* state = StateOf(hook);
    if (state && !state->shown.empty()) DrawPreview(hook, state->shown);
    return 0;
  }
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(frame, GWLP_USERDATA));
  return CallWindowProcA(old, frame, msg, wp, lp);
}

UINT_PTR CALLBACK OpenHook(HWND hook, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      OnInit(hook, reinterpret_cast<OPENFILENAMEA*>(lp));
      HWND frame = GetDlgItem(hook, kPreviewFrame);
      SetWindowLongPtrA(frame, GWLP_USERDATA, GetWindowLongPtrA(frame, GWLP_WNDPROC));
      SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc));
      return TRUE;
    }
    case WM_CTLCOLORDLG:
      return reinterpret_cast<UINT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (LOWORD(wp) == kPreviewCheck && HIWORD(wp) == BN_CLICKED) OnPreviewClicked(hook);
      return FALSE;
    case WM_NOTIFY: {
      auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
      if (note->hdr.code == CDN_SELCHANGE || note->hdr.code == CDN_TYPECHANGE) {
        if (IsDlgButtonChecked(hook, kPreviewCheck) != BST_UNCHECKED) PreviewSelection(hook);
      } else if (note->hdr.code == CDN_FILEOK) {
        settings::WritePreviewState(settings::Store(),
                                    static_cast<int>(IsDlgButtonChecked(hook, kPreviewCheck)));
      }
      return FALSE;
    }
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> RunOpenDialog(HWND owner) {
  char file[MAX_PATH] = "";
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  std::string folder = settings::ReadLastFolder(settings::Store(), current);
  std::string template_name = region::Code() == 3 ? "FILEOPEN_JAPAN" : "FILEOPEN";
  PreviewState state;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kOpenFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST |
              OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES;
  ofn.lpTemplateName = template_name.c_str();
  ofn.lpfnHook = OpenHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  settings::WriteLastFolder(settings::Store(), file);
  return std::string(file);
}

PictureFilesChoice RunPictureFilesDialog(HWND owner, const char* title, const char* filter,
                                         size_t buffer_size) {
  PictureFilesChoice choice;
  choice.answer.assign(buffer_size, '\0');
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  std::string folder = settings::ReadLastFolder(settings::Store(), current);
  std::string template_name = region::Code() == 3 ? "FILEOPEN_JAPAN" : "FILEOPEN";
  PreviewState state;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = choice.answer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer_size);
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrTitle = title;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST |
              OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES | OFN_ALLOWMULTISELECT;
  ofn.lpTemplateName = template_name.c_str();
  ofn.lpfnHook = OpenHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!GetOpenFileNameA(&ofn)) {
    choice.too_long = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    return choice;
  }
  choice.chosen = true;
  settings::WriteLastFolder(settings::Store(), choice.answer.data());
  return choice;
}

}  // namespace fq::win
