#include "image/image_view.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace fq::view {
namespace {

constexpr int kFirstZoomCommand = 171;  // " &25% Size"; the next four follow

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), s.end() - tail.size(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

// A name has an extension when its final "." has exactly three characters
// after it and the name is longer than four characters. A dot of a typed
// folder ("sub.d\\pic") is not one: the three characters hold no separator.
bool HasExtension(std::string_view name) {
  if (name.size() <= 4 || name[name.size() - 4] != '.') return false;
  return name.substr(name.size() - 3).find_first_of("./\\") == std::string_view::npos;
}

}  // namespace

std::optional<int> ZoomForCommand(int command_id) {
  int i = command_id - kFirstZoomCommand;
  if (i < 0 || i >= 5) return std::nullopt;
  return kZoomQuarters[i];
}

std::optional<int> CommandForZoom(int zoom) {
  for (int i = 0; i < 5; ++i)
    if (kZoomQuarters[i] == zoom) return kFirstZoomCommand + i;
  return std::nullopt;
}

int ValidZoom(int zoom) { return CommandForZoom(zoom) ? zoom : kDefaultZoom; }

std::string WindowTitle(std::string_view display_name, int zoom, bool modified) {
  char percent[32];
  std::snprintf(percent, sizeof percent, " [%d%%]", ValidZoom(zoom) * 100 / 4);
  std::string t(display_name);
  if (modified) t += '*';
  return t + percent;
}

int InitialZoom(int width, int height, int client_width, int client_height) {
  if (width <= client_width && height <= client_height) return 4;
  double rw = client_width > 0 ? double(width) / client_width : 1e9;
  double rh = client_height > 0 ? double(height) / client_height : 1e9;
  return std::max(rw, rh) > 2.0 ? 1 : 2;
}

ScrollRanges ComputeScrollRanges(int zw, int zh, int full_w, int full_h, int bar_w, int bar_h) {
  bool need_h = zw > full_w;
  bool need_v = zh > full_h;
  if (!need_h && !need_v) return {};
  // One bar takes room from the other direction, which may then need its own.
  if (need_h && !need_v) need_v = zh > full_h - bar_h;
  if (need_v && !need_h) need_h = zw > full_w - bar_w;
  ScrollRanges r;
  r.horizontal = need_h ? std::max(0, zw - full_w + (need_v ? bar_w : 0)) : 0;
  r.vertical = need_v ? std::max(0, zh - full_h + (need_h ? bar_h : 0)) : 0;
  return r;
}

int PicturePoint(int client_pos, int client_size, int picture_size, int scroll_pos, int zoom) {
  zoom = ValidZoom(zoom);
  // In picture units: c / s with s = zoom / 4, i.e. c * 4 / zoom.
  int offset = std::max(0, (client_size * 4 / zoom - picture_size) / 2);
  int p = client_pos * 4 / zoom - offset + scroll_pos * 4 / zoom;
  return std::clamp(p, 0, std::max(0, picture_size));
}

int ClientPoint(int picture_pos, int client_size, int picture_size, int scroll_pos, int zoom) {
  zoom = ValidZoom(zoom);
  int offset = std::max(0, (client_size * 4 / zoom - picture_size) / 2);
  return (picture_pos + offset) * zoom / 4 - scroll_pos;
}

int DefaultSaveKind(int source_kind, int bit_count) {
  if (source_kind == kSourceJpeg) return kSaveJpegStandard;
  if (source_kind == kSourceCalendar) return kSaveCalendar;
  return bit_count == 24 ? kSaveBmpFull : kSaveBmp256;
}

std::string_view ExtensionFor(int save_kind) {
  if (IsJpegKind(save_kind)) return ".jpg";
  if (save_kind == kSaveCalendar) return ".cal";
  return ".bmp";
}

SaveChoice DecideSaveKind(std::string_view name, int chosen_kind) {
  const bool chosen_jpeg = IsJpegKind(chosen_kind);
  if (EndsWithNoCase(name, ".jpg") && name.size() > 4)
    return {chosen_jpeg ? chosen_kind : kSaveJpegLow, std::string(name)};
  if (EndsWithNoCase(name, ".bmp") && name.size() > 4)
    return {chosen_jpeg ? kSaveBmpFull : chosen_kind, std::string(name)};
  return {chosen_kind, std::string(name) + std::string(ExtensionFor(chosen_kind))};
}

std::string WithExtension(std::string_view name, std::string_view extension) {
  std::string_view stem = HasExtension(name) ? name.substr(0, name.size() - 4) : name;
  return std::string(stem) + std::string(extension);
}

}  // namespace fq::view
