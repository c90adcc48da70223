#include "buttonlib/media/CAnim.h"

#include "buttonlib/media/Compression.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/testing/Command.h"
#include "platform/testing/RiffWriter.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;
using tv::testing::AppendChunk;
using tv::testing::AppendLe16;
using tv::testing::AppendLe32;
using tv::testing::Quote;


// A fresh temporary folder for the life of the test; TMPDIR points there.
class TempFolder {
public:
    TempFolder()
    {
        const char* old = std::getenv("TMPDIR");
        had_ = old != nullptr;
        if (old)
            old_ = old;
        path_ = fs::temp_directory_path() / ("anim-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
        fs::remove_all(path_);
        fs::create_directories(path_);
        ::setenv("TMPDIR", path_.c_str(), 1);
    }
    ~TempFolder()
    {
        if (had_)
            ::setenv("TMPDIR", old_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        fs::remove_all(path_);
    }
    const fs::path& Path() const { return path_; }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path_))
            out.push_back(e.path().filename().string());
        return out;
    }

private:
    static inline int next_ = 0;
    fs::path path_;
    std::string old_;
    bool had_ = false;
};

Bytes readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& p, const Bytes& b)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// --- A small GIF writer ---------------------------------------------------------

struct GifImage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<BYTE> pixels; // indices, row by row
    std::vector<std::array<BYTE, 3>> localTable;
    bool interlaced = false;
    bool control = true;
    // Encoder choices.
    bool clearEveryCode = false; // a clear code before every pixel
    int minCodeSize = 0;         // 0: from the table
    std::vector<int> codes; // when given, the data is exactly these codes
};

void putCode(std::vector<BYTE>& out, std::uint32_t& buf, int& held, int code, int size)
{
    buf |= std::uint32_t(code) << held;
    held += size;
    while (held >= 8) {
        out.push_back(BYTE(buf));
        buf >>= 8;
        held -= 8;
    }
}

// Plain LZW that lets the table fill and keeps the 12-bit codes after that.
std::vector<BYTE> lzw(const std::vector<BYTE>& px, int m, const GifImage& img)
{
    const int clear = 1 << m, end = clear + 1;
    std::vector<BYTE> out;
    std::uint32_t buf = 0;
    int held = 0;
    int size = m + 1;
    putCode(out, buf, held, clear, size);
    if (img.clearEveryCode) {
        for (BYTE p : px) {
            putCode(out, buf, held, p, size);
            putCode(out, buf, held, clear, size);
        }
    } else {
        std::map<std::pair<int, BYTE>, int> table;
        int next = end + 1;
        int cur = -1;
        for (BYTE p : px) {
            if (cur < 0) {
                cur = p;
                continue;
            }
            const auto it = table.find({cur, p});
            if (it != table.end()) {
                cur = it->second;
                continue;
            }
            putCode(out, buf, held, cur, size);
            if (next < 4096) {
                table[{cur, p}] = next++;
                if (next > (1 << size) && size < 12)
                    ++size;
            }
            cur = p;
        }
        if (cur >= 0)
            putCode(out, buf, held, cur, size);
    }
    putCode(out, buf, held, end, size);
    if (held > 0)
        out.push_back(BYTE(buf));
    return out;
}

// Exactly the codes given, each at the size a decoder reads it with.
std::vector<BYTE> rawCodes(const std::vector<int>& codes, int m)
{
    const int clear = 1 << m, end = clear + 1;
    std::vector<BYTE> out;
    std::uint32_t buf = 0;
    int held = 0;
    int size = m + 1;
    int next = clear + 2;
    bool afterClear = true;
    for (int code : codes) {
        putCode(out, buf, held, code, size);
        if (code == clear) {
            size = m + 1;
            next = clear + 2;
            afterClear = true;
        } else if (code == end) {
            break;
        } else if (afterClear) {
            afterClear = false;
        } else if (next < 4096 && ++next == (1 << size) && size < 12) {
            ++size;
        }
    }
    if (held > 0)
        out.push_back(BYTE(buf));
    return out;
}

