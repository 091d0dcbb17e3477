// Resource numbers of the application shell: the toolbar strip, the frame's strings and the version dialog's controls.
// Shared by the resource scripts and the C++ code, so plain macros.
#pragma once

#include "base_res.h"  // the icons

#define IDB_TOOLBAR 495  // the toolbar's own eight 16 x 16 images

#define IDS_FRAME_TITLE 1000

// Version dialog "AboutDlg_Normal".
#define IDC_ABOUT_PRODUCT 1100
#define IDC_ABOUT_VERSION 1101
#define IDC_ABOUT_CREDIT 1102
