#include "platform/video/AviService.h"

#include "platform/basic/Riff.h"
#include "platform/gdi/Gdi.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The FFmpeg entry points the service uses.
#define TV_FFMPEG_ENTRIES(X) X(av_find_input_format) X(av_frame_alloc) X(av_frame_free) X(av_log_set_level) \
    X(av_packet_alloc) X(av_packet_free) X(av_packet_unref) X(av_read_frame) X(av_seek_frame) \
    X(avcodec_alloc_context3) X(avcodec_find_decoder) X(avcodec_flush_buffers) X(avcodec_free_context) \
    X(avcodec_open2) X(avcodec_parameters_to_context) X(avcodec_receive_frame) X(avcodec_send_packet) \
    X(avformat_close_input) X(avformat_open_input) X(sws_freeContext) X(sws_getCachedContext) X(sws_scale)

namespace video {

namespace {

// FFmpeg is loaded when the first AVI file opens, not with the library: a
// program that plays no video never loads it and the many libraries it
// needs. Each entry point is bound by name; the sonames follow the headers
// built against.
struct Ffmpeg {
#define TV_FFMPEG_ENTRY(name) decltype(&::name) name = nullptr;
    TV_FFMPEG_ENTRIES(TV_FFMPEG_ENTRY)
#undef TV_FFMPEG_ENTRY
};

std::string soname(const char* stem, int major)
{
    return std::string(stem) + ".so." + std::to_string(major);
}

// The bound entry points, or nullptr when a library or one of its entry
// points is missing (then no file opens).
const Ffmpeg* loadFfmpeg()
{
    static const Ffmpeg* const loaded = []() -> const Ffmpeg* {
        void* libraries[] = {
            dlopen(soname("libavutil", LIBAVUTIL_VERSION_MAJOR).c_str(), RTLD_NOW | RTLD_LOCAL),
            dlopen(soname("libavcodec", LIBAVCODEC_VERSION_MAJOR).c_str(), RTLD_NOW | RTLD_LOCAL),
            dlopen(soname("libavformat", LIBAVFORMAT_VERSION_MAJOR).c_str(), RTLD_NOW | RTLD_LOCAL),
            dlopen(soname("libswscale", LIBSWSCALE_VERSION_MAJOR).c_str(), RTLD_NOW | RTLD_LOCAL),
        };
        auto bind = [&](const char* name) -> void* {
            for (void* library : libraries)
                if (library)
                    if (void* entry = dlsym(library, name))
                        return entry;
            return nullptr;
        };
        static Ffmpeg api;
        bool complete = true;
#define TV_FFMPEG_ENTRY(name)                                                                                          \
    api.name = reinterpret_cast<decltype(&::name)>(bind(#name));                                                      \
    complete = complete && api.name != nullptr;
        TV_FFMPEG_ENTRIES(TV_FFMPEG_ENTRY)
#undef TV_FFMPEG_ENTRY
        if (!complete)
            return nullptr;
        api.av_log_set_level(AV_LOG_QUIET);
        return &api;
    }();
    return loaded;
}

// Only for files that opened, which loaded it.
const Ffmpeg& ffmpeg()
{
    return *loadFfmpeg();
}

} // namespace

struct AviFile {
    AVFormatContext* format = nullptr;
    int videoIndex = -1;
    DWORD width = 0, height = 0;
    ~AviFile()
    {
        if (format)
            ffmpeg().avformat_close_input(&format);
    }
};

// The picture kind the stream's decoder gives, learnt from its first frame.
struct FrameKind {
    int bits = 24;
    std::vector<RGBQUAD> palette;
};

struct AviStream {
    AviFile* file = nullptr;
    AVStream* stream = nullptr;
    bool kindKnown = false;
    FrameKind kind;
};

struct AviFrameReader {
    AviStream* owner = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    bool ended = false;
    // A frame slot is a chunk of the file, numbered from 0; a slot the file
    // skips (a dropped frame) holds no picture. Pictures come out of the
    // decoder in presentation order, stamped in slots; the first one's stamp
    // against the first chunk's slot tells the decoder's reorder delay.
    long long firstChunk = AV_NOPTS_VALUE;
    bool delayKnown = false;
    long long delay = 0;
    long long lastSlot = -1; // the slot of the picture decoded last
    // The picture decoded ahead (in frame) and not yet handed out.
    bool ahead = false;
    long long aheadSlot = -1;
    // The picture handed out last (packed) stands for the slots from
    // shownFrom up to the next picture's slot.
    long long shownFrom = -1;
    std::vector<BYTE> packed;
    ~AviFrameReader()
    {
        ffmpeg().sws_freeContext(scaler);
        ffmpeg().av_frame_free(&frame);
        ffmpeg().av_packet_free(&packet);
        ffmpeg().avcodec_free_context(&codec);
    }
};

namespace testing {
namespace {
std::atomic<HRESULT> g_forcedOpen{AVIERR_OK};
}
void ForceOpenResult(HRESULT hr)
{
    g_forcedOpen = hr;
}
} // namespace testing

namespace {

HRESULT fromAvError(int err)
{
    if (err == AVERROR(ENOMEM))
        return AVIERR_MEMORY;
    if (err == AVERROR(EIO) || err == AVERROR_EOF)
        return AVIERR_FILEREAD;
    return AVIERR_BADFORMAT;
}

// dwWidth and dwHeight of the "avih" header inside LIST "hdrl".
bool readMainHeader(std::ifstream& in, DWORD* width, DWORD* height)
{
    std::vector<std::uint8_t> head(64 * 1024);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(std::size_t(in.gcount()));
    if (head.size() < 12 || std::memcmp(head.data(), "RIFF", 4) != 0 || std::memcmp(head.data() + 8, "AVI ", 4) != 0)
        return false;
    std::size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint8_t* id = head.data() + at;
        const std::uint32_t size = riff::Le32(id + 4);
        if (std::memcmp(id, "LIST", 4) == 0 && at + 12 <= head.size() && std::memcmp(id + 8, "hdrl", 4) == 0) {
            at += 12;
            continue;
        }
        if (std::memcmp(id, "avih", 4) == 0) {
            if (size < 40 || at + 8 + 40 > head.size())
                return false;
            *width = riff::Le32(id + 8 + 32);
            *height = riff::Le32(id + 8 + 36);
            return true;
        }
        at += 8 + std::size_t(size) + (size & 1);
    }
    return false;
}

AviFrameReader* openReader(AviStream* s)
{
    auto r = std::make_unique<AviFrameReader>();
    r->owner = s;
    const AVCodec* dec = ffmpeg().avcodec_find_decoder(s->stream->codecpar->codec_id);
    if (!dec)
        return nullptr;
    r->codec = ffmpeg().avcodec_alloc_context3(dec);
    r->packet = ffmpeg().av_packet_alloc();
    r->frame = ffmpeg().av_frame_alloc();
    if (!r->codec || !r->packet || !r->frame ||
        ffmpeg().avcodec_parameters_to_context(r->codec, s->stream->codecpar) < 0)
        return nullptr;
    r->codec->pkt_timebase = s->stream->time_base;
    r->codec->thread_count = 1;
    if (ffmpeg().avcodec_open2(r->codec, dec, nullptr) < 0)
        return nullptr;
    return r.release();
}

// Back to the first frame. Frames are numbered as they come out of the
// decoder from there: after a seek into the middle, pictures that come
// before the key frame in presentation order could not be told apart.
bool rewind(AviFrameReader* r)
{
    AVFormatContext* fmt = r->owner->file->format;
    const int index = r->owner->stream->index;
    if (ffmpeg().av_seek_frame(fmt, index, 0, AVSEEK_FLAG_BACKWARD) < 0 &&
        ffmpeg().av_seek_frame(fmt, index, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return false;
    ffmpeg().avcodec_flush_buffers(r->codec);
    r->ended = false;
    r->firstChunk = AV_NOPTS_VALUE;
    r->delayKnown = false;
    r->delay = 0;
    r->lastSlot = -1;
    r->ahead = false;
    r->aheadSlot = -1;
    r->shownFrom = -1;
    return true;
}

enum class Decoded { Picture, End, Failed };

// The slot of the picture just decoded: its presentation stamp less the
// decoder's delay; a picture without a stamp, or with one that does not
// move on, takes the slot after the last.
long long slotOf(AviFrameReader* r)
{
    const long long stamp = r->frame->best_effort_timestamp;
    if (!r->delayKnown) {
        r->delayKnown = true;
        const long long first = r->firstChunk != AV_NOPTS_VALUE ? r->firstChunk : 0;
        r->delay = stamp != AV_NOPTS_VALUE ? stamp - first : 0;
    }
    const long long slot = stamp != AV_NOPTS_VALUE ? stamp - r->delay : r->lastSlot + 1;
    return std::max(slot, r->lastSlot + 1);
}

// Decodes the next picture into r->frame and records its slot.
Decoded decodeNext(AviFrameReader* r)
{
    AVFormatContext* fmt = r->owner->file->format;
    const int index = r->owner->stream->index;
    for (;;) {
        const int got = ffmpeg().avcodec_receive_frame(r->codec, r->frame);
        if (got == 0) {
            r->lastSlot = slotOf(r);
            return Decoded::Picture;
        }
        if (got == AVERROR_EOF || (got == AVERROR(EAGAIN) && r->ended))
            return Decoded::End;
        if (got != AVERROR(EAGAIN))
            return Decoded::Failed;
        const int read = ffmpeg().av_read_frame(fmt, r->packet);
        if (read < 0) {
            r->ended = true;
            ffmpeg().avcodec_send_packet(r->codec, nullptr);
            continue;
        }
        if (r->packet->stream_index == index) {
            // The demuxer stamps a stream's chunks with their slot.
            if (r->firstChunk == AV_NOPTS_VALUE)
                r->firstChunk = r->packet->dts;
            ffmpeg().avcodec_send_packet(r->codec, r->packet);
        }
        ffmpeg().av_packet_unref(r->packet);
    }
}

FrameKind kindOf(const AVFrame* f)
{
    FrameKind k;
    if (f->format == AV_PIX_FMT_PAL8 && f->data[1]) {
        k.bits = 8;
        k.palette.resize(256);
        // FFmpeg's palette holds native 0xAARRGGBB words.
        const auto* pal = reinterpret_cast<const std::uint32_t*>(f->data[1]);
        for (int i = 0; i < 256; ++i)
            k.palette[std::size_t(i)] = RGBQUAD{BYTE(pal[i]), BYTE(pal[i] >> 8), BYTE(pal[i] >> 16), 0};
    }
    return k;
}

bool learnKind(AviStream* s)
{
    if (s->kindKnown)
        return true;
    std::unique_ptr<AviFrameReader> r(openReader(s));
    if (!r || !rewind(r.get()) || decodeNext(r.get()) != Decoded::Picture)
        return false;
    s->kind = kindOf(r->frame);
    s->kindKnown = true;
    return true;
}

DWORD rowBytes(int width, int bits)
{
    return DWORD(((long long)width * bits + 31) / 32 * 4);
}

// The decoded frame as a packed DIB in the stream's format.
void* packFrame(AviFrameReader* r)
{
    const AVFrame* f = r->frame;
    const FrameKind& kind = r->owner->kind;
    if (f->width <= 0 || f->height <= 0)
        return nullptr;
    const DWORD stride = rowBytes(f->width, kind.bits);
    const std::size_t table = kind.palette.size() * sizeof(RGBQUAD);
    const std::size_t image = std::size_t(stride) * std::size_t(f->height);
    try {
        r->packed.assign(sizeof(BITMAPINFOHEADER) + table + image, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = f->width;
    h.biHeight = f->height;
    h.biPlanes = 1;
    h.biBitCount = WORD(kind.bits);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(image);
    h.biClrUsed = DWORD(kind.palette.size());
    std::memcpy(r->packed.data(), &h, sizeof h);
    BYTE* bits = r->packed.data() + sizeof h + table;
    if (kind.bits == 8) {
        if (f->format != AV_PIX_FMT_PAL8)
            return nullptr;
        // This frame's own palette, which may differ from the first one's.
        const FrameKind own = kindOf(f);
        std::memcpy(r->packed.data() + sizeof h, own.palette.data(), table);
        for (int y = 0; y < f->height; ++y)
            std::memcpy(bits + std::size_t(f->height - 1 - y) * stride, f->data[0] + std::ptrdiff_t(y) * f->linesize[0],
                        std::size_t(f->width));
        return r->packed.data();
    }
    r->scaler = ffmpeg().sws_getCachedContext(r->scaler, f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                     AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!r->scaler)
        return nullptr;
    // Bottom-up: start at the last row and step backwards.
    uint8_t* dst[4] = {bits + std::size_t(f->height - 1) * stride, nullptr, nullptr, nullptr};
    int dstStride[4] = {-int(stride), 0, 0, 0};
    if (ffmpeg().sws_scale(r->scaler, f->data, f->linesize, 0, f->height, dst, dstStride) != f->height)
        return nullptr;
    return r->packed.data();
}

} // namespace

void AviFileInit() {}

void AviFileExit() {}

HRESULT AviFileOpen(PAVIFILE* ppfile, const char* path, UINT, void*)
{
    if (!ppfile)
        return AVIERR_BADFORMAT;
    *ppfile = nullptr;
    if (const HRESULT forced = testing::g_forcedOpen; forced != AVIERR_OK)
        return forced;
    if (!path)
        return AVIERR_FILEOPEN;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return AVIERR_FILEOPEN;
    try {
        auto file = std::make_unique<AviFile>();
        if (!readMainHeader(in, &file->width, &file->height))
            return in.bad() ? AVIERR_FILEREAD : AVIERR_BADFORMAT;
        in.close();
        if (!loadFfmpeg())
            return AVIERR_BADFORMAT;
        const AVInputFormat* avi = ffmpeg().av_find_input_format("avi");
        if (!avi)
            return AVIERR_BADFORMAT;
        if (const int err = ffmpeg().avformat_open_input(&file->format, path, avi, nullptr); err < 0)
            return err == AVERROR(ENOENT) || err == AVERROR(EACCES) ? AVIERR_FILEOPEN : fromAvError(err);
        for (unsigned i = 0; i < file->format->nb_streams; ++i) {
            const AVCodecParameters* par = file->format->streams[i]->codecpar;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO && ffmpeg().avcodec_find_decoder(par->codec_id)) {
                file->videoIndex = int(i);
                break;
            }
        }
        if (file->videoIndex < 0)
            return AVIERR_BADFORMAT;
        *ppfile = file.release();
        return AVIERR_OK;
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
}

HRESULT AviFileInfo(PAVIFILE pfile, AVIFILEINFO* info, LONG size)
{
    if (!pfile || !info || size < LONG(sizeof *info))
        return AVIERR_BADFORMAT;
    *info = AVIFILEINFO{};
    info->dwWidth = pfile->width;
    info->dwHeight = pfile->height;
    info->dwStreams = pfile->format->nb_streams;
    return AVIERR_OK;
}

ULONG AviFileRelease(PAVIFILE pfile)
{
    delete pfile;
    return 0;
}

HRESULT AviFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD type, LONG param)
{
    if (!ppavi)
        return AVIERR_BADFORMAT;
    *ppavi = nullptr;
    if (!pfile || type != streamtypeVIDEO || param != 0)
        return AVIERR_NODATA;
    auto* s = new (std::nothrow) AviStream;
    if (!s)
        return AVIERR_MEMORY;
    s->file = pfile;
    s->stream = pfile->format->streams[pfile->videoIndex];
    *ppavi = s;
    return AVIERR_OK;
}

HRESULT AviStreamInfo(PAVISTREAM pavi, AVISTREAMINFO* info, LONG size)
{
    if (!pavi || !info || size < LONG(sizeof *info))
        return AVIERR_BADFORMAT;
    *info = AVISTREAMINFO{};
    const AVStream* st = pavi->stream;
    info->fccType = streamtypeVIDEO;
    info->fccHandler = st->codecpar->codec_tag;
    // The stream's time base is one frame: scale / rate seconds.
    info->dwScale = st->time_base.num > 0 ? DWORD(st->time_base.num) : 0;
    info->dwRate = st->time_base.den > 0 ? DWORD(st->time_base.den) : 0;
    info->dwLength = st->nb_frames > 0 && st->nb_frames <= 0x7FFFFFFF ? DWORD(st->nb_frames) : 0;
    info->rcRight = st->codecpar->width;
    info->rcBottom = st->codecpar->height;
    return AVIERR_OK;
}

ULONG AviStreamRelease(PAVISTREAM pavi)
{
    delete pavi;
    return 0;
}

HRESULT AviStreamReadFormat(PAVISTREAM pavi, LONG, void* format, LONG* size)
{
    if (!pavi || !size)
        return AVIERR_BADFORMAT;
    if (!learnKind(pavi))
        return AVIERR_BADFORMAT;
    const FrameKind& k = pavi->kind;
    const LONG need = LONG(sizeof(BITMAPINFOHEADER) + k.palette.size() * sizeof(RGBQUAD));
    if (!format) {
        *size = need;
        return AVIERR_OK;
    }
    if (*size < need)
        return AVIERR_BADFORMAT;
    const AVCodecParameters* par = pavi->stream->codecpar;
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = par->width;
    h.biHeight = par->height;
    h.biPlanes = 1;
    h.biBitCount = WORD(k.bits);
    h.biCompression = BI_RGB;
    h.biSizeImage = rowBytes(par->width, k.bits) * DWORD(par->height > 0 ? par->height : 0);
    h.biClrUsed = DWORD(k.palette.size());
    std::memcpy(format, &h, sizeof h);
    if (!k.palette.empty())
        std::memcpy(static_cast<BYTE*>(format) + sizeof h, k.palette.data(), k.palette.size() * sizeof(RGBQUAD));
    *size = need;
    return AVIERR_OK;
}

PGETFRAME AviStreamGetFrameOpen(PAVISTREAM pavi, const void* wanted)
{
    if (!pavi || wanted || !learnKind(pavi))
        return nullptr;
    try {
        AviFrameReader* r = openReader(pavi);
        if (r && !rewind(r)) {
            delete r;
            return nullptr;
        }
        return r;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* AviStreamGetFrame(PGETFRAME pg, LONG pos)
{
    if (!pg || pos < 0)
        return nullptr;
    if (pg->shownFrom >= 0 && pos < pg->shownFrom && !rewind(pg))
        return nullptr;
    // Pictures are handed out up to the last one at or before pos: a slot
    // the file skips shows the picture before it, and so do the slots after
    // the last picture. Slots before the first picture show the first.
    for (;;) {
        if (!pg->ahead) {
            const Decoded d = decodeNext(pg);
            if (d == Decoded::Failed)
                return nullptr;
            if (d == Decoded::End)
                break;
            pg->ahead = true;
            pg->aheadSlot = pg->lastSlot;
        }
        if (pg->shownFrom >= 0 && pg->aheadSlot > pos)
            break;
        if (!packFrame(pg))
            return nullptr;
        pg->ahead = false;
        pg->shownFrom = std::min<long long>(pg->aheadSlot, pos);
    }
    return pg->shownFrom >= 0 ? pg->packed.data() : nullptr;
}

HRESULT AviStreamGetFrameClose(PGETFRAME pg)
{
    delete pg;
    return AVIERR_OK;
}

} // namespace video
