#include "output/win/output_commands.h"

#include "album/win/album_window.h"
#include "image/win/image_document.h"
#include "output/win/print_dialog.h"
#include "output/win/printing.h"

namespace fq::win {

void PrintCommand(HWND frame, HWND document_window) {
  const bool album = AlbumOf(document_window) != nullptr;
  const ImageDocument* doc = album ? nullptr : DocumentOf(document_window);
  const PrintKind kind = album ? PrintKind::kAlbum
                               : (doc && doc->calendar ? PrintKind::kCalendar : PrintKind::kImage);
  settings::PrintOptions options;
  if (!ShowPrintDialog(frame, kind, options)) return;
  if (album) {
    PrintAlbum(frame, document_window, options);
  } else {
    PrintImageDocument(frame, document_window, options);
  }
}

void PrintSetupCommand(HWND frame) { ShowPrintSetup(frame); }

}  // namespace fq::win