Bytes makeGif(int width, int height, const std::vector<std::array<BYTE, 3>>& global, const std::vector<GifImage>& images)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    AppendLe16(b, unsigned(width));
    AppendLe16(b, unsigned(height));
    auto tableBits = [](std::size_t n) {
        int bits = 0;
        while ((std::size_t(2) << bits) < n)
            ++bits;
        return bits;
    };
    auto putTable = [&](const std::vector<std::array<BYTE, 3>>& t) {
        const std::size_t n = std::size_t(2) << tableBits(t.size());
        for (std::size_t i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                b.push_back(i < t.size() ? t[i][std::size_t(c)] : 0);
    };
    b.push_back(global.empty() ? 0 : BYTE(0x80 | tableBits(global.size())));
    b.push_back(0);
    b.push_back(0);
    if (!global.empty())
        putTable(global);
    for (const GifImage& img : images) {
        if (img.control)
            b.insert(b.end(), {0x21, 0xF9, 4, 0, 50, 0, 0, 0});
        b.push_back(0x2C);
        AppendLe16(b, unsigned(img.left));
        AppendLe16(b, unsigned(img.top));
        AppendLe16(b, unsigned(img.width));
        AppendLe16(b, unsigned(img.height));
        BYTE packed = img.interlaced ? 0x40 : 0;
        if (!img.localTable.empty())
            packed |= BYTE(0x80 | tableBits(img.localTable.size()));
        b.push_back(packed);
        if (!img.localTable.empty())
            putTable(img.localTable);
        std::vector<BYTE> px = img.pixels;
        if (img.interlaced) {
            px.clear();
            for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int y = start; y < img.height; y += step)
                    px.insert(px.end(), img.pixels.begin() + y * img.width, img.pixels.begin() + (y + 1) * img.width);
        }
        const int m = img.minCodeSize ? img.minCodeSize : 8;
        b.push_back(BYTE(m));
        const std::vector<BYTE> data = img.codes.empty() ? lzw(px, m, img) : rawCodes(img.codes, m);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            b.push_back(BYTE(n));
            b.insert(b.end(), data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
        }
        b.push_back(0);
    }
    b.push_back(0x3B);
    return b;
}

std::vector<std::array<BYTE, 3>> greyTable()
{
    std::vector<std::array<BYTE, 3>> t(256);
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = {BYTE(i), BYTE(255 - i), BYTE(i / 2)};
    return t;
}

GifImage pattern(int w, int h, int seed, int x = 0, int y = 0)
{
    GifImage img;
    img.left = x;
    img.top = y;
    img.width = w;
    img.height = h;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            img.pixels.push_back(BYTE((i * 7 + j * 13 + seed * 31 + (i * j) % 5) & 0xFF));
    return img;
}

