// Keeping the window alive during long work on the one user-interface
// thread: the working loop calls PumpMessages() between its steps.
#pragma once

#include <windows.h>

namespace fq::win {

// Dispatches the messages waiting in the queue and returns. Menu and other
// command messages taken from the queue are dropped, so that no command
// starts in the middle of the work; keyboard messages for a registered
// modeless dialog go to that dialog. A quit message is posted again and ends
// the pass: the answer is then false, and the work should stop.
bool PumpMessages();

// Pumps until `ms` milliseconds have passed since `start` (a tick count);
// false when a quit message ended the wait early.
bool PumpWait(DWORD ms, DWORD start);
inline bool PumpWait(DWORD ms) { return PumpWait(ms, GetTickCount()); }

// Modeless dialogs whose dialog messages (Tab, Escape, Enter, mnemonics)
// the pumps route to them. The status dialogs register themselves.
void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);
// True when `msg` was a dialog message of a registered dialog and has been
// handled; the frame's message loop can use this too.
bool RouteToModelessDialog(MSG* msg);

}  // namespace fq::win
