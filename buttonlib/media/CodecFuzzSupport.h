#pragma once
// What the codec fuzz targets share: a bitmap that refuses pictures above
// 256 KiB the way every bitmap refuses sizes it cannot have. Compressed
// data cannot be measured before its bitmap is made, so a short file may
// claim any size up to the ceiling: the fuzzer would spend its time
// clearing such blocks rather than on the decoders' paths.

#include "buttonlib/media/CGlobalDIB.h"

#include <cstddef>

namespace codec::fuzzing {

class SmallBitmap : public CGlobalDIB {
public:
    void Create(LONG width, LONG height, WORD bpp, bool alpha) override
    {
        if (width > 0 && height > 0 && RowBytes(width, bpp) > (std::size_t(256) << 10) / std::size_t(height))
            throw CTextException(kErrNoMemory, "Can't create bitmap.");
        CGlobalDIB::Create(width, height, bpp, alpha);
    }
};

} // namespace codec::fuzzing
