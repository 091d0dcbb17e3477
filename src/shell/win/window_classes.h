// The window classes of the program, registered once at start-up.
#pragma once

#include <windows.h>

namespace fq::win {

// Registers, in this order: the frame, the image window, the album window,
// the album picture cell, the progress meter, the slide show, the calendar
// window and the movie window. Classes whose windows are not built yet are
// registered by their subsystems with placeholder window procedures. False
// when the frame's class is refused (the others are not needed to start).
bool RegisterWindowClasses(HINSTANCE instance);

}  // namespace fq::win
