// The command identifiers of the main menu and the toolbar with their menu
// texts, status-bar help texts and greyed texts, the layout of the menu bar
// "DscMenu" and of the toolbar. The menu resource and the window layer use
// these numbers; nothing else repeats them.
#pragma once

#include <optional>
#include <span>
#include <string_view>

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

struct CommandText {
  int id;
  std::string_view menu;    // with its mnemonic
  std::string_view status;  // status-bar part 0 while highlighted
  std::string_view greyed;  // instead of `status` while greyed; empty: none
};

// Every menu command, in menu order.
std::span<const CommandText> Commands();
const CommandText* FindCommand(int id);

// The menu bar.
inline constexpr std::string_view kMenuName = "DscMenu";
inline constexpr int kFilePopup = 0;
inline constexpr int kEditPopup = 1;
inline constexpr int kImagePopup = 2;
inline constexpr int kViewPopup = 3;
inline constexpr int kWindowPopup = 4;  // also the MDI window menu
inline constexpr int kHelpPopup = 5;
// Positions inside "&File", counting separators and sub-popups.
inline constexpr int kFileCommunicationPosition = 8;
inline constexpr int kFileSchedulePosition = 13;

enum class MenuEntryKind { kItem, kSeparator, kPopup };

struct MenuEntry {
  MenuEntryKind kind;
  int id;  // items only
  std::string_view text;
  std::span<const MenuEntry> children;  // popups only
};

// The six popups of the menu bar in order, each a kPopup entry.
std::span<const MenuEntry> MenuBar();

// The popup that holds the "Communica&tion" sub-popup at
// kFileCommunicationPosition: the first of the menu bar, or the second while
// the active document is maximised (its system menu then comes first).
inline int CommunicationPopupIndex(bool active_child_maximized) {
  return active_child_maximized ? 1 : 0;
}

// The toolbar.
inline constexpr int kToolbarId = 701;
inline constexpr int kToolbarBitmap = 495;  // the program's own strip
inline constexpr int kOwnImageCount = 8;    // 16 × 16 each
inline constexpr int kToolbarEntryCount = 19;

enum class StandardImage { kNone, kFileOpen, kPrint, kCut, kCopy, kPaste };

struct ToolbarEntry {
  int id;                  // 0: separator
  int own_image;           // index in the own strip, or -1
  StandardImage standard;  // a system image instead
  std::string_view tooltip;
  bool initially_greyed;
};

// The 19 entries in position order.
std::span<const ToolbarEntry> Toolbar();
// The menu command of a button, or nothing for other ids.
std::optional<int> ButtonCommand(int button);
// The status text while a greyed button's tooltip shows, or nothing when it
// shows nothing new (Open, New Album, Help).
std::optional<std::string_view> GreyedButtonText(int button);
// Buttons whose status text is drawn without border.
bool ButtonTextWithoutBorder(int button);

// Status-bar text for anything without help text: "Ready", nothing in the
// Japanese region.
inline constexpr std::string_view kReady = "Ready";
inline constexpr int kRegionJapanese = 3;
std::string_view ReadyText(int region);

// The help text a highlighted menu entry shows in status-bar part 0 (`id` 0
// or an unknown id: a popup or separator). A greyed item shows its greyed
// text, or its status text when it has none.
std::string_view MenuHelpText(int id, bool greyed, int region);
// The text a button's tooltip writes to part 0: the status text of its menu
// command when enabled, its greyed text when greyed; nothing when it writes
// nothing new.
std::optional<std::string_view> ToolbarHelpText(int button, bool greyed);

// The dialog template a command opens, by region (0; 1 and 2; 3); empty for
// commands without one.
std::string_view DialogTemplate(int command, int region);

// Texts raised by the command handlers themselves.
inline constexpr std::string_view kFixTextQuestion =
    "Once the fixing operation is done, no correction,\nmove nor delete is available. Are you "
    "sure?\nChoose [YES] to fix, [NO] to correct, [CANCEL] to stop input.";
inline constexpr std::string_view kFixTextCaption = "Message";
inline constexpr std::string_view kNotFullColor = "This image is not full color.";
inline constexpr std::string_view kSizeCannotChange = "The size of this image cannot be changed.";
inline constexpr std::string_view kAlreadyConnected = "Cannot select!! Already connected camera.";

// The version dialog.
inline constexpr std::string_view kAboutDialog = "AboutDlg_Normal";
inline constexpr std::string_view kAboutVersion = "Version 1.0";
inline constexpr std::string_view kAboutCredit =
    "This image change process is based on parg on the work of the independent JPEG Group.";

}  // namespace fq::cmd
