// The drawing tools' arithmetic: the stored tool font and colour, the text
// the text tool accepts, the placed text's box, the way window points and
// font heights become picture ones when a drawing is fixed, and the merge
// that takes only the pixels the tools touched.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "base/settings_store.h"
#include "image/image_record.h"

namespace fq::edit {

// --- Tool settings ------------------------------------------------------

inline constexpr int kPenWidthMin = 1;
inline constexpr int kPenWidthMax = 30;
inline constexpr int kPenWidthDefault = 5;
inline constexpr int kDefaultFontHeight = -24;
inline constexpr int kTerminalFontHeight = -23;
inline constexpr size_t kFaceNameChars = 29;

// The font and colours of the tools, as a logical font's fields.
struct ToolFont {
  std::string face;
  int height = kDefaultFontHeight;
  int width = 0;
  int weight = 0;
  bool italic = false;
  friend bool operator==(const ToolFont&, const ToolFont&) = default;
};
struct ToolSettings {
  std::optional<ToolFont> font;  // none when no face could be had
  uint32_t color = 0;            // 0x00BBGGRR
  int pen_width = kPenWidthDefault;
  friend bool operator==(const ToolSettings&, const ToolSettings&) = default;
};

// Whether a face is an installed raster or TrueType family (the window
// layer asks the system).
using FaceInstalled = std::function<bool(std::string_view face)>;

// The first installed of "Times New Roman", "Courier", "MS Sans Serif",
// "Arial", "Terminal"; nothing when none is.
std::optional<std::string> PreferredFace(const FaceInstalled& installed);

// The stored tool settings: the stored font only when its face is
// installed, its height non-zero and its width 0; otherwise the preferred
// face at -24 (-23 for "Terminal"), width 0, colour black and pen width 5.
// A colour above 0xFFFFFF reads as black; a pen width outside 1..30 as 5.
ToolSettings ReadToolSettings(settings::SettingsStore& store, const FaceInstalled& installed);
// Font and colour (after the options dialog's OK); the pen width apart.
void WriteToolFont(settings::SettingsStore& store, const ToolFont& font, uint32_t color);
void WritePenWidth(settings::SettingsStore& store, int pen_width);

// The pen width typed into the options dialog: its leading digits held to
// 1..30; no digits give the default.
int PenWidthFromText(std::string_view text);

// --- Text ---------------------------------------------------------------

inline constexpr size_t kMaxTextLetters = 300;
inline constexpr size_t kTextReadLetters = 309;
inline constexpr std::string_view kTooLongText =
    "Entered text has exceeded 300 letters.\nPlease input again.";
inline constexpr std::string_view kNoFontText = "Not setting font.";
inline constexpr std::string_view kFixQuestion =
    "Once the fixing operation is done, no correction,\nmove nor delete is available. Are you "
    "sure?\nChoose [YES] to fix, [NO] to correct, [CANCEL] to stop input.";
inline constexpr std::string_view kFixCaption = "Message";

enum class TextVerdict { kEmpty, kTooLong, kAccepted };
TextVerdict JudgeText(std::string_view text);

// The lines of a text (separated by carriage return and line feed, or a
// lone line feed).
std::vector<std::string> TextLines(std::string_view text);

// The dotted frame of a placed text: the widest line without its last
// character plus f times that character (f = 1.5 for italic, 1 otherwise),
// and lines × character height.
struct TextBoxSize {
  int width = 0, height = 0;
};
TextBoxSize TextBox(int widest_without_last, int last_char_width, int lines, int char_height,
                    bool italic);

// The box position kept inside the centred picture: between the margin and
// margin + zoomed picture − box − 1 on each axis, when the zoomed picture is
// smaller than the client area (otherwise unchanged).
int KeepBoxInside(int pos, int box, int client, int zoomed_picture);

// --- Fixing -----------------------------------------------------------------

// A window coordinate as a picture coordinate: less the centring margin
// (when the zoomed picture is smaller than the client), plus the scroll
// position, times 4 / zoom.
int WindowToPicture(int window_pos, int client, int picture, int scroll, int zoom);

// The font height that keeps its apparent size on the picture: through
// points at the screen's dots per inch, times 4 / zoom, truncating at each
// step; the sign is kept.
int FixedFontHeight(int height, int dpi, int zoom);

// The pen width on the picture-size surface.
inline int SurfacePenWidth(int pen_width, int zoom) { return pen_width * 4 / zoom; }

// The merge of a fix: a new 24-bit record of the base's size where a pixel
// comes from the drawing only when the tools touched it (`touched`, one
// byte per pixel, rows bottom-up) and its blue, green and red each lie
// within ±10 of the tool colour's, or, with the eraser, it is pure white;
// every other pixel, and the row padding, is the base's. `base` and
// `drawing` are plain 24-bit pictures of one size.
// Failures: kUnexpected (sizes differ), kMemory.
Result<ImageRecord> MergeDrawing(const ImageRecord& base, const ImageRecord& drawing,
                                 std::span<const uint8_t> touched, uint32_t tool_color,
                                 bool eraser);

}  // namespace fq::edit
