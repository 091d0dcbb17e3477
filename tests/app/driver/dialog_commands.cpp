#include "dialog_commands.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fqdrv {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr UINT kSendTimeoutMs = 5000;

HWND Dialog(const char* cls, const char* title) {
  HWND h = FindWindowA(cls, std::strcmp(title, "-") == 0 ? nullptr : title);
  if (!h) std::fprintf(stderr, "no window of class %s titled %s\n", cls, title);
  return h;
}

HWND Item(char** a) {
  HWND dialog = Dialog(a[0], a[1]);
  if (!dialog) return nullptr;
  HWND item = GetDlgItem(dialog, std::atoi(a[2]));
  if (!item) std::fprintf(stderr, "no control %s in that window\n", a[2]);
  return item;
}

long long Number(const char* s) { return std::strtoll(s, nullptr, 0); }

}  // namespace

int ItemText(char** a) {
  HWND h = Item(a);
  if (!h) return kFailed;
  char buf[4096] = "";
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &n))
    return kFailed;
  std::printf("%s\n", buf);
  return kOk;
}

int ItemInfo(char** a) {
  HWND h = Item(a);
  if (!h) return kFailed;
  char cls[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  RECT r;
  GetWindowRect(h, &r);
  std::printf("class=%s\n", cls);
  std::printf("visible=%d\n", IsWindowVisible(h) ? 1 : 0);
  std::printf("enabled=%d\n", IsWindowEnabled(h) ? 1 : 0);
  std::printf("rect=%d,%d,%d,%d\n", int(r.left), int(r.top), int(r.right), int(r.bottom));
  std::printf("class_extra_bytes=%ld\n", static_cast<long>(GetClassLongPtrA(h, GCL_CBWNDEXTRA)));
  std::printf("class_style=0x%lx\n", static_cast<unsigned long>(GetClassLongPtrA(h, GCL_STYLE)));
  return kOk;
}

// The colour on the screen at a point of a control's client area, as rrggbb,
// beside the menu colour (the background of the meter's empty part).
int ItemPixel(char** a) {
  HWND h = Item(a);
  if (!h) return kFailed;
  POINT p{static_cast<LONG>(std::atoi(a[3])), static_cast<LONG>(std::atoi(a[4]))};
  ClientToScreen(h, &p);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) return kFailed;
  COLORREF menu = GetSysColor(COLOR_MENU);
  std::printf("pixel=%02x%02x%02x menu=%02x%02x%02x\n", GetRValue(c), GetGValue(c), GetBValue(c),
              GetRValue(menu), GetGValue(menu), GetBValue(menu));
  return kOk;
}

int ItemMessage(char** a) {
  HWND h = Item(a);
  if (!h) return kFailed;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(h, static_cast<UINT>(Number(a[3])), static_cast<WPARAM>(Number(a[4])),
                           static_cast<LPARAM>(Number(a[5])), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result))
    return kFailed;
  std::printf("result=%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
  return kOk;
}

// Posted to the dialog, so it goes through the program's message pump as a
// typed key would.
int PostChar(char** a) {
  HWND h = Dialog(a[0], a[1]);
  return h && a[2][0] && PostMessageA(h, WM_CHAR, static_cast<unsigned char>(a[2][0]), 1) ? kOk
                                                                                          : kFailed;
}

int PostKey(char** a) {
  HWND h = Dialog(a[0], a[1]);
  if (!h) return kFailed;
  WPARAM vk = static_cast<WPARAM>(Number(a[2]));
  bool ok = PostMessageA(h, WM_KEYDOWN, vk, 1) && PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
  return ok ? kOk : kFailed;
}

}  // namespace fqdrv
