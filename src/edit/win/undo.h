// The program's one undo step, for every edit of a picture in an image
// window (adjustment, size, rotation, drawing, calendar pages), and the
// Undo command. The rules are in edit/undo_slot.h; this keeps the slot for
// the whole run and applies an undo to a window.
#pragma once

#include <windows.h>

#include <functional>

#include "edit/undo_slot.h"
#include "image/image_record.h"

namespace fq::win {

// Data an edit changed beside the picture (the schedule of a calendar page):
// called with the window on every undo and every redo of that edit, it
// exchanges what it holds with what the window's record holds now.
using UndoExchange = std::function<void(HWND window)>;

// Called after an edit has put its new picture into the document of
// `window`: the previously kept picture is freed, `old_picture` is kept with
// `edit_kind` (edit::kEditContent, edit::kEditSize or a rotation angle) and
// `window` becomes the last edited window. A size change keeps the size of
// `old_picture` as the size to go back to.
void RecordUndo(HWND window, ImageRecord old_picture, int edit_kind, UndoExchange exchange = {});

// The whole road of an edit: the display of `picture` is made first, so that
// a failure (reported here) changes nothing; then `picture` becomes the
// document's, the old one goes to RecordUndo, the edit counter grows by one
// and the window shows the change (resized for its zoom when the picture's
// size changed). False when nothing changed.
bool CommitEdit(HWND window, ImageRecord picture, int edit_kind, UndoExchange exchange = {});

// The Undo command (178) in `window`: after the user confirms, the window's
// picture and the kept one change places (a second Undo redoes). Nothing
// happens outside the last edited window.
void UndoCommand(HWND window);

// Whether Undo would do something in `window` (the menu reads it).
bool UndoOffered(HWND window);

// The window is being destroyed: what it kept is freed, so that no later
// window that gets the same handle is ever offered it.
void ForgetUndo(HWND window);

// The slot itself, for tests of the Win32 layer.
const edit::UndoSlot& UndoSlotForTests();

}  // namespace fq::win
