#include "output/win/clipboard.h"

#include <cstring>
#include <vector>

#include "output/clipboard_checks.h"

namespace fq::win {
namespace {

// Opens the clipboard for as long as it lives.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return open_; }
  void Close() {
    if (open_) CloseClipboard();
    open_ = false;
  }

 private:
  bool open_;
};

bool BothFormats() {
  return IsClipboardFormatAvailable(CF_TEXT) && IsClipboardFormatAvailable(CF_DIB);
}

// The bytes of a clipboard format's block, copied out.
Result<std::vector<uint8_t>> BytesOf(UINT format) {
  HGLOBAL block = GetClipboardData(format);
  if (!block) return Failure{err::kNoClipboardData};
  const SIZE_T size = GlobalSize(block);
  const void* p = GlobalLock(block);
  if (!p || size == 0) {
    if (p) GlobalUnlock(block);
    return Failure{err::kNoClipboardData};
  }
  std::vector<uint8_t> bytes;
  try {
    bytes.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + size);
  } catch (const std::bad_alloc&) {
    GlobalUnlock(block);
    return Failure{err::kMemory};
  }
  GlobalUnlock(block);
  return bytes;
}

bool IsExistingFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool CanPaste(HWND owner) {
  OpenedClipboard clipboard(owner);
  return clipboard && BothFormats();
}

Result<GlobalBlock> BlockOf(const void* bytes, size_t size) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, size ? size : 1));
  if (!block) return Failure{err::kMemory};
  void* p = GlobalLock(block.get());
  if (!p) return Failure{err::kMemory};
  if (size) std::memcpy(p, bytes, size);
  GlobalUnlock(block.get());
  return block;
}

Result<GlobalBlock> CopyBlock(HGLOBAL source) {
  if (!source) return Failure{err::kUnexpected};
  const SIZE_T size = GlobalSize(source);
  const void* p = GlobalLock(source);
  if (!p) return Failure{err::kUnexpected};
  auto copy = BlockOf(p, size);
  GlobalUnlock(source);
  return copy;
}

Status PutAlbumPicture(HWND owner, const std::string& path, const ImageRecord& thumbnail) {
  auto text = clip::PathBlock(path);
  if (!text) return text.failure();
  auto text_block = BlockOf(text->data(), text->size());
  if (!text_block) return text_block.failure();
  auto bitmap_block = BlockOf(thumbnail.data(), thumbnail.size());
  if (!bitmap_block) return bitmap_block.failure();
  OpenedClipboard clipboard(owner);
  if (!clipboard) return Failure{err::kOpenClipboard};
  EmptyClipboard();
  if (!SetClipboardData(CF_DIB, bitmap_block->get())) return Failure{err::kUnexpected};
  bitmap_block->release();  // the clipboard's now
  if (!SetClipboardData(CF_TEXT, text_block->get())) return Failure{err::kUnexpected};
  text_block->release();
  return {};
}

Result<ClipboardPicture> TakeAlbumPicture(HWND owner) {
  if (!BothFormats()) return Failure{err::kNoClipboardData};
  std::vector<uint8_t> text, bitmap;
  {
    OpenedClipboard clipboard(owner);
    if (!clipboard) return Failure{err::kOpenClipboard};
    auto t = BytesOf(CF_TEXT);
    if (!t) return t.failure();
    auto b = BytesOf(CF_DIB);
    if (!b) return b.failure();
    text = std::move(*t);
    bitmap = std::move(*b);
  }
  auto path = clip::PathFromTextBlock(text);
  if (!path) return path.failure();
  if (!IsExistingFile(*path)) return Failure{err::kFileDoesNotExist};
  auto picture = clip::PictureFromBitmapBlock(bitmap);
  if (!picture) return picture.failure();
  return ClipboardPicture{std::move(*path), std::move(*picture)};
}

}  // namespace fq::win
