#pragma once
// Accelerator tables: key combinations that turn into WM_COMMAND messages.
// A control hands its mnemonic keys to its container as one.

#include "platform/win/Messages.h"

#include <cstddef>

namespace win {

struct HACCEL__;
using HACCEL = HACCEL__*;

inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

// Null for no entries.
HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// The entries of a table, or 0 for one that is not a live table; copies up to
// max entries when entries is not null.
int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int max);
// A WM_KEYDOWN or WM_SYSKEYDOWN matching a virtual-key entry (its Alt, Shift
// and Ctrl as the entry says) sends WM_COMMAND with the entry's command
// (high word 1) to hwnd: nonzero. Entries without FVIRTKEY match nothing, as
// no character messages are produced here.
int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG* msg);

// Tables alive (tests check that nothing leaks).
std::size_t AcceleratorTableCount();

} // namespace win
