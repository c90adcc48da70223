#include "platform/gdi/Gdi.h"
#include "platform/gdi/MetafileTestCorpus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using gdi::testing::Bytes;
using gdi::testing::EmfBuilder;
using gdi::testing::MetafileSample;
using gdi::testing::WmfBuilder;
using gdi::testing::detail::rc;
using gdi::testing::detail::rc16;
using gdi::testing::detail::rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

HENHMETAFILE load(const Bytes& b, bool enhanced)
{
    if (enhanced)
        return SetEnhMetaFileBits(UINT(b.size()), b.data());
    // A placeable header goes before the records; the handle takes what follows.
    std::size_t skip = 0;
    if (b.size() >= 4 && b[0] == 0xD7 && b[1] == 0xCD && b[2] == 0xC6 && b[3] == 0x9A)
        skip = 22;
    return skip <= b.size() ? SetWinMetaFileBits(UINT(b.size() - skip), b.data() + skip, nullptr, nullptr) : nullptr;
}

// A picture of w x h played onto white, as colours, top row first.
struct Played {
    int width = 0, height = 0;
    BOOL result = FALSE;
    std::vector<COLORREF> px;
    COLORREF at(int x, int y) const { return px[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Played play(HENHMETAFILE h, int w, int ht)
{
    Played out{w, ht, FALSE, {}};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, ht);
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT r{0, 0, w, ht};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    out.result = PlayEnhMetaFile(dc, h, &r);
    SelectObject(dc, old);
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 1024, 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -ht, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> bits(std::size_t(w) * std::size_t(ht) * 4);
    GetDIBits(dc, bmp, 0, UINT(ht), bits.data(), bmi, DIB_RGB_COLORS);
    for (std::size_t i = 0; i < bits.size(); i += 4)
        out.px.push_back(RGB(bits[i + 2], bits[i + 1], bits[i]));
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}

Played play(const Bytes& b, bool enhanced, int w = 160, int h = 120)
{
    HENHMETAFILE mf = load(b, enhanced);
    EXPECT_NE(mf, nullptr);
    if (!mf)
        return Played{w, h, FALSE, std::vector<COLORREF>(std::size_t(w) * std::size_t(h), kWhite)};
    Played p = play(mf, w, h);
    DeleteEnhMetaFile(mf);
    return p;
}

const MetafileSample& sample(const std::vector<MetafileSample>& all, const std::string& name)
{
    for (const auto& s : all)
        if (s.name == name)
            return s;
    throw std::runtime_error("no sample " + name);
}

struct Check {
    int x, y;
    COLORREF color;
};

void expectPixels(const Played& p, const std::vector<Check>& checks)
{
    for (const Check& c : checks)
        EXPECT_EQ(p.at(c.x, c.y), c.color) << "at " << c.x << ", " << c.y;
}

TEST(MetafileTest, EnhancedHeaderAndPaletteAreReadOnce)
{
    for (int count : {0, 16, 256}) {
        SCOPED_TRACE(count);
        EmfBuilder e;
        const Bytes b = e.Finish(gdi::testing::PaletteEntries(count));
        HENHMETAFILE h = SetEnhMetaFileBits(UINT(b.size()), b.data());
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GetEnhMetaFileHeader(h, 0, nullptr), sizeof(ENHMETAHEADER));
        ENHMETAHEADER hdr{};
        EXPECT_EQ(GetEnhMetaFileHeader(h, sizeof hdr, &hdr), sizeof hdr);
        EXPECT_EQ(hdr.rclFrame.right, 4000);
        EXPECT_EQ(hdr.rclFrame.bottom, 3000);
        EXPECT_EQ(hdr.szlDevice.cx, 1000);
        EXPECT_EQ(hdr.szlMillimeters.cy, 250);
        EXPECT_EQ(hdr.nPalEntries, DWORD(count));
        EXPECT_EQ(GetEnhMetaFilePaletteEntries(h, 0, nullptr), UINT(count));
        std::vector<PALETTEENTRY> entries(300);
        EXPECT_EQ(GetEnhMetaFilePaletteEntries(h, 300, entries.data()), UINT(count));
        const auto expected = gdi::testing::PaletteEntries(count);
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(std::memcmp(&entries[std::size_t(i)], &expected[std::size_t(i)], 4), 0);
        EXPECT_TRUE(DeleteEnhMetaFile(h));
        // A handle once deleted is no handle.
        EXPECT_EQ(GetEnhMetaFileHeader(h, 0, nullptr), 0u);
        EXPECT_FALSE(DeleteEnhMetaFile(h));
        EXPECT_FALSE(PlayEnhMetaFile(GetDC(nullptr), h, nullptr));
    }
}

TEST(MetafileTest, BadHeadersGiveNoHandle)
{
    const Bytes good = EmfBuilder().Finish();
    EXPECT_EQ(SetEnhMetaFileBits(0, nullptr), nullptr);
    EXPECT_EQ(SetEnhMetaFileBits(40, good.data()), nullptr); // cut inside the header
    Bytes bad = good;
    bad[40] = 'X'; // signature
    EXPECT_EQ(SetEnhMetaFileBits(UINT(bad.size()), bad.data()), nullptr);
    bad = good;
    bad[0] = 2; // not a header record
    EXPECT_EQ(SetEnhMetaFileBits(UINT(bad.size()), bad.data()), nullptr);
    bad = good;
    bad[4] = 0xFF; // header longer than the data
    bad[5] = 0xFF;
    EXPECT_EQ(SetEnhMetaFileBits(UINT(bad.size()), bad.data()), nullptr);

    WmfBuilder w(160, 120, false);
    const Bytes wmf = w.Finish();
    EXPECT_NE(load(wmf, false), nullptr);
    EXPECT_EQ(SetWinMetaFileBits(10, wmf.data(), nullptr, nullptr), nullptr);
    const Bytes noise(64, 0x5A);
    EXPECT_EQ(SetWinMetaFileBits(UINT(noise.size()), noise.data(), nullptr, nullptr), nullptr);
    EXPECT_EQ(SetWinMetaFileBits(UINT(good.size()), good.data(), nullptr, nullptr), nullptr);
}

TEST(MetafileTest, WindowsMetafileFillsTheReferenceScreen)
{
    const auto all = gdi::testing::WmfCorpus();
    HENHMETAFILE h = load(sample(all, "shapes_pal16.wmf").bytes, false);
    ASSERT_NE(h, nullptr);
    ENHMETAHEADER hdr{};
    GetEnhMetaFileHeader(h, sizeof hdr, &hdr);
    EXPECT_EQ(hdr.szlDevice.cx, kScreenWidth);
    EXPECT_EQ(hdr.szlDevice.cy, kScreenHeight);
    EXPECT_EQ(hdr.szlMillimeters.cx, GetDeviceCaps(GetDC(nullptr), HORZSIZE));
    // Frame and device agree, so the size rule gives the screen's size.
    EXPECT_EQ(hdr.rclFrame.right * hdr.szlDevice.cx / (hdr.szlMillimeters.cx * 100), kScreenWidth);
    EXPECT_EQ(hdr.rclFrame.bottom * hdr.szlDevice.cy / (hdr.szlMillimeters.cy * 100), kScreenHeight);
    // The palette is the first one the file makes.
    EXPECT_EQ(hdr.nPalEntries, 16u);
    PALETTEENTRY e[16];
    EXPECT_EQ(GetEnhMetaFilePaletteEntries(h, 16, e), 16u);
    EXPECT_EQ(e[3].peRed, 3 * 37);
    DeleteEnhMetaFile(h);
}

TEST(MetafileTest, HandCheckedPicturesHaveTheirColoursWhereExpected)
{
    const auto emf = gdi::testing::EmfCorpus();
    const auto wmf = gdi::testing::WmfCorpus();
    auto emfPicture = [&](const char* name) { return play(sample(emf, name).bytes, true); };
    auto wmfPicture = [&](const char* name) { return play(sample(wmf, name).bytes, false); };

    // Window (-100,-100) 1000 x 1000 onto viewport (4,4) 70 x 50; then the
    // window halved, the viewport's width halved; MM_LOMETRIC at 4 pixels a
    // millimetre, y up; a world transform turning 30 degrees; one scaling x 2.
    expectPixels(emfPicture("mapping.emf"), {{12, 10, RGB(0, 150, 200)}, {45, 33, RGB(0, 150, 200)},
                                            {9, 10, kWhite},             {31, 23, RGB(220, 0, 120)},
                                            {7, 48, RGB(220, 0, 120)},   {13, 48, kWhite},
                                            {81, 13, RGB(60, 180, 60)},  {139, 59, RGB(60, 180, 60)},
                                            {81, 9, kWhite},             {141, 30, kWhite},
                                            {50, 80, RGB(240, 180, 0)},  {35, 75, kWhite},
                                            {125, 102, RGB(240, 180, 0)}, {102, 91, kWhite}});
    // Clipping to two rectangles moved by (5, 2), then to the left half of an ellipse.
    expectPixels(emfPicture("regions.emf"), {{16, 13, RGB(200, 0, 200)}, {14, 13, kWhite}, {54, 51, RGB(200, 0, 200)},
                                            {57, 30, kWhite},            {66, 23, RGB(200, 0, 200)},
                                            {66, 21, kWhite},            {30, 88, RGB(0, 90, 200)},
                                            {25, 65, kWhite},            {85, 88, kWhite},
                                            {155, 110, kBlack}});
    // Hatches over an opaque and a transparent background; a null brush; a
    // DIB pattern; a hatched pattern blit.
    const Played brushes = emfPicture("brushes.emf");
    expectPixels(brushes, {{10, 10, RGB(255, 255, 180)}, {100, 10, kWhite}, {30, 80, RGB(250, 120, 0)},
                           {55, 80, kWhite}, {63, 101, RGB(200, 0, 0)}, {60, 101, RGB(255, 255, 180)}});
    int red = 0, blue = 0;
    for (int y = 70; y < 100; ++y)
        for (int x = 100; x < 130; ++x) {
            red += brushes.at(x, y) == RGB(0xE0, 0, 0);
            blue += brushes.at(x, y) == RGB(0, 0, 0xE0);
        }
    EXPECT_GT(red, 300);
    EXPECT_GT(blue, 300);
    // Dashes: the gaps keep the picture on a transparent background and take
    // the background colour on an opaque one.
    const Played dashes = emfPicture("dashes.emf");
    int gapsWhite = 0, gapsRed = 0;
    for (int x = 5; x < 155; ++x) {
        gapsWhite += dashes.at(x, 20) == kWhite;
        gapsRed += dashes.at(x, 75) == RGB(255, 0, 0);
    }
    EXPECT_GT(gapsWhite, 20);
    EXPECT_EQ(gapsWhite, gapsRed);
    EXPECT_EQ(dashes.at(80, 10), kBlack);
    // Comments, EMF+ data and unknown records are skipped.
    expectPixels(emfPicture("comments.emf"), {{80, 60, RGB(0, 128, 255)}});
    // Raster operations of a yellow brush over blue (top) and white (bottom).
    expectPixels(emfPicture("rop2.emf"),
                 {{10, 40, kWhite}, {10, 80, RGB(0, 0, 255)},           // xor
                  {30, 40, RGB(255, 255, 0)}, {30, 80, kBlack},        // not
                  {48, 40, kBlack}, {48, 80, RGB(255, 255, 0)},        // and
                  {67, 40, kWhite}, {67, 80, kWhite},                  // or
                  {86, 40, RGB(0, 0, 255)}, {86, 80, RGB(0, 0, 255)}, // not copy
                  {105, 40, kBlack}, {124, 80, kWhite},                // black, white
                  {143, 40, RGB(0, 0, 255)}, {143, 80, kWhite}});      // no operation
    // Colours by palette index; an index past the palette is black.
    expectPixels(emfPicture("palette.emf"), {{40, 30, RGB(0, 128, 255)}, {110, 30, RGB(255, 0, 0)}, {40, 80, kBlack}});

    // Windows metafiles: shapes of each kind, counterclockwise pies.
    expectPixels(wmfPicture("shapes_pal0.wmf"), {{30, 30, RGB(255, 200, 0)}, {110, 30, RGB(0, 160, 80)},
                                                {30, 100, RGB(200, 40, 40)}, {9, 61, kWhite},
                                                {100, 75, RGB(200, 40, 40)}, {80, 75, kWhite}});
    const Played wb = wmfPicture("brushes.wmf");
    EXPECT_EQ(wb.at(10, 10), RGB(255, 255, 180));
    EXPECT_EQ(wb.at(100, 10), kWhite);
    // A DIB pattern; a brush deleted while selected stays in use; the slot it
    // leaves is taken by the next brush.
    const Played patterns = wmfPicture("patterns.wmf");
    expectPixels(patterns, {{120, 35, RGB(0, 160, 80)}, {80, 90, RGB(250, 200, 0)}});
    const COLORREF checker = patterns.at(41, 42);
    EXPECT_TRUE(checker == RGB(0xE0, 0, 0) || checker == RGB(0, 0, 0xE0));
    // Window origin set and offset, the window's extent scaled.
    expectPixels(wmfPicture("mapping.wmf"), {{21, 11, RGB(0, 150, 200)}, {18, 11, kWhite}, {100, 25, RGB(220, 0, 120)},
                                            {12, 62, RGB(60, 180, 60)},  {48, 98, RGB(60, 180, 60)},
                                            {135, 95, RGB(240, 180, 0)}});
}

TEST(MetafileTest, PlaybackStopsAtTheFirstRecordThatFailsItsChecks)
{
    {
        EmfBuilder e;
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
        e.Add(U_EMRRECTANGLE_set(rc(10, 10, 50, 50)));
        const U_POINTL pts[] = {{60, 60}, {70, 70}, {80, 60}};
        char* poly = U_EMRPOLYGON_set(U_RCL_DEF, 3, pts);
        const uint32_t count = 1000; // points past the record
        std::memcpy(poly + 24, &count, 4);
        e.Add(poly);
        e.Add(U_EMRRECTANGLE_set(rc(100, 10, 150, 50)));
        const Played p = play(e.Finish(), true);
        EXPECT_FALSE(p.result);
        EXPECT_EQ(p.at(30, 30), kBlack);
        EXPECT_EQ(p.at(120, 30), kWhite);
    }
    {
        WmfBuilder w(160, 120, true);
        w.Brush(U_BS_SOLID, rgb(0, 0, 0));
        w.Add(U_WMRRECTANGLE_set(rc16(10, 10, 50, 50)));
        const U_POINT16 pts[] = {{60, 60}, {70, 70}, {80, 60}};
        char* poly = U_WMRPOLYGON_set(3, pts);
        const uint16_t count = 900;
        std::memcpy(poly + 6, &count, 2);
        w.Add(poly);
        w.Add(U_WMRRECTANGLE_set(rc16(100, 10, 150, 50)));
        const Played p = play(w.Finish(), false);
        EXPECT_FALSE(p.result);
        EXPECT_EQ(p.at(30, 30), kBlack);
        EXPECT_EQ(p.at(120, 30), kWhite);
    }
}

TEST(MetafileTest, FieldsPastTheirRecordStopPlayback)
{
    // Each record below claims data it does not hold; nothing after it is drawn.
    auto emfWith = [](char* rec) {
        EmfBuilder e;
        e.Add(rec);
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 160, 120)));
        return e.Finish();
    };
    gdi::testing::detail::Dib24 dib(16, 12);
    std::vector<Bytes> files;
    { // bits beyond the record
        char* r = U_EMRSTRETCHDIBITS_set(U_RCL_DEF, point32_set(0, 0), point32_set(16, 12), point32_set(0, 0),
                                         point32_set(16, 12), U_DIB_RGB_COLORS, U_SRCCOPY, dib.bmi,
                                         uint32_t(dib.px.size()), dib.px.data());
        const uint32_t off = 0x7FFFFFF0;
        std::memcpy(r + offsetof(U_EMRSTRETCHDIBITS, offBitsSrc), &off, 4);
        files.push_back(emfWith(r));
    }
    { // a bitmap taller than its bits
        char* r = U_EMRSTRETCHDIBITS_set(U_RCL_DEF, point32_set(0, 0), point32_set(16, 12), point32_set(0, 0),
                                         point32_set(16, 12), U_DIB_RGB_COLORS, U_SRCCOPY, dib.bmi,
                                         uint32_t(dib.px.size()), dib.px.data());
        uint32_t offBmi;
        std::memcpy(&offBmi, r + offsetof(U_EMRSTRETCHDIBITS, offBmiSrc), 4);
        const int32_t tall = 5000;
        std::memcpy(r + offBmi + 8, &tall, 4);
        files.push_back(emfWith(r));
    }
    { // a string past the record
        uint16_t* text = U_Utf8ToUtf16le("abc", 0, nullptr);
        uint32_t dx[3] = {5, 5, 5};
        char* t = emrtext_set(point32_set(10, 10), 3, 2, text, U_ETO_NO_RECT, U_RCL_DEF, dx);
        char* r = U_EMREXTTEXTOUTW_set(U_RCL_DEF, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(t));
        std::free(t);
        std::free(text);
        const uint32_t chars = 100000;
        std::memcpy(r + offsetof(U_EMREXTTEXTOUTW, emrtext) + offsetof(U_EMRTEXT, nChars), &chars, 4);
        files.push_back(emfWith(r));
    }
    { // a region with more rectangles than it holds
        const U_RECTL rects[] = {{10, 10, 50, 50}};
        PU_RGNDATA rgn = rgndata_set(rgndataheader_set(1, rc(10, 10, 50, 50)), const_cast<PU_RECTL>(rects));
        char* r = U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, rgn);
        std::free(rgn);
        const uint32_t count = 0x10000000;
        std::memcpy(r + offsetof(U_EMREXTSELECTCLIPRGN, RgnData) + 8, &count, 4);
        files.push_back(emfWith(r));
    }
    { // a pen with more style entries than it holds
        uint32_t dashes[2] = {4, 4};
        PU_EXTLOGPEN elp = extlogpen_set(U_PS_GEOMETRIC | U_PS_USERSTYLE, 3, U_BS_SOLID, rgb(0, 0, 0), 0, 2, dashes);
        char* r = U_EMREXTCREATEPEN_set(1, nullptr, 0, nullptr, elp);
        std::free(elp);
        const uint32_t entries = 0x40000000;
        std::memcpy(r + offsetof(U_EMREXTCREATEPEN, elp) + offsetof(U_EXTLOGPEN, elpNumEntries), &entries, 4);
        files.push_back(emfWith(r));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        const Played p = play(files[i], true);
        EXPECT_FALSE(p.result);
        EXPECT_EQ(p.at(80, 60), kWhite);
    }

    // Windows metafiles: a string, a palette, a polygon count of a
    // poly-polygon and a record cut below its fields.
    auto wmfWith = [](char* rec, uint16_t at, uint16_t value) {
        std::memcpy(rec + at, &value, 2);
        WmfBuilder w(160, 120, true);
        w.Add(rec);
        w.Brush(U_BS_SOLID, rgb(0, 0, 0));
        w.Add(U_WMRRECTANGLE_set(rc16(0, 0, 160, 120)));
        return w.Finish();
    };
    std::vector<Bytes> wmfs;
    char text[] = "abc";
    wmfs.push_back(wmfWith(U_WMRTEXTOUT_set(point16_set(5, 5), text), 6, 30000));
    int16_t dx[3] = {5, 5, 5};
    wmfs.push_back(wmfWith(U_WMREXTTEXTOUT_set(point16_set(5, 5), 3, 0, text, dx, rc16(0, 0, 0, 0)), 10, 20000));
    {
        std::vector<char> block(4 + 8);
        const uint16_t head[2] = {0x300, 2};
        std::memcpy(block.data(), head, 4);
        wmfs.push_back(wmfWith(U_WMRCREATEPALETTE_set(reinterpret_cast<U_PALETTE*>(block.data())), 8, 9000));
    }
    const uint16_t counts[] = {3};
    const U_POINT16 tri[] = {{1, 1}, {9, 1}, {5, 9}};
    wmfs.push_back(wmfWith(U_WMRPOLYPOLYGON_set(1, counts, tri), 8, 7000));
    wmfs.push_back(wmfWith(U_WMRRECTANGLE_set(rc16(1, 1, 9, 9)), 0, 4)); // four words: no room for its corners
    for (std::size_t i = 0; i < wmfs.size(); ++i) {
        SCOPED_TRACE(i);
        const Played p = play(wmfs[i], false);
        EXPECT_FALSE(p.result);
        EXPECT_EQ(p.at(80, 60), kWhite);
    }
}

