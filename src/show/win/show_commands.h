// The slide show and movie entry points for the frame: the two window
// classes, the slide show's menu commands, and playing a movie (File Open
// routes movies here).
#pragma once

#include <windows.h>

#include <string>

#include "show/win/movie_window.h"

namespace fq::win {

// AutoViewClass (the full-screen show) and MYAVICLASS (the movie window,
// an MDI child without extra bytes).
bool RegisterSlideShowClass(HINSTANCE instance);
bool RegisterMovieWindowClass(HINSTANCE instance);

// "S&lide Show" → "&Start..." (500) and "&Option..." (470).
void SlideShowStartCommand(HWND frame);
void SlideShowOptionCommand(HWND frame);

}  // namespace fq::win
