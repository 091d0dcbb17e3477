// Resources of printing and screen capture. Shared by the resource script
// and the C++ code, so plain macros.
#pragma once

// The option panel of the print dialog.
#define IDC_PRN_IMAGE_GROUP 1100
#define IDC_PRN_PAPER 1101
#define IDC_PRN_ORIGINAL 1102
#define IDC_PRN_UPPER 1103
#define IDC_PRN_LOWER 1104
#define IDC_PRN_ALBUM_GROUP 1110
#define IDC_PRN_ALL 1111
#define IDC_PRN_SELECT 1112
#define IDC_PRN_ALBUM 1113
#define IDC_PRN_TWO 1114
#define IDC_PRN_FOUR 1115
#define IDC_PRN_SIXTEEN 1116
#define IDC_PRN_OTHER_GROUP 1120
#define IDC_PRN_NAME 1121
#define IDC_PRN_DATE 1122

// The capture dialog.
#define IDC_CAPTURE_SECONDS 431
#define IDC_CAPTURE_SPIN 432
#define IDC_CAPTURE_HIDE 2000
