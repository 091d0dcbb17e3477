#include "output/win/clipboard_keeper.h"

#include <vector>

namespace fq::win {
namespace {

bool IsBitmapFormat(UINT f) { return f == CF_BITMAP || f == CF_DSPBITMAP; }
bool IsEnhMetaFormat(UINT f) { return f == CF_ENHMETAFILE || f == CF_DSPENHMETAFILE; }
bool IsMetaPictFormat(UINT f) { return f == CF_METAFILEPICT || f == CF_DSPMETAFILEPICT; }
// Handles the system neither frees nor can copy: owner-drawn contents,
// private handles and GDI objects of unknown kind.
bool IsUncopyable(UINT f) {
  return f == CF_OWNERDISPLAY || (f >= CF_PRIVATEFIRST && f <= CF_PRIVATELAST) ||
         (f >= CF_GDIOBJFIRST && f <= CF_GDIOBJLAST);
}

HANDLE CopyGlobal(HANDLE h) {
  auto copy = CopyBlock(static_cast<HGLOBAL>(h));
  return copy ? copy->release() : nullptr;
}

HANDLE CopyPalette(HPALETTE pal) {
  const UINT n = GetPaletteEntries(pal, 0, 0, nullptr);
  if (n == 0) return nullptr;
  std::vector<BYTE> bytes(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(bytes.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(n);
  GetPaletteEntries(pal, 0, n, lp->palPalEntry);
  return CreatePalette(lp);
}

// A metafile picture block holds a metafile handle of its own.
HANDLE CopyMetaPict(HANDLE h) {
  HANDLE block = CopyGlobal(h);
  if (!block) return nullptr;
  auto* mp = static_cast<METAFILEPICT*>(GlobalLock(block));
  if (mp) mp->hMF = CopyMetaFileA(mp->hMF, nullptr);
  const bool ok = mp && mp->hMF;
  GlobalUnlock(block);
  if (!ok) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

HANDLE CopyFormat(UINT format, HANDLE h) {
  if (IsBitmapFormat(format)) return CopyImage(h, IMAGE_BITMAP, 0, 0, 0);
  if (IsEnhMetaFormat(format)) return CopyEnhMetaFileA(static_cast<HENHMETAFILE>(h), nullptr);
  if (format == CF_PALETTE) return CopyPalette(static_cast<HPALETTE>(h));
  if (IsMetaPictFormat(format)) return CopyMetaPict(h);
  return CopyGlobal(h);
}

}  // namespace

bool OpenClipboardWithin(HWND owner, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (OpenClipboard(owner)) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(20);
  }
}

ClipboardKeeper::~ClipboardKeeper() {
  for (Item& item : items_) Free(item);
}

void ClipboardKeeper::Free(Item& item) {
  if (!item.handle) return;
  if (IsBitmapFormat(item.format) || item.format == CF_PALETTE) {
    DeleteObject(item.handle);
  } else if (IsEnhMetaFormat(item.format)) {
    DeleteEnhMetaFile(static_cast<HENHMETAFILE>(item.handle));
  } else {
    if (IsMetaPictFormat(item.format)) {
      if (auto* mp = static_cast<METAFILEPICT*>(GlobalLock(item.handle))) {
        DeleteMetaFile(mp->hMF);
        GlobalUnlock(item.handle);
      }
    }
    GlobalFree(item.handle);
  }
  item.handle = nullptr;
}

bool ClipboardKeeper::TakeAsideAndEmpty(HWND owner) {
  if (!OpenClipboardWithin(owner, 500)) return false;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
    if (IsUncopyable(f)) continue;
    HANDLE h = GetClipboardData(f);
    if (!h) continue;
    if (HANDLE copy = CopyFormat(f, h)) items_.push_back({f, copy});
  }
  EmptyClipboard();
  CloseClipboard();
  return true;
}

bool ClipboardKeeper::PutBack(HWND owner) {
  if (items_.empty()) return true;
  if (!OpenClipboardWithin(owner, 2000)) return false;
  EmptyClipboard();
  for (Item& item : items_) {
    // The clipboard owns what it takes; what it refuses is freed here.
    if (SetClipboardData(item.format, item.handle)) item.handle = nullptr;
    Free(item);
  }
  items_.clear();
  CloseClipboard();
  return true;
}

}  // namespace fq::win
