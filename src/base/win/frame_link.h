// What a document window tells the frame above it, and the little it asks of
// it. The windows of the subsystems never reach into the frame's menu or bars:
// they report a change here, and the frame, which installs its link once it
// exists, recomputes its menu state and writes its status bar in one place.
#pragma once

#include <windows.h>

namespace fq::win {

class FrameLink {
 public:
  virtual ~FrameLink() = default;
  // The frame window, or nullptr while there is none.
  virtual HWND Frame() = 0;
  // Something the frame's menu reads changed in `document` (activation, a
  // change mark, the selection, the zoom). Only the active document counts.
  virtual void DocumentChanged(HWND document) = 0;
  // `document` is being destroyed: the frame treats it as gone.
  virtual void DocumentClosing(HWND document) = 0;
  // Text of a status-bar part; `raised` draws it as a label.
  virtual void SetStatusText(int part, const char* text, bool raised) = 0;
};

// Installs the frame's link; nullptr restores the link that does nothing
// (no frame: test programs, start-up, shut-down).
void InstallFrameLink(FrameLink* link);
FrameLink& Frame();
inline HWND FrameWindow() { return Frame().Frame(); }

}  // namespace fq::win
