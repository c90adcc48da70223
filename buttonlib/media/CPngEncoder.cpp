#include "buttonlib/media/CPngEncoder.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <optional>

struct CPngEncoder::Context {
    CImageBitmap* bitmap = nullptr;
    CImageSink* sink = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_colorp plte = nullptr;
    // A sink failure (code 11) is passed on as it is.
    std::optional<CTextException> sinkError;
    char message[256] = {};
    std::vector<BYTE> row;
};

namespace {

void pngError(png_structp png, png_const_charp msg)
{
    auto* ctx = static_cast<CPngEncoder::Context*>(png_get_error_ptr(png));
    std::snprintf(ctx->message, sizeof ctx->message, "%s", msg ? msg : "");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp)
{
}

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* ctx = static_cast<CPngEncoder::Context*>(png_get_io_ptr(png));
    bool ok = true;
    try {
        ok = length <= 0x7FFFFFFF && ctx->sink->WriteNBytes(int(length), data) == int(length);
    } catch (const CTextException& e) {
        ctx->sinkError = e;
        ok = false;
    }
    if (!ok)
        png_error(png, "Error writting file");
}

void pngFlush(png_structp)
{
}

// Only trivially destructible locals: libpng longjmps back here.
bool encode(CPngEncoder::Context* ctx)
{
    png_structp png = ctx->png;
    png_infop info = ctx->info;
    CImageBitmap* bmp = ctx->bitmap;
    if (setjmp(png_jmpbuf(png)))
        return false;

    int depth = 0;
    int colorType = 0;
    switch (bmp->GetBitsPerPixel()) {
    case 1: depth = 1; colorType = PNG_COLOR_TYPE_GRAY; break;
    case 8: depth = 8; colorType = PNG_COLOR_TYPE_PALETTE; break;
    case 24: depth = 8; colorType = PNG_COLOR_TYPE_RGB; break;
    case 32: depth = 8; colorType = PNG_COLOR_TYPE_RGB_ALPHA; break;
    default: break;
    }
    const LONG width = bmp->GetWidth();
    const LONG height = bmp->GetHeight();
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (bmp->GetBitsPerPixel() == 8) {
        ctx->plte = static_cast<png_colorp>(png_malloc(png, 256 * sizeof(png_color)));
        const RGBQUAD* pal = bmp->GetPalette();
        for (int i = 0; i < 256; ++i)
            ctx->plte[i] = png_color{pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
        png_set_PLTE(png, info, ctx->plte, 256);
    }
    png_color_8 sig{};
    sig.red = sig.green = sig.blue = BYTE(depth);
    sig.gray = 0;
    sig.alpha = bmp->HasAlpha() ? 8 : 0;
    png_set_sBIT(png, info, &sig);
    png_write_info(png, info);
    png_set_bgr(png);

    BYTE** lines = bmp->GetLineArray();
    // Without alpha the fourth byte is written opaque, whatever it holds.
    const bool opaque = bmp->GetBitsPerPixel() == 32 && !bmp->HasAlpha();
    for (LONG y = 0; y < height; ++y) {
        png_bytep row = lines[y];
        if (opaque) {
            std::memcpy(ctx->row.data(), lines[y], std::size_t(width) * 4);
            for (LONG x = 0; x < width; ++x)
                ctx->row[4 * std::size_t(x) + 3] = 0xFF;
            row = ctx->row.data();
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

void CPngEncoder::DoEncode(CImageBitmap* bitmap, CImageSink* sink)
{
    Context ctx;
    ctx.bitmap = bitmap;
    ctx.sink = sink;
    if (bitmap->GetBitsPerPixel() == 32)
        ctx.row.resize(std::size_t(bitmap->GetWidth()) * 4);
    ctx.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, pngError, pngWarning);
    if (!ctx.png)
        RaiseError(kErrFormatNotSupported, "%s", "libpng write structure could not be created.");
    ctx.info = png_create_info_struct(ctx.png);
    if (!ctx.info) {
        png_destroy_write_struct(&ctx.png, nullptr);
        RaiseError(kErrFormatNotSupported, "%s", "libpng info structure could not be created.");
    }
    png_set_write_fn(ctx.png, &ctx, pngWrite, pngFlush);
    const bool ok = encode(&ctx);
    if (ctx.plte)
        png_free(ctx.png, ctx.plte);
    png_destroy_write_struct(&ctx.png, &ctx.info);
    if (!ok) {
        if (ctx.sinkError)
            throw *ctx.sinkError;
        RaiseError(kErrFormatNotSupported, "%s", ctx.message);
    }
}
