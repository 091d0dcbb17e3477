// The arithmetic of the image window that needs no window system: zoom
// steps and the title, the first zoom for a picture, scroll ranges, the
// mapping from client points to picture points, and how Save As decides the
// save kind and final name from what the user typed and chose.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fq::view {

// Zoom in quarters: 1, 2, 4, 8, 16 (25 % to 400 %).
inline constexpr int kZoomQuarters[] = {1, 2, 4, 8, 16};
inline constexpr int kDefaultZoom = 4;
// The View command of a zoom and back; nothing for anything else.
std::optional<int> ZoomForCommand(int command_id);
std::optional<int> CommandForZoom(int zoom);
// Zoom values that are not one of the five read as 100 %.
int ValidZoom(int zoom);

// "name [50%]", with "*" after the name while modified.
std::string WindowTitle(std::string_view display_name, int zoom, bool modified);

// 100 % when the picture fits the client area both ways; otherwise 25 % when
// it is more than twice the client area in one direction, else 50 %.
int InitialZoom(int width, int height, int client_width, int client_height);

// The zoomed extent of a picture side.
inline int Zoomed(int size, int zoom) { return size * zoom / 4; }

// Scroll ranges for a zoomed picture in a client area whose size is given
// without scroll bars (`full_*`), with `bar_*` the bars' thickness.
struct ScrollRanges {
  int horizontal = 0, vertical = 0;
};
ScrollRanges ComputeScrollRanges(int zoomed_width, int zoomed_height, int full_width,
                                 int full_height, int bar_width, int bar_height);

// Offset of the zoomed picture centred in a client extent (0 when larger).
inline int CentringOffset(int client, int zoomed) {
  return client > zoomed ? (client - zoomed) / 2 : 0;
}
// The picture coordinate of a client coordinate: with s = zoom / 4,
// c / s - centring offset in picture units + scroll / s, clamped to 0..size.
int PicturePoint(int client_pos, int client_size, int picture_size, int scroll_pos, int zoom);
// The client coordinate of a picture coordinate (the inverse of the above).
int ClientPoint(int picture_pos, int client_size, int picture_size, int scroll_pos, int zoom);

// Save kinds of the image window.
enum SaveKind : int {
  kSaveCalendar = 2,
  kSaveJpegStandard = 11,
  kSaveJpegLow = 12,
  kSaveJpegHigh = 13,
  kSaveBmpFull = 14,
  kSaveBmp256 = 15,
};
// Source kinds of a picture.
enum SourceKind : int { kSourceBmp = 1, kSourceJpeg = 2, kSourceCalendar = 4 };

inline bool IsJpegKind(int kind) { return kind >= kSaveJpegStandard && kind <= kSaveJpegHigh; }
int DefaultSaveKind(int source_kind, int bit_count);
// ".jpg" or ".bmp" for a save kind.
std::string_view ExtensionFor(int save_kind);

// The save kind and the final file name for a name typed in the Save As
// dialog with the type of `chosen_kind` (11 to 15): a name ending in ".jpg"
// or ".bmp" (any case) keeps its name and decides JPEG or BMP (a mismatch
// with the type gives JPEG low quality or full-colour BMP); any other name
// gets the type's extension appended and the type's kind.
struct SaveChoice {
  int kind = kSaveJpegStandard;
  std::string path;
};
SaveChoice DecideSaveKind(std::string_view name, int chosen_kind);

// The name with its extension replaced by (or, without one, followed by)
// `extension`: what the name field shows after the type changes.
std::string WithExtension(std::string_view name, std::string_view extension);

}  // namespace fq::view
