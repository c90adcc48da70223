// Feeds arbitrary bytes to format detection and the any-image decoder, at
// the decoders' own depth and at 32 bits. The target bitmap refuses
// pictures above 4 MiB the way every bitmap refuses sizes it cannot have,
// so the fuzzer spends its time on the decoders' paths rather than on
// clearing half-gigabyte blocks.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CGlobalDIB.h"

#include <climits>

namespace {

class SmallBitmap : public CGlobalDIB {
public:
    void Create(LONG width, LONG height, WORD bpp, bool alpha) override
    {
        if (width > 0 && height > 0 && std::size_t(BytesPerLine(width, bpp)) * std::size_t(height) > (4u << 20))
            throw CTextException(kErrNoMemory, "Can't create bitmap.");
        CGlobalDIB::Create(width, height, bpp, alpha);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    CAnyImageDecoder::GetFileFormat(data, int(size), int(size));
    static CAnyImageDecoder decoder;
    for (int bpp : {0, 32}) {
        SmallBitmap bitmap;
        try {
            decoder.MakeBmpFromMemory(data, int(size), &bitmap, bpp);
        } catch (const CTextException&) {
        }
    }
    return 0;
}
