// The drawing tools' state, shared by the tool window and its dialogs
// (tool_window.cpp) and the work in the image window (drawing_tools.cpp).
// One set for the application, on the user-interface thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "edit_res.h"
#include "image/image_record.h"

namespace fq::win::tools {

inline constexpr int kSelect = IDC_TOOL_SELECT;
inline constexpr int kText = IDC_TOOL_TEXT;
inline constexpr int kPen = IDC_TOOL_PEN;
inline constexpr int kEraser = IDC_TOOL_ERASER;
inline constexpr int kOptions = IDC_TOOL_OPTIONS;

// A picture-size 24-bit bitmap the tools draw into, rows bottom-up as in an
// image record, with its memory device context.
class Canvas {
 public:
  Canvas() = default;
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  // False when the system cannot give the memory.
  bool Create(int width, int height);
  HDC dc() const { return dc_; }
  uint8_t* bits() const { return static_cast<uint8_t*>(bits_); }
  int width() const { return width_; }
  int height() const { return height_; }
  size_t stride() const { return (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3}; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

// What the pen, the eraser or a text being fixed drew on one window's
// picture: the picture with the drawing, the pixels touched, and the
// picture as it was (24 bits) to merge into.
struct Surface {
  HWND window = nullptr;
  Canvas drawing;
  Canvas touched;  // black; white where a stroke or the text went
  ImageRecord base;
  bool eraser = false;
  bool dirty = false;
};

struct State {
  HWND tool_window = nullptr;
  bool wanted = true;  // ToolBox = 0
  int tool = kSelect;
  std::optional<LOGFONTA> font;  // none: "Not setting font."
  COLORREF color = 0;
  int pen_width = 5;

  // The text being placed.
  std::string text;
  HWND text_window = nullptr;
  bool placed = false;
  POINT pos{10, 10};
  int lines = 0, widest_without_last = 0, last_char_width = 0, char_height = 0;
  bool moving = false;
  POINT grab{};
  DWORD last_press = 0;
  bool last_press_inside = false;

  // Strokes not yet fixed.
  std::unique_ptr<Surface> surface;
  bool stroking = false;
  POINT last{};  // picture coordinates of the last stroke point
};

State& S();

// The active MDI child when it is an image window.
HWND ActiveImageWindow();

// The tool font for the screen, or at a height of its own.
HFONT CreateToolFont(int height = 0);

// Measures the pending text in the tool font on the text's window.
void MeasureText();

// Text and strokes.
void DropText();
bool FixText();
void FixStrokes();
int AskFix();

// The text input dialog on the active image window (OK, Cancel and the
// messages as the tool defines them) and the options dialog.
void RunTextInput(HWND owner);
void RunOptions(HWND owner);

// The tool window (hidden), owned by the frame, with the stored font,
// colour and pen width.
void CreateToolWindow(HWND frame);
// The tool window follows the current tool.
void RefreshToolWindow();

}  // namespace fq::win::tools
