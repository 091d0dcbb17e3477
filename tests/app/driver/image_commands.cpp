// fqdriver commands for image windows: send a menu command to the frame,
// list the image windows' titles, and answer the program's modal dialogs
// (the Save As dialog, message boxes) the way a user would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace fqdrv {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kTypeList = 0x470;  // file type combo box of the file dialogs
constexpr int kNameBox = 0x47C;   // file name box

HWND Frame() { return fqdriver::Require("ORXDscFrame", "Fotaquill"); }

using fqdriver::ProgramProcess;
using fqdriver::TextOf;

struct DialogSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<DialogSearch*>(lp);
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  // The floating tool window is a dialog too, but never one that waits.
  const bool tool = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  if (pid == s->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(h) && !tool)
    s->found.push_back(h);
  return TRUE;
}

// The program's visible top-level dialogs (file dialogs, message boxes).
std::vector<HWND> ProgramDialogs() {
  DialogSearch s{ProgramProcess(), {}};
  if (s.pid) EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitDialog(DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    auto found = ProgramDialogs();
    if (!found.empty()) return found.front();
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(20);
  }
}

BOOL CALLBACK PrintChildText(HWND h, LPARAM) {
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::strcmp(cls, "Static") == 0) {
    std::string t = TextOf(h);
    if (!t.empty()) std::printf("text=%s\n", t.c_str());
  }
  return TRUE;
}

// post-command ID: a menu command posted to the frame.
int PostCommand(char** a) {
  HWND frame = Frame();
  if (!frame) return kFailed;
  return PostMessageA(frame, WM_COMMAND, MAKEWPARAM(std::atoi(a[0]), 0), 0) ? kOk : kFailed;
}

// image-titles: the titles of the image windows, one a line.
int ImageTitles(char**) {
  HWND frame = Frame();
  if (!frame) return kFailed;
  HWND client = FindWindowExA(frame, nullptr, "MDICLIENT", nullptr);
  int n = 0;
  for (HWND h = FindWindowExA(client, nullptr, "ORXNormalChild", nullptr); h;
       h = FindWindowExA(client, h, "ORXNormalChild", nullptr)) {
    std::printf("%s\n", TextOf(h).c_str());
    ++n;
  }
  return n ? kOk : kFailed;
}

// dialog-text TIMEOUT_MS: waits for a dialog of the program and prints its
// title and static texts.
int DialogText(char** a) {
  HWND d = WaitDialog(static_cast<DWORD>(std::atoi(a[0])));
  if (!d) {
    std::fprintf(stderr, "no dialog of the program\n");
    return kFailed;
  }
  std::printf("title=%s\n", TextOf(d).c_str());
  EnumChildWindows(d, PrintChildText, 0);
  return kOk;
}

// dialog-press ID TIMEOUT_MS: presses a button of the program's dialog.
int DialogPress(char** a) {
  HWND d = WaitDialog(static_cast<DWORD>(std::atoi(a[1])));
  if (!d) return kFailed;
  int id = std::atoi(a[0]);
  return PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(d, id)))
             ? kOk
             : kFailed;
}

// file-dialog NAME TYPE TIMEOUT_MS: in the program's file dialog, chooses
// the TYPE-th entry of the type list (0: leave it), types NAME and presses
// the default button; waits (TIMEOUT_MS at most) until the dialog has closed
// or another dialog of the program has come up.
int FileDialog(char** a) {
  HWND d = WaitDialog(static_cast<DWORD>(std::atoi(a[2])));
  if (!d) return kFailed;
  Sleep(300);  // the dialog finishes filling its lists
  int type = std::atoi(a[1]);
  if (type > 0) {
    HWND list = GetDlgItem(d, kTypeList);
    if (!list) return kFailed;
    SendMessageA(list, CB_SETCURSEL, type - 1, 0);
    // The dialog takes a new type when the list reports the choice ended.
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kTypeList, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    Sleep(200);
  }
  HWND name = GetDlgItem(d, kNameBox);
  if (!name) return kFailed;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[0]));
  if (!PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)) return kFailed;
  // Returns once the dialog has gone or shows something in front of it, so
  // that the next command does not take the closing dialog for the next one.
  const DWORD start = GetTickCount(), timeout = static_cast<DWORD>(std::atoi(a[2]));
  while (IsWindow(d) && IsWindowVisible(d) && GetTickCount() - start < timeout) {
    bool other = false;
    for (HWND h : ProgramDialogs()) other = other || h != d;
    if (other) break;
    Sleep(20);
  }
  return kOk;
}

