// The percentage bar control (window class "OrxMeter"), usable in dialog
// templates. It shows position / range as a blue bar with the percentage
// written across it, the text white on the bar and black beside it.
#pragma once

#include <windows.h>

namespace fq::win {

// Control messages.
inline constexpr UINT kMeterSetRange = WM_USER + 0;  // wParam: the 100 % value
inline constexpr UINT kMeterGetRange = WM_USER + 1;
inline constexpr UINT kMeterSetPos = WM_USER + 2;  // wParam: the position
inline constexpr UINT kMeterGetPos = WM_USER + 3;

// Registers the class once per process (later calls do nothing).
bool RegisterMeterClass(HINSTANCE instance);

// Conveniences for a meter inside a dialog.
void SetMeterRange(HWND meter, int range);
void SetMeterPos(HWND meter, int position);
int MeterRange(HWND meter);
int MeterPos(HWND meter);

}  // namespace fq::win
