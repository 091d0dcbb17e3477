// Exif in the command-line tool: the Image Information fields of a picture
// file, and JPEG output written the way Save As writes it.
#pragma once

#include <string>

#include "base/messages.h"
#include "image/image_record.h"

namespace fqtool {

// Prints the fields of the Image Information dialog (dates as stored, the
// file's last-write time where the dialog shows file times; no creation
// time, which the tool cannot learn portably). Returns the exit status.
int PrintImageInformation(const std::string& path);

// Encodes the picture and adds the generated Exif segment with its
// thumbnail; a failure's box text is printed on stderr.
fq::Status SaveJpegAs(const std::string& path, const fq::ImageRecord& record, int quality,
                      const std::string& sampling);

}  // namespace fqtool