TEST(MetafileTest, DeepSavingAndRestoringRunsClean)
{
    EmfBuilder e;
    for (int i = 0; i < 5000; ++i)
        e.Add(U_EMRSAVEDC_set());
    e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
    e.Add(U_EMRRESTOREDC_set(-4990)); // kept only as deep as the player keeps states
    e.Add(U_EMRRESTOREDC_set(2));
    e.Add(U_EMRRESTOREDC_set(5)); // past the saved states: ignored
    e.Add(U_EMRRECTANGLE_set(rc(10, 10, 50, 50)));
    const Played p = play(e.Finish(), true);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.at(30, 30), kWhite); // the brush of the second state: white

    WmfBuilder w(160, 120, true);
    w.Brush(U_BS_SOLID, rgb(0, 0, 255));
    for (int i = 0; i < 5000; ++i)
        w.Add(U_WMRSAVEDC_set());
    w.Brush(U_BS_SOLID, rgb(255, 0, 0));
    w.Add(U_WMRRESTOREDC_set(-30000));
    w.Add(U_WMRRECTANGLE_set(rc16(10, 10, 50, 50)));
    w.Add(U_WMRRESTOREDC_set(-1));
    w.Add(U_WMRRECTANGLE_set(rc16(60, 10, 100, 50)));
    const Played q = play(w.Finish(), false);
    EXPECT_EQ(q.at(30, 30), RGB(255, 0, 0));
    EXPECT_EQ(q.at(80, 30), RGB(0, 0, 255));
}

