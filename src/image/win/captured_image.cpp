#include "image/win/captured_image.h"

#include <cstdio>
#include <memory>
#include <string>

#include "base/paths.h"
#include "base/settings.h"
#include "image/image_view.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {

HWND OpenCapturedImage(HWND mdi_client, ImageRecord picture) {
  if (!mdi_client || picture.empty()) return nullptr;
  auto doc = std::make_unique<ImageDocument>();
  doc->width = ImageWidth(picture);
  doc->height = ImageHeight(picture);
  doc->compression = ImageCompression(picture);
  doc->bit_count = ImageBitCount(picture);
  doc->picture = std::move(picture);
  doc->source_kind = view::kSourceJpeg;
  doc->zoom = view::kDefaultZoom;
  char name[32];
  std::snprintf(name, sizeof name, "Untitled %d", NextUntitledNumber());
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  const std::string folder = settings::ReadLastFolder(settings::Store(), current);
  doc->display_name = name;
  doc->path = paths::JoinPath(folder, name);
  doc->folder = FolderPartOf(doc->path);
  doc->untitled = true;
  doc->edit_counter = 1;
  return CreateDocumentWindow(mdi_client, std::move(doc));
}

}  // namespace fq::win
