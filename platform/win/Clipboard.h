#pragma once
// The clipboard as the library uses it: pictures in the CF_DIB format (a
// packed DIB in a global block) over QClipboard. A picture goes out as
// "image/bmp" (a BMP file: the file header and the packed DIB as it stands)
// and "image/png" (pictures of up to 8 bits keep their colour table). Reading
// prefers "image/bmp" and otherwise takes any image offered, indexed ones
// with their palette. Only the thread of the GUI application reaches the
// clipboard; elsewhere every call fails.

#include "platform/gdi/Gdi.h"
#include "platform/mfc/GlobalMemory.h"

namespace win {

inline constexpr UINT CF_DIB = 8;

// FALSE when there is no GUI application or another owner has it open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Removes what the clipboard holds; it must be open.
BOOL EmptyClipboard();
// Puts a packed DIB on the open clipboard. The clipboard then owns the block
// (it frees it when it is closed or emptied) and the handle is returned;
// NULL, the block still the caller's, when the clipboard is not open, the
// format is not CF_DIB or the block is not a sound packed DIB.
HGLOBAL SetClipboardData(UINT format, HGLOBAL mem);
// The picture on the open clipboard as a packed DIB (40-byte header, table,
// bottom-up rows) that the clipboard owns until it is closed or emptied;
// NULL when there is none.
HGLOBAL GetClipboardData(UINT format);

} // namespace win
