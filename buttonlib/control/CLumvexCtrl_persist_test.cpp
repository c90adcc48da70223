// The control's stored state: the 6.0 streams it writes, byte for byte;
// round trips through streams and bags; the older versions it reads; and
// streams that are cut short.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/basic/FileSystem.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/Stream.h"
#include "platform/mfc/CArchive.h"
#include "platform/mfc/CMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using lumvextest::NewButton;

fs::path goldenFolder()
{
    return fs::path(__FILE__).parent_path() / "testdata" / "golden";
}

com::ComPtr<IStream> streamOf(std::string_view bytes)
{
    com::ComPtr<IStream> stream;
    com::CreateStreamOnMemory(bytes, stream.Receive());
    return stream;
}

std::string bytesOf(IStream* stream)
{
    std::uint64_t end = 0;
    stream->Seek(0, STREAM_SEEK_CUR, &end);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    std::string bytes(end, '\0');
    ULONG got = 0;
    stream->Read(bytes.data(), ULONG(bytes.size()), &got);
    return bytes;
}

// A control in a container at design time, loaded with its defaults.
struct Button {
    Button()
    {
        control = NewButton(&button);
        box.SetUserMode(false);
        site = box.Add(control.Get());
        site->InitNew();
    }
    std::string Save()
    {
        auto stream = streamOf({});
        EXPECT_EQ(site->Save(stream.Get()), S_OK);
        return bytesOf(stream.Get());
    }
    HRESULT Load(std::string_view bytes) { return site->Load(streamOf(bytes).Get()); }

    com::TestContainer box;
    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
    com::ControlSite* site = nullptr;
};

// A small picture of one colour.
void fill(CDIB& dib, int width, int height, COLORREF colour)
{
    ASSERT_TRUE(dib.CreateBlank(width, height, 24, colour));
}

// The golden file name: the bytes must match it; with TV_UPDATE_GOLDEN set
// the file is written instead.
::testing::AssertionResult matchesGolden(const std::string& bytes, const std::string& name)
{
    const fs::path file = goldenFolder() / (name + ".bin");
    if (std::getenv("TV_UPDATE_GOLDEN")) {
        fs::create_directories(file.parent_path());
        vb::fso::WriteAllBytesAtomic(file, bytes);
    }
    std::error_code ec;
    if (!fs::exists(file, ec))
        return ::testing::AssertionFailure() << file << " is missing";
    const std::string golden = vb::fso::ReadAllBytes(file);
    if (golden == bytes)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < golden.size() && at < bytes.size() && golden[at] == bytes[at])
        ++at;
    return ::testing::AssertionFailure() << name << ": " << bytes.size() << " bytes against " << golden.size()
                                         << ", first difference at " << at;
}

