#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CMetafileDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include "platform/gdi/MetafileTestCorpus.h"

#include <cstdlib>
#include <iostream>
#include <random>

namespace {

using namespace codec::testing;
using gdi::testing::EmfBuilder;
using gdi::testing::MetafileSample;
using gdi::testing::WmfBuilder;

const fs::path kData = fs::path(TV_MEDIA_TESTDATA) / "metafiles";

Bytes toBytes(const gdi::testing::Bytes& b)
{
    return Bytes(b.begin(), b.end());
}

class MetafileDecoderTest : public ::testing::Test {
protected:
    // The picture of a file named like the sample, decoded by the any-image
    // decoder the way the library loads pictures.
    std::unique_ptr<CGlobalDIB> decodeFile(const std::string& name, const Bytes& bytes, int bpp = 0)
    {
        const fs::path file = root_.Path() / name;
        WriteFile(file, bytes);
        auto bmp = std::make_unique<CGlobalDIB>();
        decoder_.MakeBmpFromFile(file.c_str(), bmp.get(), bpp);
        return bmp;
    }

    int decodeFileCode(const std::string& name, const Bytes& bytes)
    {
        try {
            decodeFile(name, bytes);
        } catch (const CTextException& e) {
            return e.GetCode();
        }
        return 0;
    }

    tv::testing::TempRoot root_;
    CAnyImageDecoder decoder_;
};

void savePng(const Rgba& img, const fs::path& out)
{
    const fs::path raw = out.string() + ".rgba";
    WriteFile(raw, img.pixels);
    Convert("-size " + std::to_string(img.width) + "x" + std::to_string(img.height) + " -depth 8 rgba:" + quote(raw), "",
            out);
    fs::remove(raw);
}

// Share of the pixels whose channels all lie within 64 of the reference,
// pixels inside the boxes left out; -1 when the sizes differ. With
// neighbours, a pixel also agrees when a reference pixel next to it does:
// the other renderers smooth their edges and this one does not, so which
// edge pixels a shape covers is each renderer's own.
double agreement(const Rgba& ours, const Rgba& ref, const std::vector<QRect>& boxes, bool neighbours)
{
    if (ours.width != ref.width || ours.height != ref.height || ref.pixels.size() != ours.pixels.size())
        return -1;
    const auto close = [&](int x, int y, int rx, int ry) {
        if (rx < 0 || ry < 0 || rx >= ref.width || ry >= ref.height)
            return false;
        const std::size_t i = 4 * (std::size_t(y) * std::size_t(ours.width) + std::size_t(x));
        const std::size_t j = 4 * (std::size_t(ry) * std::size_t(ref.width) + std::size_t(rx));
        // The reference is flattened on white.
        const int a = ref.pixels[j + 3];
        for (int c = 0; c < 3; ++c) {
            const int r = (ref.pixels[j + std::size_t(c)] * a + 255 * (255 - a)) / 255;
            if (std::abs(r - int(ours.pixels[i + std::size_t(c)])) > 64)
                return false;
        }
        return true;
    };
    std::size_t total = 0, agreeing = 0;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            bool skip = false;
            for (const QRect& b : boxes)
                skip = skip || b.contains(x, y);
            if (skip)
                continue;
            ++total;
            bool ok = close(x, y, x, y);
            for (int dy = -1; dy <= 1 && neighbours && !ok; ++dy)
                for (int dx = -1; dx <= 1 && !ok; ++dx)
                    ok = close(x, y, x + dx, y + dy);
            agreeing += ok;
        }
    return total ? double(agreeing) / double(total) : 1.0;
}

// wmf2gd's picture of a Windows metafile at the decoder's size.
Rgba wmfReference(const fs::path& wmf, int width, int height, const fs::path& out)
{
    const std::string cmd = "wmf2gd -t png --maxwidth=" + std::to_string(width) + " --maxheight=" +
        std::to_string(height) + " --maxsize -o " + quote(out) + " " + quote(wmf);
    EXPECT_TRUE(run(cmd)) << cmd;
    return Reference(out);
}

