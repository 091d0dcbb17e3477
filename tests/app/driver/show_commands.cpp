// fqdriver commands for the slide show and the movie window: where the
// movie window sits and what it holds, the movie's play-out timed through
// the media control's position and mode (messages without pointers, so they
// work from another process), mouse clicks on the show, and a show command
// timed until its picture is painted and the program is idle again.
#include <windows.h>
#include <vfw.h>

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
constexpr char kShowClass[] = "AutoViewClass";
constexpr char kMovieClass[] = "MYAVICLASS";
constexpr char kControlClass[] = "MCIWndClass";
constexpr char kPanelTitle[] = "Slide Show Menu";

HWND MdiClient() {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  return frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
}

HWND MovieWindow() {
  HWND client = MdiClient();
  return client ? FindWindowExA(client, nullptr, kMovieClass, nullptr) : nullptr;
}

std::string TextOf(HWND h) {
  char buf[1024] = "";
  DWORD_PTR n = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &n);
  return buf;
}

LRESULT Ask(HWND h, UINT msg) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, msg, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r)) return -1;
  return static_cast<LRESULT>(r);
}

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

// movie-window TIMEOUT_MS: waits for the movie window and prints its title,
// its place in the MDI client, its client size, and its media control.
int MovieWindowInfo(char** a) {
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[0]));
  const DWORD start = GetTickCount();
  HWND movie = nullptr;
  while (!(movie = MovieWindow()) || !IsWindowVisible(movie)) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "no movie window\n");
      return kFailed;
    }
    Sleep(10);
  }
  // The window is placed once its creation is through.
  Ask(movie, WM_NULL);
  Sleep(200);
  Ask(movie, WM_NULL);
  RECT r, c;
  GetWindowRect(movie, &r);
  MapWindowPoints(nullptr, MdiClient(), reinterpret_cast<POINT*>(&r), 2);
  GetClientRect(movie, &c);
  std::printf("title=%s\n", TextOf(movie).c_str());
  std::printf("at=%d,%d\n", int(r.left), int(r.top));
  std::printf("client=%d,%d\n", int(c.right), int(c.bottom));
  std::printf("extra_bytes=%ld\n", static_cast<long>(GetClassLongPtrA(movie, GCL_CBWNDEXTRA)));
  HWND control = FindWindowExA(movie, nullptr, kControlClass, nullptr);
  if (control) {
    RECT k;
    GetWindowRect(control, &k);
    std::printf("control=%d,%d\n", int(k.right - k.left), int(k.bottom - k.top));
  } else {
    std::printf("control=none\n");
  }
  return kOk;
}

// movie-timing FRAMES RATE TIMEOUT_MS: follows the playing movie through its
// control's mode and position until it stops, and prints the time from the
// first "playing" to "stopped" against (FRAMES - 1) / RATE, whether the
// position ever went back, and the last position.
int MovieTiming(char** a) {
  const int frames = std::atoi(a[0]);
  const double rate = std::atof(a[1]);
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[2]));
  const DWORD start = GetTickCount();
  HWND control = nullptr;
  double t_play = -1, t_stop = -1;
  long last = -1, highest = -1;
  bool back = false;
  while (GetTickCount() - start < timeout) {
    if (!control) {
      HWND movie = MovieWindow();
      control = movie ? FindWindowExA(movie, nullptr, kControlClass, nullptr) : nullptr;
      if (!control) {
        Sleep(2);
        continue;
      }
    }
    const LRESULT mode = Ask(control, MCIWNDM_GETMODEA);
    const LRESULT pos = Ask(control, MCIWNDM_GETPOSITIONA);
    const double now = NowMs();
    if (mode == MCI_MODE_PLAY && t_play < 0) t_play = now;
    if (pos >= 0) {
      if (pos < last) back = true;
      last = static_cast<long>(pos);
      if (last > highest) highest = last;
    }
    if (t_play >= 0 && mode == MCI_MODE_STOP) {
      t_stop = now;
      break;
    }
    Sleep(2);
  }
  if (t_play < 0 || t_stop < 0) {
    std::fprintf(stderr, "the movie did not play to its end (play %.0f, stop %.0f, position %ld)\n",
                 t_play, t_stop, last);
    return kFailed;
  }
  const double expected = 1000.0 * (frames - 1) / rate;
  std::printf("play_ms=%.0f expected_ms=%.0f ratio=%.3f last=%ld went_back=%d\n", t_stop - t_play,
              expected, (t_stop - t_play) / expected, highest, back ? 1 : 0);
  return kOk;
}

