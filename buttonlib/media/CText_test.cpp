#include "buttonlib/media/CText.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/basic/FileSystem.h"
#include "platform/mfc/CMemFile.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

namespace {

using namespace media::testing;

const char* const kCafe = "Caf\u00e9 \u20ac";

void fillSample(CText& t)
{
    t.SetText(kCafe);
    t.SetForeColor(0x112233);
    t.SetMouseOverColor(0x445566);
    t.SetPressedColor(0x778899);
    t.SetXOffset(-5);
    t.SetYOffset(7);
    t.SetEffect(3);
    t.SetEffectFactor(2);
    t.SetAngle(4);
}

void expectSampleLayout(const CText& t)
{
    EXPECT_EQ(t.GetForeColor(), 0x112233u);
    EXPECT_EQ(t.GetMouseOverColor(), 0x445566u);
    EXPECT_EQ(t.GetXOffset(), -5);
    EXPECT_EQ(t.GetYOffset(), 7);
    EXPECT_EQ(t.GetEffect(), 3);
    EXPECT_EQ(t.GetEffectFactor(), 2);
    EXPECT_EQ(t.GetAngle(), 4);
}

template <typename F>
Bytes archiveOf(F&& write)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
    return file.Detach();
}

template <typename F>
void loadFrom(Bytes bytes, F&& read)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

TEST(CTextTest, BlobAtEachExchangeVersionMatchesTheGoldenFiles)
{
    struct Case {
        DWORD version;
        const char* golden;
        std::size_t fixed;
    };
    for (const Case& c : {Case{0x60000, "text_v6.blob", 26}, Case{0x50000, "text_v5.blob", 22}}) {
        SCOPED_TRACE(c.golden);
        FakePropExchange px(false, c.version);
        CText t;
        fillSample(t);
        EXPECT_EQ(t.GetLength(), 6u);
        t.ExchangeBlob(&px, "textCaption");
        const Bytes golden = ReadGolden(c.golden);
        EXPECT_EQ(px.props["textCaption"], golden);
        EXPECT_EQ(golden.size(), 4 + c.fixed + 6);

        px.SetLoading(true);
        CText back;
        back.SetPressedColor(0xABCDEF);
        back.ExchangeBlob(&px, "textCaption");
        EXPECT_EQ(back.GetText(), kCafe);
        EXPECT_EQ(back.GetLength(), 6u);
        EXPECT_TRUE(back.IsLoaded());
        expectSampleLayout(back);
        // An older blob has no pressed colour: the object keeps its own.
        EXPECT_EQ(back.GetPressedColor(), c.version == 0x60000 ? 0x778899u : 0xABCDEFu);
        EXPECT_EQ(back.GetExchangeVersion(), c.version);
    }
}

TEST(CTextTest, NewTextSerialisesInTheCurrentFormOutsideAnExchange)
{
    CText t;
    fillSample(t);
    HGLOBAL h = t.GetBlob();
    EXPECT_EQ(BlockBytes(h), ReadGolden("text_v6.blob"));
    GlobalFree(h);
}

TEST(CTextTest, EmptyTextIsTheEmptyBlobAndKeepsTheLayoutOnLoad)
{
    FakePropExchange px(false, 0x60000);
    CText empty;
    empty.SetForeColor(0x123456);
    empty.ExchangeBlob(&px, "textLT");
    EXPECT_EQ(px.props["textLT"], ReadGolden("empty.blob"));

    px.SetLoading(true);
    CText t;
    fillSample(t);
    t.ExchangeBlob(&px, "textLT");
    EXPECT_EQ(t.GetText(), kCafe);
    expectSampleLayout(t);
}

