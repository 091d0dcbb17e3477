// The numbers of the main menu's commands and of the toolbar's buttons. The
// frame routes them; each subsystem handles its own, so every floor may read
// them. The texts, the menu layout and the toolbar live with the frame.
#pragma once

namespace fq::cmd {

// File
inline constexpr int kNewAlbum = 105;
inline constexpr int kOpen = 100;
inline constexpr int kClose = 106;
inline constexpr int kSave = 101;
inline constexpr int kSaveAs = 107;
inline constexpr int kSlideShowStart = 500;
inline constexpr int kSlideShowOption = 470;
inline constexpr int kDataIn = 121;
inline constexpr int kDataOut = 122;
inline constexpr int kComPortSetup = 120;
inline constexpr int kCameraSetup = 125;
inline constexpr int kImageInformation = 570;
inline constexpr int kMonthlyCalendar = 131;
inline constexpr int kYearlyCalendar = 132;
inline constexpr int kSchedule = 133;
inline constexpr int kDisplayCapture = 182;
inline constexpr int kWindowCapture = 183;
inline constexpr int kPrint = 102;
inline constexpr int kPrintSetup = 123;
inline constexpr int kExit = 103;
// Edit
inline constexpr int kAddToAlbum = 143;
inline constexpr int kCut = 142;
inline constexpr int kCopy = 140;
inline constexpr int kPaste = 141;
inline constexpr int kUndo = 178;
// Image
inline constexpr int kImageAdjustment = 170;
inline constexpr int kRotateRight = 176;
inline constexpr int kRotateLeft = 177;
inline constexpr int kImageCutout = 179;
inline constexpr int kImageSize = 180;
// View
inline constexpr int kZoom400 = 175;
inline constexpr int kZoom200 = 174;
inline constexpr int kZoom100 = 173;
inline constexpr int kZoom50 = 172;
inline constexpr int kZoom25 = 171;
// Window
inline constexpr int kCascade = 161;
inline constexpr int kTile = 160;
inline constexpr int kArrangeIcons = 162;
inline constexpr int kCloseAll = 163;
inline constexpr int kToolbarOnOff = 164;
inline constexpr int kStatusbarOnOff = 165;
inline constexpr int kToolOnOff = 184;
// Help
inline constexpr int kHelpContents = 108;
inline constexpr int kVersionInformation = 104;

// Toolbar buttons; each does what its menu command does (ButtonCommand).
inline constexpr int kButtonNewAlbum = 405;
inline constexpr int kButtonOpen = 400;
inline constexpr int kButtonSaveAs = 401;
inline constexpr int kButtonDataIn = 421;
inline constexpr int kButtonDataOut = 422;
inline constexpr int kButtonPrint = 402;
inline constexpr int kButtonAddToAlbum = 443;
inline constexpr int kButtonCut = 442;
inline constexpr int kButtonCopy = 440;
inline constexpr int kButtonPaste = 441;
inline constexpr int kButtonCascade = 461;
inline constexpr int kButtonTile = 460;
inline constexpr int kButtonHelp = 462;

}  // namespace fq::cmd