// The frame's pixels as top-down RGB triples.
Bytes rgbOf(const CDIB& f)
{
    Bytes out;
    const int w = f.GetWidth(), h = f.GetHeight();
    const BYTE* bits = f.GetBits();
    const RGBQUAD* table = f.GetBitCount() <= 8 ? f.GetColorTable() : nullptr;
    for (int y = 0; y < h; ++y) {
        const BYTE* row = bits + std::size_t(h - 1 - y) * f.GetRowBytes();
        for (int x = 0; x < w; ++x) {
            if (table) {
                const RGBQUAD& q = table[row[x]];
                out.insert(out.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
            } else {
                const BYTE* p = row + x * 3;
                out.insert(out.end(), {p[2], p[1], p[0]});
            }
        }
    }
    return out;
}

Bytes expectedRgb(const GifImage& img, const std::vector<std::array<BYTE, 3>>& table)
{
    Bytes out;
    for (BYTE p : img.pixels)
        out.insert(out.end(), table[p].begin(), table[p].end());
    return out;
}

std::unique_ptr<CAnim> animOf(const Bytes& bytes, BOOL* ok = nullptr)
{
    auto a = std::make_unique<CAnim>();
    const BOOL r = a->SetData(bytes.data(), int(bytes.size()), FALSE, 0);
    if (ok)
        *ok = r;
    return a;
}

// --- GIF ----------------------------------------------------------------------------

TEST(AnimGif, DecodesPlainAndInterlacedImagesAlikeAt24BitsAnd66Ms)
{
    TempFolder tmp;
    const auto table = greyTable();
    for (bool interlaced : {false, true})
        for (bool clears : {false, true}) {
            GifImage img = pattern(37, 23, 1);
            img.interlaced = interlaced;
            img.clearEveryCode = clears;
            img.control = false;
            BOOL ok = FALSE;
            auto a = animOf(makeGif(37, 23, table, {img}), &ok);
            ASSERT_TRUE(ok);
            ASSERT_EQ(a->GetFrameCount(), 1);
            EXPECT_EQ(a->GetType(), CAnim::kTypeGif);
            EXPECT_EQ(a->GetFrameDelay(), 66);
            EXPECT_EQ(a->GetFrame(0)->GetBitCount(), 24);
            EXPECT_EQ(rgbOf(*a->GetFrame(0)), expectedRgb(img, table)) << interlaced << clears;
            EXPECT_EQ(a->GetFrame(1), nullptr);
        }
    EXPECT_TRUE(tmp.Names().empty());
}

TEST(AnimGif, AFullCodeTableKeepsDecodingWithTwelveBitCodes)
{
    const auto table = greyTable();
    GifImage img;
    img.width = 300;
    img.height = 200;
    // Pseudo-random indices fill the 4096-entry table early.
    std::uint32_t s = 12345;
    for (int i = 0; i < img.width * img.height; ++i) {
        s = s * 1103515245u + 12345u;
        img.pixels.push_back(BYTE((s >> 16) & 0xFF));
    }
    auto a = animOf(makeGif(300, 200, table, {img}));
    ASSERT_EQ(a->GetFrameCount(), 1);
    EXPECT_EQ(rgbOf(*a->GetFrame(0)), expectedRgb(img, table));
}

TEST(AnimGif, LaterSmallerImagesAreComposedAtTheirPlaceAndLocalTablesUsed)
{
    const auto table = greyTable();
    GifImage first = pattern(20, 16, 0);
    GifImage second = pattern(6, 5, 3, 10, 8);
    second.localTable = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    for (BYTE& p : second.pixels)
        p &= 3;
    GifImage third = pattern(4, 4, 5, 18, 14); // partly off the canvas
    auto a = animOf(makeGif(20, 16, table, {first, second, third}));
    ASSERT_EQ(a->GetFrameCount(), 3);
    Bytes want = expectedRgb(first, table);
    EXPECT_EQ(rgbOf(*a->GetFrame(0)), want);
    auto paint = [&](const GifImage& img, const std::vector<std::array<BYTE, 3>>& t) {
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const int dx = img.left + x, dy = img.top + y;
                if (dx < 20 && dy < 16)
                    std::copy_n(t[img.pixels[std::size_t(y * img.width + x)]].begin(), 3,
                                want.begin() + (dy * 20 + dx) * 3);
            }
    };
    paint(second, second.localTable);
    EXPECT_EQ(rgbOf(*a->GetFrame(1)), want);
    paint(third, table);
    EXPECT_EQ(rgbOf(*a->GetFrame(2)), want);
}

TEST(AnimGif, DamagedImagesEndTheAnimationAndKeepEarlierFrames)
{
    const auto table = greyTable();
    auto count = [&](GifImage bad) {
        auto a = animOf(makeGif(8, 8, table, {pattern(8, 8, 1), pattern(8, 8, 2), bad, pattern(8, 8, 4)}));
        return a->GetFrameCount();
    };
    GifImage wide = pattern(8, 8, 3);
    wide.minCodeSize = 12;
    wide.clearEveryCode = true;
    EXPECT_EQ(count(wide), 2);
    GifImage empty = pattern(8, 8, 3);
    empty.width = 0;
    EXPECT_EQ(count(empty), 2);
    // A header claiming a picture far too large for a button.
    GifImage huge = pattern(8, 8, 3);
    huge.width = huge.height = 65535;
    EXPECT_EQ(count(huge), 2);

    // Cut inside the third image's data: the first two frames stay.
    Bytes cut = makeGif(8, 8, table, {pattern(8, 8, 1), pattern(8, 8, 2), pattern(8, 8, 3)});
    cut.resize(cut.size() - 30);
    auto a = animOf(cut);
    EXPECT_GE(a->GetFrameCount(), 2);
}

TEST(AnimGif, CodesPastTheTableDecodeOnAsThePreviousStringAndItsFirstPixel)
{
    // Two-bit codes: pixels 0-3, clear 4, end 5, first free code 6.
    const auto table = greyTable();
    auto image = [](std::vector<int> codes) {
        GifImage img = pattern(4, 2, 0);
        img.minCodeSize = 2;
        img.codes = std::move(codes);
        return img;
    };
    auto frame = [&](const GifImage& img, const std::vector<BYTE>& pixels) {
        GifImage want = img;
        want.pixels = pixels;
        return expectedRgb(want, table);
    };
    // A code past the next free one (14 where 9 is next), mid-stream: the
    // previous string (3) and its first pixel again; the image goes on.
    const GifImage past = image({4, 1, 2, 0, 3, 14, 1, 5});
    auto a = animOf(makeGif(4, 2, table, {past}));
    ASSERT_EQ(a->GetFrameCount(), 1);
    EXPECT_EQ(rgbOf(*a->GetFrame(0)), frame(past, {1, 2, 0, 3, 3, 3, 1, 0}));
    // The first free code right after a clear stands for itself as a pixel.
    const GifImage first = image({4, 6, 1, 2, 3, 0, 4, 6, 1, 2, 5});
    auto b = animOf(makeGif(4, 2, table, {first}));
    ASSERT_EQ(b->GetFrameCount(), 1);
    EXPECT_EQ(rgbOf(*b->GetFrame(0)), frame(first, {6, 1, 2, 3, 0, 6, 1, 2}));
    // A code beyond the first free one right after a clear is damage: the
    // animation ends before that image, the frames before it stay.
    auto c = animOf(makeGif(4, 2, table, {pattern(4, 2, 1), image({4, 7, 1, 5}), pattern(4, 2, 2)}));
    EXPECT_EQ(c->GetFrameCount(), 1);
}