TEST_F(MetafileDecoderTest, CorpusMatchesTheReferenceRenderers)
{
    std::vector<MetafileSample> all = gdi::testing::EmfCorpus();
    for (auto& s : gdi::testing::WmfCorpus())
        all.push_back(std::move(s));
    // The scenes inkscape exported from scene.svg.
    const auto scene = [&](const char* name) {
        const Bytes b = ReadFile(kData / name);
        return MetafileSample{name, gdi::testing::Bytes(b.begin(), b.end()), {}};
    };
    all.push_back(scene("scene.emf"));
    all.push_back(scene("scene.wmf"));
    int compared = 0;
    for (const auto& s : all) {
        SCOPED_TRACE(s.name);
        if (!s.handChecked.empty())
            continue;
        auto bmp = decodeFile(s.name, toBytes(s.bytes), 32);
        const Rgba ours = FromBitmap(*bmp);
        std::vector<QRect> boxes = s.textBoxes;
        if (s.name.rfind("scene.", 0) == 0) // the text "Tally" near the bottom right
            boxes.push_back(QRect(ours.width * 140 / 200, ours.height * 105 / 150, ours.width * 60 / 200,
                                  ours.height * 30 / 150));
        const bool enhanced = s.name.find(".emf") != std::string::npos;
        const Rgba ref = enhanced
            ? Reference(kData / (s.name + ".png"))
            : wmfReference(root_.Path() / s.name, ours.width, ours.height, root_.Path() / (s.name + ".png"));
        const double strict = agreement(ours, ref, boxes, false);
        const double share = agreement(ours, ref, boxes, true);
        std::cout << s.name << ": " << ours.width << " x " << ours.height << ", " << strict * 100 << " % agree, "
                  << share * 100 << " % with neighbours\n";
        EXPECT_GE(share, 0.95);
        ++compared;
    }
    EXPECT_GE(compared, 15);
}

TEST_F(MetafileDecoderTest, SizesFollowTheHeaders)
{
    auto placeable = [](int l, int t, int r, int b, int inch) {
        WmfBuilder w(160, 120, true);
        Bytes bytes = toBytes(w.Finish());
        PutLe16(bytes, 6, unsigned(l));
        PutLe16(bytes, 8, unsigned(t));
        PutLe16(bytes, 10, unsigned(r));
        PutLe16(bytes, 12, unsigned(b));
        PutLe16(bytes, 14, unsigned(inch));
        return bytes;
    };
    auto size = [&](const std::string& name, const Bytes& bytes) {
        auto bmp = decodeFile(name, bytes);
        return std::make_pair(int(bmp->GetWidth()), int(bmp->GetHeight()));
    };
    using P = std::pair<int, int>;
    EXPECT_EQ(size("a.wmf", placeable(0, 0, 1440, 720, 1440)), P(96, 48));
    EXPECT_EQ(size("b.wmf", placeable(-720, 100, 720, 820, 720)), P(192, 96));
    // A box with no extent, or one the wrong way round, gives the default size.
    EXPECT_EQ(size("c.wmf", placeable(100, 0, 100, 50, 96)), P(320, 50));
    EXPECT_EQ(size("d.wmf", placeable(100, 80, 0, 0, 96)), P(320, 200));
    // Mended: no units per inch gives the default size, not a division by zero.
    EXPECT_EQ(size("e.wmf", placeable(0, 0, 1440, 720, 0)), P(320, 200));
    // Without the placeable header the picture fills the reference screen.
    WmfBuilder screen(200, 100, false);
    EXPECT_EQ(size("f.wmf", toBytes(screen.Finish())), P(1024, 768));

    // Enhanced: frame (0.01 mm) x device pixels / device millimetres.
    EmfBuilder frame(160, 120, U_RECTL{0, 0, 4000, 1000});
    EXPECT_EQ(size("g.emf", toBytes(frame.Finish())), P(160, 40));
    EmfBuilder empty(160, 120, U_RECTL{0, 0, 0, 0});
    EXPECT_EQ(size("h.emf", toBytes(empty.Finish())), P(320, 200));
    // Mended: a device of 0 millimetres gives the default size.
    Bytes noMm = toBytes(EmfBuilder().Finish());
    PutLe32(noMm, 80, 0);
    PutLe32(noMm, 84, 0);
    EXPECT_EQ(size("i.emf", noMm), P(320, 200));
    // Sizes are worked out in 64 bits; a bitmap past the layer's ceiling is
    // refused with code 10.
    Bytes huge = toBytes(EmfBuilder().Finish());
    PutLe32(huge, 32, 0x7FFFFFFF);
    PutLe32(huge, 72, 0x7FFFFFFF);
    try {
        decodeFile("j.emf", huge);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrNoMemory);
        EXPECT_STREQ(e.GetMsg(), "Decoder error: Cannot allocate memory bitmap.\n");
    }
    EXPECT_EQ(decodeFileCode("k.wmf", placeable(-32768, -32768, 32767, 32767, 1)), kErrNoMemory);
}

