// fqdriver commands for album windows: their cells (place, title, check
// box, the colours that show the selection), the mouse and keyboard as a
// user moves them (clicks, double clicks, drags, keys to the focused
// window), editing a cell's title, and the clipboard as another program
// fills it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace {

using fqdriver::kFailed;
using fqdriver::kOk;

constexpr UINT kSendTimeoutMs = 5000;
constexpr int kTitleField = 201;  // the cell's title field
constexpr int kCheckBox = 200;
constexpr DWORD kInputSettleMs = 150;

HWND MdiClient() {
  HWND frame = fqdriver::Require("ORXDscFrame", "Fotaquill");
  return frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
}

std::string TextOf(HWND h) {
  char buf[1024] = "";
  DWORD_PTR n = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &n);
  return buf;
}

// The album window titled exactly `title`; "-" for the active MDI child.
HWND Album(const char* title) {
  HWND mdi = MdiClient();
  if (!mdi) return nullptr;
  if (std::strcmp(title, "-") == 0) {
    DWORD_PTR active = 0;
    SendMessageTimeoutA(mdi, WM_MDIGETACTIVE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &active);
    return reinterpret_cast<HWND>(active);
  }
  for (HWND h = FindWindowExA(mdi, nullptr, "ORXAlbumChild", nullptr); h;
       h = FindWindowExA(mdi, h, "ORXAlbumChild", nullptr))
    if (TextOf(h) == title) return h;
  std::fprintf(stderr, "no album window titled %s\n", title);
  return nullptr;
}

struct Cell {
  HWND hwnd;
  RECT in_album;  // in the album's client coordinates
};

// The cells of an album in album order: the grid order of their places.
std::vector<Cell> Cells(HWND album) {
  std::vector<Cell> cells;
  for (HWND c = FindWindowExA(album, nullptr, "ORXAlbumButton", nullptr); c;
       c = FindWindowExA(album, c, "ORXAlbumButton", nullptr)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, album, reinterpret_cast<POINT*>(&r), 2);
    cells.push_back({c, r});
  }
  std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
    return a.in_album.top != b.in_album.top ? a.in_album.top < b.in_album.top
                                            : a.in_album.left < b.in_album.left;
  });
  return cells;
}

HWND CellOf(const char* album_title, const char* index) {
  HWND album = Album(album_title);
  if (!album) return nullptr;
  auto cells = Cells(album);
  const size_t i = std::strtoul(index, nullptr, 10);
  if (i >= cells.size()) {
    std::fprintf(stderr, "album has %zu cells, no cell %zu\n", cells.size(), i);
    return nullptr;
  }
  return cells[i].hwnd;
}

COLORREF ScreenPixel(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

void PrintColour(const char* name, COLORREF c) {
  std::printf(" %s=%02x%02x%02x", name, GetRValue(c), GetGValue(c), GetBValue(c));
}

// album-cells ALBUM: the system's button colours, then one line per cell in
// album order: index, place in the album's client area, check box, the
// colours of the cell's left and right frame lines and inside the frame
// (they show the selection), and title (the cell's text).
int AlbumCells(char** a) {
  HWND album = Album(a[0]);
  if (!album) return kFailed;
  std::printf("colours");
  PrintColour("highlight", GetSysColor(COLOR_BTNHIGHLIGHT));
  PrintColour("shadow", GetSysColor(COLOR_BTNSHADOW));
  PrintColour("face", GetSysColor(COLOR_BTNFACE));
  std::printf("\n");
  int i = 0;
  for (const Cell& c : Cells(album)) {
    DWORD_PTR checked = 0;
    SendMessageTimeoutA(GetDlgItem(c.hwnd, kCheckBox), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &checked);
    std::printf("%d at=%d,%d size=%dx%d checked=%d", i++, int(c.in_album.left), int(c.in_album.top),
                int(c.in_album.right - c.in_album.left), int(c.in_album.bottom - c.in_album.top),
                checked == BST_CHECKED ? 1 : 0);
    PrintColour("left", ScreenPixel(c.hwnd, 3, 60));
    PrintColour("right", ScreenPixel(c.hwnd, 127, 60));
    PrintColour("inside", ScreenPixel(c.hwnd, 8, 60));
    std::printf(" title=%s\n", TextOf(c.hwnd).c_str());
  }
  std::printf("count=%d\n", i);
  return kOk;
}

// cell-pixel ALBUM INDEX X Y: the colour at a point of a cell.
int CellPixel(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  PrintColour("pixel", ScreenPixel(cell, std::atoi(a[2]), std::atoi(a[3])));
  std::printf("\n");
  return kOk;
}

// --- Mouse and keyboard through the system's input ------------------------------

void MouseButton(DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

void MoveTo(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  SetCursorPos(p.x, p.y);
  Sleep(50);
}

void Click(HWND h, int x, int y, int times) {
  MoveTo(h, x, y);
  for (int i = 0; i < times; ++i) {
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    Sleep(times > 1 ? 30 : kInputSettleMs);
  }
  Sleep(kInputSettleMs);
}

// cell-click ALBUM INDEX COUNT: clicks (COUNT 2: double-clicks) the middle
// of a cell's picture.
int CellClick(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  Click(cell, 65, 60, std::atoi(a[2]));
  return kOk;
}

// cell-check ALBUM INDEX: clicks a cell's check box.
int CellCheck(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  Click(cell, 17, 123, 1);
  return kOk;
}

// cell-drag ALBUM INDEX TARGET_ALBUM X Y: presses on a cell, moves to a
// point of another album's client area and releases there.
int CellDrag(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  HWND target = Album(a[2]);
  if (!cell || !target) return kFailed;
  MoveTo(cell, 65, 60);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  Sleep(kInputSettleMs);
  MoveTo(target, std::atoi(a[3]) / 2, std::atoi(a[4]) / 2);
  MoveTo(target, std::atoi(a[3]), std::atoi(a[4]));
  Sleep(kInputSettleMs);
  MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(kInputSettleMs);
  return kOk;
}

// key VK: a key pressed and released, to whatever window has the focus.
int Key(char** a) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(std::strtoul(a[0], nullptr, 0));
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
  Sleep(kInputSettleMs);
  return kOk;
}

// cell-title ALBUM INDEX TEXT: clicks into the cell's title field, types
// TEXT over its text and presses Enter.
int CellTitle(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  Click(cell, 47, 122, 1);  // into the title field
  HWND field = GetDlgItem(cell, kTitleField);
  if (!field) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2]), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &r);
  char* enter[] = {const_cast<char*>("0x0D")};
  return Key(enter);
}

