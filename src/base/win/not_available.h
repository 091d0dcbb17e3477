// What a command shows while the part of the program that carries it out
// is not yet built: one plain notice, so the user knows nothing happened.
#pragma once

namespace fq::win {

void ShowNotAvailable();

}  // namespace fq::win
