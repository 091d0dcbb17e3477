// The frame's commands: one handler per menu command, toolbar buttons
// mapped to their menu commands, and the text tool's question before any
// of them runs.
#pragma once

#include <windows.h>

namespace fq::win {

// Runs the command `id` (a menu item or a toolbar button). False for ids
// that are not commands of the frame (the document list of the Window
// menu, commands of the active document): the default frame procedure
// takes those.
bool RunCommand(HWND frame, int id);

// "Close All": every document window not shown as an icon title is
// restored, asked whether it may close and destroyed if it agrees. True
// when no MDI child remains.
bool CloseAllDocuments();

// The refusal of a close or shutdown while a camera transfer runs.
void ShowBusyRefusal(bool shutdown);

}  // namespace fq::win
