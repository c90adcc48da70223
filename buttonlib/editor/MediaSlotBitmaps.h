#pragma once
// The images of a media slot's three buttons: an open folder (Browse), a
// globe (Internet) and a red cross (Clear), 16-colour bitmaps whose light
// grey is transparent on the button.
// The sounds and cursors picker's images are here too: play and stop, and
// the sound previews (a speaker with its waves, or crossed out when no
// sound is set; the pressed sound's with a downward arrow below).

#include "platform/mfc/WinTypes.h"

#include <vector>

namespace MediaSlotBitmaps {

inline constexpr UINT IDB_BROWSE = 234;
inline constexpr UINT IDB_INTERNET = 235;
inline constexpr UINT IDB_CLEAR = 236;
inline constexpr UINT IDB_PLAY = 203;
inline constexpr UINT IDB_STOP = 204;
inline constexpr UINT IDB_SOUND = 205;
inline constexpr UINT IDB_PRESSED_SOUND = 206;
inline constexpr UINT IDB_PRESSED_NO_SOUND = 207;
inline constexpr UINT IDB_NO_SOUND = 208;

// Adds them to the module's bitmaps; later calls do nothing.
void Register();

// One of them as a packed bitmap (header, colour table, bottom-up rows);
// empty for another id.
std::vector<BYTE> Packed(UINT id);

} // namespace MediaSlotBitmaps