TEST_F(MetafileDecoderTest, PaletteDecidesDepthAndColourTable)
{
    for (const auto& s : gdi::testing::EmfCorpus()) {
        if (s.name.rfind("shapes_pal", 0) != 0)
            continue;
        SCOPED_TRACE(s.name);
        auto bmp = decodeFile(s.name, toBytes(s.bytes));
        const bool eight = s.name == "shapes_pal16.emf";
        EXPECT_EQ(bmp->GetBitsPerPixel(), eight ? 8 : 32);
        if (eight) {
            const auto entries = gdi::testing::PaletteEntries(16);
            const RGBQUAD* pal = bmp->GetPalette();
            for (int i = 0; i < 256; ++i) {
                unsigned char e[4] = {0, 0, 0, 0};
                if (i < 16)
                    std::memcpy(e, &entries[std::size_t(i)], 4);
                EXPECT_EQ(pal[i].rgbRed, e[0]);
                EXPECT_EQ(pal[i].rgbGreen, e[1]);
                EXPECT_EQ(pal[i].rgbBlue, e[2]);
            }
            // Every pixel is one of the palette's colours; white is not among
            // them, so the background takes the nearest.
            const Rgba img = FromBitmap(*bmp);
            EXPECT_EQ(img.width, 160);
        } else {
            // Opaque, though the flag says the picture carries alpha.
            EXPECT_TRUE(bmp->HasAlpha());
            const Rgba img = FromBitmap(*bmp);
            for (std::size_t i = 3; i < img.pixels.size(); i += 4)
                ASSERT_EQ(img.pixels[i], 255);
            EXPECT_EQ(img.pixels[0], 255); // white background at the top left
        }
        // A depth asked for wins.
        EXPECT_EQ(decodeFile(s.name, toBytes(s.bytes), 32)->GetBitsPerPixel(), 32);
    }
    for (const auto& s : gdi::testing::WmfCorpus()) {
        if (s.name == "shapes_pal16.wmf") {
            EXPECT_EQ(decodeFile(s.name, toBytes(s.bytes))->GetBitsPerPixel(), 8);
        } else if (s.name == "shapes_pal256.wmf" || s.name == "shapes_pal0.wmf") {
            EXPECT_EQ(decodeFile(s.name, toBytes(s.bytes))->GetBitsPerPixel(), 32);
        }
    }
}

TEST_F(MetafileDecoderTest, MetafilesGoByTheirName)
{
    WmfBuilder w(160, 120, true);
    const Bytes wmf = toBytes(w.Finish());
    const Bytes emf = toBytes(EmfBuilder().Finish());
    // ".wmf" anywhere in the name makes it a Windows metafile.
    auto bmp = decodeFile("logo.wmf.bmp", wmf);
    EXPECT_EQ(bmp->GetWidth(), 160);
    EXPECT_EQ(decodeFile("Logo.EmF", emf)->GetHeight(), 120);
    // An enhanced metafile under a Windows metafile's name is not one.
    EXPECT_EQ(decodeFileCode("logo.wmf", emf), kErrFormatNotSupported);
    // From memory the name is "Mem": the any-image decoder does not know
    // metafiles there, and the metafile decoder takes them as Windows ones.
    CGlobalDIB out;
    EXPECT_EQ(DecodeCode(decoder_, wmf, &out), kErrUnknownFileType);
    EXPECT_EQ(DecodeCode(decoder_, emf, &out), kErrUnknownFileType);
    CMetafileDecoder direct;
    EXPECT_EQ(DecodeCode(direct, wmf, &out), 0);
    EXPECT_EQ(out.GetWidth(), 160);
    EXPECT_EQ(DecodeCode(direct, emf, &out), kErrFormatNotSupported);
}

TEST_F(MetafileDecoderTest, DataThatIsNoMetafileIsRefused)
{
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"a.wmf", Bytes(100, 0x41)}, {"b.emf", Bytes(200, 0x41)}, {"c.wmf", {1}}, {"d.emf", {1, 0, 0}},
             {"e.wmf", {0xD7, 0xCD, 0xC6, 0x9A, 0, 0}}}) {
        SCOPED_TRACE(name);
        try {
            decodeFile(name, bytes);
            FAIL();
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), kErrFormatNotSupported);
            EXPECT_STREQ(e.GetMsg(), "Decoder error: Windows Metafile functions failed to load this image.\n");
        }
    }
}

