#include "edit/win/undo.h"

#include <cstdlib>
#include <utility>

#include "base/win/frame_link.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

constexpr char kUndoQuestion[] = "Back before photo image. Really?";
constexpr char kUndoCaption[] = "Undo Check Message";

edit::UndoSlot g_slot;
UndoExchange g_exchange;  // beside the kept picture, for edits that keep more

edit::WindowId IdOf(HWND window) { return reinterpret_cast<edit::WindowId>(window); }

edit::UndoFields FieldsOf(const ImageDocument& doc) {
  return {doc.width, doc.height, doc.rotation, doc.last_edit_kind, doc.adjustment_mode,
          doc.edit_counter};
}

void SetFields(ImageDocument& doc, const edit::UndoFields& f) {
  doc.width = f.width;
  doc.height = f.height;
  doc.rotation = f.rotation;
  doc.last_edit_kind = f.last_edit_kind;
  doc.adjustment_mode = f.adjustment_mode;
  doc.edit_counter = f.edit_counter;
}

void EmptyStatusParts() {
  for (int part = 1; part <= 4; ++part) Frame().SetStatusText(part, "", false);
}

}  // namespace

void RecordUndo(HWND window, ImageRecord old_picture, int edit_kind, UndoExchange exchange) {
  if (edit_kind == edit::kEditSize) {
    const int w = ImageWidth(old_picture), h = std::abs(ImageHeight(old_picture));
    g_slot.RecordSize(IdOf(window), std::move(old_picture), w, h);
  } else {
    g_slot.Record(IdOf(window), std::move(old_picture), edit_kind);
  }
  g_exchange = std::move(exchange);
}

bool CommitEdit(HWND window, ImageRecord picture, int edit_kind, UndoExchange exchange) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc || picture.empty()) return false;
  auto companions = MakeDisplayCompanions(window, picture);
  if (!companions) return false;
  const int old_w = doc->width, old_h = doc->height;
  std::swap(doc->picture, picture);  // `picture` is the old one from here
  AdoptPicture(*doc, std::move(*companions));
  RecordUndo(window, std::move(picture), edit_kind, std::move(exchange));
  ++doc->edit_counter;
  if (doc->width != old_w || doc->height != old_h) FitImageWindow(window);
  RefreshImageWindow(window);
  return true;
}

void UndoCommand(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  RestoreImageWindow(window);
  if (!g_slot.Offers(IdOf(window))) return;
  const auto selection = ShownSelection(window);
  const int answer = MessageBoxA(window, kUndoQuestion, kUndoCaption,
                                 MB_YESNO | MB_ICONWARNING | MB_TASKMODAL);
  if (answer != IDYES) {
    if (selection) ShowSelection(window, *selection);
    InvalidateRect(window, nullptr, FALSE);
    return;
  }
  // The kept picture's display first: when it cannot be made nothing changes.
  auto companions = MakeDisplayCompanions(window, g_slot.kept());
  if (!companions) return;
  const int kind = g_slot.kind();
  edit::UndoFields fields = FieldsOf(*doc);
  if (!g_slot.Undo(IdOf(window), doc->picture, fields)) return;
  SetFields(*doc, fields);
  AdoptPicture(*doc, std::move(*companions));
  if (kind == edit::kEditContent && g_exchange) g_exchange(window);
  FitImageWindow(window);
  ClearImageSelection(window);
  EmptyStatusParts();
  RefreshImageWindow(window);
}

bool UndoOffered(HWND window) { return g_slot.Offers(IdOf(window)); }

void ForgetUndo(HWND window) {
  if (g_slot.last_window() != IdOf(window)) return;
  g_slot.Forget(IdOf(window));
  g_exchange = nullptr;
}

const edit::UndoSlot& UndoSlotForTests() { return g_slot; }

}  // namespace fq::win
