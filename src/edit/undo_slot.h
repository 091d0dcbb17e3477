// The single undo step of the picture editor: the picture as it was before
// the latest edit, in whichever window that edit was made, and the rules by
// which an undo (and the redo that a second undo is) changes the document.
// Windows are named by an opaque number here; the window layer passes its
// window handles.
#pragma once

#include <cstdint>

#include "image/image_record.h"

namespace fq::edit {

// Edit kinds kept by the slot. A rotation keeps its new angle (90, 180, 270
// or 360) as its kind.
inline constexpr int kEditNone = 0;
inline constexpr int kEditContent = 3;  // adjustment, drawing, calendar page
inline constexpr int kEditSize = 11;
bool IsRotationKind(int kind);

// The document's last-edit-kind after a quarter turn.
inline constexpr int kLastEditRight = 1;
inline constexpr int kLastEditLeft = 2;

// The accumulated rotation: right adds 90 and wraps above 360, left takes 90
// and wraps at 0 or below, so it stays one of 90, 180, 270, 360.
int TurnedRight(int rotation);
int TurnedLeft(int rotation);

// The fields of an image document an undo changes besides its picture.
struct UndoFields {
  int width = 0, height = 0;
  int rotation = 0;
  int last_edit_kind = 0;
  int adjustment_mode = 1;
  int edit_counter = 0;  // non-zero: modified (an undo after a save gives -1)
};

using WindowId = uintptr_t;

class UndoSlot {
 public:
  // After an edit has put its new picture into the document of `window`:
  // the slot frees what it kept and keeps `old_picture` with `kind`.
  void Record(WindowId window, ImageRecord old_picture, int kind);
  // A size change also keeps the size before it.
  void RecordSize(WindowId window, ImageRecord old_picture, int old_width, int old_height);

  // Whether an undo in `window` would do anything: it is the last edited
  // window and an edit is kept.
  bool Offers(WindowId window) const;

  // Undo (or redo after an undo) in `window`: exchanges `picture` with the
  // kept one and changes `doc` by the kept kind; the edit counter goes down
  // after an edit and up again after an undo. False, and nothing changed,
  // when the slot offers nothing for the window.
  bool Undo(WindowId window, ImageRecord& picture, UndoFields& doc);

  // The window is gone: what it kept is freed, so that a later window with
  // the same handle never gets it.
  void Forget(WindowId window);

  int kind() const { return kind_; }
  bool available() const { return available_; }
  bool undone() const { return undone_; }
  WindowId last_window() const { return window_; }
  const ImageRecord& kept() const { return kept_; }

 private:
  ImageRecord kept_;
  int kind_ = kEditNone;
  bool available_ = false;
  bool undone_ = false;
  int kept_width_ = 0, kept_height_ = 0;
  WindowId window_ = 0;
};

}  // namespace fq::edit