// Whether the stream holds the blob of a media object as the control wrote it.
bool holdsBlob(const std::string& stream, CBlob& object)
{
    HGLOBAL h = object.GetBlob();
    const std::string blob(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    GlobalFree(h);
    return stream.find(blob) != std::string::npos;
}

struct GoldenCase {
    const char* name;
    std::function<void(CLumvexCtrl&)> setUp;
};

TEST(LumvexPersistence, TheStreamsWrittenAreTheGoldenOnesAndReadBackTheSame)
{
    const GoldenCase cases[] = {
        {"default", [](CLumvexCtrl&) {}},
        {"bmp-picture",
         [](CLumvexCtrl& c) {
             c.m_Picture = "/pictures/face.bmp";
             fill(c.m_dibPicture, 5, 3, RGB(200, 10, 10));
         }},
        {"avi-picture-bmp-pressed",
         [](CLumvexCtrl& c) {
             c.m_Picture = "/pictures/spin.AVI";
             c.m_PicturePressed = "file:///pictures/down.bmp";
             fill(c.m_dibPicturePressed, 4, 4, RGB(0, 0, 255));
         }},
        {"http-picture",
         [](CLumvexCtrl& c) {
             c.m_Picture = "http://example.com/face.png";
             fill(c.m_dibPicture, 5, 3, RGB(200, 10, 10));
         }},
        {"handle-picture",
         [](CLumvexCtrl& c) {
             c.m_Picture = "Bmp";
             fill(c.m_dibPicture, 2, 2, RGB(1, 2, 3));
         }},
        {"memory-animation", [](CLumvexCtrl& c) { c.m_Picture = "Avi"; }},
        {"cursor-path", [](CLumvexCtrl& c) { c.m_Cursor = "/cursors/hand.cur"; }},
        {"texture-path",
         [](CLumvexCtrl& c) {
             c.m_Texture = "/textures/wood.jpg";
             fill(c.m_dibTexture, 8, 8, RGB(120, 80, 40));
         }},
    };
    for (const GoldenCase& g : cases) {
        SCOPED_TRACE(g.name);
        Button b;
        b.button->SetText("Press");
        g.setUp(*b.button);
        const std::string saved = b.Save();
        EXPECT_TRUE(matchesGolden(saved, g.name));

        Button copy;
        ASSERT_EQ(copy.Load(saved), S_OK);
        EXPECT_EQ(copy.Save(), saved);
        EXPECT_EQ(copy.button->m_Picture, b.button->m_Picture);
        EXPECT_EQ(copy.button->GetText(), "Press");
        EXPECT_EQ(copy.button->IsModified(), FALSE);
    }

    // What was stored, and what was not.
    Button b;
    b.button->m_Picture = "/a/spin.avi";
    b.button->m_PicturePressed = "/a/down.bmp";
    fill(b.button->m_dibPicturePressed, 4, 4, RGB(0, 0, 255));
    const std::string mixed = b.Save();
    EXPECT_TRUE(holdsBlob(mixed, b.button->m_dibPicturePressed));
    Button mixedCopy;
    ASSERT_EQ(mixedCopy.Load(mixed), S_OK);
    EXPECT_EQ(mixedCopy.button->m_dibPicturePressed.GetWidth(), 4);

    Button net;
    net.button->m_Picture = "http://example.com/face.bmp";
    fill(net.button->m_dibPicture, 5, 3, RGB(200, 10, 10));
    const std::string fromNet = net.Save();
    EXPECT_NE(fromNet.find("http://example.com/face.bmp"), std::string::npos);
    EXPECT_FALSE(holdsBlob(fromNet, net.button->m_dibPicture)) << "an address is loaded again, not stored";
    Button netCopy;
    ASSERT_EQ(netCopy.Load(fromNet), S_OK);
    EXPECT_FALSE(netCopy.button->m_dibPicture.IsValid());

    Button handle;
    handle.button->m_Picture = "Bmp";
    fill(handle.button->m_dibPicture, 2, 2, RGB(1, 2, 3));
    Button handleCopy;
    ASSERT_EQ(handleCopy.Load(handle.Save()), S_OK);
    EXPECT_TRUE(handleCopy.button->m_dibPicture.IsValid()) << "a picture given from a handle is stored";
    EXPECT_EQ(handleCopy.button->m_dibPicture.GetWidth(), 2);
}

TEST(LumvexPersistence, PropertyBagsRoundTripEveryValueAndAUserDataOfZero)
{
    Button b;
    b.button->m_Shape = 3;
    b.button->m_TagEx = "tag";
    b.button->m_UserData = 0;
    b.button->m_Res = 17;
    b.button->m_Style = 1;
    b.button->m_Picture = "/p/face.png";
    fill(b.button->m_dibPicture, 3, 3, RGB(9, 9, 9));
    b.button->SetText("Bag");
    auto bag = com::NewPropertyBag();
    ASSERT_EQ(b.site->Save(bag.Get()), S_OK);
    EXPECT_TRUE(bag->Contains("UserData"));
    EXPECT_TRUE(bag->Contains("dibPicture"));

    Button copy;
    ASSERT_EQ(copy.site->Load(bag.Get()), S_OK);
    EXPECT_EQ(copy.button->m_Shape, 3);
    EXPECT_EQ(copy.button->m_TagEx, "tag");
    EXPECT_EQ(copy.button->m_UserData, 0.0);
    EXPECT_EQ(copy.button->m_Res, 17);
    EXPECT_EQ(copy.button->m_Style, 1);
    EXPECT_EQ(copy.button->GetText(), "Bag");
    EXPECT_EQ(copy.button->m_dibPicture.GetWidth(), 3);
    // The same state saved again is the same stream.
    EXPECT_EQ(copy.Save(), b.Save());

    // Keys a bag lacks take the defaults; a missing UserData is 0.1.
    auto sparse = com::NewPropertyBag();
    sparse->SetValue("_Version", com::ComVariant::I4(LONG(kLumvexVersion60)));
    Button fromSparse;
    fromSparse.button->m_Shape = 2;
    ASSERT_EQ(fromSparse.site->Load(sparse.Get()), S_OK);
    EXPECT_EQ(fromSparse.button->m_Shape, 0);
    EXPECT_EQ(fromSparse.button->m_UserData, 0.1);
    EXPECT_EQ(fromSparse.button->m_CaptionWordWrapPerc, 90);
}

// A stored state of an older version, written field by field.
class LegacyWriter {
public:
    LegacyWriter() : ar_(&file_, CArchive::store) {}
    LegacyWriter& Dword(DWORD v) { return ar_ << v, *this; }
    LegacyWriter& Short(short v) { return ar_ << v, *this; }
    LegacyWriter& Bool(BOOL v) { return ar_ << LONG(v ? 1 : 0), *this; }
    LegacyWriter& Long(LONG v) { return ar_ << v, *this; }
    LegacyWriter& Double(double v) { return ar_ << v, *this; }
    LegacyWriter& String(const CString& s) { return ar_ << s, *this; }
    LegacyWriter& Font(const char* name, int points)
    {
        ar_ << WORD(1) << BYTE(0) << WORD(400) << LONG(points * 10000);
        return String(name);
    }
    LegacyWriter& EmptyBlob() { return Dword(0); }
    LegacyWriter& Blob(CBlob& object)
    {
        HGLOBAL h = object.GetBlob();
        ar_.Write(GlobalLock(h), UINT(GlobalSize(h)));
        GlobalUnlock(h);
        GlobalFree(h);
        return *this;
    }
    std::string Bytes()
    {
        ar_.Close();
        const std::vector<BYTE> v = file_.Detach();
        return std::string(v.begin(), v.end());
    }

private:
    CMemFile file_;
    CArchive ar_;
};

struct Legacy {
    CString picturePressed;
    CString texture;
    short optimization = 1;
    short smoothEdges = 0;
    short wordWrap = 90;
    short logPixels = 96;
    CDIB* pressed = nullptr;
    CDIB* btn = nullptr;
    CDIB* textureDib = nullptr;
};

// Every field a version has, in the order of 6.0; values that differ from
// the defaults where a version's own fields are to be seen.
std::string legacyStream(DWORD version, const Legacy& v)
{
    LegacyWriter w;
    w.Dword(version).Long(2540).Long(1270).Dword(3).String("Old").Long(1);
    w.Font("Arial", 9);
    for (int i = 0; i < 8; ++i)
        w.Font("Arial", 11);
    w.Short(0).Short(4).Short(4).Short(0).Dword(0x808000);
    w.String("").String(v.picturePressed).String("").String("").Short(0).Short(0);
    w.String("").String("").String("").String("").String("");
    w.Short(0).Short(1).Bool(TRUE).Dword(0).Bool(TRUE).Short(1).Dword(0).Dword(0).Bool(FALSE);
    w.String("").Bool(FALSE).Short(v.smoothEdges).String("").Bool(TRUE).Short(0).Short(0).Short(v.wordWrap);
    w.Short(v.logPixels).Short(v.optimization).Bool(TRUE);
    if (version >= kLumvexVersion46)
        w.Bool(TRUE).Short(3);
    if (version >= kLumvexVersion50)
        w.String(v.texture).Short(2).Short(30).Dword(0x0000FF).Short(40).Short(3).Dword(0x707070).Short(2).Short(1);
    if (version >= kLumvexVersion45)
        w.Double(2.5).Long(7).Long(8);
    if (!v.picturePressed.empty())
        w.Blob(*v.pressed);
    for (int i = 0; i < 9; ++i)
        w.EmptyBlob();
    const int tables = version >= kLumvexVersion50 ? 5 : 4;
    for (int i = 0; i < tables; ++i)
        w.EmptyBlob();
    if (v.optimization == 0)
        w.Blob(*v.btn);
    if (version >= kLumvexVersion50 && !v.texture.empty()) {
        w.Blob(*v.textureDib);
        w.EmptyBlob();
        w.EmptyBlob();
    }
    return w.Bytes();
}

// Values a control holds before an older state is loaded into it, so that
// what the load sets is seen.
void spoil(CLumvexCtrl& c)
{
    c.m_Style = 2;
    c.m_PictureDisabled = "/p/off.bmp";
    c.m_Texture = "/t/old.bmp";
    c.m_TextureMode = 3;
    c.m_TextureLightIntensity = 90;
    c.m_ForeColorDisabled = 1;
    c.m_FlatPillowFactor = 0;
    c.m_ShadowMode = 3;
    c.m_SpecialEffectFactor = 4;
    c.m_IgnoreSpaceBar = TRUE;
    c.m_UserData = 9;
    c.m_Res = 9;
    c.m_BitsPix = 9;
}

TEST(LumvexPersistence, OlderVersionsReadTheirFieldsAndTakeTheNewerOnesDefaults)
{
    for (const DWORD version : {kLumvexVersion40, kLumvexVersion45, kLumvexVersion46, kLumvexVersion50}) {
        SCOPED_TRACE(testing::Message() << std::hex << version);
        Button b;
        spoil(*b.button);
        ASSERT_EQ(b.Load(legacyStream(version, {})), S_OK);
        CLumvexCtrl& c = *b.button;
        EXPECT_EQ(c.GetVersionLoaded(), version);
        EXPECT_EQ(c.GetText(), "Old");
        EXPECT_EQ(c.m_text[0].GetText(), "Old");
        EXPECT_EQ(c.m_Style, 0);
        EXPECT_EQ(c.m_PictureDisabled, "");
        EXPECT_EQ(c.GetBackColor(), 0xC0C0C0u);
        if (version >= kLumvexVersion50) {
            EXPECT_EQ(c.m_TextureMode, 2);
            EXPECT_EQ(c.m_TextureLightIntensity, 30);
            EXPECT_EQ(c.m_ForeColorDisabled, 0x707070u);
            EXPECT_EQ(c.m_ShadowMode, 1);
        } else {
            EXPECT_EQ(c.m_Texture, "");
            EXPECT_EQ(c.m_TextureMode, 1);
            EXPECT_EQ(c.m_TextureLightIntensity, 40);
            EXPECT_EQ(c.m_TextureColorMix, 0u);
            EXPECT_EQ(c.m_TextureColorMixPerc, 50);
            EXPECT_EQ(c.m_TextureBevelFactor, 4);
            EXPECT_EQ(c.m_ForeColorDisabled, 0x808080u);
            EXPECT_EQ(c.m_FlatPillowFactor, 4);
            EXPECT_EQ(c.m_ShadowMode, 0);
        }
        if (version >= kLumvexVersion46) {
            EXPECT_EQ(c.m_IgnoreSpaceBar, TRUE);
            EXPECT_EQ(c.m_SpecialEffectFactor, 3);
        } else {
            EXPECT_EQ(c.m_IgnoreSpaceBar, FALSE);
            EXPECT_EQ(c.m_SpecialEffectFactor, 0);
        }
        if (version >= kLumvexVersion45) {
            EXPECT_EQ(c.m_UserData, 2.5);
            EXPECT_EQ(c.m_Res, 7);
            EXPECT_EQ(c.m_BitsPix, 8);
        } else {
            EXPECT_EQ(c.m_UserData, 0.1);
            EXPECT_EQ(c.m_Res, 0);
            EXPECT_EQ(c.m_BitsPix, 0);
        }
        // Whatever was read, the control is saved as 6.0.
        Button resaved;
        ASSERT_EQ(resaved.Load(b.Save()), S_OK);
        EXPECT_EQ(resaved.button->GetVersionLoaded(), kLumvexVersion60);
    }
}

TEST(LumvexPersistence, OlderBagsReadOnlyTheirVersionsKeys)
{
    for (const DWORD version : {kLumvexVersion40, kLumvexVersion45, kLumvexVersion46, kLumvexVersion50}) {
        SCOPED_TRACE(testing::Message() << std::hex << version);
        auto bag = com::NewPropertyBag();
        bag->SetValue("_Version", com::ComVariant::I4(LONG(version)));
        bag->SetValue("Shape", com::ComVariant::I2(3));
        bag->SetValue("IgnoreSpaceBar", com::ComVariant::Bool(true));
        bag->SetValue("UserData", com::ComVariant::R8(3.0));
        bag->SetValue("TextureMode", com::ComVariant::I2(3));
        bag->SetValue("Style", com::ComVariant::I2(2));
        Button b;
        spoil(*b.button);
        ASSERT_EQ(b.site->Load(bag.Get()), S_OK);
        const CLumvexCtrl& c = *b.button;
        EXPECT_EQ(c.m_Shape, 3);
        EXPECT_EQ(c.m_Style, 0);
        EXPECT_EQ(c.m_TextureMode, version >= kLumvexVersion50 ? 3 : 1);
        EXPECT_EQ(c.m_IgnoreSpaceBar, version >= kLumvexVersion46 ? TRUE : FALSE);
        EXPECT_EQ(c.m_UserData, version >= kLumvexVersion45 ? 3.0 : 0.1);
    }
}

TEST(LumvexPersistence, VersionFiveKeepsTheButtonImageBeforeTheTexturesAndAnyPressedPictureAsABitmap)
{
    CDIB pressed, btn, texture;
    fill(pressed, 2, 2, RGB(255, 0, 0));
    fill(btn, 6, 5, RGB(0, 255, 0));
    fill(texture, 7, 7, RGB(0, 0, 255));
    Legacy v;
    v.picturePressed = "/old/pressed.avi";
    v.pressed = &pressed;
    v.optimization = 0;
    v.btn = &btn;
    v.texture = "/old/wood.bmp";
    v.textureDib = &texture;
    for (const DWORD version : {kLumvexVersion50, kLumvexVersion46}) {
        SCOPED_TRACE(testing::Message() << std::hex << version);
        Button b;
        ASSERT_EQ(b.Load(legacyStream(version, v)), S_OK);
        EXPECT_EQ(b.button->m_dibPicturePressed.GetWidth(), 2);
        EXPECT_EQ(b.button->m_dibBtn.GetWidth(), 6);
        EXPECT_EQ(b.button->m_dibTexture.GetWidth(), version == kLumvexVersion50 ? 7 : 0);
    }
}

TEST(LumvexPersistence, AnUnknownVersionResetsTheValuesAndKeepsFontsAndMedia)
{
    Button b;
    b.button->m_Shape = 3;
    b.button->m_TagEx = "kept?";
    b.button->m_LogPixels = 120;
    b.button->m_UserData = 4;
    fill(b.button->m_dibPicture, 3, 3, RGB(1, 1, 1));
    CY size{200000};
    b.button->m_font[0].m_pFont->put_Size(size);
    LegacyWriter w;
    w.Dword(0x00030000).Long(2540).Long(1270).Dword(3).String("Unknown").Long(1);
    ASSERT_EQ(b.Load(w.Bytes()), S_OK);
    EXPECT_EQ(b.button->m_Shape, 0);
    EXPECT_EQ(b.button->m_TagEx, "");
    EXPECT_EQ(b.button->m_LogPixels, 0);
    EXPECT_EQ(b.button->m_UserData, 4.0);
    EXPECT_TRUE(b.button->m_dibPicture.IsValid());
    CY now{};
    b.button->m_font[0].m_pFont->get_Size(&now);
    EXPECT_EQ(now.int64, 200000);
}

TEST(LumvexPersistence, LoadingKeepsTheStoredResolutionAndHoldsTwoValuesToTheirRanges)
{
    gdi::SetScreenDpi(120);
    Button b;
    b.button->m_bRebuildFaces = FALSE;
    Legacy v;
    v.smoothEdges = 30000;
    v.wordWrap = 0;
    ASSERT_EQ(b.Load(legacyStream(kLumvexVersion50, v)), S_OK);
    gdi::SetScreenDpi(kScreenDpi);
    EXPECT_EQ(b.button->m_LogPixels, 96);
    EXPECT_EQ(b.button->m_bRebuildFaces, TRUE);
    EXPECT_EQ(b.button->m_SmoothEdges, 3);
    EXPECT_EQ(b.button->m_CaptionWordWrapPerc, 10);
    // Other values out of their setters' ranges stay as stored.
    Legacy wide;
    Button c;
    ASSERT_EQ(c.Load(legacyStream(kLumvexVersion46, wide)), S_OK);
    EXPECT_EQ(c.button->m_SpecialEffectFactor, 3);
}

TEST(LumvexPersistence, LoadingDoesNotMarkTheControlModified)
{
    Button source;
    source.button->m_Shape = 2;
    const std::string saved = source.Save();
    Button b;
    ASSERT_EQ(b.button->IsModified(), FALSE);
    ASSERT_EQ(b.Load(saved), S_OK);
    EXPECT_EQ(b.button->IsModified(), FALSE);
    EXPECT_EQ(b.button->m_Shape, 2);
    EXPECT_EQ(b.button->m_bPropertiesExchanged, TRUE);
}

TEST(LumvexPersistence, AStreamCutAnywhereFailsAndLeavesTheControlAsNew)
{
    Button source;
    source.button->SetText("Cut");
    source.button->m_Picture = "/p/face.bmp";
    source.button->m_Shape = 3;
    fill(source.button->m_dibPicture, 3, 3, RGB(5, 6, 7));
    source.button->m_Texture = "/t/wood.png";
    fill(source.button->m_dibTexture, 4, 4, RGB(8, 9, 10));
    const std::string whole = source.Save();

    Button fresh;
    const std::string asNew = fresh.Save();
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        Button b;
        const HRESULT hr = b.Load(whole.substr(0, cut));
        ASSERT_TRUE(FAILED(hr)) << "cut at " << cut;
        ASSERT_EQ(b.Save(), asNew) << "cut at " << cut;
        ASSERT_FALSE(b.button->m_dibPicture.IsValid()) << "cut at " << cut;
        ASSERT_FALSE(b.button->m_dibTexture.IsValid()) << "cut at " << cut;
    }
    Button b;
    EXPECT_EQ(b.Load(whole), S_OK);
}

