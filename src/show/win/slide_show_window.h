// The slide show window: a black pop-up of class AutoViewClass over the
// whole screen that shows the pictures of one album, one after another,
// with the mouse pointer hidden. One show runs at a time. The control panel
// (slide_panel.h) reads the show's state through the functions here.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fq::win {

inline constexpr char kSlideShowClass[] = "AutoViewClass";
// Posted by the show window to itself once it exists: read the album.
inline constexpr UINT kMsgLoadSlides = 0x0511;
inline constexpr UINT_PTR kSlideTimer = 1;
inline constexpr char kNoImagesText[] = "This album has no images.";

bool RegisterSlideShowClass(HINSTANCE instance);

// Runs a show of the album file (chosen and checked by the caller) in a new
// show window owned by `frame`; false when no window could be made or a
// show is running already.
bool StartSlideShow(HWND frame, const std::string& album_path);

// What the panel shows of a running show; nothing once the show has ended.
struct SlideShowState {
  bool pointer_wanted = false;
  bool full_size = true;
  bool playing = true;
};
std::optional<SlideShowState> SlideShowStateOf(HWND show);

// True while `show` is the running show and its current picture has not
// finished drawing. A panel button waits for this to be false, then sends
// its command only if SlideShowStateOf still answers.
bool SlideShowDrawing(HWND show);

// The panel tells the show that it opened or went away.
void SetSlidePanel(HWND show, HWND panel);

// Makes the mouse pointer visible or hidden whatever the display count.
void ShowPointer();
void HidePointer();

}  // namespace fq::win
