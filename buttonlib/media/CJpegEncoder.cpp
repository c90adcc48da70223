#include "buttonlib/media/CJpegEncoder.h"

#include "buttonlib/media/CGlobalDIB.h"

#include <csetjmp>
#include <cstdio>
#include <optional>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace {

constexpr std::size_t kBufferSize = 8192;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

} // namespace

struct CJpegEncoder::State {
    jpeg_compress_struct cinfo{};
    ErrorManager error{};
    jpeg_destination_mgr dest{};
    JOCTET* buffer = nullptr;
    CImageSink* sink = nullptr;
    // A sink failure (code 11) is passed on as it is.
    std::optional<CTextException> sinkError;
    bool created = false;
};

namespace {

CJpegEncoder::State* stateOf(j_compress_ptr cinfo)
{
    return static_cast<CJpegEncoder::State*>(cinfo->client_data);
}

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void outputMessage(j_common_ptr)
{
}

// Writes n bytes of the buffer to the sink; false when the sink refuses.
bool writeOut(CJpegEncoder::State* s, std::size_t n)
{
    try {
        return s->sink->WriteNBytes(int(n), s->buffer) == int(n);
    } catch (const CTextException& e) {
        s->sinkError = e;
        return false;
    }
}

void initDestination(j_compress_ptr cinfo)
{
    CJpegEncoder::State* s = stateOf(cinfo);
    s->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                                kBufferSize));
    cinfo->dest->next_output_byte = s->buffer;
    cinfo->dest->free_in_buffer = kBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    CJpegEncoder::State* s = stateOf(cinfo);
    if (!writeOut(s, kBufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    cinfo->dest->next_output_byte = s->buffer;
    cinfo->dest->free_in_buffer = kBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    CJpegEncoder::State* s = stateOf(cinfo);
    const std::size_t n = kBufferSize - cinfo->dest->free_in_buffer;
    if (n > 0 && !writeOut(s, n))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Only trivially destructible locals: libjpeg longjmps back here.
bool encode(CJpegEncoder::State* s, CImageBitmap* bmp)
{
    jpeg_compress_struct* cinfo = &s->cinfo;
    if (setjmp(s->error.jump))
        return false;
    cinfo->dest = &s->dest;
    cinfo->image_width = JDIMENSION(bmp->GetWidth());
    cinfo->image_height = JDIMENSION(bmp->GetHeight());
    cinfo->input_components = 4;
    // The rows' blue, green, red, unused order.
    cinfo->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_start_compress(cinfo, TRUE);
    BYTE** lines = bmp->GetLineArray();
    for (LONG y = 0; y < bmp->GetHeight(); ++y) {
        JSAMPROW row = lines[y];
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// A 32-bit copy of a bitmap of another depth.
void toThirtyTwo(CImageBitmap* src, CGlobalDIB& out)
{
    const LONG w = src->GetWidth();
    const LONG h = src->GetHeight();
    const WORD bpp = src->GetBitsPerPixel();
    out.Create(w, h, 32, false);
    BYTE** in = src->GetLineArray();
    BYTE** dst = out.GetLineArray();
    const RGBQUAD* pal = src->GetPalette();
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            BYTE* p = dst[y] + 4 * std::size_t(x);
            const BYTE* r = in[y];
            RGBQUAD c{0, 0, 0, 0};
            switch (bpp) {
            case 1: c = pal[(r[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: c = pal[(r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: c = pal[r[x]]; break;
            case 16: {
                const WORD v = WORD(r[2 * x] | (r[2 * x + 1] << 8));
                c = RGBQUAD{BYTE((v & 0x1F) << 3), BYTE(((v >> 5) & 0x1F) << 3), BYTE(((v >> 10) & 0x1F) << 3), 0};
                break;
            }
            default: c = RGBQUAD{r[3 * x], r[3 * x + 1], r[3 * x + 2], 0}; break;
            }
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
            p[3] = 0;
        }
    }
}

} // namespace

CJpegEncoder::CJpegEncoder()
    : m_state(std::make_unique<State>())
{
    State* s = m_state.get();
    s->cinfo.err = jpeg_std_error(&s->error.pub);
    s->error.pub.error_exit = errorExit;
    s->error.pub.output_message = outputMessage;
    if (setjmp(s->error.jump) == 0) {
        jpeg_create_compress(&s->cinfo);
        s->created = true;
    }
    s->cinfo.client_data = s;
    s->dest.init_destination = initDestination;
    s->dest.empty_output_buffer = emptyOutputBuffer;
    s->dest.term_destination = termDestination;
}

CJpegEncoder::~CJpegEncoder()
{
    if (m_state->created)
        jpeg_destroy_compress(&m_state->cinfo);
}

void CJpegEncoder::DoEncode(CImageBitmap* bitmap, CImageSink* sink)
{
    State* s = m_state.get();
    if (!s->created)
        RaiseError(kErrFormatNotSupported, "%s\n", "JPEG library not available");
    CGlobalDIB converted;
    CImageBitmap* source = bitmap;
    if (bitmap->GetBitsPerPixel() != 32) {
        toThirtyTwo(bitmap, converted);
        source = &converted;
    }
    s->sink = sink;
    s->sinkError.reset();
    if (!encode(s, source)) {
        jpeg_abort_compress(&s->cinfo);
        if (s->sinkError)
            throw *s->sinkError;
        RaiseError(kErrFormatNotSupported, "%s\n", s->error.message);
    }
}
