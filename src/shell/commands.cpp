#include "shell/commands.h"

#include <array>

namespace fq::cmd {
namespace {

constexpr std::string_view kNoFileToSave = "Cannot select!! There is no file to save.";
constexpr std::string_view kNoFileToPrint = "Cannot select!! There is no file to print.";
constexpr std::string_view kNotOpenAlbum = "Cannot Select!! Not open album.";
constexpr std::string_view kNoAlbumImage = "Cannot Select!! Not open album or Not open image to album.";
constexpr std::string_view kNoCopiedImage = "Cannot Select!! Not open album or Not copy image.";
constexpr std::string_view kNotOpenWindow = "Cannot Select!! Not open window.";

constexpr CommandText kCommands[] = {
    {kNewAlbum, "Create &New Album", "Create a new album.", ""},
    {kOpen, "File &Open...", "Open an existing file.", ""},
    {kClose, "&Close", "Close window.", "Cannot select!! There is no file to close."},
    {kSave, "&Save", "Save the active file.", kNoFileToSave},
    {kSaveAs, "Save &As...", "Save the active file with a new name.", kNoFileToSave},
    {kSlideShowStart, "&Start...", "\"Slide Show\" start.", ""},
    {kSlideShowOption, "&Option...", "Set the Slide Show options.", ""},
    {kDataIn, "Data &in from Camera", "Data in from the camera.", ""},
    {kDataOut, "Data &out to Camera...", "Data out to the camera.", ""},
    {kComPortSetup, "COM Port &Setup...", "Set the com_port options.", ""},
    {kCameraSetup, "&Camera Setup...", "Set the camera options.", ""},
    {kImageInformation, "&Image Information...", "Information regarding selected image is displayed.",
     "Cannot select!! No information available because image is not opened."},
    {kMonthlyCalendar, "&Monthly Calendar...", "Create monthly calendar.", ""},
    {kYearlyCalendar, "&Yearly Calendar...", "Create yearly calendar.", ""},
    {kSchedule, "Sch&edule...", "Input schedule into monthly calendar.", ""},
    {kDisplayCapture, "&Display Capture...", "Capture the display.", ""},
    {kWindowCapture, "&Window Capture...", "Capture the active window.", ""},
    {kPrint, "&Print...", "Print the image.", kNoFileToPrint},
    {kPrintSetup, "P&rint Setup...", "Set the printer options.", ""},
    {kExit, "E&xit", "Exit application.", ""},
    {kAddToAlbum, "&Add to Album...", "Add the selected image to the album.", kNotOpenAlbum},
    {kCut, "Cu&t", "Move the selected image to the clipboard.", kNoAlbumImage},
    {kCopy, "&Copy", "Copy the selected image to the clipboard.", kNoAlbumImage},
    {kPaste, "&Paste", "Paste the clipboard image at the album.", kNoCopiedImage},
    {kUndo, "&Undo", "Back before photo image only the lastest arranged photo.",
     "Cannot Select!! Not open image or Not last adjusted image."},
    {kImageAdjustment, "Image &Adjustment...",
     "Change photo image by automatic adjustment or manual adjustment.", ""},
    {kRotateRight, "&Right", "Rotate the image to clockwise.", ""},
    {kRotateLeft, "&Left", "Rotate the image to counter clockwise.", ""},
    {kImageCutout, "&Image Cutout", "Cut the selected area of the image to be pasted in a new window.",
     "Cannot Select!! No cut area has been selected."},
    {kImageSize, "Image &Size...", "Change the image size.", ""},
    {kZoom400, "&400% Size", "Change fourth size for original photo size.", ""},
    {kZoom200, "2&00% Size", "Change twice size for original photo size.", ""},
    {kZoom100, "&100% Size", "Change same size for original photo size.", ""},
    {kZoom50, " &50% Size", "Change half size for original photo size.", ""},
    {kZoom25, " &25% Size", "Change quarter size for original photo size.", ""},
    {kCascade, "&Cascade", "Arrange the windows in a cascade view.", kNotOpenWindow},
    {kTile, "&Tile", "Arrange the windows in a tile view.", kNotOpenWindow},
    {kArrangeIcons, "&Arrange Icons", "Arrange the icons.", "Cannot Select!! Icon not lined up."},
    {kCloseAll, "C&lose All", "Close all opened windows.",
     "Cannot Select!! Not open window or line up icon."},
    {kToolbarOnOff, "Tool&bar On/Off", "Toggle the toolbar on/off.", ""},
    {kStatusbarOnOff, "&Statusbar On/Off", "Toggle the statusbar on/off.", ""},
    {kToolOnOff, "T&ool On/Off", "Toggle the tool on/off.", ""},
    {kHelpContents, "&Contents", "Contents.", ""},
    {kVersionInformation, "Version &Information...", "Version information and Copyright information.", ""},
};

constexpr MenuEntry Item(int id) {
  for (const CommandText& c : kCommands)
    if (c.id == id) return {MenuEntryKind::kItem, id, c.menu, {}};
  return {MenuEntryKind::kItem, id, {}, {}};
}
constexpr MenuEntry kSep{MenuEntryKind::kSeparator, 0, {}, {}};
constexpr MenuEntry Popup(std::string_view text, std::span<const MenuEntry> children) {
  return {MenuEntryKind::kPopup, 0, text, children};
}

constexpr MenuEntry kSlideShowItems[] = {Item(kSlideShowStart), Item(kSlideShowOption)};
constexpr MenuEntry kCommunicationItems[] = {Item(kDataIn), Item(kDataOut), Item(kComPortSetup),
                                             Item(kCameraSetup)};
constexpr MenuEntry kCalendarItems[] = {Item(kMonthlyCalendar), Item(kYearlyCalendar)};
constexpr MenuEntry kCaptureItems[] = {Item(kDisplayCapture), Item(kWindowCapture)};
constexpr MenuEntry kRotateItems[] = {Item(kRotateRight), Item(kRotateLeft)};

constexpr MenuEntry kFileItems[] = {
    Item(kNewAlbum), Item(kOpen), Item(kClose), Item(kSave), Item(kSaveAs), kSep,
    Popup("S&lide Show", kSlideShowItems), kSep,
    Popup("Communica&tion", kCommunicationItems), kSep,
    Item(kImageInformation), kSep,
    Popup("Create Calen&dar", kCalendarItems), Item(kSchedule), kSep,
    Popup("Capt&ure", kCaptureItems), kSep,
    Item(kPrint), Item(kPrintSetup), kSep,
    Item(kExit)};
constexpr MenuEntry kEditItems[] = {Item(kAddToAlbum), kSep,  Item(kCut), Item(kCopy),
                                    Item(kPaste),      kSep, Item(kUndo)};
constexpr MenuEntry kImageItems[] = {Item(kImageAdjustment), Popup("&Rotate", kRotateItems),
                                     Item(kImageCutout), Item(kImageSize)};
constexpr MenuEntry kViewItems[] = {Item(kZoom400), Item(kZoom200), Item(kZoom100), Item(kZoom50),
                                    Item(kZoom25)};
constexpr MenuEntry kWindowItems[] = {Item(kCascade),       Item(kTile),
                                      Item(kArrangeIcons),  Item(kCloseAll),
                                      kSep,                 Item(kToolbarOnOff),
                                      Item(kStatusbarOnOff), Item(kToolOnOff)};
constexpr MenuEntry kHelpItems[] = {Item(kHelpContents), kSep, Item(kVersionInformation)};

constexpr MenuEntry kMenuBar[] = {Popup("&File", kFileItems),     Popup("&Edit", kEditItems),
                                  Popup("&Image", kImageItems),   Popup("&View", kViewItems),
                                  Popup("&Window", kWindowItems), Popup("&Help", kHelpItems)};

constexpr ToolbarEntry kSeparator{0, -1, StandardImage::kNone, {}, false};
constexpr ToolbarEntry kToolbar[] = {
    {kButtonNewAlbum, 0, StandardImage::kNone, "Create New Album", false},
    {kButtonOpen, -1, StandardImage::kFileOpen, "File Open", false},
    {kButtonSaveAs, 1, StandardImage::kNone, "Save As", true},
    kSeparator,
    {kButtonDataIn, 2, StandardImage::kNone, "Data in from Camera", false},
    {kButtonDataOut, 3, StandardImage::kNone, "Data out to Camera", false},
    kSeparator,
    {kButtonPrint, -1, StandardImage::kPrint, "Print", true},
    kSeparator,
    {kButtonAddToAlbum, 4, StandardImage::kNone, "Add to Album", true},
    kSeparator,
    {kButtonCut, -1, StandardImage::kCut, "Cut", true},
    {kButtonCopy, -1, StandardImage::kCopy, "Copy", true},
    {kButtonPaste, -1, StandardImage::kPaste, "Paste", true},
    kSeparator,
    {kButtonCascade, 5, StandardImage::kNone, "Cascade", true},
    {kButtonTile, 6, StandardImage::kNone, "Tile", true},
    kSeparator,
    {kButtonHelp, 7, StandardImage::kNone, "Help", false},
};
static_assert(std::size(kToolbar) == kToolbarEntryCount);

struct ButtonRow {
  int button;
  int command;
  std::optional<std::string_view> greyed;
};
constexpr ButtonRow kButtons[] = {
    {kButtonNewAlbum, kNewAlbum, std::nullopt},  {kButtonOpen, kOpen, std::nullopt},
    {kButtonSaveAs, kSaveAs, kNoFileToSave},     {kButtonPrint, kPrint, kNoFileToPrint},
    {kButtonDataIn, kDataIn, kAlreadyConnected}, {kButtonDataOut, kDataOut, kAlreadyConnected},
    {kButtonCopy, kCopy, kNoAlbumImage},         {kButtonPaste, kPaste, kNoCopiedImage},
    {kButtonCut, kCut, kNoAlbumImage},           {kButtonAddToAlbum, kAddToAlbum, kNotOpenAlbum},
    {kButtonTile, kTile, kNotOpenWindow},        {kButtonCascade, kCascade, kNotOpenWindow},
    {kButtonHelp, kHelpContents, std::nullopt},
};

const ButtonRow* FindButton(int button) {
  for (const ButtonRow& b : kButtons)
    if (b.button == button) return &b;
  return nullptr;
}

struct TemplateRow {
  int command;
  std::string_view names[3];  // region 0; regions 1 and 2; region 3
};
constexpr TemplateRow kTemplates[] = {
    {kSlideShowOption, {"VIEWSETUP", "VIEWSETUP_EU", "VIEWSETUP"}},
    {kComPortSetup, {"CommParaSet", "CommParaSet_EU", "CommParaSet"}},
    {kImageInformation, {"EXIF_DIALOG_US", "EXIF_DIALOG_EU", "EXIF_DIALOG_JAPAN"}},
    {kSchedule, {"CALSCHEDULE", "CALSCHEDULE_EU", "CALSCHEDULE"}},
    {kDisplayCapture, {"CAPTURE_US", "CAPTURE_EU", "CAPTURE"}},
    {kWindowCapture, {"CAPTURE_US", "CAPTURE_EU", "CAPTURE"}},
    {kImageAdjustment, {"PHTDLG_US", "PHTDLG_EU", "PHTDLG_JAPAN"}},
    {kImageSize, {"SIZECHANGE_US", "SIZECHANGE_EU", "SIZECHANGE_JAPAN"}},
};

}  // namespace

std::span<const CommandText> Commands() { return kCommands; }

const CommandText* FindCommand(int id) {
  for (const CommandText& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

std::span<const MenuEntry> MenuBar() { return kMenuBar; }
std::span<const ToolbarEntry> Toolbar() { return kToolbar; }

std::optional<int> ButtonCommand(int button) {
  const ButtonRow* b = FindButton(button);
  return b ? std::optional<int>(b->command) : std::nullopt;
}

std::optional<std::string_view> GreyedButtonText(int button) {
  const ButtonRow* b = FindButton(button);
  return b ? b->greyed : std::nullopt;
}

bool ButtonTextWithoutBorder(int button) {
  return button == kButtonNewAlbum || button == kButtonAddToAlbum;
}

std::string_view ReadyText(int region) { return region == kRegionJapanese ? "" : kReady; }

std::string_view MenuHelpText(int id, bool greyed, int region) {
  const CommandText* c = FindCommand(id);
  if (!c) return ReadyText(region);
  return greyed && !c->greyed.empty() ? c->greyed : c->status;
}

std::optional<std::string_view> ToolbarHelpText(int button, bool greyed) {
  const ButtonRow* b = FindButton(button);
  if (!b) return std::nullopt;
  if (greyed) return b->greyed;
  return FindCommand(b->command)->status;
}

std::string_view DialogTemplate(int command, int region) {
  int column = region == kRegionJapanese ? 2 : (region == 1 || region == 2) ? 1 : 0;
  for (const TemplateRow& t : kTemplates)
    if (t.command == command) return t.names[column];
  return {};
}

}  // namespace fq::cmd
