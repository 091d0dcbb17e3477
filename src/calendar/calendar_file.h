// The calendar file: the 1530-byte record, then, when the page shows a
// photograph, that photograph as a complete BMP file at its own size. A
// file is self-contained: a calendar read from one takes its photograph
// from it, never from the path the record remembers.
#pragma once

#include <string>

#include "base/messages.h"
#include "calendar/calendar_record.h"
#include "image/image_record.h"

namespace fq::cal {

// At least 1530 bytes from the start and a first u32 of 131 or 132,
// whatever the name.
bool IsCalendarFile(const std::string& path);

// Reads and checks the record at the start of the file (ParseCalendarRecord).
// Failures: kFileCannotBeOpened, kFailedToReadFile.
Result<CalendarRecord> ReadCalendarRecord(const std::string& path);

// The photograph embedded in a calendar file (the BMP at offset 1530).
// Failures: kBmpCannotBeAllocated (no "BM" there or an unusable header),
// kFailedToReadFile, kFileCannotBeOpened, kMemory.
Result<ImageRecord> ReadCalendarPhoto(const std::string& calendar_path);

// The photograph of a page: from `own_file` (the calendar file the page was
// read from or last saved to) when there is one, else from FullPath (a BMP
// or JPEG file; JPEG is decoded through a temporary BMP). An empty FullPath
// fails with kFileCannotBeOpened.
Result<ImageRecord> LoadCalendarPhoto(const CalendarRecord& r, const std::string& own_file);

// The photograph as every page renderer draws it: 24 bits, uncompressed,
// with a 40-byte header (palette, run-length, core and mask forms converted).
// Failures: kMemory, kCreateBitmap, kUnexpected.
Result<ImageRecord> PhotoForDrawing(const ImageRecord& photo);

// Writes record and (when CheckImage is 0) photograph to `path`, beside it
// first: the old file is replaced only when the new one is whole. `photo`
// must be given when CheckImage is 0 (else kUnexpected). Failures:
// kFileCannotBeOpened, kDiskFull, kCannotCreateFile, kUnexpected.
Status WriteCalendarFile(const std::string& path, const CalendarRecord& r,
                         const ImageRecord* photo);

// Loads the photograph first (LoadCalendarPhoto), then writes: a photograph
// that cannot be had leaves the target untouched.
Status SaveCalendarFile(const std::string& path, const CalendarRecord& r,
                        const std::string& own_file);

// The name a calendar is saved under: `name` itself when it ends in ".cal"
// or ".CAL", else `name` + ".cal".
std::string CalendarFileName(const std::string& name);

}  // namespace fq::cal
