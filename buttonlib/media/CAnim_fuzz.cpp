// Feeds arbitrary bytes to the animation object the ways its callers do: as
// plain and zlib-compressed data (the download), as bytes from memory (always
// AVI) and as a stored blob property. A leading 'G' or 'R' after the mode
// byte steers the decoders; the GIF decoder is also called directly with
// every frame limit. A GIF declaring an image of more than 65,536 pixels is
// left out: a few bytes may ask for a picture of millions of pixels, and the
// fuzzer would spend its time clearing and copying them rather than on the
// decoder's paths.

#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/GifDecoder.h"

#include "platform/mfc/CException.h"
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include <zlib.h>

namespace {

// The largest image a GIF declares, its blocks walked as the decoder walks
// them (up to the first block it would not read).
std::size_t largestGifImage(const BYTE* p, std::size_t n)
{
    if (n < 13 || std::memcmp(p, "GIF8", 4) != 0)
        return 0;
    std::size_t at = 13;
    if (p[10] & 0x80)
        at += std::size_t(3) << ((p[10] & 7) + 1);
    const auto skipSubBlocks = [&] {
        while (at < n) {
            const BYTE len = p[at++];
            if (len == 0)
                return true;
            at += len;
        }
        return false;
    };
    std::size_t largest = 0;
    while (at < n) {
        const BYTE b = p[at++];
        if (b == 0x21 && at < n) {
            const BYTE label = p[at++];
            if (label == 0x01 || label == 0xFF)
                at += label == 0x01 ? 13 : 12;
            else if (label != 0xF9 && label != 0xFE)
                break;
            if (!skipSubBlocks())
                break;
            continue;
        }
        if (b != 0x2C || at + 9 > n)
            break;
        const std::size_t w = p[at + 4] | (p[at + 5] << 8);
        const std::size_t h = p[at + 6] | (p[at + 7] << 8);
        largest = std::max(largest, w * h);
        const BYTE packed = p[at + 8];
        at += 9;
        if (packed & 0x80)
            at += std::size_t(3) << ((packed & 7) + 1);
        ++at; // the minimum code size
        if (!skipSubBlocks())
            break;
    }
    return largest;
}

} // namespace

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
    if (largestGifImage(body, std::size_t(n)) > 65536)
        return 0;
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
