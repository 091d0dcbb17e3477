// Drawing on a printer page: its printable area, pictures reduced to the
// size they are printed at, and caption texts.
#pragma once

#include <windows.h>

#include <string>

#include "image/image_record.h"
#include "output/print_layout.h"

namespace fq::win {

// The printable area and resolution of the printer, and the width of "M"
// in its default font.
struct PrinterPage {
  print::Page page;
  int m_width = 0;
};
PrinterPage MeasurePrinterPage(HDC dc);

// `source` of the picture (top row 0) stretched into `dest` with the
// colour-on-colour mode. A part larger than its box is reduced to the box
// first, so the printer is sent no more pixels than it prints. False when
// the picture could not be prepared or drawn.
bool DrawPicture(HDC dc, const ImageRecord& picture, const print::Box& source, const print::Box& dest);

// One left-aligned line in the printer's default font, cut at the box.
void DrawCaption(HDC dc, const print::Box& box, const std::string& text);

// The printed date of a picture file: the Exif shooting date of a JPEG,
// else the file's creation date; empty when there is none.
std::string PictureDateText(const std::string& path);

}  // namespace fq::win
