#include "buttonlib/media/CJpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace {

// Library errors come back here through longjmp, never as C++ exceptions
// through the library's frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

} // namespace

struct CJpegDecoder::State {
    jpeg_decompress_struct cinfo{};
    ErrorManager error{};
    jpeg_source_mgr source{};
    CImageSource* data = nullptr;
    bool created = false;
    std::vector<BYTE> scratch;
};

namespace {

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings and traces go nowhere, as all diagnostics of this library.
void outputMessage(j_common_ptr)
{
}

void initSource(j_decompress_ptr)
{
}

void termSource(j_decompress_ptr)
{
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    // Only called when the data is used up: end the picture here.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long n)
{
    if (n <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<unsigned long>(n) < src->bytes_in_buffer) {
        src->next_input_byte += n;
        src->bytes_in_buffer -= std::size_t(n);
    } else {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->next_input_byte = kFakeEoi;
        src->bytes_in_buffer = 2;
    }
}

BYTE clampByte(int v)
{
    return BYTE(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The decode proper. Only trivially destructible locals: a library error
// longjmps back into this frame.
bool decode(CJpegDecoder::State* s, CImageBitmap* bitmap, int* bpp, bool fast)
{
    jpeg_decompress_struct* cinfo = &s->cinfo;
    if (setjmp(s->error.jump))
        return false;

    s->source.next_input_byte = s->data->GetCurrentPtr();
    s->source.bytes_in_buffer = std::size_t(s->data->GetBytesLeft());
    cinfo->src = &s->source;
    jpeg_read_header(cinfo, TRUE);
    // Refused before the library allocates for a picture that cannot be had.
    if (static_cast<unsigned long long>(cinfo->image_width) * cinfo->image_height * 4 > CImageBitmap::kMaxImageBytes)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    if (fast)
        cinfo->do_fancy_upsampling = FALSE;
    cinfo->dct_method = JDCT_FLOAT;
    const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    // The library's own colour ordering gives the rows' blue, green, red order.
    cinfo->out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(cinfo);

    const LONG width = LONG(cinfo->output_width);
    const LONG height = LONG(cinfo->output_height);
    if (grey) {
        if (*bpp == 0)
            *bpp = 8;
    } else {
        *bpp = 32;
    }
    bitmap->Create(width, height, WORD(*bpp), false);
    BYTE** lines = bitmap->GetLineArray();
    const bool adobe = cinfo->saw_Adobe_marker;
    for (LONG y = 0; y < height; ++y) {
        JSAMPROW row = lines[y];
        if (grey && *bpp == 32)
            row = s->scratch.data();
        else if (cmyk)
            row = s->scratch.data();
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            break;
        BYTE* out = lines[y];
        if (grey && *bpp == 32) {
            for (LONG x = 0; x < width; ++x) {
                const BYTE g = s->scratch[std::size_t(x)];
                out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = g;
                out[4 * x + 3] = 255;
            }
        } else if (cmyk) {
            for (LONG x = 0; x < width; ++x) {
                const BYTE* k = &s->scratch[4 * std::size_t(x)];
                // Adobe files store the inks inverted.
                const int c = adobe ? k[0] : 255 - k[0];
                const int m = adobe ? k[1] : 255 - k[1];
                const int ye = adobe ? k[2] : 255 - k[2];
                const int kk = adobe ? k[3] : 255 - k[3];
                out[4 * x] = clampByte((ye * kk + 127) / 255);
                out[4 * x + 1] = clampByte((m * kk + 127) / 255);
                out[4 * x + 2] = clampByte((c * kk + 127) / 255);
                out[4 * x + 3] = 255;
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

CJpegDecoder::CJpegDecoder()
    : m_state(std::make_unique<State>())
{
    State* s = m_state.get();
    s->cinfo.err = jpeg_std_error(&s->error.pub);
    s->error.pub.error_exit = errorExit;
    s->error.pub.output_message = outputMessage;
    if (setjmp(s->error.jump) == 0) {
        jpeg_create_decompress(&s->cinfo);
        s->created = true;
        // Progressive pictures buffer their coefficients: an error, not a
        // huge allocation, when that exceeds what a picture may use.
        s->cinfo.mem->max_memory_to_use = long(CImageBitmap::kMaxImageBytes);
    }
    s->source.init_source = initSource;
    s->source.fill_input_buffer = fillInputBuffer;
    s->source.skip_input_data = skipInputData;
    s->source.resync_to_restart = jpeg_resync_to_restart;
    s->source.term_source = termSource;
}

CJpegDecoder::~CJpegDecoder()
{
    if (m_state->created)
        jpeg_destroy_decompress(&m_state->cinfo);
}

void CJpegDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>&, int& bpp, CImageSource* source)
{
    State* s = m_state.get();
    if (!s->created)
        RaiseError(kErrFormatNotSupported, "%s\n", "JPEG library not available");
    s->data = source;
    // Room for one row of any output: grey and CMYK rows are converted from here.
    const std::size_t widest = std::size_t(0xFFFF) * 4;
    if (s->scratch.size() < widest)
        s->scratch.resize(widest);
    bool ok = false;
    try {
        ok = decode(s, bitmap, &bpp, m_bFast);
    } catch (...) {
        jpeg_abort_decompress(&s->cinfo);
        throw;
    }
    if (!ok) {
        jpeg_abort_decompress(&s->cinfo);
        RaiseError(kErrFormatNotSupported, "%s\n", s->error.message);
    }
}
