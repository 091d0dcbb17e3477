// Control numbers of the camera's dialogs: the memory lists, the thumbnail
// grids and the transfer path. Fixed by the product; shared by the resource
// script and the C++ code, so plain macros.
#pragma once

// Type-1 list ("MemReq").
#define IDC_MEM_TRANSFER 280
#define IDC_MEM_EXIT 281
#define IDC_MEM_PREVIEW 282
#define IDC_MEM_DELETE 283
#define IDC_MEM_SELECT_ALL 284
#define IDC_MEM_LIST 285

// Thumbnail grids ("MemReq2", "MemReq2_K48T" and their regional forms).
// The sixteen thumbnail buttons are 501 to 516, in rows of four.
#define IDC_GRID_BUTTON_FIRST 501
#define IDC_GRID_BUTTON_LAST 516
#define IDC_GRID_FOLDER 520
#define IDC_GRID_CARD 521
#define IDC_GRID_RANGE_FIRST 600
#define IDC_GRID_RANGE_LAST 601
#define IDC_GRID_PREVIEW 602
#define IDC_GRID_TRANSFER 603
#define IDC_GRID_DELETE 604
#define IDC_GRID_TOTAL 610
#define IDC_GRID_SCROLL 660

// "StatusDir" ("Transfer Path").
#define IDC_DIR_PATH 1310
#define IDC_DIR_BROWSE 1311
