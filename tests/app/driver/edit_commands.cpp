// fqdriver commands for the picture editor: move a dialog's slider, set and
// read its fields, press its buttons, press the drawing-tool buttons, and
// press, drag and type in an image window the way the mouse and keyboard
// would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace fqdrv_edit {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kWaitMs = 10000;

DWORD ProgramProcess() {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  DWORD pid = 0;
  if (frame) GetWindowThreadProcessId(frame, &pid);
  return pid;
}

struct Search {
  DWORD pid;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  char cls[64] = "", title[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == s->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(h) &&
      std::strcmp(title, s->title) == 0) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The program's visible dialog with that title, waited for.
HWND Dialog(const char* title) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search s{ProgramProcess(), title, nullptr};
    if (s.pid) EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (GetTickCount() - start >= kWaitMs) {
      std::fprintf(stderr, "no dialog titled %s\n", title);
      return nullptr;
    }
    Sleep(20);
  }
}

HWND Item(const char* title, const char* id) {
  HWND d = Dialog(title);
  HWND item = d ? GetDlgItem(d, std::atoi(id)) : nullptr;
  if (d && !item) std::fprintf(stderr, "dialog %s has no item %s\n", title, id);
  return item;
}

// The first image window whose title starts with `prefix`.
HWND Image(const char* prefix) {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  HWND client = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
  const size_t n = std::strlen(prefix);
  for (HWND h = client ? FindWindowExA(client, nullptr, "ORXNormalChild", nullptr) : nullptr; h;
       h = FindWindowExA(client, h, "ORXNormalChild", nullptr)) {
    char title[512] = "";
    GetWindowTextA(h, title, sizeof title);
    if (std::strncmp(title, prefix, n) == 0) return h;
  }
  std::fprintf(stderr, "no image window titled %s...\n", prefix);
  return nullptr;
}

// dialog-scroll TITLE ID CODE POS: the slider sends its dialog a scroll
// message (line, page, thumb track...), as when it is moved.
int DialogScroll(char** a) {
  HWND slider = Item(a[0], a[1]);
  if (!slider) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(GetParent(slider), WM_HSCROLL, MAKEWPARAM(std::atoi(a[2]), std::atoi(a[3])),
                      reinterpret_cast<LPARAM>(slider), SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  return kOk;
}

// dialog-set TITLE ID TEXT: types a whole text into a field.
int DialogSet(char** a) {
  HWND field = Item(a[0], a[1]);
  if (!field) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2]), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &r);
  return kOk;
}

// dialog-get TITLE ID: prints a control's text.
int DialogGet(char** a) {
  HWND item = Item(a[0], a[1]);
  if (!item) return kFailed;
  char text[1024] = "";
  DWORD_PTR r = 0;
  SendMessageTimeoutA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  std::printf("%s\n", text);
  return kOk;
}

// dialog-click TITLE ID: clicks a button (radio buttons change their check).
int DialogClick(char** a) {
  HWND button = Item(a[0], a[1]);
  return button && PostMessageA(button, BM_CLICK, 0, 0) ? kOk : kFailed;
}

// dialog-enabled TITLE ID: prints 1 or 0.
int DialogEnabled(char** a) {
  HWND item = Item(a[0], a[1]);
  if (!item) return kFailed;
  std::printf("%d\n", IsWindowEnabled(item) ? 1 : 0);
  return kOk;
}

// tool-button ID: presses a button of the drawing-tool window.
int ToolButton(char** a) {
  char id[16];
  std::snprintf(id, sizeof id, "%s", a[0]);
  HWND button = Item("Tool", id);
  return button && PostMessageA(button, BM_CLICK, 0, 0) ? kOk : kFailed;
}

// tool-shown: prints 1 while the tool window is visible, else 0.
int ToolShown(char**) {
  Search s{ProgramProcess(), "Tool", nullptr};
  if (s.pid) EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&s));
  std::printf("%d\n", s.found ? 1 : 0);
  return kOk;
}

void Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
}

