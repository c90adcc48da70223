#include "platform/win/CursorFile.h"

#include "platform/win/CursorTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace win;
using namespace win::testing;

std::uint32_t checker(int x, int y)
{
    return std::uint32_t((x / 4 + y / 4) % 2);
}
std::uint32_t stripes16(int x, int y)
{
    return std::uint32_t((x + 2 * y) % 16);
}
std::uint32_t spread256(int x, int y)
{
    return std::uint32_t((x * 7 + y * 3) % 256);
}
std::uint32_t gradient(int x, int y)
{
    return 0xFF000000u | std::uint32_t(x * 8) << 16 | std::uint32_t(y * 8) << 8 | std::uint32_t((x * y) & 0xFF);
}
std::uint32_t translucent(int x, int y)
{
    return std::uint32_t((x * 8) & 0xFF) << 24 | 0x00C08040u | std::uint32_t(y);
}
std::uint32_t noAlpha(int x, int y)
{
    return gradient(x, y) & 0x00FFFFFF;
}
// Some pixels masked over black (transparent), some over colour (inverting).
bool sparseMask(int x, int y)
{
    return (x + y) % 9 == 0 || x == y;
}

std::vector<std::uint32_t> palette(std::size_t n)
{
    std::vector<std::uint32_t> p(n);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = std::uint32_t((i * 0x3F1B7) & 0xFFFFFF);
    p[0] = 0;  // black, so masked index-0 pixels are transparent
    if (n == 2)
        p[1] = 0xFFFFFF;
    return p;
}

QRgb expected(const DibPicture& p, int x, int y, bool alpha)
{
    const std::uint32_t v = p.value(x, y);
    const std::uint32_t rgb = p.bitCount <= 8 ? p.palette[v] : (v & 0xFFFFFF);
    const int r = int(rgb >> 16), g = int((rgb >> 8) & 0xFF), b = int(rgb & 0xFF);
    if (alpha)
        return qRgba(r, g, b, int(v >> 24));
    if (!p.mask || !p.mask(x, y))
        return qRgba(r, g, b, 255);
    return rgb == 0 ? qRgba(0, 0, 0, 0) : qRgba(0, 0, 0, 255);
}

void expectPixels(const QImage& image, const DibPicture& p, bool alpha)
{
    ASSERT_EQ(image.width(), p.width);
    ASSERT_EQ(image.height(), p.height);
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (image.pixel(x, y) != expected(p, x, y, alpha) && ++wrong < 4)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << image.pixel(x, y) << " not "
                              << expected(p, x, y, alpha);
    EXPECT_EQ(wrong, 0);
}

DibPicture picture(int bitCount, int width = 32, int height = 32)
{
    DibPicture p;
    p.width = width;
    p.height = height;
    p.bitCount = bitCount;
    p.mask = sparseMask;
    switch (bitCount) {
    case 1: p.value = checker, p.palette = palette(2); break;
    case 4: p.value = stripes16, p.palette = palette(16); break;
    case 8: p.value = spread256, p.palette = palette(256); break;
    default: p.value = gradient; break;
    }
    return p;
}

CursorFile read(const Bytes& bytes)
{
    CursorFile file;
    EXPECT_TRUE(ReadCursorFile(bytes, file));
    return file;
}

TEST(CursorFileTest, EveryDepthGivesItsPixelsMaskAndHotSpot)
{
    // Odd widths need padded rows in both the colour bits and the mask.
    for (int bitCount : {1, 4, 8, 24, 32}) {
        for (int width : {32, 13}) {
            SCOPED_TRACE(std::to_string(bitCount) + " bits, width " + std::to_string(width));
            const DibPicture p = picture(bitCount, width, 20);
            const CursorFile file = read(MakeCur({{MakeDib(p), width, 20, QPoint(5, 7)}}));
            ASSERT_EQ(file.frames.size(), 1u);
            EXPECT_FALSE(file.animated);
            EXPECT_EQ(file.First().hotSpot, QPoint(5, 7));
            expectPixels(file.First().image, p, bitCount == 32);
        }
    }
}

TEST(CursorFileTest, ThirtyTwoBitImagesUseAlphaWhenTheyHaveAny)
{
    DibPicture p = picture(32);
    p.value = translucent;
    expectPixels(read(MakeCur({{MakeDib(p)}})).First().image, p, true);
    // With alpha, the mask may be left out altogether.
    p.withMask = false;
    expectPixels(read(MakeCur({{MakeDib(p)}})).First().image, p, true);

    // All alpha zero: an old-style image, drawn through its mask.
    p = picture(32);
    p.value = noAlpha;
    expectPixels(read(MakeCur({{MakeDib(p)}})).First().image, p, false);
    // Neither alpha nor mask: every pixel is opaque.
    p.withMask = false;
    p.mask = nullptr;
    expectPixels(read(MakeCur({{MakeDib(p)}})).First().image, p, false);
    // Below 32 bits the mask must be there.
    DibPicture shallow = picture(24);
    shallow.withMask = false;
    CursorFile file;
    EXPECT_FALSE(ReadCursorFile(MakeCur({{MakeDib(shallow)}}), file));
}