TEST(AnimGif, MissingTableEntriesAreBlackAndOnlyAHundredFramesAreKept)
{
    // A 4-entry global table; pixels use index 200.
    GifImage img = pattern(5, 5, 0);
    std::fill(img.pixels.begin(), img.pixels.end(), BYTE(200));
    auto a = animOf(makeGif(5, 5, {{1, 2, 3}, {4, 5, 6}}, {img}));
    ASSERT_EQ(a->GetFrameCount(), 1);
    EXPECT_EQ(rgbOf(*a->GetFrame(0)), Bytes(75, 0));

    std::vector<GifImage> many;
    for (int i = 0; i < 120; ++i)
        many.push_back(pattern(6, 4, i));
    auto b = animOf(makeGif(6, 4, greyTable(), many));
    EXPECT_EQ(b->GetFrameCount(), CAnim::kMaxFrames);
    EXPECT_EQ(rgbOf(*b->GetFrame(99)), expectedRgb(many[99], greyTable()));
}

TEST(AnimGif, FramesEqualImageMagicksCoalescedFrames)
{
    // ImageMagick's own encoding (its LZW, interlaced rows, a smaller image
    // placed inside the canvas) against its own coalesced frames. Each frame
    // costs ImageMagick's GIF writer about a second: a few telling ones.
    TempFolder tmp;
    const fs::path dir = tmp.Path();
    const std::string im = "convert-im6.q16";
    std::string cmd = im + " -size 24x16";
    for (int i = 0; i < 4; ++i)
        cmd += " -page +0+0 gradient:'rgb(" + std::to_string(i * 60) + ",10,200)-rgb(10," + std::to_string(250 - i * 60) +
               ",30)'" + (i == 2 ? " -page +8+5 -size 8x6 plasma:fractal -size 24x16" : "");
    const fs::path gif = dir / "im.gif";
    ASSERT_TRUE(tv::testing::Run("cd " + Quote(dir) + " && " + cmd + " -delay 7 -interlace GIF -seed 3 " + Quote(gif)));
    ASSERT_TRUE(tv::testing::Run(im + " " + Quote(gif) + " -coalesce +adjoin rgb:" + Quote(dir / "c-%d.rgb")));
    CAnim a;
    const fs::path copy = dir / "copy.GIF";
    fs::copy_file(gif, copy);
    ASSERT_TRUE(a.Load(copy.c_str()));
    ASSERT_EQ(a.GetFrameCount(), 5);
    EXPECT_EQ(a.GetFrameDelay(), 66);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rgbOf(*a.GetFrame(i)), readFile(dir / ("c-" + std::to_string(i) + ".rgb"))) << i;
    // The stored blob decodes as a GIF again.
    CAnim b;
    ASSERT_TRUE(media::testing::LoadBlob(b, media::testing::BlobOf(a)));
    EXPECT_EQ(b.GetFrameCount(), 5);
    EXPECT_EQ(b.GetType(), CAnim::kTypeGif);
    EXPECT_EQ(rgbOf(*b.GetFrame(3)), rgbOf(*a.GetFrame(3)));
}

// --- The object ---------------------------------------------------------------------

TEST(AnimObject, BytesFromMemoryAreAlwaysAviAndNoTemporaryFileStays)
{
    TempFolder tmp;
    const Bytes gif = makeGif(4, 4, greyTable(), {pattern(4, 4, 0)});
    CAnim a;
    EXPECT_FALSE(a.LoadFromMemory(gif.data(), int(gif.size())));
    EXPECT_FALSE(a.HasData());
    EXPECT_EQ(a.GetFrameCount(), 0);
    EXPECT_FALSE(a.SetData("XYZ", 3, FALSE, 0));
    EXPECT_FALSE(a.Load("picture.bmp"));
    EXPECT_FALSE(a.Load((tmp.Path() / "missing.gif").c_str()));
    EXPECT_TRUE(tmp.Names().empty());
}