// movie-close: closes the movie window as its close box does.
int MovieClose(char**) {
  HWND movie = MovieWindow();
  if (!movie) {
    std::fprintf(stderr, "no movie window\n");
    return kFailed;
  }
  return PostMessageA(movie, WM_CLOSE, 0, 0) ? kOk : kFailed;
}

// movie-count: how many movie windows the MDI client holds.
int MovieCount(char**) {
  HWND client = MdiClient();
  int n = 0;
  for (HWND h = client ? FindWindowExA(client, nullptr, kMovieClass, nullptr) : nullptr; h;
       h = FindWindowExA(client, h, kMovieClass, nullptr))
    ++n;
  std::printf("%d\n", n);
  return kOk;
}

// show-click left|right: a mouse click in the middle of the show window.
int ShowClick(char** a) {
  HWND show = fqdriver::Require(kShowClass, "-");
  if (!show) return kFailed;
  const bool right = std::strcmp(a[0], "right") == 0;
  const LPARAM at = MAKELPARAM(200, 200);
  const UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
  const UINT up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
  return PostMessageA(show, down, right ? MK_RBUTTON : MK_LBUTTON, at) &&
                 PostMessageA(show, up, 0, at)
             ? kOk
             : kFailed;
}

// show-char C: a character typed in the show window.
int ShowChar(char** a) {
  HWND show = fqdriver::Require(kShowClass, "-");
  return show && PostMessageA(show, WM_CHAR, static_cast<unsigned char>(a[0][0]), 1) ? kOk : kFailed;
}

// Waits until the show window has no part left to paint and the program
// has come back to its message loop; false when the show went away.
bool WaitPainted(HWND show, DWORD timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (!IsWindow(show)) return false;
    RECT r;
    if (!GetUpdateRect(show, &r, FALSE) && Ask(show, WM_NULL) != -1 && !GetUpdateRect(show, &r, FALSE))
      return true;
    if (GetTickCount() - start >= timeout) return false;
    Sleep(1);
  }
}

// show-press ID TIMEOUT_MS: presses a button of the control panel (or,
// without a panel, sends its command to the show), then waits until the
// picture is painted and the program idle; prints the milliseconds taken.
int ShowPress(char** a) {
  HWND show = fqdriver::Require(kShowClass, "-");
  if (!show) return kFailed;
  const int id = std::atoi(a[0]);
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[1]));
  HWND panel = FindWindowA("#32770", kPanelTitle);
  const double t0 = NowMs();
  DWORD_PTR r = 0;
  BOOL sent;
  if (panel) {
    sent = SendMessageTimeoutA(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(panel, id)), SMTO_NORMAL,
                               timeout, &r);
  } else {
    sent = SendMessageTimeoutA(show, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, timeout, &r);
  }
  if (!sent) return kFailed;
  if (!WaitPainted(show, timeout)) {
    std::fprintf(stderr, "the show did not finish painting\n");
    return kFailed;
  }
  std::printf("ms=%.1f\n", NowMs() - t0);
  return kOk;
}

