#include "edit/undo_slot.h"

#include <utility>

namespace fq::edit {

bool IsRotationKind(int kind) { return kind == 90 || kind == 180 || kind == 270 || kind == 360; }

int TurnedRight(int rotation) {
  rotation += 90;
  return rotation > 360 ? rotation - 360 : rotation;
}

int TurnedLeft(int rotation) {
  rotation -= 90;
  return rotation <= 0 ? rotation + 360 : rotation;
}

void UndoSlot::Record(WindowId window, ImageRecord old_picture, int kind) {
  kept_ = std::move(old_picture);
  kind_ = kind;
  available_ = true;
  undone_ = false;
  window_ = window;
}

void UndoSlot::RecordSize(WindowId window, ImageRecord old_picture, int old_width,
                          int old_height) {
  Record(window, std::move(old_picture), kEditSize);
  kept_width_ = old_width;
  kept_height_ = old_height;
}

bool UndoSlot::Offers(WindowId window) const {
  return window != 0 && window == window_ && kind_ != kEditNone && !kept_.empty();
}

bool UndoSlot::Undo(WindowId window, ImageRecord& picture, UndoFields& doc) {
  if (!Offers(window)) return false;
  std::swap(picture, kept_);
  if (IsRotationKind(kind_)) {
    std::swap(doc.width, doc.height);
    if (doc.last_edit_kind == kLastEditRight) {
      doc.rotation = TurnedLeft(doc.rotation);
      doc.last_edit_kind = kLastEditLeft;
    } else if (doc.last_edit_kind == kLastEditLeft) {
      doc.rotation = TurnedRight(doc.rotation);
      doc.last_edit_kind = kLastEditRight;
    }
  } else if (kind_ == kEditContent) {
    doc.adjustment_mode = doc.adjustment_mode == 0 ? 1 : 0;
  } else if (kind_ == kEditSize) {
    std::swap(doc.width, kept_width_);
    std::swap(doc.height, kept_height_);
  }
  if (undone_) {
    ++doc.edit_counter;
    undone_ = false;
  } else {
    --doc.edit_counter;
    undone_ = true;
  }
  return true;
}

void UndoSlot::Forget(WindowId window) {
  if (window == 0 || window != window_) return;
  *this = UndoSlot{};
}

}  // namespace fq::edit
