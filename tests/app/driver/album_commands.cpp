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
// (they show the selection), and title.
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
    std::printf(" title=%s\n", TextOf(GetDlgItem(c.hwnd, kTitleField)).c_str());
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
  HWND field = GetDlgItem(cell, kTitleField);
  Click(field, 20, 8, 1);
  DWORD_PTR r = 0;
  SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2]), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &r);
  char* enter[] = {const_cast<char*>("0x0D")};
  return Key(enter);
}

// cell-title-text ALBUM INDEX: the text of a cell's title field.
int CellTitleText(char** a) {
  HWND cell = CellOf(a[0], a[1]);
  if (!cell) return kFailed;
  std::printf("%s\n", TextOf(GetDlgItem(cell, kTitleField)).c_str());
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
FQ_DRIVER_COMMAND("cell-drag", "ALBUM INDEX TARGET_ALBUM X Y", 5, CellDrag);
FQ_DRIVER_COMMAND("cell-title", "ALBUM INDEX TEXT", 3, CellTitle);
FQ_DRIVER_COMMAND("cell-title-text", "ALBUM INDEX", 2, CellTitleText);
FQ_DRIVER_COMMAND("album-window", "ALBUM", 1, AlbumWindow);
FQ_DRIVER_COMMAND("key", "VK", 1, Key);
FQ_DRIVER_COMMAND("clipboard-put", "TEXT|@N DIB_FILE|-", 2, ClipboardPut);
FQ_DRIVER_COMMAND("clipboard-info", "", 0, ClipboardInfo);
FQ_DRIVER_COMMAND("clipboard-save-dib", "FILE", 1, ClipboardSaveDib);
