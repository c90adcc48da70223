#pragma once
// Cursor files read from memory: .cur (an icon directory of type 2 whose
// entries carry a hot spot) and animated .ani (RIFF "ACON": an "anih"
// header, optional "rate" and "seq " chunks, and a LIST "fram" of "icon"
// chunks, each a cursor or icon file). A .cur gives the entry nearest
// 32 x 32 pixels, the deeper colour on ties. Every offset, count and size
// is checked against the bytes held.

#include "platform/win/CursorImage.h"

#include <QPoint>

#include <cstdint>
#include <vector>

namespace win {

struct CursorFrame {
    QImage image;  // straight ARGB32
    QPoint hotSpot;
};

// A cursor with its animation: frames, the frame shown at each step and
// how long each step lasts (in 1/60 s). A .cur has one frame and one step.
struct CursorFile {
    std::vector<CursorFrame> frames;
    std::vector<std::uint32_t> steps;
    std::vector<std::uint32_t> rates;
    bool animated = false;

    // The cursor shown first: the frame of the first step.
    const CursorFrame& First() const { return frames[steps.front()]; }
};

// Bounds on what one file may make, so that small hostile files cannot ask
// for a great deal of memory.
inline constexpr std::size_t kMaxCursorFrames = 1024;
inline constexpr std::size_t kMaxCursorPixels = std::size_t(16) << 20;

bool ReadCursorFile(riff::Bytes bytes, CursorFile& out);

// One image resource as a one-frame cursor: a cursor's (icon false) starts
// with its hot spot (two WORDs) before the image; an icon's hot spot is
// its centre.
bool ReadCursorResource(riff::Bytes bytes, bool icon, CursorFile& out);

// One entry of a cursor or icon directory file (type 2 or 1), the best by
// size and depth. An icon's hot spot is its centre.
bool ReadIconDirectory(riff::Bytes bytes, bool allowIcons, CursorFrame& out);

} // namespace win
