#include "buttonlib/media/GifDecoder.h"

#include "platform/mfc/CException.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace media {

namespace {

// The largest image the decoder sizes buffers for, and the most all frames
// together may hold: a 16-bit pair in the header must not reserve gigabytes,
// nor a hundred copies of a large canvas.
constexpr std::size_t kMaxImagePixels = std::size_t(1) << 24;
constexpr std::size_t kMaxFrameBytes = std::size_t(512) << 20;
constexpr int kTableSize = 4096;

struct Rgb {
    BYTE r = 0, g = 0, b = 0;
};

// Reads the data block after the header; any read past its end fails.
class Cursor {
public:
    Cursor(const BYTE* p, std::size_t n) : p_(p), n_(n) {}
    bool Byte(BYTE* out)
    {
        if (pos_ >= n_)
            return false;
        *out = p_[pos_++];
        return true;
    }
    bool Word(int* out)
    {
        BYTE lo = 0, hi = 0;
        if (!Byte(&lo) || !Byte(&hi))
            return false;
        *out = lo | (hi << 8);
        return true;
    }
    bool Skip(std::size_t n)
    {
        if (n > n_ - pos_)
            return false;
        pos_ += n;
        return true;
    }
    // Skips sub-blocks up to and including the zero-length terminator.
    bool SkipSubBlocks()
    {
        BYTE len = 0;
        do {
            if (!Byte(&len) || !Skip(len))
                return false;
        } while (len != 0);
        return true;
    }
    bool ReadTable(int entries, std::array<Rgb, 256>& table)
    {
        table = {};
        for (int i = 0; i < entries; ++i)
            if (!Byte(&table[i].r) || !Byte(&table[i].g) || !Byte(&table[i].b))
                return false;
        return true;
    }

private:
    const BYTE* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

// Codes of the image data, least significant bit first, across sub-blocks.
class CodeReader {
public:
    explicit CodeReader(Cursor& c) : c_(c) {}
    // False at a zero-length sub-block or the end of the data.
    bool Read(int bits, int* code)
    {
        while (held_ < bits) {
            if (left_ == 0) {
                BYTE len = 0;
                if (ended_ || !c_.Byte(&len) || len == 0) {
                    ended_ = true;
                    return false;
                }
                left_ = len;
            }
            BYTE b = 0;
            if (!c_.Byte(&b)) {
                ended_ = true;
                return false;
            }
            --left_;
            buffer_ |= std::uint32_t(b) << held_;
            held_ += 8;
        }
        *code = int(buffer_ & ((1u << bits) - 1));
        buffer_ >>= bits;
        held_ -= bits;
        return true;
    }
    // Moves past whatever data is left after the end code, so the next
    // block is read from its start.
    bool Finish()
    {
        if (ended_)
            return true;
        return c_.Skip(left_) && c_.SkipSubBlocks();
    }

private:
    Cursor& c_;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
    int left_ = 0;
    bool ended_ = false;
};

// Places the image's pixels row by row, in interlace order when asked.
class PixelWriter {
public:
    PixelWriter(std::vector<BYTE>& pixels, int width, int height, bool interlaced)
        : px_(pixels), w_(width), h_(height), interlaced_(interlaced)
    {
    }
    void Put(BYTE index)
    {
        if (row_ < h_)
            px_[std::size_t(row_) * std::size_t(w_) + std::size_t(col_)] = index;
        if (++col_ < w_)
            return;
        col_ = 0;
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int kStep[] = {8, 8, 4, 2};
        static constexpr int kStart[] = {0, 4, 2, 1};
        row_ += kStep[pass_];
        while (row_ >= h_ && pass_ < 3)
            row_ = kStart[++pass_];
    }

private:
    std::vector<BYTE>& px_;
    int w_, h_;
    bool interlaced_;
    int col_ = 0, row_ = 0, pass_ = 0;
};

// The LZW data of one image. False when the data is damaged beyond that:
// a chain that does not lead down to a pixel, a code past the first free
// one right after a clear, or a minimum code size beyond the table.
bool decodeLzw(Cursor& c, PixelWriter& out)
{
    BYTE minSize = 0;
    if (!c.Byte(&minSize) || minSize > 11)
        return false;
    const int clear = 1 << minSize;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    std::vector<std::uint16_t> prefix(kTableSize);
    std::vector<BYTE> suffix(kTableSize);
    std::vector<BYTE> stack(kTableSize);
    for (int i = 0; i < clear; ++i)
        suffix[std::size_t(i)] = BYTE(i);

    CodeReader reader(c);
    int codeSize = minSize + 1;
    int next = firstFree;
    int prev = -1;
    // Writes the string of code; gives its first pixel.
    auto emit = [&](int code, BYTE* first) {
        int n = 0;
        while (code >= clear) {
            const int p = prefix[std::size_t(code)];
            if (p >= code || n >= kTableSize - 1)
                return false;
            stack[std::size_t(n++)] = suffix[std::size_t(code)];
            code = p;
        }
        stack[std::size_t(n++)] = BYTE(code);
        *first = BYTE(code);
        while (n > 0)
            out.Put(stack[std::size_t(--n)]);
        return true;
    };

    int code = 0;
    while (reader.Read(codeSize, &code)) {
        if (code == end)
            return reader.Finish();
        if (code == clear) {
            codeSize = minSize + 1;
            next = firstFree;
            prev = -1;
            continue;
        }
        if (prev < 0) {
            // The first code after a clear is one pixel; only a code past
            // the first free one cannot be.
            if (code > firstFree)
                return false;
            out.Put(BYTE(code));
            prev = code;
            continue;
        }
        BYTE first = 0;
        if (code < next) {
            if (!emit(code, &first))
                return false;
        } else {
            // The code being defined, or one past it in damaged data: the
            // previous string and its own first pixel, and decoding goes on.
            BYTE prevFirst = 0;
            if (!emit(prev, &prevFirst))
                return false;
            out.Put(prevFirst);
            first = prevFirst;
        }
        if (next < kTableSize) {
            prefix[std::size_t(next)] = std::uint16_t(prev);
            suffix[std::size_t(next)] = first;
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        prev = code;
    }
    // The data ran out before the end code: the image keeps what it has.
    return true;
}

struct Image {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<BYTE> pixels;
    std::array<Rgb, 256> colors{};
};

enum class Step { image, end };

// Reads blocks up to the next image; Step::end at the trailer, an unknown
// block, damaged data or the end of the data.
Step nextImage(Cursor& c, const std::array<Rgb, 256>& global, int globalEntries, Image& img)
{
    for (;;) {
        BYTE b = 0;
        if (!c.Byte(&b))
            return Step::end;
        if (b == 0x21) {
            BYTE label = 0;
            if (!c.Byte(&label))
                return Step::end;
            bool ok = false;
            switch (label) {
            case 0x01:
                ok = c.Skip(13) && c.SkipSubBlocks();
                break;
            case 0xF9: // graphic control: its values are not used
            case 0xFE:
                ok = c.SkipSubBlocks();
                break;
            case 0xFF:
                ok = c.Skip(12) && c.SkipSubBlocks();
                break;
            default:
                break;
            }
            if (!ok)
                return Step::end;
            continue;
        }
        if (b != 0x2C)
            return Step::end;
        BYTE packed = 0;
        if (!c.Word(&img.left) || !c.Word(&img.top) || !c.Word(&img.width) || !c.Word(&img.height) ||
            !c.Byte(&packed))
            return Step::end;
        if (img.width == 0 || img.height == 0 || std::size_t(img.width) * std::size_t(img.height) > kMaxImagePixels)
            return Step::end;
        if (packed & 0x80) {
            if (!c.ReadTable(1 << ((packed & 7) + 1), img.colors))
                return Step::end;
        } else {
            img.colors = global;
            (void)globalEntries;
        }
        img.pixels.assign(std::size_t(img.width) * std::size_t(img.height), 0);
        PixelWriter writer(img.pixels, img.width, img.height, (packed & 0x40) != 0);
        if (!decodeLzw(c, writer))
            return Step::end;
        return Step::image;
    }
}

// Draws the image on the canvas at (x, y), clipped to it.
void drawOn(CDIB& canvas, const Image& img, int x, int y)
{
    const int cw = canvas.GetWidth();
    const int ch = canvas.GetHeight();
    const DWORD stride = canvas.GetRowBytes();
    BYTE* bits = canvas.GetBits();
    for (int sy = 0; sy < img.height; ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= ch)
            continue;
        // Rows are held bottom-up.
        BYTE* row = bits + std::size_t(ch - 1 - dy) * stride;
        const BYTE* src = img.pixels.data() + std::size_t(sy) * std::size_t(img.width);
        for (int sx = 0; sx < img.width; ++sx) {
            const int dx = x + sx;
            if (dx < 0 || dx >= cw)
                continue;
            const Rgb& c = img.colors[src[sx]];
            BYTE* p = row + std::size_t(dx) * 3;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
}

} // namespace

bool GifDecoder::Decode(const BYTE* data, std::size_t size, CDIB* frames, int maxFrames, int* count)
{
    *count = 0;
    if (!data || size < 13 || std::memcmp(data, "GIF8", 4) != 0 || (data[4] != '7' && data[4] != '9') ||
        data[5] != 'a')
        return false;
    const BYTE packed = data[10];
    Cursor c(data + 13, size - 13);
    std::array<Rgb, 256> global{};
    int globalEntries = 0;
    if (packed & 0x80) {
        globalEntries = 1 << ((packed & 7) + 1);
        if (!c.ReadTable(globalEntries, global))
            return false;
    }

    try {
        CDIB canvas;
        Image img;
        std::size_t held = 0;
        while (*count < maxFrames && nextImage(c, global, globalEntries, img) == Step::image) {
            if (!canvas.IsValid()) {
                canvas.CreateBlank(img.width, img.height, 24, 0);
                drawOn(canvas, img, 0, 0);
            }
            const std::size_t frameBytes = std::size_t(canvas.GetRowBytes()) * std::size_t(canvas.GetHeight());
            if (held + frameBytes > kMaxFrameBytes)
                break;
            held += frameBytes;
            drawOn(canvas, img, img.left, img.top);
            frames[*count].Copy(canvas);
            ++*count;
        }
    } catch (const CMemoryException&) {
        // A canvas or frame that cannot be had ends the animation there.
    } catch (const std::bad_alloc&) {
    }
    return true;
}

} // namespace media
