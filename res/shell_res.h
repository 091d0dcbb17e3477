// Resource numbers of the application shell: the icons of the window classes
// and the frame's strings. Shared by the resource scripts and the C++ code,
// so plain macros.
#pragma once

#define IDI_FRAME 407     // frame window (ORXDscFrame)
#define IDI_ALBUM 408     // album windows and the slide show
#define IDI_IMAGE 409     // image windows
#define IDI_MOVIE 410     // movie window
#define IDI_CALENDAR 411  // calendar windows

#define IDS_FRAME_TITLE 1000
