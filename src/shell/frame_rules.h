// The fixed numbers and rules of the frame window that need no window
// system: window kinds, class names, private messages, control ids, the
// status-bar layout, which bars the settings ask for, and the texts of a
// refused close.
#pragma once

#include <array>
#include <string_view>

namespace fq::shell {

// The second 32-bit slot of a document window's extra bytes. A window
// without extra bytes (the movie window) reads as kNone.
enum class WindowKind : int { kNone = 0, kImage = 1, kAlbum = 2, kAlbumPicture = 3 };
// Slot offsets in the window extra bytes: the record handle, the kind.
inline constexpr int kRecordSlot = 0;
inline constexpr int kKindSlot = 4;
inline constexpr int kDocumentExtraBytes = 8;

inline constexpr std::string_view kFrameClass = "ORXDscFrame";
inline constexpr std::string_view kImageClass = "ORXNormalChild";
inline constexpr std::string_view kAlbumClass = "ORXAlbumChild";
inline constexpr std::string_view kAlbumPictureClass = "ORXAlbumButton";
inline constexpr std::string_view kSlideShowClass = "AutoViewClass";
inline constexpr std::string_view kCalendarClass = "MYCALCLASS";
inline constexpr std::string_view kMovieClass = "MYAVICLASS";
inline constexpr std::string_view kFrameClassMenu = "ORXDscMenu";
// The frame's title; another start finds the running one by this prefix.
inline constexpr std::string_view kFrameTitle = "Fotaquill";

// Private messages of the frame.
inline constexpr unsigned kMsgStarted = 0x0464;        // open the start-up command line
inline constexpr unsigned kMsgHandOver = 0x0958;       // the hand-over file is ready
inline constexpr unsigned kMsgCapturePicture = 0x0700;  // the captured picture is on the clipboard

// Control ids and timers.
inline constexpr int kMdiClientId = 3232;
inline constexpr int kFirstMdiChildId = 4100;
inline constexpr int kStatusBarId = 700;
inline constexpr int kStatusBarParts = 5;
inline constexpr int kHelpPollTimer = 8;
inline constexpr int kHelpPollMs = 50;
inline constexpr int kCaptureCountdownTimer = 1;
inline constexpr int kCaptureSettleTimer = 2;

// Right edges of the five status-bar parts for a client width.
std::array<int, kStatusBarParts> StatusBarPartEdges(int region, int client_width);

// The bars the Tool and Status settings ask for (0 = shown); any pair other
// than the three with a 0 shows neither.
struct Bars {
  bool toolbar = false;
  bool status_bar = false;
};
Bars BarsFromSettings(int tool, int status);

// Close refused while a camera transfer runs.
inline constexpr std::string_view kCloseWhileBusy =
    "Now Communicating to Digital Camera.\nPlease quit the communication before quitting "
    "Application.";
inline constexpr std::string_view kShutdownWhileBusy =
    "This application still active.\nQuit the application before quitting Windows.\n";

}  // namespace fq::shell
