// The application's message boxes: every failure and question the user sees
// goes through these, by its index in the tables of camera/messages.h.
// Each box is task-modal, captioned "Fotaquill", owned by the window with
// the keyboard focus, and restores the arrow cursor first so that a box
// shown in the middle of long work can be used.
#pragma once

#include <string_view>

#include "base/messages.h"

namespace fq::win {

// The error text of `index` with an error icon and OK; an index outside the
// table shows the undefined-message text. Returns the box's answer.
int ShowError(int index);

// A text of the caller's own (not in the table), shown like ShowError.
int ShowErrorText(std::string_view text);

// The question of `index` with Yes and No; returns IDYES or IDNO. An index
// outside the table shows the undefined-message text as an error and
// answers IDNO.
int AskYesNo(int index);

// The formatted delete question (index 0 only) with Yes, No and Cancel;
// returns IDYES, IDNO or IDCANCEL. Any other index shows the
// undefined-message text as an error and answers IDNO.
int AskYesNoCancel(int index, int number);

// Shows the message a camera result code maps to; codes without a message
// show nothing and return 0.
int ShowResult(int result_code);

// Shows the failure carried by a core result; nothing when it succeeded.
void ShowFailure(const Status& status);
template <class T>
void ShowFailure(const Result<T>& result) {
  if (!result.ok()) ShowError(result.message());
}

}  // namespace fq::win
