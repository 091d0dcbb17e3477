// Control numbers of the calendar dialogs. Most are file values too: the
// record stores the number of the radio button or check box chosen, so they
// are fixed by the product; shared by the resource script and the C++ code,
// so plain macros.
#pragma once

// Wizard page templates: Japanese interface, then the others.
#define IDD_CAL_LAYOUT_JA 100
#define IDD_CAL_LAYOUT 101
#define IDD_CAL_DATE_MONTH_JA 200
#define IDD_CAL_DATE_MONTH 201
#define IDD_CAL_DATE_YEAR_JA 210
#define IDD_CAL_DATE_YEAR 211
#define IDD_CAL_STYLE_MONTH_JA 300
#define IDD_CAL_STYLE_MONTH 301
#define IDD_CAL_STYLE_YEAR_JA 310
#define IDD_CAL_STYLE_YEAR 311
#define IDD_CAL_PREVIEW_JA 400
#define IDD_CAL_PREVIEW 401

// Page 1: layout.
#define IDC_CAL_PART1 1111  // portrait, photograph above
#define IDC_CAL_PART2 1112  // landscape, photograph behind
#define IDC_CAL_PICTURE1 1113
#define IDC_CAL_PICTURE2 1114
#define IDC_CAL_HELPSTRIP 1115

// Page 2: picture and date.
#define IDC_CAL_TITLE1 1201
#define IDC_CAL_TITLE2 1202
#define IDC_CAL_TITLE3 1203
#define IDC_CAL_TITLE4 1204
#define IDC_CAL_TITLE_LEFT 1205
#define IDC_CAL_TITLE_CENTER 1206
#define IDC_CAL_TITLE_RIGHT 1207
#define IDC_CAL_TITLE_FONT 1251
#define IDC_CAL_YEAR 1261
#define IDC_CAL_YEAR_SPIN 1262
#define IDC_CAL_MONTH 1263
#define IDC_CAL_MONTH_SPIN 1264
#define IDC_CAL_PATH 1271
#define IDC_CAL_SELECT 1272
#define IDC_CAL_NO_IMAGE 1273

// Page 3: styles. The monthly and yearly pages reuse numbers.
#define IDC_CAL_STYLE1 1301
#define IDC_CAL_STYLE2 1302
#define IDC_CAL_STYLE3 1303
#define IDC_CAL_FRAME_ON 1304     // monthly
#define IDC_CAL_FRAME_OFF 1305    // monthly
#define IDC_CAL_MONTH_LEFT 1304   // yearly
#define IDC_CAL_MONTH_CENTER 1305 // yearly
#define IDC_CAL_MONTH_RIGHT 1306  // yearly
#define IDC_CAL_WEEK_LETTERS 1307 // yearly
#define IDC_CAL_WEEK_SHORT 1308   // yearly
#define IDC_CAL_CELL_FIRST 1331   // nine position boxes, row by row
#define IDC_CAL_CELL_LAST 1339
#define IDC_CAL_MONTH_FONT 1351
#define IDC_CAL_WEEK_FONT 1352
#define IDC_CAL_DAY_FONT 1353
#define IDC_CAL_FRAME_COLOR 1354

// Page 4: preview.
#define IDC_CAL_PREVIEW 1401

// Font dialogs ("CALFONTSETDLG1", "CALFONTSETDLG2", "CALFONTSETDLG2_US").
#define IDC_CAL_WEEKDAY 1501
#define IDC_CAL_SATURDAY 1502
#define IDC_CAL_SUNDAY 1503
#define IDC_CAL_COLOR 1551

// Schedule ("CALSCHEDULE", "CALSCHEDULE_EU").
#define IDC_SCHEDULE_DAY 1601
#define IDC_SCHEDULE_TEXT 1602
#define IDC_SCHEDULE_FONT 1603