// cell-title-text ALBUM INDEX: the text of a cell's title field (the cell's
// own text, the title, until the field is first clicked).
int CellTitleText(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  HWND field = GetDlgItem(cell, kTitleField);  // made when the title is first clicked
  std::printf("%s\n", TextOf(field ? field : cell).c_str());
  return kOk;
}

// album-window ALBUM: the album's window rectangle in the MDI client and
// its client extent.
int AlbumWindow(char** a) {
  HWND album = Album(a[0]);
  if (!album) return kFailed;
  RECT w, c;
  GetWindowRect(album, &w);
  MapWindowPoints(nullptr, GetParent(album), reinterpret_cast<POINT*>(&w), 2);
  GetClientRect(album, &c);
  std::printf("window=%d,%d,%d,%d client=%dx%d\n", int(w.left), int(w.top), int(w.right), int(w.bottom),
              int(c.right), int(c.bottom));
  return kOk;
}

unsigned long long UnixMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return (t.QuadPart - 116444736000000000ULL) / 10000ULL;
}

bool NeedsPaint(HWND album) {
  if (GetUpdateRect(album, nullptr, FALSE)) return true;
  for (HWND c = GetWindow(album, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE)) return true;
  return false;
}

// wait-album-idle TITLE COUNT TIMEOUT_MS: waits for the album window titled
// TITLE to hold COUNT cells, for the program to come back to its message
// loop (a message sent to the album returns) and for the album and its
// cells to have no part left to paint; prints that moment in milliseconds
// since 1970.
int WaitAlbumIdle(char** a) {
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[2]));
  const size_t want = std::strtoul(a[1], nullptr, 10);
  const DWORD start = GetTickCount();
  auto late = [&] { return GetTickCount() - start >= timeout; };
  HWND album = nullptr;
  for (;; Sleep(2)) {
    if (late()) {
      std::fprintf(stderr, "no album %s with %zu cells\n", a[0], want);
      return kFailed;
    }
    HWND frame = FindWindowA("ORXDscFrame", nullptr);
    HWND mdi = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
    album = nullptr;
    for (HWND h = mdi ? FindWindowExA(mdi, nullptr, "ORXAlbumChild", nullptr) : nullptr; h;
         h = FindWindowExA(mdi, h, "ORXAlbumChild", nullptr)) {
      char title[512] = "";
      GetWindowTextA(h, title, sizeof title);  // no message: the program is busy
      if (std::strcmp(title, a[0]) == 0) album = h;
    }
    if (!album) continue;
    size_t n = 0;
    for (HWND c = FindWindowExA(album, nullptr, "ORXAlbumButton", nullptr); c;
         c = FindWindowExA(album, c, "ORXAlbumButton", nullptr))
      ++n;
    if (n == want) break;
  }
  for (;; Sleep(2)) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(album, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &r)) return kFailed;
    if (!NeedsPaint(album)) break;
    if (late()) return kFailed;
  }
  std::printf("at_ms=%llu\n", UnixMs());
  return kOk;
}

// file-dialog-ok NAME TIMEOUT_MS: types NAME into the program's file dialog
// and presses its default button, printing that moment in milliseconds
// since 1970.
int FileDialogOk(char** a) {
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[1]));
  const DWORD start = GetTickCount();
  DWORD pid = 0;
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  if (frame) GetWindowThreadProcessId(frame, &pid);
  HWND dialog = nullptr;
  while (!dialog) {
    for (HWND h = FindWindowA("#32770", nullptr); h; h = FindWindowExA(nullptr, h, "#32770", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(h, &owner);
      if (owner == pid && IsWindowVisible(h) && GetDlgItem(h, 0x47C)) dialog = h;
    }
    if (!dialog && GetTickCount() - start >= timeout) return kFailed;
    Sleep(20);
  }
  Sleep(300);  // the dialog finishes filling its lists
  DWORD_PTR r = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[0]),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  const unsigned long long at = UnixMs();
  if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)) return kFailed;
  std::printf("at_ms=%llu\n", at);
  return kOk;
}

