// The texts of the main menu's and the toolbar's commands (menu texts,
// status-bar help texts and greyed texts), the layout of the menu bar
// "DscMenu" and of the toolbar. The menu resource and the window layer use
// these numbers; nothing else repeats them.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/command_ids.h"

namespace fq::cmd {

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
