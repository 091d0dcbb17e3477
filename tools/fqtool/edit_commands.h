// The picture editor from the command line: quarter turns, size change,
// adjustment (by hand or automatic) and cut-out, by the program's own rules.
//   fqtool edit IN OUT [--rotate right|left]... [--resize WxH]
//                [--adjust B,C,S,P] [--auto] [--cutout X0,Y0,X1,Y1 [--zoom Z]]
#pragma once

#include <string>
#include <vector>

namespace fqtool {

int EditCommand(const std::vector<std::string>& args);

}  // namespace fqtool
