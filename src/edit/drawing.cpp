#include "edit/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/settings.h"
#include "image/record_layout.h"

namespace fq::edit {
namespace {

constexpr std::string_view kPreferredFaces[] = {"Times New Roman", "Courier", "MS Sans Serif",
                                                "Arial", "Terminal"};
constexpr std::string_view kTerminalFace = "Terminal";
constexpr uint32_t kMaxColor = 0xFFFFFF;
constexpr int kColorTolerance = 10;
constexpr int kPointsPerInch = 72;

bool Plain24(const ImageRecord& r) {
  return ImageIsInfoForm(r) && ImageBitCount(r) == 24 && ImageCompression(r) == kBiRgb &&
         ImageHeight(r) > 0 && layout::ValidDimensions(ImageWidth(r), ImageHeight(r)) &&
         ImageHasAllRows(r);
}

// A signed decimal number at the start of a text; nothing without digits.
std::optional<int> SignedNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  const int magnitude = settings::LeadingDigits(text);
  return negative ? -magnitude : magnitude;
}

int HeightForFace(std::string_view face) {
  return face == kTerminalFace ? kTerminalFontHeight : kDefaultFontHeight;
}

}  // namespace

std::optional<std::string> PreferredFace(const FaceInstalled& installed) {
  for (std::string_view face : kPreferredFaces)
    if (installed && installed(face)) return std::string(face);
  return std::nullopt;
}

ToolSettings ReadToolSettings(settings::SettingsStore& store, const FaceInstalled& installed) {
  ToolSettings t;
  const std::string face = settings::Read(store, settings::kToolFont);
  const auto height = SignedNumber(settings::Read(store, settings::kToolHeight));
  const int width = settings::Read(store, settings::kToolWidth);
  const int color = settings::Read(store, settings::kToolColor);
  const int pen = settings::Read(store, settings::kToolPenSize);
  if (!face.empty() && installed && installed(face) && height && *height != 0 && width == 0) {
    t.font = ToolFont{face, *height, 0, settings::Read(store, settings::kToolWeight),
                      settings::Read(store, settings::kToolItalic) != 0};
    t.color = static_cast<uint32_t>(color) <= kMaxColor ? static_cast<uint32_t>(color) : 0;
    t.pen_width = pen >= kPenWidthMin && pen <= kPenWidthMax ? pen : kPenWidthDefault;
    return t;
  }
  if (auto preferred = PreferredFace(installed))
    t.font = ToolFont{*preferred, HeightForFace(*preferred), 0, 0, false};
  return t;  // black, pen width 5
}

void WriteToolFont(settings::SettingsStore& store, const ToolFont& font, uint32_t color) {
  settings::Write(store, settings::kToolFont, font.face.substr(0, kFaceNameChars));
  settings::Write(store, settings::kToolHeight, std::to_string(font.height));
  settings::Write(store, settings::kToolWidth, font.width);
  settings::Write(store, settings::kToolWeight, font.weight);
  settings::Write(store, settings::kToolItalic, font.italic ? 1 : 0);
  settings::Write(store, settings::kToolColor, static_cast<int>(std::min(color, kMaxColor)));
}

void WritePenWidth(settings::SettingsStore& store, int pen_width) {
  settings::Write(store, settings::kToolPenSize, std::clamp(pen_width, kPenWidthMin, kPenWidthMax));
}

int PenWidthFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty() || text[0] < '0' || text[0] > '9') return kPenWidthDefault;
  return std::clamp(settings::LeadingDigits(text), kPenWidthMin, kPenWidthMax);
}

TextVerdict JudgeText(std::string_view text) {
  if (text.empty()) return TextVerdict::kEmpty;
  if (text.size() > kMaxTextLetters) return TextVerdict::kTooLong;
  return TextVerdict::kAccepted;
}

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  lines.push_back(line);
  return lines;
}

TextBoxSize TextBox(int widest_without_last, int last_char_width, int lines, int char_height,
                    bool italic) {
  const double f = italic ? 1.5 : 1.0;
  return {widest_without_last + static_cast<int>(std::trunc(f * last_char_width)),
          lines * char_height};
}

int KeepBoxInside(int pos, int box, int client, int zoomed_picture) {
  if (zoomed_picture >= client) return pos;
  const int margin = (client - zoomed_picture) / 2;
  const int far = margin + zoomed_picture - box - 1;
  return std::max(margin, std::min(pos, far));
}

int WindowToPicture(int window_pos, int client, int picture, int scroll, int zoom) {
  const int zoomed = zoom * picture / 4;
  const int margin = client > zoomed ? (client - zoomed) / 2 : 0;
  return (window_pos - margin + scroll) * 4 / zoom;
}

int FixedFontHeight(int height, int dpi, int zoom) {
  if (dpi <= 0 || zoom <= 0) return height;
  const int points = std::abs(height) * kPointsPerInch / dpi * 4 / zoom;
  const int pixels = points * dpi / kPointsPerInch;
  return height < 0 ? -pixels : pixels;
}

Result<ImageRecord> MergeDrawing(const ImageRecord& base, const ImageRecord& drawing,
                                 std::span<const uint8_t> touched, uint32_t tool_color,
                                 bool eraser) {
  if (!Plain24(base) || !Plain24(drawing) || ImageWidth(base) != ImageWidth(drawing) ||
      ImageHeight(base) != ImageHeight(drawing))
    return Failure{err::kUnexpected};
  const int64_t w = ImageWidth(base), h = ImageHeight(base);
  if (touched.size() != static_cast<size_t>(w * h)) return Failure{err::kUnexpected};
  auto out = base.Clone();
  if (!out) return out;
  const int red = tool_color & 0xFF, green = (tool_color >> 8) & 0xFF, blue = (tool_color >> 16) & 0xFF;
  auto near = [](int a, int b) { return std::abs(a - b) <= kColorTolerance; };
  const uint64_t stride = ImageRowStride(w, 24);
  const uint8_t* from = ImageBits(drawing);
  uint8_t* to = ImageBits(*out);
  for (int64_t y = 0; y < h; ++y) {
    for (int64_t x = 0; x < w; ++x) {
      if (!touched[y * w + x]) continue;
      const uint8_t* p = from + y * stride + 3 * x;
      const bool tool = near(p[0], blue) && near(p[1], green) && near(p[2], red);
      const bool white = eraser && p[0] == 255 && p[1] == 255 && p[2] == 255;
      if (tool || white) std::memcpy(to + y * stride + 3 * x, p, 3);
    }
  }
  return out;
}

}  // namespace fq::edit
