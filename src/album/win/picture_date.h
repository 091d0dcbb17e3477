// The creation date of a file in local time, as the cells show it for
// pictures without a camera date.
#pragma once

#include <optional>
#include <string>

#include "album/album_date.h"

namespace fq::win {

std::optional<album::PictureDate> FileCreationDate(const std::string& path);

}  // namespace fq::win
