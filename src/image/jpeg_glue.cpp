#include "image/jpeg_glue.h"

#include <algorithm>
#include <cstring>

#include <jerror.h>

namespace fq::jpeg {
namespace {

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
  // Kept for diagnostics (fqtool prints it); the program never shows it.
  e->pub.format_message(cinfo, e->message);
  std::longjmp(e->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int msg_level) {
  // Warnings (corrupt data, premature end) neither show nor stop the coding.
  if (msg_level < 0) reinterpret_cast<ErrorManager*>(cinfo->err)->warnings++;
}

void OnOutputMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<FileSource*>(cinfo->src)->started = false;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* s = reinterpret_cast<FileSource*>(cinfo->src);
  size_t n = s->file->Read(s->buffer, sizeof s->buffer);
  if (n == 0) {
    if (!s->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    s->buffer[0] = 0xFF;
    s->buffer[1] = JPEG_EOI;
    n = 2;
  }
  s->pub.next_input_byte = s->buffer;
  s->pub.bytes_in_buffer = n;
  s->started = true;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long num_bytes) {
  auto* src = cinfo->src;
  if (num_bytes <= 0) return;
  while (num_bytes > static_cast<long>(src->bytes_in_buffer)) {
    num_bytes -= static_cast<long>(src->bytes_in_buffer);
    src->fill_input_buffer(cinfo);
  }
  src->next_input_byte += num_bytes;
  src->bytes_in_buffer -= static_cast<size_t>(num_bytes);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<WriterDestination*>(cinfo->dest);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<WriterDestination*>(cinfo->dest);
  // The whole buffer is due here, whatever free_in_buffer says.
  if (!d->writer->Write(d->buffer, sizeof d->buffer).ok()) ERREXIT(cinfo, JERR_FILE_WRITE);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<WriterDestination*>(cinfo->dest);
  size_t n = sizeof d->buffer - d->pub.free_in_buffer;
  if (n > 0 && !d->writer->Write(d->buffer, n).ok()) ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Our own message codes, after the library's table.
constexpr int kFirstOwnMessage = 1000;
constexpr int kTooManyScans = 1000;
const char* const kOwnMessages[] = {"Too many scans (more than %d)", nullptr};

void CheckScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) ERREXIT1(cinfo, kTooManyScans, kMaxScans);
  }
}

}  // namespace

jpeg_error_mgr* InitErrorManager(ErrorManager& e) {
  jpeg_std_error(&e.pub);
  e.pub.error_exit = OnFatalError;
  e.pub.emit_message = OnMessage;
  e.pub.output_message = OnOutputMessage;
  e.pub.trace_level = 0;
  e.pub.addon_message_table = kOwnMessages;
  e.pub.first_addon_message = kFirstOwnMessage;
  e.pub.last_addon_message = kTooManyScans;
  e.message[0] = '\0';
  e.warnings = 0;
  return &e.pub;
}

void AttachSource(j_decompress_ptr cinfo, FileSource& s, fq::io::File& file) {
  s.pub.init_source = InitSource;
  s.pub.fill_input_buffer = FillInputBuffer;
  s.pub.skip_input_data = SkipInputData;
  s.pub.resync_to_restart = jpeg_resync_to_restart;
  s.pub.term_source = TermSource;
  s.pub.bytes_in_buffer = 0;
  s.pub.next_input_byte = nullptr;
  s.file = &file;
  s.started = false;
  cinfo->src = &s.pub;
}

void AttachDestination(j_compress_ptr cinfo, WriterDestination& d, fq::io::ReplacingWriter& w) {
  d.pub.init_destination = InitDestination;
  d.pub.empty_output_buffer = EmptyOutputBuffer;
  d.pub.term_destination = TermDestination;
  d.writer = &w;
  cinfo->dest = &d.pub;
}

void AttachScanLimit(j_decompress_ptr cinfo, ScanLimit& limit) {
  limit.pub.progress_monitor = CheckScans;
  cinfo->progress = &limit.pub;
}

size_t MemoryFile::Read(void* buf, size_t n) {
  size_t k = std::min(n, bytes_.size() - pos_);
  if (k) std::memcpy(buf, bytes_.data() + pos_, k);
  pos_ += k;
  return k;
}

bool MemoryFile::Seek(uint64_t offset) {
  if (offset > bytes_.size()) return false;
  pos_ = static_cast<size_t>(offset);
  return true;
}

}  // namespace fq::jpeg
