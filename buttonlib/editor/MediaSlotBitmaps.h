#pragma once
// The images of a media slot's three buttons: an open folder (Browse), a
// globe (Internet) and a red cross (Clear), 16-colour bitmaps whose light
// grey is transparent on the button.

#include "platform/mfc/WinTypes.h"

#include <vector>

namespace MediaSlotBitmaps {

inline constexpr UINT IDB_BROWSE = 234;
inline constexpr UINT IDB_INTERNET = 235;
inline constexpr UINT IDB_CLEAR = 236;

// Adds them to the module's bitmaps; later calls do nothing.
void Register();

// One of them as a packed bitmap (header, colour table, bottom-up rows);
// empty for another id.
std::vector<BYTE> Packed(UINT id);

} // namespace MediaSlotBitmaps
