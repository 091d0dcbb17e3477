// fqtool camera put|delete|clock|detect (camera_ops.cpp).
#pragma once

#include <string>
#include <vector>

namespace fqtool {

bool IsCameraOperation(const std::string& word);
// 0 when every file was sent or picture deleted (detect: a camera found),
// 1 otherwise, 2 on a wrong command line.
int CameraOperation(const std::vector<std::string>& args);

}  // namespace fqtool
