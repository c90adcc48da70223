#pragma once
// Helpers of the codec tests: pictures made by ImageMagick (called by the
// Debian package's own command names), ImageMagick's own decoding of a file
// as the reference, and a codec bitmap's pixels in the same form.

#include "buttonlib/media/CGlobalDIB.h"
#include "buttonlib/media/CPLObject.h"

#include "platform/testing/Command.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TV_WATCH_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TV_WATCH_ALLOCATIONS 1
#endif
#endif
#ifdef TV_WATCH_ALLOCATIONS
// The sanitizer runtime's hook interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace codec::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

inline const char* kConvert = "convert-im6.q16";

struct Rgba {
    int width = 0;
    int height = 0;
    Bytes pixels; // r, g, b, a per pixel, top row first
};

// A decoder's picture of the bytes, at the requested depth (0: the picture's own).
template <class Decoder>
std::unique_ptr<CGlobalDIB> DecodeBytes(Decoder& decoder, const Bytes& bytes, int bpp = 0)
{
    auto bmp = std::make_unique<CGlobalDIB>();
    decoder.MakeBmpFromMemory(bytes.data(), int(bytes.size()), bmp.get(), bpp);
    return bmp;
}

// The code of the error a decoder raises for the bytes; 0 when they decode.
template <class Decoder>
int DecodeCode(Decoder& decoder, const Bytes& bytes, CGlobalDIB* out = nullptr, int bpp = 0)
{
    CGlobalDIB local;
    try {
        decoder.MakeBmpFromMemory(bytes.data(), int(bytes.size()), out ? out : &local, bpp);
    } catch (const CTextException& e) {
        return e.GetCode();
    }
    return 0;
}

// The largest block malloc hands out between Start and Stop, seen through
// AddressSanitizer's allocation hooks (so that a library's allocations are
// seen too). Start is false in builds without it.
class LargestAllocation {
public:
    static bool Start()
    {
#ifdef TV_WATCH_ALLOCATIONS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(&onMalloc, &onFree) != 0;
        largest() = 0;
        armed() = installed;
        return installed;
#else
        return false;
#endif
    }
    static std::size_t Stop()
    {
        armed() = false;
        return largest();
    }

private:
    static std::atomic<bool>& armed()
    {
        static std::atomic<bool> value{false};
        return value;
    }
    static std::atomic<std::size_t>& largest()
    {
        static std::atomic<std::size_t> value{0};
        return value;
    }
    static void onMalloc(const volatile void*, std::size_t size)
    {
        if (!armed())
            return;
        std::size_t seen = largest();
        while (size > seen && !largest().compare_exchange_weak(seen, size)) {
        }
    }
    static void onFree(const volatile void*) {}
};

// A bitmap that counts the pictures made in it and refuses those above a
// mebibyte, so that a test sees a large allocation without making it.
class WatchedBitmap : public CGlobalDIB {
public:
    void Create(LONG width, LONG height, WORD bpp, bool alpha) override
    {
        ++creates;
        if (width > 0 && height > 0 && RowBytes(width, bpp) * std::size_t(height) > (1u << 20))
            throw CTextException(kErrNoMemory, "Can't create bitmap.");
        CGlobalDIB::Create(width, height, bpp, alpha);
    }
    int creates = 0;
};

inline std::string quote(const fs::path& p)
{
    return tv::testing::Quote(p);
}

inline std::string capture(const std::string& command)
{
    return tv::testing::Capture(command);
}

inline bool run(const std::string& command)
{
    return tv::testing::Run(command);
}

// convert-im6.q16 <input...> <options> <output>
inline void Convert(const std::string& input, const std::string& options, const fs::path& output)
{
    const std::string cmd = std::string(kConvert) + " " + input + " " + options + " " + quote(output);
    ASSERT_TRUE(run(cmd)) << cmd;
}

