// The slide show and movie entry points for the frame. Neither is built
// yet: the classes are registered with placeholder window procedures and
// the commands show the not-available notice.
#pragma once

#include <windows.h>

namespace fq::win {

// AutoViewClass (the full-screen show) and MYAVICLASS (the movie window,
// an MDI child without extra bytes).
bool RegisterSlideShowClass(HINSTANCE instance);
bool RegisterMovieWindowClass(HINSTANCE instance);

void SlideShowStartCommand(HWND frame);
void SlideShowOptionCommand(HWND frame);

}  // namespace fq::win
