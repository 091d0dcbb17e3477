// Control numbers of the progress meter, the status dialogs and the message
// windows that every subsystem shows. The numbers are fixed by the product;
// shared by the resource script and the C++ code, so plain macros.
#pragma once

// The icons of the window classes.
#define IDI_FRAME 407     // frame window (ORXDscFrame)
#define IDI_ALBUM 408     // album windows and the slide show
#define IDI_IMAGE 409     // image windows
#define IDI_MOVIE 410     // movie window
#define IDI_CALENDAR 411  // calendar windows

// Progress dialog ("MeterDlg", "MeterDlg_EU").
#define IDC_METER 300
#define IDC_METER_LINE1 301  // the operation
#define IDC_METER_LINE2 302  // the file, or the cancel notice

// Connection and delete status dialogs.
#define IDC_STATUS_LINE1 303
#define IDC_STATUS_LINE2 304

// One-line message windows.
#define IDC_PREVIEW_MSG 750
#define IDC_CARD_MSG 751
#define IDC_AVI_MSG 752

#define ORX_METER_CLASS "OrxMeter"

// The notice of a command still to come.
#define IDS_NOT_AVAILABLE 1001
