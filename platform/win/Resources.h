#pragma once
// The library's embedded resources: bytes registered by type and numeric id
// (bitmaps, cursors), found and read with the platform's four calls. The
// bytes are read-only and live as long as the process; whoever changes them
// works on a copy. There is one module, so the module handle is not looked at.

#include "platform/mfc/WinTypes.h"

#include <vector>

namespace win {

struct ResourceEntry;
using HMODULE = void*;
// A found resource, and the handle LoadResource gives for it.
using HRSRC = const ResourceEntry*;
using HRESDATA = const ResourceEntry*;

inline constexpr UINT RT_CURSOR = 1;
inline constexpr UINT RT_BITMAP = 2;
inline constexpr UINT RT_GROUP_CURSOR = 12;

// Adds a resource. False when one of that type and id is already there (the
// first stays: its bytes may be in use).
bool RegisterResource(UINT type, UINT id, std::vector<BYTE> bytes);

// NULL when there is no resource of that type and id.
HRSRC FindResource(HMODULE module, UINT id, UINT type);
HRESDATA LoadResource(HMODULE module, HRSRC resource);
// The first byte, or NULL for a null handle.
const void* LockResource(HRESDATA data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

} // namespace win
