// fqtool album commands:
//   fqtool album list FILE   the entries of an album file
#pragma once

#include <string>
#include <vector>

namespace fqtool {

// Runs `album` with the words after it; returns the exit code (0 done,
// 1 the album could not be read, 2 a wrong command line).
int RunAlbumCommand(const std::vector<std::string>& args);

}  // namespace fqtool