// ImageMagick's decoding of a file: 8 bits per channel, RGBA. Options go
// after the input (ImageMagick keeps a TGA's origin as metadata: its own
// decoding of one is "-auto-orient").
// One ImageMagick run: its PAM output carries the size with the samples
// (in sRGB, as ImageMagick gives raw RGBA of a CMYK picture too).
inline Rgba Reference(const fs::path& file, const std::string& prefix = "", const std::string& options = "")
{
    Rgba img;
    const std::string pam = capture(std::string(kConvert) + " " + prefix + quote(file) + "[0] " + options +
                                    " -depth 8 -colorspace sRGB pam:-");
    const std::size_t end = pam.find("ENDHDR\n");
    if (end == std::string::npos)
        return img;
    std::istringstream header(pam.substr(0, end));
    int depth = 0, maxval = 0;
    for (std::string key; header >> key;) {
        if (key == "WIDTH")
            header >> img.width;
        else if (key == "HEIGHT")
            header >> img.height;
        else if (key == "DEPTH")
            header >> depth;
        else if (key == "MAXVAL")
            header >> maxval;
    }
    const std::size_t count = std::size_t(img.width) * std::size_t(img.height);
    const char* samples = pam.data() + end + 7;
    if (maxval != 255 || depth < 1 || depth > 4 || pam.size() - (end + 7) < count * std::size_t(depth)) {
        img.width = img.height = 0;
        return img;
    }
    // Grey, grey and alpha, RGB or RGBA, as RGBA.
    img.pixels.resize(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* p = reinterpret_cast<const BYTE*>(samples + i * std::size_t(depth));
        BYTE* q = &img.pixels[i * 4];
        const bool grey = depth <= 2;
        q[0] = p[0];
        q[1] = grey ? p[0] : p[1];
        q[2] = grey ? p[0] : p[2];
        q[3] = depth == 2 ? p[1] : depth == 4 ? p[3] : 255;
    }
    return img;
}

// A codec bitmap's pixels as RGBA: up to 8 bits through the palette, alpha
// only when the bitmap carries it.
inline Rgba FromBitmap(CImageBitmap& bmp)
{
    Rgba img;
    img.width = bmp.GetWidth();
    img.height = bmp.GetHeight();
    BYTE** lines = bmp.GetLineArray();
    const RGBQUAD* pal = bmp.GetPalette();
    const int bpp = bmp.GetBitsPerPixel();
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const BYTE* row = lines[y];
            BYTE r, g, b, a = 255;
            if (bpp <= 8) {
                int index = row[x];
                if (bpp == 1)
                    index = (row[x / 8] >> (7 - x % 8)) & 1;
                else if (bpp == 4)
                    index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
                const RGBQUAD& c = pal[index];
                r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
            } else if (bpp == 24) {
                b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
            } else {
                const BYTE* p = row + 4 * x;
                b = p[0], g = p[1], r = p[2];
                if (bmp.HasAlpha())
                    a = p[3];
            }
            img.pixels.insert(img.pixels.end(), {r, g, b, a});
        }
    return img;
}

// The largest difference of one channel over the picture (alpha too when
// withAlpha); -1 when the sizes differ.
inline int MaxDifference(const Rgba& a, const Rgba& b, bool withAlpha)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() || a.pixels.empty())
        return -1;
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        if (i % 4 == 3 && !withAlpha)
            continue;
        worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
    }
    return worst;
}

inline Bytes ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const fs::path& p, const Bytes& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A colourful test picture of odd size (rows need padding in every format).
inline void MakeSource(const fs::path& out, int width = 37, int height = 23)
{
    Convert("-size " + std::to_string(width) + "x" + std::to_string(height) + " gradient:red-blue",
            "-swirl 90 -fill '#20C040' -draw 'circle 10,10 14,14'", out);
}

inline void PutLe16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = BYTE(v);
    b[at + 1] = BYTE(v >> 8);
}

inline void PutLe32(Bytes& b, std::size_t at, unsigned v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = BYTE(v >> (8 * i));
}

inline void AppendBe16(Bytes& b, unsigned v)
{
    b.push_back(BYTE(v >> 8));
    b.push_back(BYTE(v));
}

inline void AppendBe32(Bytes& b, unsigned v)
{
    AppendBe16(b, v >> 16);
    AppendBe16(b, v & 0xFFFF);
}

} // namespace codec::testing