TEST(AnimObject, CompressedDataMustUnpackToExactlyTheGivenSize)
{
    const Bytes gif = makeGif(4, 4, greyTable(), {pattern(4, 4, 0)});
    std::vector<BYTE> packed(gif.size() + 64);
    uLongf packedSize = uLongf(packed.size());
    ASSERT_EQ(compress(packed.data(), &packedSize, gif.data(), uLong(gif.size())), Z_OK);
    CAnim a;
    EXPECT_TRUE(a.SetData(packed.data(), int(packedSize), TRUE, DWORD(gif.size())));
    EXPECT_EQ(a.GetFrameCount(), 1);
    EXPECT_FALSE(a.SetData(packed.data(), int(packedSize), TRUE, DWORD(gif.size() + 1)));
    EXPECT_FALSE(a.HasData());
    EXPECT_EQ(a.GetFrameCount(), 0);
    EXPECT_FALSE(a.SetData(packed.data(), int(packedSize) - 3, TRUE, DWORD(gif.size())));
    EXPECT_EQ(a.GetByteCount(), 0u);
}

TEST(AnimObject, CopiesStoresAndSavesTheFileBytes)
{
    TempFolder tmp;
    const Bytes gif = makeGif(9, 7, greyTable(), {pattern(9, 7, 0), pattern(3, 3, 1, 2, 2)});
    auto a = animOf(gif);
    CAnim b;
    b = *a;
    EXPECT_EQ(b.GetFrameCount(), 2);
    EXPECT_EQ(rgbOf(*b.GetFrame(1)), rgbOf(*a->GetFrame(1)));
    CAnim c;
    media::testing::LoadPlainForm(c, media::testing::PlainForm(*a));
    EXPECT_EQ(Bytes(c.GetData(), c.GetData() + c.GetByteCount()), gif);
    EXPECT_EQ(c.GetFrameCount(), 2);
    const fs::path saved = tmp.Path() / "saved.gif";
    EXPECT_TRUE(a->Save(saved.c_str()));
    EXPECT_EQ(readFile(saved), gif);
    int bits = -1;
    HBITMAP hbm = a->GetFrameBitmap(0, &bits);
    EXPECT_NE(hbm, nullptr);
    DeleteObject(hbm);
    EXPECT_EQ(a->GetFrameBitmap(5, &bits), nullptr);
    EXPECT_EQ(bits, 0);
    // A stored blob that is no animation raises and leaves the object empty.
    Bytes bad = media::testing::PlainForm(*a);
    bad[4] = 'X';
    EXPECT_ANY_THROW(media::testing::LoadPlainForm(c, bad));
    EXPECT_FALSE(c.HasData());
    EXPECT_EQ(c.GetFrameCount(), 0);
}

// --- AVI ----------------------------------------------------------------------------

struct AviCase {
    std::string codec;
    std::string rate;
    int delay;
    double tolerance; // lossless 0: every byte equal; else the mean channel difference allowed
    // The slots the file skips (dropped frames), none when from is -1.
    int dropFrom = -1;
    int dropTo = -1;
};

// ffmpeg's own decoding of the file: its pictures, as top-down RGB frames,
// one for each picture the file holds (none for a slot it skips).
std::vector<Bytes> referencePictures(const fs::path& avi, int w, int h, int count)
{
    const fs::path raw = avi.string() + ".rgb";
    if (!tv::testing::Run("ffmpeg -v quiet -y -i " + Quote(avi) + " -frames:v " + std::to_string(count) +
                          " -fps_mode passthrough -f rawvideo -pix_fmt rgb24 " + Quote(raw)))
        return {};
    const Bytes all = readFile(raw);
    std::vector<Bytes> out;
    const std::size_t n = std::size_t(w) * std::size_t(h) * 3;
    for (std::size_t at = 0; at + n <= all.size(); at += n)
        out.emplace_back(all.begin() + std::ptrdiff_t(at), all.begin() + std::ptrdiff_t(at + n));
    return out;
}

// The mean channel difference of two pictures (256 when they cannot be compared).
double meanDiff(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size() || a.empty())
        return 256;
    long long sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return double(sum) / double(a.size());
}