// show-repaint TIMEOUT_MS: the whole show window painted again without a
// change of picture (as when a window over it moves away); prints the
// milliseconds until it is painted and the program idle.
int ShowRepaint(char** a) {
  HWND show = fqdriver::Require(kShowClass, "-");
  if (!show) return kFailed;
  const double t0 = NowMs();
  RedrawWindow(show, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  if (!WaitPainted(show, static_cast<DWORD>(std::atoi(a[0])))) return kFailed;
  std::printf("ms=%.1f\n", NowMs() - t0);
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

std::string PixelAt(HDC screen, int x, int y) {
  COLORREF c = GetPixel(screen, x, y);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

// panel-clicks ID COUNT: COUNT clicks of a panel button posted at once, as
// a user clicking faster than the show draws.
int PanelClicks(char** a) {
  HWND panel = fqdriver::Require("#32770", kPanelTitle);
  if (!panel) return kFailed;
  const int id = std::atoi(a[0]);
  for (int i = 0; i < std::atoi(a[1]); ++i)
    if (!PostMessageA(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(panel, id))))
      return kFailed;
  return kOk;
}

// show-painted TIMEOUT_MS: waits for the show window to be visible and
// painted, then at once reads the screen's corners and centre; prints them
// with that moment in milliseconds since 1970.
int ShowPainted(char** a) {
  const DWORD timeout = static_cast<DWORD>(std::atoi(a[0]));
  const DWORD start = GetTickCount();
  HWND show = nullptr;
  // The show names the picture it has drawn in its window text.
  while (!(show = FindWindowA(kShowClass, nullptr)) || !IsWindowVisible(show) ||
         TextOf(show).empty()) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "no slide show with a picture\n");
      return kFailed;
    }
    Sleep(5);
  }
  if (!WaitPainted(show, timeout)) return kFailed;
  const unsigned long long at = UnixMs();
  HDC screen = GetDC(nullptr);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const std::string corner = PixelAt(screen, 0, 0), far_corner = PixelAt(screen, cx - 1, cy - 1),
                    centre = PixelAt(screen, cx / 2, cy / 2);
  ReleaseDC(nullptr, screen);
  RECT w;
  GetWindowRect(show, &w);
  std::printf("rect=%d,%d,%d,%d\n", int(w.left), int(w.top), int(w.right), int(w.bottom));
  std::printf("corner=%s far_corner=%s centre=%s at_ms=%llu\n", corner.c_str(), far_corner.c_str(),
              centre.c_str(), at);
  std::printf("picture=%s\n", TextOf(show).c_str());
  return kOk;
}

// screen-pixel X Y: the colour on the screen at a point, as rrggbb.
int ScreenPixel(char** a) {
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, std::atoi(a[0]), std::atoi(a[1]));
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) return kFailed;
  std::printf("%02x%02x%02x\n", GetRValue(c), GetGValue(c), GetBValue(c));
  return kOk;
}

// pointer-shown: whether the mouse pointer is visible ("shown" or
// "hidden"), as the system draws it.
int PointerShown(char**) {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  if (!GetCursorInfo(&ci)) return kFailed;
  std::printf("%s\n", (ci.flags & CURSOR_SHOWING) ? "shown" : "hidden");
  return kOk;
}

FQ_DRIVER_COMMAND("movie-window", "TIMEOUT_MS", 1, MovieWindowInfo);
FQ_DRIVER_COMMAND("movie-timing", "FRAMES RATE TIMEOUT_MS", 3, MovieTiming);
FQ_DRIVER_COMMAND("movie-close", "", 0, MovieClose);
FQ_DRIVER_COMMAND("movie-count", "", 0, MovieCount);
FQ_DRIVER_COMMAND("show-repaint", "TIMEOUT_MS", 1, ShowRepaint);
FQ_DRIVER_COMMAND("show-click", "left|right", 1, ShowClick);
FQ_DRIVER_COMMAND("show-char", "CHAR", 1, ShowChar);
FQ_DRIVER_COMMAND("show-press", "ID TIMEOUT_MS", 2, ShowPress);
FQ_DRIVER_COMMAND("panel-clicks", "ID COUNT", 2, PanelClicks);
FQ_DRIVER_COMMAND("show-painted", "TIMEOUT_MS", 1, ShowPainted);
FQ_DRIVER_COMMAND("screen-pixel", "X Y", 2, ScreenPixel);
FQ_DRIVER_COMMAND("pointer-shown", "", 0, PointerShown);

}  // namespace
