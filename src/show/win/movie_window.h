// The movie window: an MDI child of class MYAVICLASS that hosts the
// system's media-control window (its play bar, position and mode) playing
// one AVI file. Only one movie plays at a time. The window has no extra
// bytes, so the frame's menu rules see no document in it.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

inline constexpr char kMovieWindowClass[] = "MYAVICLASS";
inline constexpr char kMovieAlreadyPlayingText[] = "AVI File has already been played.";
// Posted by the movie window to itself once it exists: take the title,
// place and size it, start playing.
inline constexpr UINT kMsgMovieStart = 0x0959;

bool RegisterMovieWindowClass(HINSTANCE instance);

// Opens the movie in a new movie window of the MDI client and starts it.
// With a movie window open already: "AVI File has already been played.";
// a file the media control cannot open: "Error opening AVI file." and no
// window. True when the movie window was made.
bool PlayMovie(HWND mdi_client, const std::string& path);

// The media-control window of the movie playing, or null.
HWND MovieControl();

}  // namespace fq::win
