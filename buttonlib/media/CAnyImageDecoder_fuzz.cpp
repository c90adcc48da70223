// Feeds arbitrary bytes to format detection and the any-image decoder, at
// the decoders' own depth and at 32 bits.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CGlobalDIB.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    CAnyImageDecoder::GetFileFormat(data, int(size), int(size));
    static CAnyImageDecoder decoder;
    for (int bpp : {0, 32}) {
        CGlobalDIB bitmap;
        try {
            decoder.MakeBmpFromMemory(data, int(size), &bitmap, bpp);
        } catch (const CTextException&) {
        }
    }
    return 0;
}
