// JPEG in the command-line tool: reading and writing through the core's
// codings, the quality names of the Save commands, and the header report.
#pragma once

#include <string>

#include "base/messages.h"
#include "image/image_record.h"

namespace fqtool {

// "standard", "low", "high" or a number 1..100.
bool ParseJpegQuality(const std::string& text, int& quality);

fq::Result<fq::ImageRecord> LoadJpegPicture(const std::string& path);
fq::Status SaveJpegPicture(const std::string& path, const fq::ImageRecord& record, int quality,
                           const std::string& sampling);

// Prints width, height, components and sampling factors; returns the exit
// status.
int PrintJpegInfo(const std::string& path);

}  // namespace fqtool
