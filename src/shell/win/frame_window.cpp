#include "shell/win/frame_window.h"

#include <windowsx.h>

#include "camera/messages.h"
#include "shell/win/window_slots.h"
#include "shell_res.h"

namespace fq::win {
namespace {

struct FrameState {
  HWND frame = nullptr;
  HWND mdi_client = nullptr;  // none until the document area exists
};

FrameState g_frame;

BOOL OnCreate(HWND hwnd, LPCREATESTRUCT) {
  g_frame.frame = hwnd;
  return TRUE;
}

// Closing is allowed while nothing keeps the program busy.
void OnClose(HWND hwnd) { DestroyWindow(hwnd); }

void OnDestroy(HWND) {
  g_frame = FrameState{};
  PostQuitMessage(0);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
    HANDLE_MSG(hwnd, WM_CLOSE, OnClose);
    HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
  }
  return DefFrameProcA(hwnd, g_frame.mdi_client, msg, wParam, lParam);
}

}  // namespace

bool RegisterFrameClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = FrameProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_FRAME));
  // The hourglass until the program sets a cursor of its own: the frame's
  // client area is covered by its children once the shell is complete.
  wc.hCursor = LoadCursorA(nullptr, IDC_WAIT);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszMenuName = kFrameClassMenu;
  wc.lpszClassName = kFrameClass;
  return RegisterClassA(&wc) != 0;
}

HWND CreateFrameWindow(HINSTANCE instance) {
  char title[64];
  if (LoadStringA(instance, IDS_FRAME_TITLE, title, sizeof title) <= 0) {
    lstrcpynA(title, kAppCaption.data(), static_cast<int>(sizeof title));
  }
  return CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, instance, nullptr);
}

HWND FrameWindow() { return g_frame.frame; }

}  // namespace fq::win
