// The frame window class and the frame's life: registered as the program
// needs it, destroyed on close with the quit message posted.
#include <windows.h>

#include <cstring>

#include "shell/win/frame_window.h"
#include "shell_res.h"
#include "wintest.h"

WIN_TEST(ResourceIconsLoad) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  for (int id : {IDI_FRAME, IDI_ALBUM, IDI_IMAGE, IDI_MOVIE, IDI_CALENDAR}) {
    HICON big = static_cast<HICON>(LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
    HICON little = static_cast<HICON>(LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    CHECK(big != nullptr);
    CHECK(little != nullptr);
    if (big) DestroyIcon(big);
    if (little) DestroyIcon(little);
  }
  char title[64] = "";
  CHECK(LoadStringA(inst, IDS_FRAME_TITLE, title, sizeof title) > 0);
  CHECK_EQ(std::string(title), std::string("Fotaquill"));
}

WIN_TEST(FrameClassAsRegistered) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  CHECK(fq::win::RegisterFrameClass(inst));
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  CHECK(GetClassInfoExA(inst, "ORXDscFrame", &wc));
  CHECK_EQ(wc.style, UINT{CS_HREDRAW | CS_VREDRAW});
  CHECK_EQ(wc.cbWndExtra, 2 * static_cast<int>(sizeof(LONG_PTR)));
  CHECK(wc.hIcon != nullptr);
  CHECK(wc.hCursor == LoadCursorA(nullptr, IDC_WAIT));
  CHECK(wc.hbrBackground == reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  CHECK(wc.lpszMenuName && std::strcmp(wc.lpszMenuName, "ORXDscMenu") == 0);
}

WIN_TEST(FrameWindowClosesAndPostsQuit) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  fq::win::RegisterFrameClass(inst);  // may already be registered
  HWND frame = fq::win::CreateFrameWindow(inst);
  CHECK(frame != nullptr);
  if (!frame) return;
  CHECK(fq::win::FrameWindow() == frame);
  char title[64] = "";
  GetWindowTextA(frame, title, sizeof title);
  CHECK_EQ(std::string(title), std::string("Fotaquill"));
  LONG_PTR style = GetWindowLongPtrA(frame, GWL_STYLE);
  CHECK_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
           LONG_PTR{WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN});
  CHECK(GetParent(frame) == nullptr);

  SendMessageA(frame, WM_CLOSE, 0, 0);
  CHECK(!IsWindow(frame));
  CHECK(fq::win::FrameWindow() == nullptr);
  MSG msg;
  bool quit = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      CHECK_EQ(msg.wParam, WPARAM{0});
    }
  }
  CHECK(quit);
}
