// Feeds arbitrary bytes to the animation object every way its callers give
// them: as plain and zlib-compressed data (downloads, SetAnimFromMemory), as
// bytes from memory (always AVI), as a stored blob property, and as a file
// named as a GIF or an AVI (media paths); the GIF decoder is also called
// directly with every frame limit. The first byte is the mode; the body's
// own first byte ('G' or 'R') is what tells the held bytes' type. What
// loads is played as the paint plays it (a device bitmap of a frame),
// copied as a download is taken over, and stored and loaded back as the
// property. Memory requests are capped, so that a few bytes declaring
// images of millions of pixels fail as a shortage of memory would.

#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/GifDecoder.h"

#include "platform/mfc/CException.h"
#include "platform/testing/FuzzAllocationCap.h"
#include "platform/testing/FuzzSupport.h"
#include "platform/win/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr std::size_t kCapBytes = std::size_t(256) << 10;

// The frames a caller may reach: each one there, and a device bitmap of the
// first as the paint asks for it.
void play(CAnim& anim)
{
    const int count = anim.GetFrameCount();
    if (count < 0 || count > CAnim::kMaxFrames)
        std::abort();
    for (int i = 0; i < count; ++i)
        if (!anim.GetFrame(i) || !anim.GetFrame(i)->IsValid())
            std::abort();
    if (anim.GetFrame(count))
        std::abort();
    int bits = 0;
    if (HBITMAP hbm = anim.GetFrameBitmap(0, &bits))
        DeleteObject(hbm);
}

HGLOBAL blobOf(const BYTE* body, std::size_t n)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n + 4);
    if (!h)
        return nullptr;
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    const DWORD count = DWORD(n);
    std::memcpy(p, &count, 4);
    if (n)
        std::memcpy(p + 4, body, n);
    GlobalUnlock(h);
    return h;
}

// Loads a blob property; false when it is refused.
bool setBlob(CAnim& anim, HGLOBAL h)
{
    bool ok = true;
    try {
        anim.SetBlob(&h);
    } catch (const CException&) {
        ok = false;
    }
    if (h)
        GlobalFree(h);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The boxes a damaged file opens go to a recorder, emptied for each input.
    static const auto boxes = [] {
        auto recorder = std::make_shared<win::RecordingMessageBox>();
        win::SetMessageBoxPort(recorder);
        return recorder;
    }();
    boxes->shown.clear();
    if (size < 1)
        return 0;
    const tv::fuzzing::AllocationCap cap(kCapBytes);
    const BYTE mode = data[0] % 7;
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
            // A size announced one too large is refused.
            if (anim.SetData(packed.data(), int(packedSize), TRUE, DWORD(n) + 1))
                std::abort();
            anim.SetData(packed.data(), int(packedSize), TRUE, DWORD(n));
        }
        break;
    }
    case 2:
        anim.LoadFromMemory(body, n);
        break;
    case 3:
        setBlob(anim, blobOf(body, std::size_t(n)));
        break;
    case 4: {
        static CDIB frames[CAnim::kMaxFrames];
        int count = 0;
        for (int limit : {1, 7, CAnim::kMaxFrames}) {
            if (media::GifDecoder::Decode(body, std::size_t(n), frames, limit, &count) && (count < 0 || count > limit))
                std::abort();
        }
        return 0;
    }
    default: {
        const std::string path = (tv::fuzzing::TempFolder() / (mode == 5 ? "anim.gif" : "anim.AVI")).string();
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(body), std::streamsize(n));
            if (!out)
                std::abort();
        }
        anim.Load(path.c_str());
        std::remove(path.c_str());
        break;
    }
    }
    play(anim);
    if (anim.GetFrameCount() == 0)
        return 0;
    // A download is taken over by a copy, which decodes the same bytes again.
    CAnim copy;
    copy = anim;
    if (copy.GetFrameCount() != anim.GetFrameCount())
        std::abort();
    // What loaded stores to a property that loads back to as many frames.
    if (mode == 0 || mode == 3) {
        HGLOBAL h = anim.GetBlob();
        CAnim back;
        if (!setBlob(back, h) || back.GetFrameCount() != anim.GetFrameCount())
            std::abort();
        play(back);
    }
    return 0;
}
