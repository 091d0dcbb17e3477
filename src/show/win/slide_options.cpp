#include "show/win/slide_options.h"

#include <commctrl.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "album/album_file.h"
#include "base/file_io.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/win/message_box.h"
#include "show/win/slide_show_window.h"
#include "show_res.h"

namespace fq::win {
namespace {

constexpr int kSlowest = 0, kFastest = 10;

void PlaceAtAThird(HWND dialog) {
  RECT r;
  GetWindowRect(dialog, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 3;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void OnInit(HWND dialog) {
  const settings::SlideShowOptions o = settings::ReadSlideShowOptionsForDialog(settings::Store());
  CheckRadioButton(dialog, IDC_SLIDE_FULL_SIZE, IDC_SLIDE_IMAGE_SIZE,
                   o.size == 1 ? IDC_SLIDE_IMAGE_SIZE : IDC_SLIDE_FULL_SIZE);
  CheckRadioButton(dialog, IDC_SLIDE_ALBUM_ORDER, IDC_SLIDE_RANDOM_ORDER,
                   o.type == 1 ? IDC_SLIDE_RANDOM_ORDER : IDC_SLIDE_ALBUM_ORDER);
  HWND speed = GetDlgItem(dialog, IDC_SLIDE_SPEED);
  SendMessageA(speed, TBM_SETRANGE, FALSE, MAKELPARAM(kSlowest, kFastest));
  SendMessageA(speed, TBM_CLEARTICS, FALSE, 0);
  for (int tick = kSlowest + 1; tick < kFastest; ++tick) SendMessageA(speed, TBM_SETTIC, 0, tick);
  SendMessageA(speed, TBM_SETLINESIZE, 0, 1);  // the arrow keys move by one
  SendMessageA(speed, TBM_SETPAGESIZE, 0, 1);
  SendMessageA(speed, TBM_SETPOS, TRUE, o.speed);
  PlaceAtAThird(dialog);
}

void Store(HWND dialog) {
  settings::SlideShowOptions o;
  o.size = IsDlgButtonChecked(dialog, IDC_SLIDE_IMAGE_SIZE) == BST_CHECKED ? 1 : 0;
  o.type = IsDlgButtonChecked(dialog, IDC_SLIDE_RANDOM_ORDER) == BST_CHECKED ? 1 : 0;
  o.speed = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SLIDE_SPEED, TBM_GETPOS, 0, 0));
  settings::WriteSlideShowOptions(settings::Store(), o);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInit(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          Store(dialog);
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

constexpr char kAlbumFilter[] = "Album Files(*.ALB)\0*.alb\0";

// The album file the user chose, or nothing when the dialog was cancelled.
std::optional<std::string> ChooseAlbum(HWND frame) {
  char file[MAX_PATH] = "";
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  const std::string folder = settings::ReadLastFolder(settings::Store(), current);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = frame;
  ofn.lpstrFilter = kAlbumFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  settings::WriteLastFolder(settings::Store(), file);
  return std::string(file);
}

bool IsAlbumFile(const std::string& path) {
  auto f = io::Fs().OpenRead(path);
  if (!f) return false;
  uint8_t head[album::kHeaderSize] = {};
  const size_t n = f->Read(head, sizeof head);
  return n == sizeof head && album::HasAlbumSignature(head);
}

}  // namespace

void RunSlideShowOptions(HWND frame) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  const std::string name = region::DialogName("VIEWSETUP", region::Variants::kEu);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE));
  DialogBoxParamA(instance, name.c_str(), frame, OptionsProc, 0);
}

void RunSlideShowStart(HWND frame) {
  auto chosen = ChooseAlbum(frame);
  if (!chosen) return;
  if (!io::Fs().Exists(*chosen)) {
    ShowError(err::kFileDoesNotExist);
    return;
  }
  // Anything but an album is passed over without a word.
  if (!IsAlbumFile(*chosen)) return;
  StartSlideShow(frame, *chosen);
}

}  // namespace fq::win