TEST_F(MetafileDecoderTest, MetafilesThatStopBeforeTheirEndRecordAreCut)
{
    // A metafile ends with its end record. One with nothing after its
    // header, or whose records stop before the end record (between two
    // records or inside one), fails as any file that ends too soon does.
    WmfBuilder plainBuilder(160, 120, false);
    WmfBuilder placeableBuilder(160, 120, true);
    EmfBuilder enhancedBuilder;
    enhancedBuilder.Pen(U_PS_SOLID, 1, colorref3_set(0, 0, 0));
    const Bytes plain = toBytes(plainBuilder.Finish());
    const Bytes placeable = toBytes(placeableBuilder.Finish());
    const Bytes enhanced = toBytes(enhancedBuilder.Finish());
    const auto first = [](const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + long(n)); };
    // A Windows metafile's end record is 3 words; an enhanced one's 20 bytes.
    ASSERT_EQ(Le32(&plain[plain.size() - 6]), 3u);
    ASSERT_EQ(Le32(&enhanced[enhanced.size() - 20]), 14u);
    const std::size_t enhancedHeader = Le32(&enhanced[4]);
    struct Case {
        const char* what;
        std::string name;
        Bytes bytes;
        bool whole;
    };
    const std::vector<Case> cases = {
        {"whole", "a.wmf", plain, true},
        {"whole placeable", "b.wmf", placeable, true},
        {"whole enhanced", "c.emf", enhanced, true},
        {"header only", "d.wmf", first(plain, 18), false},
        {"placeable header only", "e.wmf", first(placeable, 40), false},
        {"enhanced header only", "f.emf", first(enhanced, enhancedHeader), false},
        {"no end record", "g.wmf", first(plain, plain.size() - 6), false},
        {"placeable, no end record", "h.wmf", first(placeable, placeable.size() - 6), false},
        {"enhanced, no end record", "i.emf", first(enhanced, enhanced.size() - 20), false},
        {"cut inside a record", "j.wmf", first(plain, plain.size() - 9), false},
        {"enhanced, cut inside a record", "k.emf", first(enhanced, enhanced.size() - 24), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            const auto bmp = decodeFile(c.name, c.bytes);
            EXPECT_TRUE(c.whole) << "a cut file decodes as a " << bmp->GetWidth() << " x " << bmp->GetHeight()
                                 << " picture";
        } catch (const CTextException& e) {
            EXPECT_FALSE(c.whole) << e.GetMsg();
            EXPECT_EQ(e.GetCode(), kErrEndOfData);
            EXPECT_STREQ(e.GetMsg(), "End of file reached while decoding.\n");
        }
    }
}

TEST_F(MetafileDecoderTest, DamagedMetafilesDecodeOrFailCleanly)
{
    // Records cut short and bytes changed past the header: a picture (the
    // records before the damage drawn), a cut file, or a codec error of the
    // metafile decoder's own, never a crash. The header is whole, so a picture has
    // the good file's size.
    std::mt19937 rng(31);
    std::vector<MetafileSample> all = gdi::testing::EmfCorpus();
    for (auto& s : gdi::testing::WmfCorpus())
        if (s.name != "screen.wmf")
            all.push_back(std::move(s));
    int pictures = 0;
    for (const auto& s : all) {
        SCOPED_TRACE(s.name);
        const Bytes good = toBytes(s.bytes);
        const auto whole = decodeFile(s.name, good);
        const auto check = [&](const Bytes& bytes) {
            std::unique_ptr<CGlobalDIB> first;
            int code = 0;
            try {
                first = decodeFile(s.name, bytes);
            } catch (const CTextException& e) {
                code = e.GetCode();
            }
            if (code != 0) {
                EXPECT_TRUE(code == kErrFormatUnknown || code == kErrFormatNotSupported || code == kErrNoMemory ||
                            code == kErrEndOfData)
                    << "code " << code;
                return;
            }
            ++pictures;
            EXPECT_EQ(first->GetWidth(), whole->GetWidth());
            EXPECT_EQ(first->GetHeight(), whole->GetHeight());
        };
        const std::size_t header = s.name.find(".emf") != std::string::npos ? 108 : 40;
        for (std::size_t cut = header; cut < good.size(); cut += std::max<std::size_t>(1, good.size() / 23))
            check(Bytes(good.begin(), good.begin() + long(cut)));
        for (int round = 0; round < 12; ++round) {
            Bytes bad = good;
            for (int i = 0; i < 4; ++i)
                bad[header + rng() % (bad.size() - header)] = BYTE(rng());
            check(bad);
        }
    }
    EXPECT_GT(pictures, 20);
}

TEST_F(MetafileDecoderTest, WritesTheCorpusWhenAsked)
{
    // make_references.py asks for the pictures compared with another
    // renderer (the others are written too, named ".handchecked", as fuzzing
    // seeds); TV_METAFILE_OURS adds this decoder's pictures of all of them.
    const char* dir = std::getenv("TV_METAFILE_CORPUS_DIR");
    if (!dir)
        GTEST_SKIP() << "TV_METAFILE_CORPUS_DIR not set";
    std::vector<MetafileSample> all = gdi::testing::EmfCorpus();
    for (auto& s : gdi::testing::WmfCorpus())
        all.push_back(std::move(s));
    for (const auto& s : all) {
        WriteFile(fs::path(dir) / (s.handChecked.empty() ? s.name : s.name + ".handchecked"), toBytes(s.bytes));
        if (std::getenv("TV_METAFILE_OURS")) {
            auto bmp = decodeFile(s.name, toBytes(s.bytes), 32);
            savePng(FromBitmap(*bmp), fs::path(dir) / (s.name + ".ours.png"));
        }
    }
}

} // namespace
