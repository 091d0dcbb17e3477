// Control numbers of the picture editor's dialogs and tool window, fixed by
// the product; shared by the resource script and the C++ code, so plain
// macros. Numbers the product leaves free sit in the same bands.
#pragma once

// Image Adjustment ("PHTDLG_US", "PHTDLG_EU", "PHTDLG_JAPAN").
#define IDC_ADJ_MANUAL 1202
#define IDC_ADJ_AUTOMATIC 1203
#define IDC_ADJ_BRIGHTNESS_VALUE 1209
#define IDC_ADJ_CONTRAST_VALUE 1210
#define IDC_ADJ_SATURATION_VALUE 1211
#define IDC_ADJ_SHARPNESS_VALUE 1212
#define IDC_ADJ_BRIGHTNESS 1213
#define IDC_ADJ_CONTRAST 1214
#define IDC_ADJ_SATURATION 1215
#define IDC_ADJ_SHARPNESS 1216
#define IDC_ADJ_BRIGHTNESS_LABEL 1217  // owner-drawn labels that focus their slider
#define IDC_ADJ_CONTRAST_LABEL 1218
#define IDC_ADJ_SATURATION_LABEL 1219
#define IDC_ADJ_SHARPNESS_LABEL 1220
#define IDC_ADJ_RANGE_FIRST 1229  // two range labels per slider, 1229..1236
#define IDC_ADJ_BEFORE 1227
#define IDC_ADJ_AFTER 1228

// Image Size ("SIZECHANGE_US", "SIZECHANGE_EU", "SIZECHANGE_JAPAN").
#define IDC_SIZE_WIDTH 451
#define IDC_SIZE_HEIGHT 452
#define IDC_SIZE_NEW_WIDTH 453
#define IDC_SIZE_NEW_HEIGHT 454
#define IDC_SIZE_CONSTRAIN 455

// The tool window ("TOOLDLG").
#define IDC_TOOL_SELECT 351
#define IDC_TOOL_TEXT 352
#define IDC_TOOL_PEN 353
#define IDC_TOOL_ERASER 354
#define IDC_TOOL_OPTIONS 355

// The options part of the font dialog ("FONTSETTINGDLG").
#define IDC_PEN_WIDTH 361
#define IDC_PEN_WIDTH_SPIN 362
#define IDC_PEN_PREVIEW 363

// Text input ("TEXTINPUTDLG").
#define IDC_TEXT_INPUT 371
#define IDC_TEXT_OK 373
