#include "image/win/image_document.h"

#include <cstdlib>

#include "base/win/message_box.h"
#include "image/win/image_display.h"
#include "base/win/window_slots.h"

namespace fq::win {

ImageDocument* DocumentOf(HWND window) {
  if (!window) return nullptr;
  if (GetWindowLongPtrA(window, kKindSlot) != static_cast<LONG_PTR>(WindowKind::kImage))
    return nullptr;
  return reinterpret_cast<ImageDocument*>(GetWindowLongPtrA(window, kRecordSlot));
}

void AttachDocument(HWND window, ImageDocument* doc) {
  SetWindowLongPtrA(window, kRecordSlot, reinterpret_cast<LONG_PTR>(doc));
  SetWindowLongPtrA(window, kKindSlot,
                    static_cast<LONG_PTR>(doc ? WindowKind::kImage : WindowKind::kNone));
}

bool RebuildDisplay(HWND window, ImageDocument& doc) {
  auto copy = MakeDisplayCopy(window, doc.picture);
  if (!copy.ok()) {
    ShowFailure(copy);
    return false;
  }
  const ImageRecord& shown = copy->Or(doc.picture);
  auto palette = CreateImagePalette(shown);
  if (!palette.ok()) {
    ShowFailure(palette);
    return false;
  }
  auto bitmap = CreateDeviceBitmap(window, shown, palette->get());
  if (!bitmap.ok()) {
    ShowFailure(bitmap);
    return false;
  }
  doc.display_palette = std::move(*palette);
  doc.device_bitmap = std::move(*bitmap);
  return true;
}

bool ReplacePicture(HWND window, ImageDocument& doc, ImageRecord picture) {
  doc.picture = std::move(picture);
  doc.compression = ImageCompression(doc.picture);
  doc.bit_count = ImageBitCount(doc.picture);
  doc.width = ImageWidth(doc.picture);
  doc.height = std::abs(ImageHeight(doc.picture));  // top-down records count too
  return RebuildDisplay(window, doc);
}

std::optional<DisplayCompanions> MakeDisplayCompanions(HWND window, const ImageRecord& picture) {
  auto copy = MakeDisplayCopy(window, picture);
  if (!copy.ok()) {
    ShowFailure(copy);
    return std::nullopt;
  }
  const ImageRecord& shown = copy->Or(picture);
  auto palette = CreateImagePalette(shown);
  if (!palette.ok()) {
    ShowFailure(palette);
    return std::nullopt;
  }
  auto bitmap = CreateDeviceBitmap(window, shown, palette->get());
  if (!bitmap.ok()) {
    ShowFailure(bitmap);
    return std::nullopt;
  }
  return DisplayCompanions{std::move(*palette), std::move(*bitmap)};
}

void AdoptPicture(ImageDocument& doc, DisplayCompanions companions) {
  doc.compression = ImageCompression(doc.picture);
  doc.bit_count = ImageBitCount(doc.picture);
  doc.width = ImageWidth(doc.picture);
  doc.height = std::abs(ImageHeight(doc.picture));
  doc.display_palette = std::move(companions.palette);
  doc.device_bitmap = std::move(companions.bitmap);
}

int NextUntitledNumber() {
  static int counter = 1;
  return counter++;
}

}  // namespace fq::win

namespace fq::win {

HWND FindImageWindow(HWND mdi_client, const std::string& path, HWND except) {
  for (HWND h = GetWindow(mdi_client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == except) continue;
    const ImageDocument* doc = DocumentOf(h);
    if (doc && lstrcmpiA(doc->path.c_str(), path.c_str()) == 0) return h;
  }
  return nullptr;
}

std::string FileNameOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderPartOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace fq::win