TEST(AnimAvi, FfmpegFilesDecodeLikeFfmpegItselfFrameForFrame)
{
    TempFolder tmp;
    // Every frame is compared. Lossy codecs convert colours a little
    // differently from ffmpeg's own conversion, so their frames are compared
    // by the mean difference; a frame must also be nearer its own picture
    // than the pictures on either side, or a picture shifted by one would
    // pass. libx264 and mpeg4 with -bf store B-frames, which AVI keeps in
    // decode order. A slot the file skips shows the picture before it, and
    // the pictures after the gap keep their slots. The first file runs past
    // the hundred frames kept; the others are 40 frames long.
    const std::vector<AviCase> cases = {
        {"-c:v rawvideo -pix_fmt bgr24", "15", 66, 0},
        {"-c:v rawvideo -pix_fmt pal8", "10", 100, 0},
        {"-c:v msvideo1", "15", 66, 0},
        {"-c:v cinepak", "10", 100, 0},
        {"-c:v mjpeg -q:v 3", "0.5", 2000, 3},
        {"-c:v mpeg4 -q:v 3", "15", 66, 3},
        {"-c:v mpeg4 -q:v 3 -bf 2", "15", 66, 3},
        {"-c:v libx264 -pix_fmt yuv420p -bf 3", "15", 66, 3},
        {"-c:v rawvideo -pix_fmt bgr24", "10", 100, 0, 5, 6},
        {"-c:v rawvideo -pix_fmt bgr24", "10", 100, 0, 1, 3},
        {"-c:v mpeg4 -q:v 3", "10", 100, 3, 5, 6},
        {"-c:v mpeg4 -q:v 3 -bf 2", "10", 100, 3, 5, 6},
        {"-c:v libx264 -pix_fmt yuv420p -bf 3", "10", 100, 3, 20, 22},
    };
    int n = 0;
    for (const AviCase& c : cases) {
        const bool gap = c.dropFrom >= 0;
        SCOPED_TRACE(c.codec + (gap ? " without slots " + std::to_string(c.dropFrom) + "-" +
                                          std::to_string(c.dropTo)
                                    : std::string()));
        const bool first = n == 0;
        const int frames = first ? 120 : 40;
        const int kept = first ? 100 : 40;
        const fs::path avi = tmp.Path() / ("t" + std::to_string(n++) + ".avi");
        // The slots are the source's frames; the file skips the dropped ones.
        const std::string drop = gap ? " -vf \"trim=end_frame=" + std::to_string(frames) +
                                           ",select='not(between(n," + std::to_string(c.dropFrom) + "," +
                                           std::to_string(c.dropTo) + "))'\" -fps_mode passthrough"
                                     : std::string();
        ASSERT_TRUE(tv::testing::Run("ffmpeg -v quiet -y -f lavfi -i testsrc=size=64x48:rate=" + c.rate +
                                     " -frames:v " + std::to_string(frames) + drop + " " + c.codec + " " +
                                     Quote(avi)));
        // The picture each slot shows: the last one at or before it.
        std::vector<int> pictureOf(std::size_t(kept), 0);
        int pictures = 0;
        for (int slot = 0; slot < kept; ++slot) {
            if (gap && slot >= c.dropFrom && slot <= c.dropTo)
                pictureOf[std::size_t(slot)] = pictures - 1;
            else
                pictureOf[std::size_t(slot)] = pictures++;
        }
        const auto want = referencePictures(avi, 64, 48, pictures);
        ASSERT_EQ(want.size(), std::size_t(pictures));
        CAnim a;
        ASSERT_TRUE(a.Load(avi.c_str()));
        EXPECT_EQ(a.GetType(), CAnim::kTypeAvi);
        ASSERT_EQ(a.GetFrameCount(), kept);
        EXPECT_EQ(a.GetFrameDelay(), c.delay);
        for (int i = 0; i < kept; ++i) {
            const Bytes got = rgbOf(*a.GetFrame(i));
            const int p = pictureOf[std::size_t(i)];
            const Bytes& own = want[std::size_t(p)];
            if (c.tolerance == 0) {
                EXPECT_TRUE(got == own) << "frame " << i << " is not picture " << p;
                continue;
            }
            const double d = meanDiff(got, own);
            EXPECT_LE(d, c.tolerance) << "frame " << i << " is not picture " << p;
            if (p > 0) {
                EXPECT_LT(d, meanDiff(got, want[std::size_t(p - 1)])) << "frame " << i << " is like the picture before";
            }
            if (p < pictures - 1) {
                EXPECT_LT(d, meanDiff(got, want[std::size_t(p + 1)])) << "frame " << i << " is like the picture after";
            }
        }
        // From memory the same bytes give the same frames.
        if (c.codec.find("-bf") != std::string::npos) {
            const Bytes bytes = readFile(avi);
            CAnim m;
            ASSERT_TRUE(m.LoadFromMemory(bytes.data(), int(bytes.size())));
            for (int i = 0; i < kept; ++i)
                EXPECT_TRUE(rgbOf(*m.GetFrame(i)) == rgbOf(*a.GetFrame(i))) << "frame " << i << " from memory";
        }
    }
    for (const auto& name : tmp.Names())
        EXPECT_TRUE(name.rfind("avx", 0) != 0 && name.rfind("avi", 0) != 0 && name.rfind("gif", 0) != 0) << name;
}

