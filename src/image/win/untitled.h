// The running number of untitled pictures ("Untitled %d"): cut-out
// pictures, pasted pictures and new calendar pages share it.
#pragma once

namespace fq::win {

// The next number, starting at 1.
int NextUntitledNumber();

}  // namespace fq::win
