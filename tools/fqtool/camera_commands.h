// fqtool camera identify|list --port DEV [--speed BPS]
#pragma once

#include <string>
#include <vector>

namespace fqtool {

// Connects to the camera on a serial device as "Data in" does, prints its
// type (and for "list" its pictures), and ends the connection. 0 on
// success, 1 on a camera failure, 2 on a wrong command line.
int CameraCommand(const std::vector<std::string>& args);

}  // namespace fqtool