// no-dialog MS: succeeds when the program shows no dialog for that long.
int NoDialog(char** a) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(std::atoi(a[0]))) {
    auto found = ProgramDialogs();
    if (!found.empty()) {
      std::fprintf(stderr, "dialog shown: %s\n", TextOf(found.front()).c_str());
      return kFailed;
    }
    Sleep(50);
  }
  return kOk;
}

// The first image window whose title starts with `prefix`, or the frame
// itself for "-"; none while the frame is not there.
HWND FindShown(const char* prefix) {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  if (!frame || !IsWindowVisible(frame)) return nullptr;
  if (std::strcmp(prefix, "-") == 0) return frame;
  HWND client = FindWindowExA(frame, nullptr, "MDICLIENT", nullptr);
  const size_t n = std::strlen(prefix);
  for (HWND h = FindWindowExA(client, nullptr, "ORXNormalChild", nullptr); h;
       h = FindWindowExA(client, h, "ORXNormalChild", nullptr)) {
    char title[512] = "";
    GetWindowTextA(h, title, sizeof title);  // no message: the program may be busy
    if (std::strncmp(title, prefix, n) == 0) return h;
  }
  return nullptr;
}

unsigned long long UnixMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return (t.QuadPart - 116444736000000000ULL) / 10000ULL;
}

// wait-idle TITLE_PREFIX TIMEOUT_MS: waits for an image window whose title
// starts with TITLE_PREFIX ("-": the frame window), then for the program to
// come back to its message loop (a message sent to the window returns), and
// prints the title and that moment in milliseconds since 1970. An image
// window gets its zoom in the title while it paints, so "name [" finds a
// window that has begun painting, and the answer comes once it has finished.
int WaitIdle(char** a) {
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[1]));
  const DWORD start = GetTickCount();
  HWND h = nullptr;
  while (!(h = FindShown(a[0]))) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "no window titled %s...\n", a[0]);
      return kFailed;
    }
    Sleep(2);
  }
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &r)) return kFailed;
  const unsigned long long at = UnixMs();
  char title[512] = "";
  GetWindowTextA(h, title, sizeof title);
  std::printf("title=%s at_ms=%llu\n", title, at);
  return kOk;
}

// image-pixel TITLE_PREFIX X Y: the client size of the image window whose
// title starts with TITLE_PREFIX and the colour on the screen at a point of
// its client area (negative X and Y count from the right and bottom edges).
int ImagePixel(char** a) {
  HWND h = FindShown(a[0]);
  if (!h || std::strcmp(a[0], "-") == 0) {
    std::fprintf(stderr, "no image window titled %s...\n", a[0]);
    return kFailed;
  }
  RECT c;
  GetClientRect(h, &c);
  int x = std::atoi(a[1]), y = std::atoi(a[2]);
  POINT p{x < 0 ? c.right + x : x, y < 0 ? c.bottom + y : y};
  ClientToScreen(h, &p);
  HDC screen = GetDC(nullptr);
  COLORREF px = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  if (px == CLR_INVALID) return kFailed;
  std::printf("client=%d,%d pixel=%02x%02x%02x\n", int(c.right), int(c.bottom), GetRValue(px),
              GetGValue(px), GetBValue(px));
  return kOk;
}

FQ_DRIVER_COMMAND("post-command", "ID", 1, PostCommand);
FQ_DRIVER_COMMAND("image-pixel", "TITLE_PREFIX X Y", 3, ImagePixel);
FQ_DRIVER_COMMAND("wait-idle", "TITLE_PREFIX TIMEOUT_MS", 2, WaitIdle);
FQ_DRIVER_COMMAND("image-titles", "", 0, ImageTitles);
FQ_DRIVER_COMMAND("dialog-text", "TIMEOUT_MS", 1, DialogText);
FQ_DRIVER_COMMAND("dialog-press", "ID TIMEOUT_MS", 2, DialogPress);
FQ_DRIVER_COMMAND("file-dialog", "NAME TYPE TIMEOUT_MS", 3, FileDialog);
FQ_DRIVER_COMMAND("no-dialog", "MS", 1, NoDialog);

}  // namespace
}  // namespace fqdrv
