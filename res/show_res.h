// Control numbers of the slide show's dialogs and the names of its button
// pictures, fixed by the product; shared by the resource script and the C++
// code, so plain macros.
#pragma once

// Options ("VIEWSETUP", "VIEWSETUP_EU").
#define IDC_SLIDE_FULL_SIZE 901
#define IDC_SLIDE_IMAGE_SIZE 902
#define IDC_SLIDE_SPEED 903
#define IDC_SLIDE_ALBUM_ORDER 906
#define IDC_SLIDE_RANDOM_ORDER 907

// The control panel ("VIEWMENUDLG"): each button sends its number to the
// show window. The exit button is number 1.
#define IDC_SLIDE_EXIT 1
#define IDC_SLIDE_POINTER 983
#define IDC_SLIDE_SIZE 984
#define IDC_SLIDE_PREV 985
#define IDC_SLIDE_PLAY 986
#define IDC_SLIDE_NEXT 988