// --- The clipboard, as another program uses it ------------------------------------

HGLOBAL BlockWith(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (h) {
    std::memcpy(GlobalLock(h), bytes, size);
    GlobalUnlock(h);
  }
  return h;
}

// clipboard-put TEXT DIB_FILE: the clipboard emptied and given the text
// ("@N": N letters) and, unless DIB_FILE is "-", the file's bytes as a
// bitmap block.
int ClipboardPut(char** a) {
  std::string text = a[0][0] == '@' ? std::string(std::strtoul(a[0] + 1, nullptr, 10), 'a') : a[0];
  std::vector<char> dib;
  if (std::strcmp(a[1], "-") != 0) {
    FILE* f = std::fopen(a[1], "rb");
    if (!f) return kFailed;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) dib.insert(dib.end(), buf, buf + n);
    std::fclose(f);
  }
  bool open = false;
  for (int i = 0; i < 50 && !(open = OpenClipboard(nullptr)); ++i) Sleep(20);
  if (!open) return kFailed;
  EmptyClipboard();
  bool ok = SetClipboardData(CF_TEXT, BlockWith(text.c_str(), text.size() + 1)) != nullptr;
  if (!dib.empty()) ok = ok && SetClipboardData(CF_DIB, BlockWith(dib.data(), dib.size())) != nullptr;
  CloseClipboard();
  return ok ? kOk : kFailed;
}

// clipboard-info: which of the two formats are there, and the text.
int ClipboardInfo(char**) {
  std::printf("text=%d bitmap=%d\n", IsClipboardFormatAvailable(CF_TEXT) ? 1 : 0,
              IsClipboardFormatAvailable(CF_DIB) ? 1 : 0);
  for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(20);
  if (HGLOBAL t = GetClipboardData(CF_TEXT)) {
    const char* p = static_cast<const char*>(GlobalLock(t));
    std::printf("path=%s\ntext_block=%lu\n", p ? p : "", static_cast<unsigned long>(GlobalSize(t)));
    GlobalUnlock(t);
  }
  if (HGLOBAL b = GetClipboardData(CF_DIB)) {
    const auto* bi = static_cast<const BITMAPINFOHEADER*>(GlobalLock(b));
    if (bi)
      std::printf("bitmap=%dx%d bits=%u block=%lu\n", int(bi->biWidth), int(bi->biHeight), bi->biBitCount,
                  static_cast<unsigned long>(GlobalSize(b)));
    GlobalUnlock(b);
  }
  CloseClipboard();
  return kOk;
}

// clipboard-save-dib FILE: the bitmap block written to a file as it is.
int ClipboardSaveDib(char** a) {
  for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(20);
  HGLOBAL b = GetClipboardData(CF_DIB);
  bool ok = false;
  if (b) {
    const void* p = GlobalLock(b);
    if (FILE* f = std::fopen(a[0], "wb")) {
      ok = std::fwrite(p, 1, GlobalSize(b), f) == GlobalSize(b);
      std::fclose(f);
    }
    GlobalUnlock(b);
  }
  CloseClipboard();
  return ok ? kOk : kFailed;
}

}  // namespace

FQ_DRIVER_COMMAND("album-cells", "ALBUM", 1, AlbumCells);
FQ_DRIVER_COMMAND("cell-pixel", "ALBUM INDEX X Y", 4, CellPixel);
FQ_DRIVER_COMMAND("cell-click", "ALBUM INDEX COUNT", 3, CellClick);
FQ_DRIVER_COMMAND("cell-check", "ALBUM INDEX", 2, CellCheck);
FQ_DRIVER_COMMAND("cell-drag", "ALBUM INDEX TARGET_ALBUM X Y", 5, CellDrag);
FQ_DRIVER_COMMAND("cell-title", "ALBUM INDEX TEXT", 3, CellTitle);
FQ_DRIVER_COMMAND("cell-title-text", "ALBUM INDEX", 2, CellTitleText);
FQ_DRIVER_COMMAND("album-window", "ALBUM", 1, AlbumWindow);
FQ_DRIVER_COMMAND("key", "VK", 1, Key);
FQ_DRIVER_COMMAND("wait-album-idle", "TITLE COUNT TIMEOUT_MS", 3, WaitAlbumIdle);
FQ_DRIVER_COMMAND("file-dialog-ok", "NAME TIMEOUT_MS", 2, FileDialogOk);
FQ_DRIVER_COMMAND("clipboard-put", "TEXT|@N DIB_FILE|-", 2, ClipboardPut);
FQ_DRIVER_COMMAND("clipboard-info", "", 0, ClipboardInfo);
FQ_DRIVER_COMMAND("clipboard-save-dib", "FILE", 1, ClipboardSaveDib);
