// fqtool camera get --port DEV --folder DIR (--all | --range LIST | --new) [--speed BPS]
// fqtool camera thumbs --port DEV --folder DIR [--all | --range LIST] [--speed BPS]
#pragma once

#include <string>
#include <vector>

namespace fqtool {

// Copies pictures from the camera into DIR as the program's download does
// (the next free DSC numbers, movies made into AVI files), one line per
// saved file on stdout and the progress on stderr. LIST is as `camera list`
// prints the pictures: "1-5,7" (types 1 and 2), "101/1-4,102/7" (type 4:
// folder / file numbers). --new takes the pictures whose size and first
// block are not in DIR's record of earlier copies. Ctrl-C ends the
// connection after the picture in hand (no partial file). 0 when all were
// saved, 1 on a failure, 2 on a wrong command line.
int CameraGet(const std::vector<std::string>& args);

// Saves the thumbnails as the camera sends them (types 2 to 4), as
// "thumbN.jpg" (type 4: "thumbFFF-NNNN.jpg"); one line per file.
int CameraThumbs(const std::vector<std::string>& args);

}  // namespace fqtool
