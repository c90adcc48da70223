// Feeds arbitrary bytes to the metafile decoder under an enhanced and a
// Windows metafile's name, at 8 and 32 bits (the decoder's own depth is one
// of them). A picture whose header asks for more than 65,536 pixels (a
// Windows metafile without the placeable header among them) is left out, so
// the fuzzer spends its time on records rather than on clearing bitmaps.

#include "buttonlib/media/CGlobalDIB.h"
#include "buttonlib/media/CMetafileDecoder.h"

#include <QGuiApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Kept to the end of the process: taken down among the other statics,
    // it would leave Qt's per-thread font caches behind, unreachable.
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

namespace {

class NamedSource : public CImageSource {
public:
    NamedSource(const char* name, const BYTE* data, int size) { Open(name, data, size); }
};

// The pixels the header asks for, by the decoder's rules.
long long pixels(const uint8_t* data, size_t size, bool enhanced)
{
    if (!enhanced) {
        if (size >= 16 && Le32(data) == 0x9AC6CDD7) {
            const long long inch = Le16(data + 14);
            const long long w = inch ? (std::int16_t(Le16(data + 10)) - std::int16_t(Le16(data + 6))) * 96 / inch : 0;
            const long long h = inch ? (std::int16_t(Le16(data + 12)) - std::int16_t(Le16(data + 8))) * 96 / inch : 0;
            return std::max(w, 320LL) * std::max(h, 200LL);
        }
        return 1024LL * 768;
    }
    HENHMETAFILE h = SetEnhMetaFileBits(UINT(size), data);
    if (!h)
        return 0;
    ENHMETAHEADER e{};
    GetEnhMetaFileHeader(h, sizeof e, &e);
    DeleteEnhMetaFile(h);
    const auto side = [](long long frame, long long dev, long long mm) {
        const long long v = mm > 0 ? static_cast<long long>(static_cast<__int128>(frame) * dev / (mm * 100)) : 0;
        return v > 0 ? v : 0;
    };
    const long long w = side(static_cast<long long>(e.rclFrame.right) - e.rclFrame.left, e.szlDevice.cx, e.szlMillimeters.cx);
    const long long ht = side(static_cast<long long>(e.rclFrame.bottom) - e.rclFrame.top, e.szlDevice.cy, e.szlMillimeters.cy);
    if (w > (1LL << 24) || ht > (1LL << 24))
        return 1LL << 48;
    return std::max(w, 320LL) * std::max(ht, 200LL);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    for (const char* name : {"fuzz.emf", "fuzz.wmf"}) {
        const bool enhanced = name[5] == 'e';
        if (pixels(data, size, enhanced) > 65536)
            continue;
        for (int bpp : {8, 32}) {
            NamedSource source(name, data, int(size));
            CGlobalDIB bitmap;
            CMetafileDecoder decoder;
            try {
                decoder.MakeBmp(&source, &bitmap, bpp);
            } catch (const CTextException&) {
            }
        }
    }
    return 0;
}
