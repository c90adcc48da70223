// Feeds arbitrary bytes to the animation object the ways its callers do: as
// plain and zlib-compressed data (the download), as bytes from memory (always
// AVI) and as a stored blob property. A leading 'G' or 'R' after the mode
// byte steers the decoders; the GIF decoder is also called directly with
// every frame limit.

#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/GifDecoder.h"

#include "platform/mfc/CException.h"
#include "platform/win/MessageBox.h"

#include <cstring>
#include <memory>
#include <vector>
#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        win::SetMessageBoxPort(std::make_shared<win::RecordingMessageBox>());
        return true;
    }();
    (void)quiet;
    if (size < 1)
        return 0;
    const BYTE mode = data[0] % 5;
    const BYTE* body = data + 1;
    const int n = int(size - 1);
    CAnim anim;
    switch (mode) {
    case 0:
        anim.SetData(body, n, FALSE, 0);
        break;
    case 1: {
        std::vector<BYTE> packed(compressBound(uLong(n)));
        uLongf packedSize = uLongf(packed.size());
        if (compress(packed.data(), &packedSize, body, uLong(n)) == Z_OK) {
            anim.SetData(packed.data(), int(packedSize), TRUE, DWORD(n));
            anim.SetData(packed.data(), int(packedSize), TRUE, DWORD(n) + 1);
        }
        break;
    }
    case 2:
        anim.LoadFromMemory(body, n);
        break;
    case 3: {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::size_t(n) + 4);
        auto* p = static_cast<BYTE*>(GlobalLock(h));
        const DWORD count = DWORD(n);
        std::memcpy(p, &count, 4);
        if (n)
            std::memcpy(p + 4, body, std::size_t(n));
        GlobalUnlock(h);
        try {
            anim.SetBlob(&h);
        } catch (const CException&) {
        }
        if (h)
            GlobalFree(h);
        break;
    }
    default: {
        static CDIB frames[CAnim::kMaxFrames];
        int count = 0;
        for (int limit : {1, 7, CAnim::kMaxFrames})
            media::GifDecoder::Decode(body, std::size_t(n), frames, limit, &count);
        break;
    }
    }
    for (int i = 0; i < anim.GetFrameCount(); ++i)
        if (!anim.GetFrame(i))
            __builtin_trap();
    return 0;
}
