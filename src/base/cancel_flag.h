// The process-wide cancel request of long camera and coding work: set by the
// progress and status dialogs when the user asks to stop, read and cleared
// by the working loops between their steps. One thread only.
#pragma once

namespace fq {

bool CancelRequested();
void SetCancelRequested(bool on);

}  // namespace fq
