#include "show/win/movie_window.h"

#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <optional>

#include "base/messages.h"
#include "base/win/frame_link.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"
#include "show/win/movie_picture.h"

namespace fq::win {
namespace {

// The one movie: its window, the media control inside it and its path.
struct Playback {
  HWND window = nullptr;
  HWND control = nullptr;
  std::string path;
  bool ignore_size = false;
  bool open_failed = false;
  int bar_height = 0;  // the control's height before a movie is in it
};
Playback g_movie;

constexpr DWORD kControlStyle = WS_CHILD | WS_VISIBLE | MCIWNDF_SHOWNAME | MCIWNDF_SHOWPOS | MCIWNDF_NOMENU |
                                MCIWNDF_SHOWMODE | MCIWNDF_NOTIFYMODE |
                                // Failures are reported once, by the program,
                                // not in the control's own blocking box.
                                MCIWNDF_NOERRORDLG;

void ShowPlainBox(const char* text) {
  MessageBoxA(nullptr, text, std::string(kAppCaption).c_str(), MB_OK | MB_TASKMODAL);
}

// Whether the movie has a video stream, and its frame size. The media
// control is only handed files with one: some systems' players fail hard on
// a sound-only movie instead of refusing it.
std::optional<SIZE> VideoFrameSize(const std::string& path) {
  AVIFileInit();
  std::optional<SIZE> size;
  PAVIFILE file = nullptr;
  if (AVIFileOpenA(&file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) == 0 && file) {
    PAVISTREAM video = nullptr;
    if (AVIFileGetStream(file, &video, streamtypeVIDEO, 0) == 0 && video) {
      AVISTREAMINFOA si = {};
      if (AVIStreamInfoA(video, &si, sizeof si) == 0)
        size = SIZE{si.rcFrame.right - si.rcFrame.left, si.rcFrame.bottom - si.rcFrame.top};
      AVIStreamRelease(video);
    }
    AVIFileRelease(file);
  }
  AVIFileExit();
  return size;
}

// --- Messages -----------------------------------------------------------------

// The control is made with the window and opens the movie at once; a movie
// it cannot open leaves no window behind.
LRESULT OnCreate(HWND window) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  HWND control = MCIWndCreateA(window, instance, kControlStyle, nullptr);
  if (!control) {
    g_movie.open_failed = true;
    return -1;
  }
  RECT empty;
  GetWindowRect(control, &empty);
  g_movie.bar_height = empty.bottom - empty.top;
  if (MCIWndOpen(control, g_movie.path.c_str(), 0) != 0) {
    DestroyWindow(control);
    g_movie.open_failed = true;
    return -1;
  }
  MCIWndChangeStyles(control, MCIWNDF_NOMENU, MCIWNDF_NOMENU);
  g_movie.window = window;
  g_movie.control = control;
  g_movie.ignore_size = true;
  PostMessageA(window, kMsgMovieStart, 0, 0);
  return 0;
}

// The size the control wants: its own, or, when it reports no usable
// picture size (some uncompressed movies stored top-down), the frame size
// of the video stream under its play bar.
SIZE WantedControlSize(HWND control) {
  RECT outer;
  GetWindowRect(control, &outer);
  SIZE s{outer.right - outer.left, outer.bottom - outer.top};
  RECT dest = {};
  MCIWndGetDest(control, &dest);
  const LONG dest_w = dest.right - dest.left, dest_h = dest.bottom - dest.top;
  if (dest_w > 0 && dest_h > 0) return s;
  if (auto frame = VideoFrameSize(g_movie.path)) {
    const LONG border = std::max<LONG>(0, s.cx - std::max<LONG>(dest_w, 0));
    s.cx = frame->cx + border;
    s.cy = frame->cy + g_movie.bar_height;
  }
  return s;
}

void OnStart(HWND window) {
  HWND control = g_movie.control;
  if (!control) return;
  SetWindowTextA(window, g_movie.path.c_str());
  const SIZE want = WantedControlSize(control);
  // The window is sized so that its client area holds the whole control.
  RECT r{0, 0, want.cx, want.cy};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  MoveWindow(window, 0, 0, r.right - r.left, r.bottom - r.top, TRUE);
  MCIWndPlay(control);
  MCIWndSetOwner(control, window);
}

void OnSize(int width, int height) {
  if (g_movie.ignore_size) {
    g_movie.ignore_size = false;
    return;
  }
  if (g_movie.control) MoveWindow(g_movie.control, 0, 0, width, height, TRUE);
}

void OnDestroy(HWND window) {
  // A window whose creation failed leaves the state to PlayMovie.
  if (window != g_movie.window) return;
  Frame().DocumentClosing(window);
  if (g_movie.control) MCIWndDestroy(g_movie.control);
  g_movie = Playback{};
}

LRESULT CALLBACK MovieWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(window);
    case kMsgMovieStart:
      OnStart(window);
      return 0;
    case WM_SIZE:
      OnSize(LOWORD(lParam), HIWORD(lParam));
      break;  // the MDI child procedure must see it too
    case MCIWNDM_NOTIFYMODE:
      return 0;  // the control's mode changes: taken, nothing to do
    case WM_QUERYNEWPALETTE:
    case kMsgRealizePalette:
      return g_movie.control ? MCIWndRealize(g_movie.control, FALSE) : 0;
    case WM_PALETTECHANGED:
      if (g_movie.control && reinterpret_cast<HWND>(wParam) != window &&
          reinterpret_cast<HWND>(wParam) != g_movie.control && GetFocus() != window)
        MCIWndRealize(g_movie.control, TRUE);
      return 0;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lParam) == window) Frame().DocumentChanged(window);
      break;
    case WM_DESTROY:
      OnDestroy(window);
      break;
  }
  return DefMDIChildProcA(window, msg, wParam, lParam);
}

}  // namespace

bool RegisterMovieWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kMovieWindowClass,
                                        .procedure = MovieWindowProc,
                                        .icon = IDI_MOVIE,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

HWND MovieControl() { return g_movie.control; }

bool PlayMovie(HWND mdi_client, const std::string& path) {
  if (g_movie.window || g_movie.control) {
    ShowPlainBox(kMovieAlreadyPlayingText);
    return false;
  }
  if (!VideoFrameSize(path)) {
    ShowPlainBox(kAviOpenErrorText);
    return false;
  }
  g_movie.path = path;
  g_movie.open_failed = false;
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = kMovieWindowClass;
  mcs.szTitle = "";
  mcs.hOwner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mdi_client, GWLP_HINSTANCE));
  mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
  HWND window = reinterpret_cast<HWND>(
      SendMessageA(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (!window) {
    const bool open_failed = g_movie.open_failed;
    g_movie = Playback{};
    if (open_failed) ShowPlainBox(kAviOpenErrorText);
    return false;
  }
  return true;
}

}  // namespace fq::win
