#include "base/settings.h"

#include <algorithm>

#include "base/paths.h"

namespace fq::settings {

int Read(SettingsStore& s, const IntKey& k) { return s.ReadInt(k.section, k.key, k.def); }

std::string Read(SettingsStore& s, const StringKey& k) {
  return s.ReadString(k.section, k.key, k.def, k.size);
}

void Write(SettingsStore& s, const IntKey& k, int value) {
  s.WriteString(k.section, k.key, std::to_string(std::max(value, 0)));
}

int Read(SettingsStore& s, const SignedKey& k) {
  return SignedValue(s.ReadString(k.section, k.key, std::to_string(k.def), 16));
}

void Write(SettingsStore& s, const SignedKey& k, int value) {
  s.WriteString(k.section, k.key, std::to_string(value));
}

int SignedValue(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  const int v = LeadingDigits(text);
  return negative ? -v : v;
}

void Write(SettingsStore& s, const StringKey& k, std::string_view value) {
  s.WriteString(k.section, k.key, value);
}

Bars BarsFromSwitches(int tool, int status) {
  if (tool == 0 && status == 0) return {true, true};
  if (tool == 0 && status == 1) return {true, false};
  if (tool == 1 && status == 0) return {false, true};
  return {false, false};
}

Bars ReadBars(SettingsStore& s) { return BarsFromSwitches(Read(s, kTool), Read(s, kStatus)); }

bool ReadToolBoxShown(SettingsStore& s) { return Read(s, kToolBox) == 0; }

void WriteVisibility(SettingsStore& s, bool toolbar, bool status_bar, bool toolbox) {
  Write(s, kTool, toolbar ? 0 : 1);
  Write(s, kStatus, status_bar ? 0 : 1);
  Write(s, kToolBox, toolbox ? 0 : 1);
}

std::string ReadLastFolder(SettingsStore& s, std::string_view current_folder) {
  return s.ReadString(kDir.section, kDir.key, current_folder, kDir.size);
}

std::string LastFolderOf(std::string_view chosen) {
  if (chosen.find('.') == std::string_view::npos) return std::string(chosen);
  size_t sep = paths::LastSeparator(chosen);
  return sep == std::string_view::npos ? std::string() : std::string(chosen.substr(0, sep + 1));
}

void WriteLastFolder(SettingsStore& s, std::string_view chosen) {
  Write(s, kDir, LastFolderOf(chosen));
}

std::string NormalisePortName(std::string_view stored) {
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
  if (stored.size() == 4 && upper(stored[0]) == 'C' && upper(stored[1]) == 'O' &&
      upper(stored[2]) == 'M' && stored[3] >= '1' && stored[3] <= '4')
    return std::string("COM") + stored[3];
  return "COM1";
}

std::string ReadPortName(SettingsStore& s) { return NormalisePortName(Read(s, kCom)); }

void WritePortName(SettingsStore& s, std::string_view name) {
  Write(s, kCom, NormalisePortName(name));
}

namespace {
struct SpeedEntry {
  int code;
  int stored;
  std::string_view text;
};
constexpr SpeedEntry kSpeeds[] = {
    {speed::k115200, 1152, "1152"}, {speed::k38400, 384, "384"}, {speed::k9600, 9600, "9600"},
    {speed::k57600, 576, "576"},    {speed::k19200, 192, "192"},
};
}  // namespace

int SpeedCodeFromSetting(int stored) {
  for (const auto& e : kSpeeds)
    if (e.stored == stored) return e.code;
  return speed::k38400;
}

std::string_view SpeedSettingText(int code) {
  for (const auto& e : kSpeeds)
    if (e.code == code) return e.text;
  return "384";
}

bool IsKnownSpeedSetting(int stored) {
  return std::any_of(std::begin(kSpeeds), std::end(kSpeeds),
                     [&](const SpeedEntry& e) { return e.stored == stored; });
}

int ReadSpeedCode(SettingsStore& s) { return SpeedCodeFromSetting(Read(s, kBaudrate)); }

void WriteSpeedCode(SettingsStore& s, int code) {
  s.WriteString(kBaudrate.section, kBaudrate.key, SpeedSettingText(code));
}

int ReadPreviewState(SettingsStore& s) { return Read(s, kPrevOn); }
void WritePreviewState(SettingsStore& s, int state) { Write(s, kPrevOn, state); }

bool ReadCaptureHidesApp(SettingsStore& s) { return Read(s, kCaptureApplication) == 1; }

int ReadCaptureSeconds(SettingsStore& s) {
  return std::clamp(Read(s, kCaptureTime), kCaptureSecondsMin, kCaptureSecondsMax);
}

void WriteCapture(SettingsStore& s, bool hide_app, int seconds) {
  Write(s, kCaptureApplication, hide_app ? 1 : 0);
  Write(s, kCaptureTime, std::clamp(seconds, kCaptureSecondsMin, kCaptureSecondsMax));
}

namespace {
int InRange(int v, int lo, int hi, int outside) { return (v < lo || v > hi) ? outside : v; }
}  // namespace

SlideShowOptions ReadSlideShowOptionsForShow(SettingsStore& s) {
  return {InRange(Read(s, kSlideSize), 0, 1, 1), InRange(Read(s, kSlideSpeed), 0, 10, 0),
          InRange(Read(s, kSlideType), 0, 1, 0)};
}

SlideShowOptions ReadSlideShowOptionsForDialog(SettingsStore& s) {
  return {InRange(Read(s, kSlideSize), 0, 1, 0), InRange(Read(s, kSlideSpeed), 0, 10, 5),
          InRange(Read(s, kSlideType), 0, 1, 0)};
}

void WriteSlideShowOptions(SettingsStore& s, const SlideShowOptions& o) {
  Write(s, kSlideSize, o.size);
  Write(s, kSlideSpeed, o.speed);
  Write(s, kSlideType, o.type);
}

}  // namespace fq::settings
