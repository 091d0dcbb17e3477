// Resource numbers of the application shell: the icons of the window classes,
// the toolbar strip, the frame's strings and the version dialog's controls.
// Shared by the resource scripts and the C++ code, so plain macros.
#pragma once

#define IDI_FRAME 407     // frame window (ORXDscFrame)
#define IDI_ALBUM 408     // album windows and the slide show
#define IDI_IMAGE 409     // image windows
#define IDI_MOVIE 410     // movie window
#define IDI_CALENDAR 411  // calendar windows

#define IDB_TOOLBAR 495  // the toolbar's own eight 16 x 16 images

#define IDS_FRAME_TITLE 1000
#define IDS_NOT_AVAILABLE 1001

// Version dialog "AboutDlg_Normal".
#define IDC_ABOUT_PRODUCT 1100
#define IDC_ABOUT_VERSION 1101
#define IDC_ABOUT_CREDIT 1102
