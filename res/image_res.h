// Control numbers of the image window's dialogs, fixed by the product;
// shared by the resource script and the C++ code, so plain macros.
#pragma once

// Open dialog template ("FILEOPEN", "FILEOPEN_JAPAN").
#define IDC_PREVIEW_CHECK 240
#define IDC_PREVIEW_FRAME 241

// Image Information ("EXIF_DIALOG_US", "_EU", "_JAPAN").
#define IDC_INFO_FILE_NAME 571
#define IDC_INFO_LOCATION 572
#define IDC_INFO_MANUFACTURE 573
#define IDC_INFO_MODEL 574
#define IDC_INFO_CREATED 575
#define IDC_INFO_MODIFIED 576
#define IDC_INFO_WIDTH 577
#define IDC_INFO_HEIGHT 578
