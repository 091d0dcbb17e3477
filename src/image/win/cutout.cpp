#include "image/win/cutout.h"

#include <cstdio>
#include <memory>

#include "base/win/frame_link.h"
#include "base/win/message_box.h"
#include "edit/geometry.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {

void CutOutSelection(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  auto selection = ShownSelection(window);
  if (!doc || !selection) return;
  const edit::CutRect cut =
      edit::SnapCutout(selection->start.x, selection->start.y, selection->end.x, selection->end.y,
                       doc->zoom, doc->width, doc->height);
  if (cut.width <= 0 || cut.height <= 0) return;  // snapped to nothing: no window
  auto copy = edit::CopyRectangle(doc->picture, cut.left, cut.top, cut.width, cut.height);
  if (!copy) {
    ShowFailure(copy);
    return;
  }
  auto made = std::make_unique<ImageDocument>();
  made->picture = std::move(*copy);
  made->compression = ImageCompression(made->picture);
  made->bit_count = ImageBitCount(made->picture);
  made->width = cut.width;
  made->height = cut.height;
  made->source_kind = doc->source_kind;
  made->zoom = doc->zoom;
  char name[32];
  std::snprintf(name, sizeof name, "Untitled %d", NextUntitledNumber());
  made->display_name = name;
  made->folder = doc->folder;
  made->path = doc->folder + name;
  made->untitled = true;
  made->edit_counter = 1;
  CreateDocumentWindow(GetParent(window), std::move(made));
  // Image Cutout greyed, the selection's read-outs emptied.
  ClearImageSelection(window);
  for (int part = 2; part <= 4; ++part) Frame().SetStatusText(part, "", false);
}

}  // namespace fq::win
