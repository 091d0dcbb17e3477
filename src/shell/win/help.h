// Help: the F1 key polled by a timer of the frame, the Help menu's
// contents, and the help viewer closed at exit. The viewer is the system's
// help program on Lumvex01.hlp in the program folder; without that file it
// reports the missing file itself and nothing else happens.
#pragma once

#include <windows.h>

namespace fq::win {

void StartHelpPoll(HWND frame);
void StopHelpPoll(HWND frame);
// One tick of the poll: a fresh F1 press opens the contents.
void OnHelpPollTick(HWND frame);
// The Help menu's "Contents" and the toolbar's help button.
void HelpContentsCommand(HWND frame);
// At exit: closes the viewer even while a request is in progress.
void QuitHelp(HWND frame);

}  // namespace fq::win