// A bottom-up uncompressed 8-bit AVI, or an RLE8 one, of `frames` frames.
Bytes writeAvi(int w, int h, int frames, bool rle, int avihWidth = 0)
{
    using tv::testing::ByteVector;
    ByteVector avih;
    for (std::uint32_t v : {100000u, 0u, 0u, 0x10u, std::uint32_t(frames), 0u, 1u, 0u, std::uint32_t(avihWidth ? avihWidth : w),
                            std::uint32_t(h), 0u, 0u, 0u, 0u})
        AppendLe32(avih, v);
    ByteVector strh = {'v', 'i', 'd', 's'};
    for (std::uint32_t v : {rle ? 1u : 0u, 0u, 0u, 0u, 1u, 10u, 0u, std::uint32_t(frames), 0u, 0xFFFFFFFFu, 0u})
        AppendLe32(strh, v);
    for (int i = 0; i < 4; ++i)
        AppendLe16(strh, 0);
    const int stride = (w + 3) & ~3;
    ByteVector strf;
    for (std::uint32_t v : {40u, std::uint32_t(w), std::uint32_t(h)})
        AppendLe32(strf, v);
    AppendLe16(strf, 1);
    AppendLe16(strf, 8);
    for (std::uint32_t v : {rle ? 1u : 0u, std::uint32_t(stride * h), 0u, 0u, 256u, 0u})
        AppendLe32(strf, v);
    for (int i = 0; i < 256; ++i)
        for (BYTE v : {BYTE(i), BYTE(255 - i), BYTE(i ^ 0x55), BYTE(0)})
            strf.push_back(v);
    ByteVector strl = {'s', 't', 'r', 'l'};
    AppendChunk(strl, "strh", strh);
    AppendChunk(strl, "strf", strf);
    ByteVector hdrl = {'h', 'd', 'r', 'l'};
    AppendChunk(hdrl, "avih", avih);
    AppendChunk(hdrl, "LIST", strl);
    ByteVector movi = {'m', 'o', 'v', 'i'};
    ByteVector idx;
    for (int f = 0; f < frames; ++f) {
        ByteVector px;
        // Row y of the file is the picture's row h - 1 - y (bottom-up); the
        // value is the picture row plus the frame number.
        for (int y = 0; y < h; ++y) {
            const BYTE v = BYTE((h - 1 - y) * 3 + f);
            if (rle) {
                px.push_back(BYTE(w));
                px.push_back(v);
                px.push_back(0);
                px.push_back(0); // end of line
            } else {
                for (int x = 0; x < stride; ++x)
                    px.push_back(x < w ? v : 0);
            }
        }
        if (rle) {
            px.back() = 1; // the last end of line becomes end of bitmap
        }
        AppendLe32(idx, 0x62643030); // "00db"
        AppendLe32(idx, 0x10);
        AppendLe32(idx, std::uint32_t(movi.size()));
        AppendLe32(idx, std::uint32_t(px.size()));
        AppendChunk(movi, rle ? "00dc" : "00db", px);
    }
    ByteVector chunks;
    AppendChunk(chunks, "LIST", hdrl);
    AppendChunk(chunks, "LIST", movi);
    AppendChunk(chunks, "idx1", idx);
    return tv::testing::MakeRiff("AVI ", chunks);
}

