// Control numbers of the camera's dialogs: the memory lists, the thumbnail
// grids, the transfer path, the delete question, the camera clock and the
// port setup. Fixed by the product; shared by the resource
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

// The delete question of the picture grids ("DSCSTATUSDLGDEL"); its two
// lines are the status lines 303 and 304 of base_res.h.
#define IDC_DELETE_YES 800
#define IDC_DELETE_ALL 801
#define IDC_DELETE_NO 802
#define IDC_DELETE_CANCEL 803
#define IDC_DELETE_LINE1 303
#define IDC_DELETE_LINE2 304

// The camera clock ("TIMESETUP_US", "TIMESETUP_EU", "TIMESETUP_JAPAN"): the
// same ids in every form, only the order of the date fields differs.
#define IDC_CLOCK_YEAR 720
#define IDC_CLOCK_MONTH 721
#define IDC_CLOCK_DAY 722
#define IDC_CLOCK_HOUR 723
#define IDC_CLOCK_MINUTE 724
#define IDC_CLOCK_AM 725
#define IDC_CLOCK_PM 726
#define IDC_CLOCK_PC 727

// The port setup ("CommParaSet", "CommParaSet_EU").
#define IDC_PORT_COM1 260
#define IDC_PORT_COM2 261
#define IDC_PORT_COM3 262
#define IDC_PORT_COM4 263
#define IDC_SPEED_9600 264
#define IDC_SPEED_19200 265
#define IDC_SPEED_38400 266
#define IDC_SPEED_57600 267
#define IDC_SPEED_115200 268
#define IDC_AUTO_SETUP 5001
