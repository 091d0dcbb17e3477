// The clipboard as albums use it: a picture travels as its path (text, in a
// 260-byte block) and its thumbnail (a device-independent bitmap), both set
// together and needed together. Every failure leaves the clipboard closed
// and frees what was copied so far.
#pragma once

#include <windows.h>

#include <string>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::win {

// A movable memory block, freed unless handed to the clipboard.
class GlobalBlock {
 public:
  GlobalBlock() = default;
  explicit GlobalBlock(HGLOBAL h) : h_(h) {}
  ~GlobalBlock() {
    if (h_) GlobalFree(h_);
  }
  GlobalBlock(GlobalBlock&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  GlobalBlock& operator=(GlobalBlock&& o) noexcept {
    if (this != &o) {
      if (h_) GlobalFree(h_);
      h_ = o.h_;
      o.h_ = nullptr;
    }
    return *this;
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL get() const { return h_; }
  HGLOBAL release() {
    HGLOBAL h = h_;
    h_ = nullptr;
    return h;
  }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HGLOBAL h_ = nullptr;
};

// True when the clipboard can be opened and offers both text and a
// device-independent bitmap (Paste's enabled state).
bool CanPaste(HWND owner);

// A new movable block with the bytes of `block`. Failures: kUnexpected for
// no block, kMemory.
Result<GlobalBlock> CopyBlock(HGLOBAL block);
// A new movable block holding `bytes`. Failure: kMemory.
Result<GlobalBlock> BlockOf(const void* bytes, size_t size);

// Empties the clipboard and puts the picture there: the thumbnail block,
// byte for byte, as the bitmap, then the path as the text. Failures:
// kFileNameTooLong, kMemory, kOpenClipboard, kUnexpected (the system did not
// take a block).
Status PutAlbumPicture(HWND owner, const std::string& path, const ImageRecord& thumbnail);

struct ClipboardPicture {
  std::string path;
  ImageRecord picture;
};
// The picture on the clipboard, its parts checked as outside data. The
// clipboard is closed again before the parts are examined. Failures:
// kNoClipboardData (a format missing or empty), kOpenClipboard, kMemory, and
// those of the checks (kFileNameTooLong, kFileDoesNotExist for a path that
// names no file, the bitmap reader's).
Result<ClipboardPicture> TakeAlbumPicture(HWND owner);

}  // namespace fq::win
