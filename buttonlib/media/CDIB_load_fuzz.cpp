// Feeds arbitrary bytes to the picture's loaders through the codecs, both
// ways they are called (keeping the decoded table or choosing one by the
// source depth). A picture that loads goes to a device bitmap and back.

#include "buttonlib/media/CDIB.h"

#include <cstdint>

namespace {

void roundTrip(const CDIB& dib)
{
    if (!dib.IsValid())
        return;
    int bits = 0;
    HBITMAP hbm = dib.CreateBitmap(&bits);
    // A picture may be too large for a device bitmap of the screen's kind.
    if (!hbm) {
        if (bits != 0)
            __builtin_trap();
        return;
    }
    CDIB back;
    back.Create(hbm, nullptr);
    DeleteObject(hbm);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDIB dib;
    if (dib.LoadImage(data, DWORD(size)))
        roundTrip(dib);
    CDIB raw;
    if (raw.LoadImageRaw(data, DWORD(size)))
        roundTrip(raw);
    return 0;
}