TEST(AnimAvi, BottomUpAndRunLengthFramesComeOutUpright)
{
    TempFolder tmp;
    for (bool rle : {false, true}) {
        const Bytes file = writeAvi(10, 6, 120, rle);
        CAnim a;
        ASSERT_TRUE(a.LoadFromMemory(file.data(), int(file.size()))) << rle;
        ASSERT_EQ(a.GetFrameCount(), 100);
        EXPECT_EQ(a.GetFrameDelay(), 100);
        for (int f : {0, 42, 99}) {
            const CDIB& d = *a.GetFrame(f);
            ASSERT_EQ(d.GetBitCount(), 8);
            // Bottom row of the picture first in the held rows.
            const BYTE bottom = d.GetBits()[0];
            const BYTE top = d.GetBits()[5 * d.GetRowBytes()];
            const RGBQUAD& qb = d.GetColorTable()[bottom];
            EXPECT_EQ(qb.rgbBlue, BYTE(5 * 3 + f)) << rle << f;
            EXPECT_EQ(d.GetColorTable()[top].rgbBlue, BYTE(f)) << rle << f;
            EXPECT_EQ(qb.rgbGreen, BYTE(255 - (5 * 3 + f)));
        }
    }
    EXPECT_TRUE(tmp.Names().empty());
}

TEST(AnimAvi, OpenErrorsAndFrameSizeMismatchAreToldToTheUser)
{
    TempFolder tmp;
    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    const fs::path good = tmp.Path() / "good.avi";
    writeFile(good, writeAvi(8, 4, 3, false));
    CAnim a;
    const std::vector<std::pair<HRESULT, std::string>> codes = {
        {video::AVIERR_FILEREAD, "Disk error occurred while reading the file"},
        {video::AVIERR_FILEOPEN, "Disk error occurred while opening the file"},
        {video::AVIERR_MEMORY, "Insufficient memory"},
        {video::AVIERR_BADFORMAT, "Invalid AVI file"},
        {video::REGDB_E_CLASSNOTREG, "Invalid AVI file"},
        {HRESULT(0x80004005u), "Error"},
    };
    for (const auto& [code, text] : codes) {
        video::testing::ForceOpenResult(code);
        EXPECT_FALSE(a.CheckFile(good.c_str(), FALSE));
        EXPECT_FALSE(a.Load(good.c_str()));
        ASSERT_FALSE(box->shown.empty());
        EXPECT_EQ(box->shown.back().text, text);
        EXPECT_EQ(box->shown.back().type, win::MB_ICONEXCLAMATION | win::MB_TASKMODAL);
    }
    video::testing::ForceOpenResult(video::AVIERR_OK);
    box->shown.clear();
    EXPECT_TRUE(a.CheckFile(good.c_str(), FALSE));
    EXPECT_TRUE(a.CheckFile("whatever", TRUE));
    const fs::path missing = tmp.Path() / "missing.avi";
    EXPECT_FALSE(a.CheckFile(missing.c_str(), FALSE));
    EXPECT_EQ(box->shown.back().text, "Disk error occurred while opening the file");
    const fs::path junk = tmp.Path() / "junk.avi";
    writeFile(junk, Bytes(300, 'R'));
    EXPECT_FALSE(a.CheckFile(junk.c_str(), FALSE));
    EXPECT_EQ(box->shown.back().text, "Invalid AVI file");

    box->shown.clear();
    const Bytes odd = writeAvi(8, 4, 3, false, 9);
    EXPECT_FALSE(a.LoadFromMemory(odd.data(), int(odd.size())));
    ASSERT_EQ(box->shown.size(), 1u);
    EXPECT_EQ(box->shown[0].text, "The frame size differs from page size.\nCannot Continue");
    EXPECT_FALSE(a.HasData());
    EXPECT_EQ(a.GetFrameCount(), 0);
    win::SetMessageBoxPort(nullptr);
    fs::remove(good);
    fs::remove(junk);
    EXPECT_TRUE(tmp.Names().empty());
}

TEST(AnimAvi, AHiddenEntryPointOrLibraryFailsTheLoad)
{
    TempFolder tmp;
    const Bytes file = writeAvi(8, 4, 3, false);
    for (const char* name : {"AVIStreamGetFrame", "AVIFileInit"}) {
        video::testing::HideEntryPoint(name);
        CAnim a;
        EXPECT_FALSE(a.LoadFromMemory(file.data(), int(file.size()))) << name;
        EXPECT_FALSE(a.HasData());
        EXPECT_EQ(a.GetFrameCount(), 0);
    }
    video::testing::HideEntryPoint("");
    video::testing::HideLibrary(true);
    CAnim b;
    EXPECT_FALSE(b.SetData(file.data(), int(file.size()), FALSE, 0));
    video::testing::HideLibrary(false);
    EXPECT_TRUE(b.SetData(file.data(), int(file.size()), FALSE, 0));
    EXPECT_EQ(b.GetFrameCount(), 3);
    EXPECT_TRUE(tmp.Names().empty());
}

} // namespace
