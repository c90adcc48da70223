#pragma once
// One image of a cursor or icon as the files and resources hold it: a DIB
// whose height counts the colour (XOR) rows and the 1-bit AND mask rows
// together, at 1, 4, 8, 24 or 32 bits (alpha at 32 bits when any pixel has
// some), or a PNG. Pixels the mask leaves transparent with a colour would
// invert the screen; they are drawn black. Every size is checked against
// the bytes held before a pixel is read.

#include "platform/basic/Riff.h"

#include <QImage>

namespace win {

// Cursor and icon images are at most 256 pixels wide and high.
inline constexpr int kMaxCursorSide = 256;

struct CursorImageInfo {
    int width = 0;
    int height = 0;
    int bitCount = 0;  // a PNG counts as 32
};

// Which of two images a cursor takes: the one nearer 32 x 32 pixels, the
// deeper colour when both are as near.
bool PreferCursorImage(const CursorImageInfo& a, const CursorImageInfo& b);

// Size and depth from the image's header, without decoding it; false when
// the header cannot belong to a whole image held in the bytes.
bool PeekCursorImage(riff::Bytes bytes, CursorImageInfo& info);

// The image as straight (not premultiplied) ARGB32; a null image on failure.
QImage DecodeCursorImage(riff::Bytes bytes);

} // namespace win
