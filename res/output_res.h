// Resources of printing and screen capture. Shared by the resource script
// and the C++ code, so plain macros.
#pragma once

// The option panel of the print dialog, clear of the numbers the system
// gives the dialog's own controls (0x400 to 0x4FF).
#define IDC_PRN_IMAGE_GROUP 1300
#define IDC_PRN_PAPER 1301
#define IDC_PRN_ORIGINAL 1302
#define IDC_PRN_UPPER 1303
#define IDC_PRN_LOWER 1304
#define IDC_PRN_ALBUM_GROUP 1310
#define IDC_PRN_ALL 1311
#define IDC_PRN_SELECT 1312
#define IDC_PRN_ALBUM 1313
#define IDC_PRN_TWO 1314
#define IDC_PRN_FOUR 1315
#define IDC_PRN_SIXTEEN 1316
#define IDC_PRN_OTHER_GROUP 1320
#define IDC_PRN_NAME 1321
#define IDC_PRN_DATE 1322

// The capture dialog.
#define IDC_CAPTURE_SECONDS 431
#define IDC_CAPTURE_SPIN 432
#define IDC_CAPTURE_HIDE 2000