TEST(CursorFileTest, APngEntryDecodes)
{
    QImage source(24, 24, QImage::Format_ARGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            source.setPixel(x, y, qRgba(x * 10, y * 10, 128, (x + y) * 5));
    const CursorFile file = read(MakeCur({{MakePng(source), 24, 24, QPoint(23, 0)}}));
    EXPECT_EQ(file.First().image, source);
    EXPECT_EQ(file.First().hotSpot, QPoint(23, 0));

    // A PNG beyond the largest cursor is not decoded.
    const QImage big(300, 2, QImage::Format_ARGB32);
    CursorFile none;
    EXPECT_FALSE(ReadCursorFile(MakeCur({{MakePng(big), 0, 2}}), none));
}

TEST(CursorFileTest, TheEntryNearestThirtyTwoPixelsWinsAndTheDeeperOnTies)
{
    const CurEntry small{MakeDib(picture(8, 16, 16)), 16, 16, QPoint(1, 1)};
    const CurEntry nearShallow{MakeDib(picture(4)), 32, 32, QPoint(2, 2)};
    const CurEntry nearDeep{MakeDib(picture(8)), 32, 32, QPoint(3, 3)};
    const CurEntry large{MakeDib(picture(32, 48, 48)), 48, 48, QPoint(4, 4)};
    EXPECT_EQ(read(MakeCur({small, nearShallow, large, nearDeep})).First().hotSpot, QPoint(3, 3));
    EXPECT_EQ(read(MakeCur({nearDeep, nearShallow})).First().hotSpot, QPoint(3, 3));
    // 16 and 48 are as far from 32: the 32-bit one.
    EXPECT_EQ(read(MakeCur({small, large})).First().hotSpot, QPoint(4, 4));
    const CurEntry deepSmall{MakeDib(picture(32, 16, 16)), 16, 16, QPoint(5, 5)};
    EXPECT_EQ(read(MakeCur({large, deepSmall, small})).First().hotSpot, QPoint(4, 4));

    // An entry that points outside the file, or whose pixels are cut short,
    // gives way to the next best.
    Bytes file = MakeCur({nearDeep, small});
    file[6 + 15] = 0xFF;  // top byte of the first entry's offset
    EXPECT_EQ(read(file).First().hotSpot, QPoint(1, 1));
    CurEntry cut = nearDeep;
    cut.image.resize(cut.image.size() - 200);
    EXPECT_EQ(read(MakeCur({cut, small})).First().hotSpot, QPoint(1, 1));
}

TEST(CursorFileTest, HotSpotsOutsideTheImageAreHeldToIt)
{
    EXPECT_EQ(read(MakeCur({{MakeDib(picture(8, 16, 16)), 16, 16, QPoint(900, 16)}})).First().hotSpot, QPoint(15, 15));
}

Bytes frame(int bitCount, QPoint hotSpot)
{
    return MakeCur({{MakeDib(picture(bitCount)), 32, 32, hotSpot}});
}

TEST(CursorFileTest, AnimatedCursorsKeepFramesStepsAndRates)
{
    const std::vector<Bytes> frames = {frame(1, {0, 0}), frame(8, {1, 1}), frame(24, {2, 2})};

    const CursorFile plain = read(MakeAni(frames, {}, {}, 7));
    EXPECT_TRUE(plain.animated);
    ASSERT_EQ(plain.frames.size(), 3u);
    EXPECT_EQ(plain.steps, (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(plain.rates, (std::vector<std::uint32_t>{7, 7, 7}));
    EXPECT_EQ(plain.First().hotSpot, QPoint(0, 0));
    expectPixels(plain.frames[2].image, picture(24), false);

    const CursorFile sequenced = read(MakeAni(frames, std::vector<std::uint32_t>{2, 0, 1, 2},
                                              std::vector<std::uint32_t>{5, 6, 7, 8}));
    EXPECT_EQ(sequenced.steps, (std::vector<std::uint32_t>{2, 0, 1, 2}));
    EXPECT_EQ(sequenced.rates, (std::vector<std::uint32_t>{5, 6, 7, 8}));
    // The first step's frame is the cursor.
    EXPECT_EQ(sequenced.First().hotSpot, QPoint(2, 2));

    const CursorFile rated = read(MakeAni(frames, {}, std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(rated.rates, (std::vector<std::uint32_t>{1, 2, 3}));
    const CursorFile seqOnly = read(MakeAni(frames, std::vector<std::uint32_t>{1, 1}, {}, 4));
    EXPECT_EQ(seqOnly.rates, (std::vector<std::uint32_t>{4, 4}));
    EXPECT_EQ(seqOnly.First().hotSpot, QPoint(1, 1));

    // Icons (type 1) may be frames too, hot spot at their centre.
    const Bytes icon = MakeCur({{MakeDib(picture(8, 16, 16)), 16, 16}}, 1);
    EXPECT_EQ(read(MakeAni({icon})).First().hotSpot, QPoint(8, 8));
    CursorFile none;
    EXPECT_FALSE(ReadCursorFile(icon, none));
}

TEST(CursorFileTest, InconsistentAnimationsAreRefused)
{
    const std::vector<Bytes> frames = {frame(8, {0, 0}), frame(8, {1, 1})};
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes noHeader = MakeAni(frames);
    std::copy_n("junk", 4, noHeader.begin() + 12);
    Bytes moreFramesThanIcons = MakeAni(frames);
    moreFramesThanIcons[12 + 8 + 4] = 3;
    Bytes badFrame = MakeAni({frames[0], Bytes{1, 2, 3, 4}});
    const Case cases[] = {
        {"sequence beyond the frames", MakeAni(frames, std::vector<std::uint32_t>{0, 2})},
        {"fewer rates than steps", MakeAni(frames, std::vector<std::uint32_t>{0, 1, 0}, std::vector<std::uint32_t>{1, 1})},
        {"no header", noHeader},
        {"more frames than icons", moreFramesThanIcons},
        {"a frame that is no cursor", badFrame},
        {"no frames", MakeAni({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CursorFile file;
        EXPECT_FALSE(ReadCursorFile(c.file, file));
        EXPECT_TRUE(file.frames.empty());
    }
}

TEST(CursorFileTest, HostileDirectoriesAndChunkSizesRunClean)
{
    const Bytes cur = MakeCur({{MakeDib(picture(4, 13, 9)), 13, 9}, {MakeDib(picture(32, 8, 8)), 8, 8}});
    const Bytes ani = MakeAni({cur, frame(1, {3, 3})}, std::vector<std::uint32_t>{1, 0}, std::vector<std::uint32_t>{2, 2});
    for (const Bytes* f : {&cur, &ani}) {
        // Every cut, and every byte of the headers set to extremes.
        for (std::size_t n = 0; n < f->size(); ++n) {
            CursorFile file;
            ReadCursorFile(riff::Bytes(f->data(), n), file);
        }
        for (std::size_t i = 0; i < 120 && i < f->size(); ++i) {
            for (std::uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes bad = *f;
                bad[i] = v;
                CursorFile file;
                if (ReadCursorFile(bad, file)) {
                    ASSERT_FALSE(file.steps.empty());
                    EXPECT_LT(file.steps.front(), file.frames.size());
                    EXPECT_FALSE(file.First().image.isNull());
                }
            }
        }
    }
    // A directory that claims 65535 entries over a few bytes, and entries
    // whose offset plus size wraps around.
    Bytes many = cur;
    many[4] = many[5] = 0xFF;
    CursorFile file;
    EXPECT_FALSE(ReadCursorFile(many, file));
    Bytes wrap = cur;
    for (int k = 0; k < 4; ++k)
        wrap[6 + 8 + k] = 0xFF;  // size of the first entry
    wrap[6 + 16 + 12] = 0xF0, wrap[6 + 16 + 15] = 0xFF;  // offset of the second
    EXPECT_FALSE(ReadCursorFile(wrap, file));
}

TEST(CursorFileTest, CursorResourcesCarryTheirHotSpotBeforeTheImage)
{
    const DibPicture p = picture(24, 32, 32);
    CursorFile file;
    ASSERT_TRUE(ReadCursorResource(MakeCursorResource(QPoint(9, 4), MakeDib(p)), false, file));
    EXPECT_EQ(file.First().hotSpot, QPoint(9, 4));
    expectPixels(file.First().image, p, false);
    ASSERT_TRUE(ReadCursorResource(MakeDib(p), true, file));
    EXPECT_EQ(file.First().hotSpot, QPoint(16, 16));
    EXPECT_FALSE(ReadCursorResource(Bytes{1, 0}, false, file));
    EXPECT_FALSE(ReadCursorResource(MakeCursorResource(QPoint(1, 1), Bytes(30, 0x28)), false, file));
}

} // namespace