TEST(CTextTest, TemplateFormsWithAndWithoutTheFlag)
{
    CText t;
    fillSample(t);
    EXPECT_EQ(archiveOf([&](CArchive& ar) { t.SerializeSettings(ar, 1); }), ReadGolden("text_settings_flag.bin"));
    EXPECT_EQ(archiveOf([&](CArchive& ar) { t.SerializeSettings(ar, 0); }), ReadGolden("text_settings.bin"));
    EXPECT_EQ(archiveOf([&](CArchive& ar) { t.SerializeLayout(ar); }), ReadGolden("text_settings.bin"));

    CText withText;
    loadFrom(ReadGolden("text_settings_flag.bin"), [&](CArchive& ar) { withText.SerializeSettings(ar, 0x100); });
    EXPECT_EQ(withText.GetText(), kCafe);
    EXPECT_EQ(withText.GetLength(), 6u);
    EXPECT_EQ(withText.GetPressedColor(), 0x778899u);
    expectSampleLayout(withText);
    // After a template load the stored blob carries exactly that text.
    HGLOBAL h = withText.GetBlob();
    EXPECT_EQ(BlockBytes(h), ReadGolden("text_v6.blob"));
    GlobalFree(h);

    CText layoutOnly;
    layoutOnly.SetText("keep");
    loadFrom(ReadGolden("text_settings.bin"), [&](CArchive& ar) { layoutOnly.SerializeLayout(ar); });
    EXPECT_EQ(layoutOnly.GetText(), "keep");
    expectSampleLayout(layoutOnly);
}

TEST(CTextTest, ShortOrLyingStoredFormsFailCleanly)
{
    // Every cut of the blob, with N adjusted to what remains.
    const Bytes golden = ReadGolden("text_v6.blob");
    for (std::size_t cut = 5; cut < golden.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes part(golden.begin(), golden.begin() + long(cut));
        const DWORD n = DWORD(cut - 4);
        std::memcpy(part.data(), &n, 4);
        CText t;
        t.SetText("old");
        HGLOBAL h = MakeBlock(part);
        EXPECT_ANY_THROW(t.SetBlob(&h));
        GlobalFree(h);
        // Cut inside the fields or inside the text: nothing changed.
        EXPECT_EQ(t.GetText(), "old");
        EXPECT_EQ(t.GetLength(), 3u);
        EXPECT_EQ(t.GetForeColor(), 0u);
    }
    // A text length of 4 GiB - 1 over six bytes.
    Bytes lying = golden;
    std::memset(lying.data() + 4, 0xFF, 4);
    CText t;
    HGLOBAL h = MakeBlock(lying);
    EXPECT_THROW(t.SetBlob(&h), CMemoryException);
    GlobalFree(h);

    // Template bodies cut anywhere leave the layer as it was.
    const Bytes settings = ReadGolden("text_settings_flag.bin");
    for (std::size_t cut = 0; cut < settings.size(); ++cut) {
        CText s;
        s.SetText("old");
        Bytes part(settings.begin(), settings.begin() + long(cut));
        EXPECT_THROW(loadFrom(part, [&](CArchive& ar) { s.SerializeSettings(ar, 1); }), CArchiveException);
        EXPECT_EQ(s.GetText(), "old");
        EXPECT_EQ(s.GetForeColor(), 0u);
    }
}

TEST(CTextTest, StoredTextEndsAtItsFirstNul)
{
    Bytes blob = ReadGolden("text_v6.blob");
    blob[4 + 26 + 3] = 0;
    CText t;
    HGLOBAL h = MakeBlock(blob);
    t.SetBlob(&h);
    EXPECT_EQ(t.GetText(), "Caf");
    EXPECT_EQ(t.GetLength(), 3u);
}

TEST(CTextTest, TextFilesLoadAndSave)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "caption.txt";
    vb::fso::WriteAllBytesAtomic(path, std::string("Two\r\nlines\0tail", 15));
    CText t;
    t.SetText("old");
    ASSERT_TRUE(t.Load(path.c_str()));
    EXPECT_EQ(t.GetText(), "Two\r\nlines");
    EXPECT_EQ(t.GetLength(), 10u);

    // Windows-1252 bytes from the original's files, UTF-8 from ours.
    vb::fso::WriteAllBytesAtomic(path, "Caf\xE9");
    ASSERT_TRUE(t.Load(path.c_str()));
    EXPECT_EQ(t.GetText(), "Caf\u00e9");

    t.SetText(kCafe);
    ASSERT_TRUE(t.Save(path.c_str()));
    CText back;
    ASSERT_TRUE(back.Load(path.c_str()));
    EXPECT_EQ(back.GetText(), kCafe);

    CText empty;
    ASSERT_TRUE(empty.Save(path.c_str()));
    EXPECT_EQ(vb::fso::FileLen(path), 0);

    EXPECT_FALSE(t.Load((root.Path() / "missing.txt").c_str()));
    EXPECT_EQ(t.GetText(), kCafe);
    EXPECT_FALSE(t.Save((root.Path() / "no" / "such.txt").c_str()));
}

} // namespace
