#include "buttonlib/media/CPngDecoder.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

struct CPngDecoder::Context {
    CImageSource* source = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    // The library's message, and whether the data ended early (code 11, not 2).
    char message[256] = {};
    bool endOfData = false;
    // The largest block libpng is given (see pngAlloc).
    std::size_t allocLimit = std::numeric_limits<std::size_t>::max();
};

namespace {

// Errors leave the library by longjmp to the decode frame.
void pngError(png_structp png, png_const_charp msg)
{
    auto* ctx = static_cast<CPngDecoder::Context*>(png_get_error_ptr(png));
    std::snprintf(ctx->message, sizeof ctx->message, "%s", msg ? msg : "");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp)
{
}

// libpng sizes a chunk's block by the chunk's header before it reads the
// data, whatever limit it is told: an ancillary chunk claiming a gigabyte is
// only warned about. So no block larger than the data (or a zlib window) is
// handed out, except while the rows are set up; libpng skips a chunk it gets
// no block for, or fails.
png_voidp pngAlloc(png_structp png, png_alloc_size_t size)
{
    const auto* ctx = static_cast<const CPngDecoder::Context*>(png_get_mem_ptr(png));
    if (ctx && size > ctx->allocLimit)
        return nullptr;
    return std::malloc(size);
}

void pngFree(png_structp, png_voidp block)
{
    std::free(block);
}

void pngRead(png_structp png, png_bytep out, png_size_t length)
{
    auto* ctx = static_cast<CPngDecoder::Context*>(png_get_io_ptr(png));
    bool ok = length <= std::size_t(ctx->source->GetBytesLeft());
    if (ok) {
        // The source raises on a short read; that cannot happen after the check.
        std::memcpy(out, ctx->source->ReadNBytes(int(length)), length);
    }
    if (!ok) {
        ctx->endOfData = true;
        png_error(png, "read past the end of the data");
    }
}

// The decode proper. Only trivially destructible locals: libpng longjmps
// back into this frame.
bool decode(CPngDecoder::Context* ctx, CImageBitmap* bitmap, int* bpp, int* sourceBpp)
{
    png_structp png = ctx->png;
    png_infop info = ctx->info;
    if (setjmp(png_jmpbuf(png)))
        return false;

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        static_cast<unsigned long long>(width) * height * 4 > CImageBitmap::kMaxImageBytes)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");

    bool alpha = false;
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
        if (*bpp == 32) {
            png_set_gray_to_rgb(png);
            png_set_expand(png);
        } else {
            *bpp = 8;
        }
        break;
    case PNG_COLOR_TYPE_RGB:
        *bpp = 32;
        break;
    case PNG_COLOR_TYPE_PALETTE:
        if (depth == 16 || *bpp == 32) {
            png_set_expand(png);
            *bpp = 32;
        } else {
            *bpp = 8;
        }
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        *bpp = 32;
        png_set_gray_to_rgb(png);
        png_set_expand(png);
        alpha = true;
        break;
    default:
        *bpp = 32;
        alpha = true;
        break;
    }
    if (*bpp == 32) {
        png_set_bgr(png);
        if (!alpha)
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    bitmap->Create(LONG(width), LONG(height), WORD(*bpp), alpha);

    RGBQUAD* pal = bitmap->GetPalette();
    if (colorType == PNG_COLOR_TYPE_GRAY && *bpp == 8) {
        const int n = 1 << (depth < 8 ? depth : 8);
        for (int i = 0; i < 256; ++i)
            pal[i] = RGBQUAD{0, 0, 0, 255};
        for (int i = 0; i < n; ++i) {
            const BYTE v = BYTE(i * 255 / (n - 1));
            pal[i] = RGBQUAD{v, v, v, 255};
        }
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE && *bpp == 8) {
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &entries, &count);
        *sourceBpp = depth;
        // Entries past the file's palette are black.
        for (int i = 0; i < 256; ++i)
            pal[i] = i < count ? RGBQUAD{entries[i].blue, entries[i].green, entries[i].red, 255} : RGBQUAD{0, 0, 0, 255};
    }
    if (depth == 16)
        png_set_strip_16(png);
    if (depth < 8)
        png_set_packing(png);
    if (interlace != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    // The row buffers follow the picture's width, already bounded above.
    const std::size_t chunkLimit = ctx->allocLimit;
    ctx->allocLimit = std::numeric_limits<std::size_t>::max();
    png_read_update_info(png, info);
    ctx->allocLimit = chunkLimit;
    // Each output row must fit the bitmap's row.
    if (png_get_rowbytes(png, info) > std::size_t(bitmap->GetBytesPerLine())) {
        std::snprintf(ctx->message, sizeof ctx->message, "unexpected row size");
        return false;
    }
    png_read_image(png, bitmap->GetLineArray());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

void CPngDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>&, int& bpp, CImageSource* source)
{
    Context ctx;
    ctx.source = source;
    ctx.allocLimit = std::max<std::size_t>(std::size_t(std::max(source->GetBytesLeft(), 0)), 64 << 10);
    ctx.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &ctx, pngError, pngWarning, &ctx, pngAlloc, pngFree);
    if (!ctx.png)
        RaiseError(kErrNoMemory, "libpng read structure could not be created.");
    ctx.info = png_create_info_struct(ctx.png);
    if (!ctx.info) {
        png_destroy_read_struct(&ctx.png, nullptr, nullptr);
        RaiseError(kErrNoMemory, "libpng info structure could not be created.");
    }
    png_set_read_fn(ctx.png, &ctx, pngRead);
    bool ok = false;
    try {
        ok = decode(&ctx, bitmap, &bpp, &m_SourceBpp);
    } catch (...) {
        png_destroy_read_struct(&ctx.png, &ctx.info, nullptr);
        throw;
    }
    png_destroy_read_struct(&ctx.png, &ctx.info, nullptr);
    if (!ok) {
        if (ctx.endOfData)
            CImageSource::RaiseEndOfData();
        RaiseError(kErrFormatUnknown, "%s", ctx.message);
    }
}
