#pragma once
// Cursor handles: an HCURSOR names an entry of one process-wide table that
// holds the QCursor made from a cursor file or resource, and the file's
// frames, steps and rates for an animation. An entry lives until
// DestroyCursor; a destroyed or unknown handle finds nothing. Cursors are
// made from bytes in memory; no file is written for them.

#include "platform/win/CursorFile.h"

#include <QCursor>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace win {

struct HCURSOR__;
using HCURSOR = HCURSOR__*;
using HICON = HCURSOR;

// The first cursor of a .cur or .ani file; null when it makes none.
HCURSOR LoadCursorFromFile(const char* path);
HCURSOR LoadCursorFromBytes(std::span<const std::uint8_t> bytes);

// The resource id of the best image of an icon or cursor group resource
// (fIcon false: a cursor group); 0 when the directory names none.
int LookupIconIdFromDirectory(std::span<const std::uint8_t> presbits, bool fIcon);

// A cursor (fIcon false: the image follows its hot spot) or icon from one
// image resource; dwVer must be 0x30000. Null when it makes none.
HICON CreateIconFromResource(const std::uint8_t* presbits, std::uint32_t dwResSize, bool fIcon,
                             std::uint32_t dwVer);

// False for a handle that is not in the table.
bool DestroyCursor(HCURSOR hCursor);
// A new handle of the same cursor, destroyed on its own; null for an
// unknown handle.
HCURSOR CopyCursor(HCURSOR hCursor);

std::optional<QCursor> CursorFromHandle(HCURSOR hCursor);
// Frames, steps and rates of the cursor; null for an unknown handle.
std::shared_ptr<const CursorFile> CursorFileFromHandle(HCURSOR hCursor);
// Entries in the table (tests check that nothing leaks).
std::size_t CursorHandleCount();

} // namespace win