TEST(MetafileTest, DamagedFilesPlayCleanly)
{
    // Every sample cut at many places and changed at random bytes. A handle
    // is made only of a whole, checked header; what plays, plays the same
    // each time (nothing read from outside the data or left unset shows).
    std::mt19937 rng(2031);
    int played = 0;
    auto check = [&](const Bytes& data, bool enhanced) {
        HENHMETAFILE h = load(data, enhanced);
        if (!h)
            return;
        ENHMETAHEADER header{};
        EXPECT_EQ(GetEnhMetaFileHeader(h, sizeof header, &header), sizeof header);
        EXPECT_EQ(header.iType, 1u);
        EXPECT_EQ(header.dSignature, 0x464D4520u);
        const Played first = play(h, 48, 36);
        const Played again = play(h, 48, 36);
        EXPECT_EQ(first.result, again.result);
        EXPECT_TRUE(first.px == again.px) << "a damaged file plays differently twice";
        DeleteEnhMetaFile(h);
        ++played;
    };
    auto run = [&](const MetafileSample& s, bool enhanced) {
        SCOPED_TRACE(s.name);
        const Bytes& good = s.bytes;
        // An enhanced header is 88 bytes at least; a Windows one 18, after
        // the placeable one of 22 where there is one.
        const bool placeable = good.size() >= 4 && good[0] == 0xD7 && good[1] == 0xCD;
        const std::size_t header = enhanced ? 88 : placeable ? 40 : 18;
        const std::size_t step = std::max<std::size_t>(1, good.size() / 23);
        for (std::size_t cut = 0; cut < good.size(); cut += step) {
            const Bytes part(good.begin(), good.begin() + long(cut));
            if (cut < header)
                EXPECT_EQ(load(part, enhanced), nullptr) << "a header cut at " << cut;
            else
                check(part, enhanced);
        }
        for (int round = 0; round < 24; ++round) {
            Bytes bad = good;
            for (int i = 1 + int(rng() % 6); i > 0; --i)
                bad[rng() % bad.size()] = BYTE(rng());
            check(bad, enhanced);
        }
    };
    for (const auto& s : gdi::testing::EmfCorpus())
        run(s, true);
    for (const auto& s : gdi::testing::WmfCorpus())
        run(s, false);
    EXPECT_GT(played, 100);
}

