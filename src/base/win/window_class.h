// Registration of the program's window classes: every class differs only in
// a few attributes, so each owner names those and this fills in the rest
// (redraw on size, the instance, the class name).
#pragma once

#include <windows.h>

namespace fq::win {

struct WindowClassSpec {
  const char* name = nullptr;
  WNDPROC procedure = nullptr;
  UINT extra_style = 0;     // added to CS_HREDRAW | CS_VREDRAW
  int extra_bytes = 0;
  int icon = 0;             // resource id; 0 = none
  LPCSTR cursor = nullptr;  // a system cursor id; nullptr = none
  HBRUSH background = nullptr;
  const char* menu = nullptr;
};

// A system colour as a class background brush.
inline HBRUSH SystemColorBrush(int color) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(color + 1)); }

inline bool RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | spec.extra_style;
  wc.lpfnWndProc = spec.procedure;
  wc.cbWndExtra = spec.extra_bytes;
  wc.hInstance = instance;
  if (spec.icon) wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(spec.icon));
  if (spec.cursor) wc.hCursor = LoadCursorA(nullptr, spec.cursor);
  wc.hbrBackground = spec.background;
  wc.lpszMenuName = spec.menu;
  wc.lpszClassName = spec.name;
  return RegisterClassA(&wc) != 0;
}

}  // namespace fq::win
