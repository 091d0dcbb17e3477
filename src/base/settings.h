// The program's preferences: every section and key of the settings file
// with its default, and one typed accessor per key that decides what a
// stored value means (ranges, combinations, normalisation). All of them
// take the store explicitly so that they can be checked without a file.
#pragma once

#include <string>
#include <string_view>

#include "base/settings_store.h"

namespace fq::settings {

inline constexpr std::string_view kAppSection = "ORXAPP";
inline constexpr std::string_view kCaptureSection = "CAPTURE";
inline constexpr std::string_view kCalYearSection = "CAL_YEAR";
inline constexpr std::string_view kCalMonthSection = "CAL_MONTH";
inline constexpr std::string_view kToolSection = "TOOL";

struct IntKey {
  std::string_view section;
  std::string_view key;
  int def;
};

struct StringKey {
  std::string_view section;
  std::string_view key;
  std::string_view def;
  size_t size;  // buffer size: values are cut to size - 1 characters
};

inline constexpr IntKey kTool{kAppSection, "Tool", 0};
inline constexpr IntKey kStatus{kAppSection, "Status", 0};
inline constexpr IntKey kToolBox{kAppSection, "ToolBox", 0};
inline constexpr StringKey kDir{kAppSection, "dir", "", 260};  // default: current folder
inline constexpr StringKey kCom{kAppSection, "com", "COM1", 16};
inline constexpr IntKey kBaudrate{kAppSection, "baudrate", 384};
inline constexpr IntKey kPrevOn{kAppSection, "PrevOn", 0};
inline constexpr IntKey kSlideType{kAppSection, "Type", 0};
inline constexpr IntKey kSlideSpeed{kAppSection, "Speed", 0};
inline constexpr IntKey kSlideSize{kAppSection, "Size", 0};
inline constexpr IntKey kCaptureApplication{kCaptureSection, "Application", 1};
inline constexpr IntKey kCaptureTime{kCaptureSection, "Time", 5};
// The drawing tools' font, colour and pen. The height of a chosen font is
// negative, so it is kept as signed text.
inline constexpr StringKey kToolFont{kToolSection, "Font", "", 30};
inline constexpr StringKey kToolHeight{kToolSection, "Height", "", 16};
inline constexpr IntKey kToolWidth{kToolSection, "Width", 0};
inline constexpr IntKey kToolWeight{kToolSection, "Weight", 0};
inline constexpr IntKey kToolItalic{kToolSection, "Italic", 0};
inline constexpr IntKey kToolColor{kToolSection, "Color", 0};
inline constexpr IntKey kToolPenSize{kToolSection, "PenSize", 5};

// Integers that may be negative (the calendar's font heights): written as
// signed decimal text and read with their sign, so that a stored -64 comes
// back as -64 (an unsigned key would store it as 0).
struct SignedKey {
  std::string_view section;
  std::string_view key;
  int def;
};

int Read(SettingsStore& s, const IntKey& k);
int Read(SettingsStore& s, const SignedKey& k);
std::string Read(SettingsStore& s, const StringKey& k);
// Integers are stored as decimal text without sign; negative values are
// stored as 0.
void Write(SettingsStore& s, const IntKey& k, int value);
void Write(SettingsStore& s, const SignedKey& k, int value);
void Write(SettingsStore& s, const StringKey& k, std::string_view value);
// The value of signed decimal text: an optional "-", then the leading
// digits (0 without any), held within the range of int.
int SignedValue(std::string_view text);

// Toolbar and status bar at start-up. Only the pairs (Tool, Status) =
// (0, 0), (0, 1) and (1, 0) show a bar; any other pair shows neither.
struct Bars {
  bool toolbar = true;
  bool status_bar = true;
};
Bars BarsFromSwitches(int tool, int status);
Bars ReadBars(SettingsStore& s);
// The drawing-tool window is shown only for ToolBox 0.
bool ReadToolBoxShown(SettingsStore& s);
// Written back when the frame goes away.
void WriteVisibility(SettingsStore& s, bool toolbar, bool status_bar, bool toolbox);

// The folder a file dialog opens in: the stored one, or `current_folder`
// when none is stored.
std::string ReadLastFolder(SettingsStore& s, std::string_view current_folder);
// The folder to remember for a confirmed file dialog: the chosen name up to
// and including its last separator when it contains a "." (a file was
// chosen), otherwise the chosen text itself (a folder).
std::string LastFolderOf(std::string_view chosen);
void WriteLastFolder(SettingsStore& s, std::string_view chosen);

// Serial port name: "COM1" to "COM4" in any letter case (rewritten in upper
// case); anything else reads as "COM1".
std::string NormalisePortName(std::string_view stored);
std::string ReadPortName(SettingsStore& s);
void WritePortName(SettingsStore& s, std::string_view name);

// Line speed codes, the camera's own numbers, and their settings values.
namespace speed {
inline constexpr int k115200 = 0;
inline constexpr int k38400 = 1;
inline constexpr int k9600 = 2;
inline constexpr int k57600 = 3;
inline constexpr int k19200 = 13;
}  // namespace speed
// The code a stored "baudrate" number stands for; unknown numbers read as
// 38400 (code 1).
int SpeedCodeFromSetting(int stored);
// The settings text of a code ("1152", "384", "9600", "576", "192"); an
// unknown code gives that of 38400.
std::string_view SpeedSettingText(int code);
// Whether the stored number is one of the five known settings values.
bool IsKnownSpeedSetting(int stored);
int ReadSpeedCode(SettingsStore& s);
void WriteSpeedCode(SettingsStore& s, int code);

// Open-dialog preview box state as stored (0, 1 or 2; non-zero = preview).
int ReadPreviewState(SettingsStore& s);
void WritePreviewState(SettingsStore& s, int state);

// Screen capture: whether the application hides itself during the
// countdown (Application = 1), and the countdown in seconds, held within
// 1 to 30 so that a hand-edited 0 (or text, which reads as 0) still ends.
inline constexpr int kCaptureSecondsMin = 1;
inline constexpr int kCaptureSecondsMax = 30;
bool ReadCaptureHidesApp(SettingsStore& s);
int ReadCaptureSeconds(SettingsStore& s);
void WriteCapture(SettingsStore& s, bool hide_app, int seconds);

// Slide-show options. The show and its options dialog treat stored values
// outside the ranges differently: the show falls back to 1 for Size and 0
// for Speed and Type; the dialog to 0, 5 and 0.
struct SlideShowOptions {
  int size = 0;   // 0 fit the screen, 1 own size
  int speed = 0;  // 0 to 10
  int type = 0;   // 0 album order, 1 random
};
SlideShowOptions ReadSlideShowOptionsForShow(SettingsStore& s);
SlideShowOptions ReadSlideShowOptionsForDialog(SettingsStore& s);
void WriteSlideShowOptions(SettingsStore& s, const SlideShowOptions& o);

}  // namespace fq::settings
