// fqtool calendar: the calendar file and page from the command line.
#pragma once

#include <string>
#include <vector>

namespace fqtool {

// info, render, photo and make; the exit code.
int RunCalendarCommand(const std::vector<std::string>& args);

}  // namespace fqtool