TEST(LumvexPersistence, ABlobWhoseBytesDoNotDecodeStaysEmptyAndTheLoadGoesOn)
{
    Button source;
    source.button->SetText("Kept");
    source.button->m_Shape = 3;
    source.button->m_Picture = "/p/face.bmp";
    fill(source.button->m_dibPicture, 3, 3, RGB(5, 6, 7));
    source.button->m_SoundDown = "/s/down.wav";
    source.button->m_Texture = "/t/wood.png";
    fill(source.button->m_dibTexture, 4, 4, RGB(8, 9, 10));
    std::string stream = source.Save();

    // The picture's blob becomes 40 bytes of 0x7F in a whole frame; so
    // does the sound's, which holds no bytes (an empty blob) otherwise.
    HGLOBAL h = source.button->m_dibPicture.GetBlob();
    const std::string picture(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    GlobalFree(h);
    const std::size_t at = stream.find(picture);
    ASSERT_NE(at, std::string::npos);
    const std::string damaged = std::string("\x28\0\0\0", 4) + std::string(40, '\x7F');
    stream.replace(at, picture.size(), damaged);
    const std::size_t sound = at + damaged.size();
    ASSERT_EQ(stream.substr(sound, 4), std::string(4, '\0'));
    stream.replace(sound, 4, damaged);

    Button b;
    ASSERT_EQ(b.Load(stream), S_OK);
    EXPECT_FALSE(b.button->m_dibPicture.IsValid());
    EXPECT_FALSE(b.button->m_sndDown.HasData());
    EXPECT_EQ(b.button->GetText(), "Kept");
    EXPECT_EQ(b.button->m_Shape, 3);
    EXPECT_EQ(b.button->m_Picture, "/p/face.bmp");
    // The blobs after the damaged ones are read in their places.
    EXPECT_EQ(b.button->m_text[0].GetText(), "Kept");
    ASSERT_TRUE(b.button->m_dibTexture.IsValid());
    EXPECT_EQ(b.button->m_dibTexture.GetWidth(), 4);
}

} // namespace
