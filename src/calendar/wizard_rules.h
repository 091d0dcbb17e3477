// The wizard's rules that need no window: what a typed year or month field
// keeps, whether the date is valid, and which message page 2 shows.
#pragma once

#include <string>
#include <string_view>

namespace fq::cal {

// The leading digits of a typed field, at most `max_digits` of them.
std::string KeepLeadingDigits(std::string_view typed, size_t max_digits);

// The field's number when it is one in [low, high], else -1.
int FieldNumber(std::string_view text, int low, int high);

// The message of page 2 for the picture and date checks; empty when both
// pass.
std::string_view PictureDateMessage(bool picture_valid, bool date_valid, bool monthly);

}  // namespace fq::cal