// stroke TITLE_PREFIX "X,Y X,Y ...": the left button pressed at the first
// point, dragged through the others and released at the last (client
// coordinates of the image window).
int Stroke(char** a) {
  HWND w = Image(a[0]);
  if (!w) return kFailed;
  std::vector<POINT> pts;
  const char* p = a[1];
  while (*p) {
    char* end = nullptr;
    long x = std::strtol(p, &end, 10);
    if (*end != ',') return kFailed;
    long y = std::strtol(end + 1, &end, 10);
    pts.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
    while (*end == ' ') ++end;
    p = end;
  }
  if (pts.empty()) return kFailed;
  Send(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pts[0].x, pts[0].y));
  for (size_t i = 1; i < pts.size(); ++i)
    Send(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pts[i].x, pts[i].y));
  Send(w, WM_LBUTTONUP, 0, MAKELPARAM(pts.back().x, pts.back().y));
  return kOk;
}

// click TITLE_PREFIX X Y: a press and release without waiting for the
// program (a question box may follow).
int Click(char** a) {
  HWND w = Image(a[0]);
  if (!w) return kFailed;
  const LPARAM at = MAKELPARAM(std::atoi(a[1]), std::atoi(a[2]));
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w, WM_LBUTTONUP, 0, at);
  return kOk;
}

// double-click TITLE_PREFIX X Y: two presses at once (well within the
// program's 500 ms).
int DoubleClick(char** a) {
  HWND w = Image(a[0]);
  if (!w) return kFailed;
  const LPARAM at = MAKELPARAM(std::atoi(a[1]), std::atoi(a[2]));
  for (int i = 0; i < 2; ++i) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
  }
  return kOk;
}

// image-key TITLE_PREFIX VK: a key pressed in the image window (posted).
int ImageKey(char** a) {
  HWND w = Image(a[0]);
  return w && PostMessageA(w, WM_KEYDOWN, std::atoi(a[1]), 0) ? kOk : kFailed;
}

// activate TITLE_PREFIX: makes an image window the active MDI child.
int Activate(char** a) {
  HWND w = Image(a[0]);
  if (!w) return kFailed;
  Send(GetParent(w), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(w), 0);
  return kOk;
}

// raise-tool: brings the tool window to the front (it is activated), as a
// click on it would.
int RaiseTool(char**) {
  HWND tool = Dialog("Tool");
  return tool && SetForegroundWindow(tool) ? kOk : kFailed;
}

// image-size TITLE_PREFIX: the client size of an image window.
int ImageSize(char** a) {
  HWND w = Image(a[0]);
  if (!w) return kFailed;
  RECT c;
  GetClientRect(w, &c);
  std::printf("%ld %ld\n", static_cast<long>(c.right), static_cast<long>(c.bottom));
  return kOk;
}

FQ_DRIVER_COMMAND("activate", "TITLE_PREFIX", 1, Activate);
FQ_DRIVER_COMMAND("raise-tool", "", 0, RaiseTool);
FQ_DRIVER_COMMAND("image-size", "TITLE_PREFIX", 1, ImageSize);
FQ_DRIVER_COMMAND("dialog-scroll", "TITLE ID CODE POS", 4, DialogScroll);
FQ_DRIVER_COMMAND("dialog-set", "TITLE ID TEXT", 3, DialogSet);
FQ_DRIVER_COMMAND("dialog-get", "TITLE ID", 2, DialogGet);
FQ_DRIVER_COMMAND("dialog-click", "TITLE ID", 2, DialogClick);
FQ_DRIVER_COMMAND("dialog-enabled", "TITLE ID", 2, DialogEnabled);
FQ_DRIVER_COMMAND("tool-button", "ID", 1, ToolButton);
FQ_DRIVER_COMMAND("tool-shown", "", 0, ToolShown);
FQ_DRIVER_COMMAND("stroke", "TITLE_PREFIX POINTS", 2, Stroke);
FQ_DRIVER_COMMAND("click", "TITLE_PREFIX X Y", 3, Click);
FQ_DRIVER_COMMAND("double-click", "TITLE_PREFIX X Y", 3, DoubleClick);
FQ_DRIVER_COMMAND("image-key", "TITLE_PREFIX VK", 2, ImageKey);

}  // namespace
}  // namespace fqdrv_edit
