// The JPEG library as the image code drives it: an error manager that
// brings fatal errors back to the wrapper with a jump and never lets the
// process end, a source that reads through fq::io::File, and a destination
// that writes through a ReplacingWriter. Only .cpp files include this header
// (jpeglib.h and the Windows headers cannot meet in one translation unit).
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

#include <jpeglib.h>

#include "base/file_io.h"

namespace fq::jpeg {

// Fatal library errors jump back to `jump`, which the wrapper armed with
// setjmp right before its library calls. The frames between (library code
// and the source and destination callbacks below) hold no C++ objects with
// destructors, so the jump skips nothing that needs cleaning up.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int warnings;
};

// Sets up `e` and returns the library's view of it.
jpeg_error_mgr* InitErrorManager(ErrorManager& e);

// Reads a File in blocks. Running out of data after the first block makes
// the library see an end-of-image marker (with a warning), as the standard
// file source does; an empty input is a fatal error.
struct FileSource {
  jpeg_source_mgr pub;
  fq::io::File* file;
  bool started;
  JOCTET buffer[64 * 1024];
};
void AttachSource(j_decompress_ptr cinfo, FileSource& s, fq::io::File& file);

// Writes through a ReplacingWriter; a failed write is a fatal error.
struct WriterDestination {
  jpeg_destination_mgr pub;
  fq::io::ReplacingWriter* writer;
  JOCTET buffer[64 * 1024];
};
void AttachDestination(j_compress_ptr cinfo, WriterDestination& d, fq::io::ReplacingWriter& w);

// Refuses inputs whose scan count marks them as built to stall the decoder.
inline constexpr int kMaxScans = 1000;
struct ScanLimit {
  jpeg_progress_mgr pub;
};
void AttachScanLimit(j_decompress_ptr cinfo, ScanLimit& limit);

// A read-only File over bytes in memory (decoding from a buffer).
class MemoryFile final : public fq::io::File {
 public:
  explicit MemoryFile(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Read(void* buf, size_t n) override;
  size_t Write(const void*, size_t) override { return 0; }
  bool Seek(uint64_t offset) override;
  std::optional<uint64_t> Size() override { return bytes_.size(); }
  bool Close() override { return true; }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

}  // namespace fq::jpeg
