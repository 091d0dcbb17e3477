// The two pointer-sized values every document window keeps in its window
// extra bytes: its document record and its WindowKind.
#pragma once

#include <windows.h>

namespace fq::win {

enum class WindowKind : LONG_PTR {
  kNone = 0,        // no document (also windows without extra bytes)
  kImage = 1,       // ORXNormalChild
  kAlbum = 2,       // ORXAlbumChild
  kAlbumPicture = 3 // ORXAlbumButton
};

inline constexpr int kRecordSlot = 0;
inline constexpr int kKindSlot = sizeof(LONG_PTR);
inline constexpr int kDocumentExtraBytes = 2 * sizeof(LONG_PTR);

// Sent by the frame to the active document: realise your palette in the
// foreground (wParam: the frame). Every kind of document window answers it.
inline constexpr UINT kMsgRealizePalette = 0x0465;

}  // namespace fq::win