TEST(MetafileTest, PlaysOntoBitmapsOfOtherDepths)
{
    // An 8-bit DIB section and a monochrome bitmap get the picture through a
    // 32-bit copy, each pixel taking its nearest colour.
    EmfBuilder e;
    e.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
    e.Add(U_EMRRECTANGLE_set(rc(0, 0, 80, 120)));
    const Bytes b = e.Finish();
    HENHMETAFILE h = load(b, true);
    ASSERT_NE(h, nullptr);

    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * 4, 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, 12, 1, 8, BI_RGB, 0, 0, 0, 2, 0};
    bmi->bmiColors[0] = RGBQUAD{200, 200, 200, 0};
    bmi->bmiColors[1] = RGBQUAD{0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    const RECT r{0, 0, 16, 12};
    EXPECT_TRUE(PlayEnhMetaFile(dc, h, &r));
    const BYTE* rows = static_cast<const BYTE*>(bits);
    EXPECT_EQ(rows[2], 1);  // left half: black, the first black entry
    EXPECT_EQ(rows[12], 0); // right half untouched: entry 0
    SelectObject(dc, old);
    DeleteObject(section);

    HBITMAP mono = CreateBitmap(16, 12, 1, 1, nullptr);
    old = SelectObject(dc, mono);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(PlayEnhMetaFile(dc, h, &r));
    SelectObject(dc, old);
    std::vector<BYTE> monoInfo(sizeof(BITMAPINFOHEADER) + 8, 0);
    auto* mbmi = reinterpret_cast<BITMAPINFO*>(monoInfo.data());
    mbmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, -12, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> px(16 * 12 * 4);
    GetDIBits(dc, mono, 0, 12, px.data(), mbmi, DIB_RGB_COLORS);
    EXPECT_EQ(px[4 * 2], 0);     // black
    EXPECT_EQ(px[4 * 12], 255);  // white
    DeleteObject(mono);
    DeleteDC(dc);
    DeleteEnhMetaFile(h);
}

} // namespace
