// Template files: the bytes written for known buttons, round trips, the
// older layout, plain files read as extended ones, files cut short, font
// sizes, long strings, the media an extended file names and the rectangle.

#include "buttonlib/control/LumvexMediaTestFiles.h"
#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/Stream.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorService.h"
#include "platform/win/CursorTestSupport.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

#include <cstring>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tv::testing::ReadRaw;
using tv::testing::WriteRaw;

// A button in a container at design time, loaded with its defaults.
struct Button {
    Button()
    {
        control = lumvextest::NewButton(&button);
        box.SetUserMode(false);
        site = box.Add(control.Get());
        site->InitNew();
    }
    // Every stored property, as the container would save them.
    std::string Dump() const
    {
        const fs::path file = fs::temp_directory_path() / ("templates-dump-" + std::to_string(::getpid()));
        {
            com::ComPtr<IStream> stream;
            EXPECT_EQ(com::CreateStreamOnFile(file, STGM_CREATE | STGM_WRITE, stream.Receive()), S_OK);
            EXPECT_EQ(site->Save(stream.Get()), S_OK);
        }
        std::string bytes = ReadRaw(file);
        fs::remove(file);
        return bytes;
    }

    com::TestContainer box;
    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
    com::ControlSite* site = nullptr;
};

unsigned word(const std::string& b, std::size_t at)
{
    return unsigned(static_cast<unsigned char>(b[at])) | unsigned(static_cast<unsigned char>(b[at + 1])) << 8;
}

std::uint32_t dword(const std::string& b, std::size_t at)
{
    return word(b, at) | std::uint32_t(word(b, at + 2)) << 16;
}

void setFontSize(CLumvexCtrl& c, int position, std::int64_t units)
{
    ASSERT_EQ(c.m_font[std::size_t(position)].m_pFont->put_Size(CY{units}), S_OK);
}

// A button that differs from the default in every part a template carries.
void style(CLumvexCtrl& c)
{
    c.SetShape(3);
    c.SetRoundness(1);
    c.SetSlant(2);
    c.SetSurface(3);
    c.SetPictureTranspColor(0x00FF00);
    c.SetPictureXOffset(-5);
    c.SetPictureYOffset(7);
    c.SetPicturePosition(8);
    c.SetPictureTranspMode(0);
    c.SetButtonCustomRaised(FALSE);
    c.SetBackColorContainer(0x123456);
    c.SetMovePictureOnPress(FALSE);
    c.SetButtonRaiseFactor(6);
    c.SetHighlightColor(0xFFFFFE);
    c.SetShadowColor(0x010101);
    c.SetButtonCustomFitPicture(TRUE);
    c.SetSmoothEdges(2);
    c.SetPictureKeepRatio(FALSE);
    c.SetFocusMode(2);
    c.SetSpecialEffect(1);
    c.SetSpecialEffectFactor(3);
    c.SetCaptionWordWrapPerc(55);
    c.SetClickable(FALSE);
    c.SetTextureMode(3);
    c.SetTextureLightIntensity(70);
    c.SetTextureColorMix(0x0000FF);
    c.SetTextureColorMixPerc(20);
    c.SetTextureBevelFactor(1);
    c.SetForeColorDisabled(0x404040);
    c.SetFlatPillowFactor(2);
    c.SetShadowMode(3);
    c.SetStyle(1);
    for (short i = 0; i < 6; ++i)
        c.SetSurfaceColor(i, COLORREF(0x102030 * (i + 1)), short(i + 2), short(i % 2));
    for (short p = 1; p < 9; ++p) {
        c.SetAuxText(p, "text " + std::to_string(p), COLORREF(p), COLORREF(p * 2), p, short(-p), short(p % 4),
                     short(p % 6));
        CLumvexCtrl::TextSettingDesc d{};
        d.colorPressed = COLORREF(0x800000 + p);
        c.SetTextSettingOnPos(p, &d, short(0xFF & ~CLumvexCtrl::kSkipColorPressed));
    }
    setFontSize(c, 2, 140000);
    c.m_font[4].m_pFont->put_Italic(TRUE);
    c.m_font[0].m_pFont->put_Weight(700);
}

struct Templates : ::testing::Test {
    Templates() { win::SetMessageBoxPort(boxes); }
    ~Templates() override { win::SetMessageBoxPort(nullptr); }
    fs::path File(const char* name) const { return root.Path() / name; }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const auto& r : boxes->shown)
            texts.push_back(r.text);
        return texts;
    }
    tv::testing::TempRoot root;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
};

// The ten media paths of an extended file, in their stored order.
struct MediaPaths {
    CString soundDown, soundUp, soundMouseOver, soundMouseOut, cursor;
    CString picture, picturePressed, pictureMouseOver, pictureCustom, texture;
};

// An extended template of a default button that names the given paths.
void saveWithPaths(const fs::path& file, const MediaPaths& p)
{
    Button b;
    CLumvexCtrl& c = *b.button;
    // Set as stored: the files are on another machine.
    c.m_SoundDown = p.soundDown;
    c.m_SoundUp = p.soundUp;
    c.m_SoundMouseOver = p.soundMouseOver;
    c.m_SoundMouseOut = p.soundMouseOut;
    c.m_Cursor = p.cursor;
    c.m_Picture = p.picture;
    c.m_PicturePressed = p.picturePressed;
    c.m_PictureMouseOver = p.pictureMouseOver;
    c.m_PictureCustom = p.pictureCustom;
    c.m_Texture = p.texture;
    c.SetShape(5);
    ASSERT_EQ(c.SaveTemplateEx(file.string()), 1);
}

TEST_F(Templates, DefaultButtonWritesTheKnownLayout)
{
    Button b;
    ASSERT_EQ(b.button->SaveTemplate(File("plain.kzt").string()), 1);
    ASSERT_EQ(b.button->SaveTemplateEx(File("ext.kzt").string()), 1);
    const std::string plain = ReadRaw(File("plain.kzt"));
    const std::string ext = ReadRaw(File("ext.kzt"));
    ASSERT_EQ(plain.size(), 641u);
    ASSERT_EQ(ext.size(), 671u);
    EXPECT_EQ(ext.substr(0, 4), "KZTM");
    EXPECT_EQ(ext.substr(4, 641), plain);

    EXPECT_EQ(word(plain, 0), 6u);
    EXPECT_EQ(word(plain, 2), 0u);
    EXPECT_EQ(word(plain, 4), 1u);
    // The caption's font, then the eight others at 12 points.
    EXPECT_EQ(word(plain, 6), 8u);
    EXPECT_EQ(plain.substr(8, 14), std::string("\x0dMS Sans Serif", 14));
    EXPECT_EQ(word(plain, 22), 400u);
    EXPECT_EQ(plain.substr(24, 12), std::string(12, '\0'));
    for (int f = 1; f < 9; ++f)
        EXPECT_EQ(word(plain, 6 + 30 * std::size_t(f)), 12u) << f;

    // The scalar block of a new button.
    const std::size_t s = 6 + 9 * 30;
    const std::uint32_t expected[][3] = {
        {0, 2, 0},        {2, 2, 4},       {4, 2, 4},       {6, 2, 0},   {8, 4, 0x808000}, {12, 2, 0},
        {14, 2, 0},       {16, 2, 0},      {18, 2, 1},      {20, 4, 1},  {24, 4, 0},       {28, 4, 1},
        {32, 2, 1},       {34, 4, 0},      {38, 4, 0},      {42, 4, 0},  {46, 2, 0},       {48, 4, 1},
        {52, 2, 0},       {54, 2, 0},      {56, 2, 0},      {58, 2, 90}, {60, 4, 1},       {64, 2, 1},
        {66, 2, 40},      {68, 4, 0},      {72, 2, 50},     {74, 2, 4},  {76, 4, 0x808080}, {80, 2, 4},
        {82, 2, 0},
    };
    for (const auto& [offset, size, value] : expected)
        EXPECT_EQ(size == 2 ? word(plain, s + offset) : dword(plain, s + offset), value) << "offset " << offset;
    // Nine empty texts: layout, pressed colour, a zero-length string.
    for (int t = 0; t < 9; ++t)
        EXPECT_EQ(plain[s + 84 + 23 * std::size_t(t) + 22], '\0');
    // The back table's base colour; Style last.
    EXPECT_EQ(dword(plain, s + 84 + 207 + 4), 0xC0C0C0u);
    EXPECT_EQ(word(plain, 639), 0u);
    // Ten empty paths, then the rectangle.
    EXPECT_EQ(ext.substr(645, 10), std::string(10, '\0'));
}

TEST_F(Templates, RoundTripCarriesTheLookAndOnlyTheLook)
{
    Button from;
    style(*from.button);
    from.button->SetHyperlink("https://example.org");
    ASSERT_EQ(from.button->SaveTemplate(File("styled.kzt").string()), 1);
    ASSERT_EQ(from.button->SaveTemplateEx(File("styled-ext.kzt").string()), 1);
    const std::string styled = ReadRaw(File("styled.kzt"));
    EXPECT_EQ(styled.size(), 641u + 8 * 6);

    for (bool extended : {false, true}) {
        Button to;
        const CString file = File(extended ? "styled-ext.kzt" : "styled.kzt").string();
        ASSERT_EQ(extended ? to.button->LoadTemplateEx(file) : to.button->LoadTemplate(file), 1);
        EXPECT_TRUE(to.button->IsModified());
        // What a template does not carry stays.
        EXPECT_EQ(to.button->GetHyperlink(), "");
        to.button->SetHyperlink("https://example.org");
        EXPECT_EQ(to.Dump(), from.Dump()) << (extended ? "extended" : "plain");
        ASSERT_EQ(to.button->SaveTemplate(File("again.kzt").string()), 1);
        EXPECT_EQ(ReadRaw(File("again.kzt")), styled);
    }
}

TEST_F(Templates, OlderLayoutKeepsStyleAndThePressedTable)
{
    Button from;
    from.button->SetShape(2);
    from.button->SetStyle(1);
    from.button->SetBackColorPressed(0x0000FF);
    ASSERT_EQ(from.button->SaveTemplate(File("new.kzt").string()), 1);
    const std::string now = ReadRaw(File("new.kzt"));
    // Same header with flag 0, fonts and scalars; texts without pressed
    // colour and string; five tables; no Style.
    std::string old = now.substr(0, 4) + std::string("\0\0", 2) + now.substr(6, 270 + 84);
    for (int t = 0; t < 9; ++t)
        old += now.substr(360 + 23 * std::size_t(t), 18);
    old += now.substr(567, 60);
    WriteRaw(File("old.kzt"), old);

    Button to;
    to.button->SetStyle(2);
    to.button->SetBackColorPressed(0x00FF00);
    ASSERT_EQ(to.button->LoadTemplate(File("old.kzt").string()), 1);
    EXPECT_EQ(to.button->GetShape(), 2);
    EXPECT_EQ(to.button->GetStyle(), 2);
    EXPECT_EQ(to.button->GetBackColorPressed(), 0x00FF00u);

    // Cut by one byte it is no template.
    const std::string before = to.Dump();
    WriteRaw(File("old-short.kzt"), old.substr(0, old.size() - 1));
    EXPECT_EQ(to.button->LoadTemplate(File("old-short.kzt").string()), 0);
    EXPECT_EQ(to.Dump(), before);
}

TEST_F(Templates, PlainFileThroughTheExtendedReader)
{
    lumvextest::ActiveButton from(false);
    from.button->SetShape(1);
    ASSERT_EQ(from.button->SaveTemplate(File("plain.kzt").string()), 1);
    lumvextest::ActiveButton to(false);
    // Set as stored, without a file to load.
    to.button->m_Picture = "keep.bmp";
    const auto rectChanges = to.box.LogOf(to.site).posRectChanges.size();
    ASSERT_EQ(to.button->LoadTemplateEx(File("plain.kzt").string()), 1);
    EXPECT_EQ(to.button->GetShape(), 1);
    // No media section, no rectangle.
    EXPECT_EQ(to.button->GetPicture(), "keep.bmp");
    EXPECT_EQ(to.box.LogOf(to.site).posRectChanges.size(), rectChanges);
}

TEST_F(Templates, ExtendedFileMovesTheControlAndSetsItsMedia)
{
    lumvextest::ActiveButton from(false);
    from.button->m_SoundDown = "C:\\sounds\\down.wav";
    from.button->m_Texture = "http://example.org/t.png";
    from.button->m_Cursor = "C:\\cursors\\gone.cur";
    ASSERT_EQ(from.button->SaveTemplateEx(File("ext.kzt").string()), 1);
    const std::string ext = ReadRaw(File("ext.kzt"));
    // The window's place in the container: (10, 20), 96 x 48.
    const std::size_t r = ext.size() - 16;
    EXPECT_EQ(dword(ext, r), 10u);
    EXPECT_EQ(dword(ext, r + 4), 20u);
    EXPECT_EQ(dword(ext, r + 8), 96u);
    EXPECT_EQ(dword(ext, r + 12), 48u);

    // A file of another machine, moved to (30, 40) 50 x 60.
    std::string moved = ext.substr(0, r);
    for (std::uint32_t v : {30u, 40u, 50u, 60u})
        moved += std::string{char(v), 0, 0, 0};
    WriteRaw(File("moved.kzt"), moved);
    lumvextest::ActiveButton to(false);
    to.button->SetTemplateBinDir(3, root.Path().string());
    ASSERT_EQ(to.button->LoadTemplateEx(File("moved.kzt").string()), 1);
    const auto& changes = to.box.LogOf(to.site).posRectChanges;
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().left, 30);
    EXPECT_EQ(changes.back().top, 40);
    EXPECT_EQ(changes.back().right, 80);
    EXPECT_EQ(changes.back().bottom, 100);
    // Not found in the folder: cleared. The address is kept at design time.
    EXPECT_EQ(to.button->GetSoundDown(), "");
    EXPECT_EQ(to.button->GetTexture(), "http://example.org/t.png");
    EXPECT_EQ(to.button->GetCursor(), "");
    EXPECT_EQ(to.button->m_hCursor, nullptr);
}

TEST_F(Templates, ExtendedFileLoadsTheMediaItNamesFromTheFolders)
{
    lumvextest::MediaTestFiles files;
    QImage arrow(16, 16, QImage::Format_ARGB32);
    arrow.fill(Qt::black);
    const auto cur = win::testing::MakeCur({win::testing::CurEntry(win::testing::MakePng(arrow), 16, 16)});
    WriteRaw(files.root.Path() / "arrow.cur", std::string(cur.begin(), cur.end()));
    const MediaPaths stored{"C:\\snd\\tone.wav", "", "/home/other/tone.wav", "", "C:\\c\\arrow.cur",
                            "C:\\pics\\PICTURE.BMP", "pic.png", "", "D:\\m\\mask.bmp", "x\\pic.bmp"};
    saveWithPaths(File("media.kzt"), stored);

    Button b;
    CLumvexCtrl& c = *b.button;
    // What the button had before goes where the file names nothing.
    c.m_sndUp.SetRawData(reinterpret_cast<const BYTE*>("RIFF"), 4);
    c.m_dibPictureMouseOver.CreateBlank(3, 3, 24, 0);
    for (short type = 0; type < 4; ++type)
        c.SetTemplateBinDir(type, files.root.Path().string());
    // The button's own cursor is replaced, its handle freed.
    c.SetCursor(files.path("arrow.cur"));
    const std::size_t cursors = win::CursorHandleCount();
    ASSERT_EQ(c.LoadTemplateEx(File("media.kzt").string()), 1);
    EXPECT_TRUE(Shown().empty());

    EXPECT_TRUE(c.m_sndDown.HasData());
    EXPECT_TRUE(c.m_sndMouseOver.HasData());
    EXPECT_FALSE(c.m_sndUp.HasData());
    EXPECT_FALSE(c.m_sndMouseOut.HasData());
    ASSERT_NE(c.m_hCursor, nullptr);
    EXPECT_EQ(c.m_hCursor, c.m_curCursor.GetHandle());
    EXPECT_EQ(win::CursorHandleCount(), cursors);
    EXPECT_EQ(c.m_dibPicture.GetWidth(), 12);
    EXPECT_EQ(c.m_dibPicturePressed.GetWidth(), 12);
    EXPECT_FALSE(c.m_dibPictureMouseOver.IsValid());
    // The mask gets its frame of one pixel.
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 42);
    EXPECT_EQ(c.m_dibPictureCustom.GetHeight(), 22);
    EXPECT_EQ(c.m_dibTexture.GetWidth(), 12);
    // The properties keep the stored names, so a template saved again
    // names the same files.
    EXPECT_EQ(c.GetPicture(), "C:\\pics\\PICTURE.BMP");
    EXPECT_EQ(c.GetSoundMouseOver(), "/home/other/tone.wav");
    ASSERT_EQ(c.SaveTemplateEx(File("again.kzt").string()), 1);
    EXPECT_EQ(ReadRaw(File("again.kzt")), ReadRaw(File("media.kzt")));

    // A template naming nothing empties every medium.
    saveWithPaths(File("none.kzt"), MediaPaths{});
    ASSERT_EQ(c.LoadTemplateEx(File("none.kzt").string()), 1);
    EXPECT_EQ(win::CursorHandleCount(), cursors - 1);
    EXPECT_EQ(c.m_hCursor, nullptr);
    EXPECT_FALSE(c.m_sndDown.HasData());
    EXPECT_FALSE(c.m_dibPicture.IsValid());
    EXPECT_FALSE(c.m_dibPictureCustom.IsValid());
    EXPECT_FALSE(c.m_dibTexture.IsValid());
}

TEST_F(Templates, MediaThatDoNotLoadClearTheirPathsAlone)
{
    lumvextest::MediaTestFiles files;
    const MediaPaths stored{"gone.wav", "tone.txt", "http://example.org/s.wav", "", "",
                            "gone.bmp", "http://example.org/p.png", "", "C:\\pic.bmp", "gone.jpg"};
    saveWithPaths(File("broken.kzt"), stored);

    // At design time, addresses are not fetched: pictures show the
    // placeholder and sounds stay silent.
    Button b;
    CLumvexCtrl& c = *b.button;
    c.m_dibPicture.CreateBlank(3, 3, 24, 0);
    c.m_dibTexture.CreateBlank(3, 3, 24, 0);
    c.SetTemplateBinDir(0, files.root.Path().string());
    c.SetTemplateBinDir(1, files.root.Path().string());
    c.SetTemplateBinDir(2, files.root.Path().string());
    c.SetModifiedFlag(FALSE);
    ASSERT_EQ(c.LoadTemplateEx(File("broken.kzt").string()), 1);
    EXPECT_TRUE(c.IsModified());
    // The rest of the template is applied.
    EXPECT_EQ(c.GetShape(), 5);

    EXPECT_EQ(c.GetSoundDown(), "");
    EXPECT_FALSE(c.m_sndDown.HasData());
    EXPECT_EQ(c.GetSoundUp(), "");
    EXPECT_EQ(c.GetSoundMouseOver(), "http://example.org/s.wav");
    EXPECT_FALSE(c.m_sndMouseOver.HasData());
    EXPECT_EQ(c.GetPicture(), "");
    EXPECT_FALSE(c.m_dibPicture.IsValid());
    EXPECT_EQ(c.GetPicturePressed(), "http://example.org/p.png");
    EXPECT_EQ(c.m_dibPicturePressed.GetWidth(), 32);
    // A colour picture is no mask: the built-in shape stays.
    EXPECT_EQ(c.GetPictureCustom(), "");
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 47);
    EXPECT_EQ(c.GetTexture(), "");
    EXPECT_FALSE(c.m_dibTexture.IsValid());

    const std::string dir = files.root.Path().string() + "/";
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Error opening file " + dir + "gone.wav",
                           "The file " + dir + "tone.txt has an invalid extension.",
                           "Error opening file " + dir + "gone.bmp",
                           "The file " + dir + "pic.bmp is not a monochrome black and white file (1 bit per pixel).",
                           "Error opening file " + dir + "gone.jpg",
                       }));
}

TEST_F(Templates, FileCutAnywhereChangesNothing)
{
    Button from;
    style(*from.button);
    ASSERT_EQ(from.button->SaveTemplateEx(File("ext.kzt").string()), 1);
    ASSERT_EQ(from.button->SaveTemplate(File("plain.kzt").string()), 1);
    const std::string ext = ReadRaw(File("ext.kzt"));
    const std::string plain = ReadRaw(File("plain.kzt"));

    Button to;
    to.button->SetPicture("keep.bmp");
    to.button->SetModifiedFlag(FALSE);
    const std::string before = to.Dump();
    for (std::size_t n = 0; n < ext.size(); ++n) {
        WriteRaw(File("cut.kzt"), ext.substr(0, n));
        ASSERT_EQ(to.button->LoadTemplateEx(File("cut.kzt").string()), 0) << n;
        if (n < plain.size()) {
            WriteRaw(File("cut.kzt"), plain.substr(0, n));
            ASSERT_EQ(to.button->LoadTemplate(File("cut.kzt").string()), 0) << n;
        }
    }
    EXPECT_FALSE(to.button->IsModified());
    EXPECT_EQ(to.Dump(), before);
    EXPECT_EQ(to.button->LoadTemplate(File("missing.kzt").string()), 0);
    EXPECT_EQ(to.button->LoadTemplate(root.Path().string()), 0);
}

TEST_F(Templates, FontSizesAreWholePointsRoundedHalfToEven)
{
    Button b;
    setFontSize(*b.button, 0, 82500);
    setFontSize(*b.button, 1, 85000);
    setFontSize(*b.button, 2, 95000);
    ASSERT_EQ(b.button->SaveTemplate(File("sizes.kzt").string()), 1);
    const std::string bytes = ReadRaw(File("sizes.kzt"));
    EXPECT_EQ(word(bytes, 6), 8u);
    EXPECT_EQ(word(bytes, 36), 8u);
    EXPECT_EQ(word(bytes, 66), 10u);

    Button to;
    ASSERT_EQ(to.button->LoadTemplate(File("sizes.kzt").string()), 1);
    CY size{};
    to.button->m_font[2].m_pFont->get_Size(&size);
    EXPECT_EQ(size.int64, 100000);
}

TEST_F(Templates, StringLengthsAtTheFormBoundaries)
{
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {65535, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
    };
    // The caption's string follows the fonts, the scalars and its 22 bytes.
    const std::size_t at = 6 + 270 + 84 + 22;
    for (const Case& c : cases) {
        Button b;
        const std::string text(c.length, 'x');
        b.button->SetAuxTextString(0, text);
        ASSERT_EQ(b.button->SaveTemplate(File("long.kzt").string()), 1);
        const std::string bytes = ReadRaw(File("long.kzt"));
        EXPECT_EQ(bytes.substr(at, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(bytes.size(), 641 + c.length + c.prefix.size() - 1) << c.length;
        Button to;
        ASSERT_EQ(to.button->LoadTemplate(File("long.kzt").string()), 1);
        EXPECT_EQ(to.button->GetTextOnPos(0), text) << c.length;
    }
}

TEST_F(Templates, ATemplatesCaptionBecomesTheCaptionProperty)
{
    Button from;
    from.button->SetText("Cap2");
    ASSERT_EQ(from.button->SaveTemplateEx(File("cap.kzt").string()), 1);
    ASSERT_EQ(from.button->SaveTemplate(File("plain.kzt").string()), 1);
    for (const char* name : {"cap.kzt", "plain.kzt"}) {
        Button to;
        to.button->SetText("Before");
        ASSERT_EQ(to.button->LoadTemplateEx(File(name).string()), 1) << name;
        EXPECT_EQ(to.button->GetText(), "Cap2") << name;
        EXPECT_EQ(to.button->GetTextOnPos(0), "Cap2") << name;
    }
}

TEST_F(Templates, LoadedValuesTheDrawingCannotTakeAreHeld)
{
    Button b;
    ASSERT_EQ(b.button->SaveTemplate(File("t.kzt").string()), 1);
    std::string bytes = ReadRaw(File("t.kzt"));
    const std::size_t s = 6 + 270;
    bytes[s + 46] = char(0x30);
    bytes[s + 47] = char(0x75); // SmoothEdges 30000
    bytes[s + 58] = char(0xFB);
    bytes[s + 59] = char(0xFF); // CaptionWordWrapPerc -5
    WriteRaw(File("t.kzt"), bytes);
    ASSERT_EQ(b.button->LoadTemplate(File("t.kzt").string()), 1);
    EXPECT_EQ(b.button->GetSmoothEdges(), 3);
    EXPECT_EQ(b.button->GetCaptionWordWrapPerc(), 10);
}

TEST_F(Templates, SaveThatCannotWriteSaysSo)
{
    Button b;
    EXPECT_EQ(b.button->SaveTemplate((root.Path() / "no" / "such" / "t.kzt").string()), 0);
    fs::create_directory(File("folder.kzt"));
    EXPECT_EQ(b.button->SaveTemplateEx(File("folder.kzt").string()), 0);
    EXPECT_TRUE(fs::is_directory(File("folder.kzt")));
}

TEST(TemplatePaths, ResolveIntoTheTypesFolder)
{
    Button b;
    CLumvexCtrl& c = *b.button;
    EXPECT_EQ(c.ResolveTemplatePath(0, "C:\\pics\\a.bmp"), "C:\\pics\\a.bmp");
    c.SetTemplateBinDir(0, "/srv/pics");
    c.SetTemplateBinDir(1, "/srv/tex/");
    c.SetTemplateBinDir(2, "D:\\snd\\");
    c.SetTemplateBinDir(7, "/nowhere");
    EXPECT_EQ(c.ResolveTemplatePath(0, "C:\\pics\\a.bmp"), "/srv/pics/a.bmp");
    EXPECT_EQ(c.ResolveTemplatePath(0, "/home/me/b.png"), "/srv/pics/b.png");
    EXPECT_EQ(c.ResolveTemplatePath(0, "c.png"), "/srv/pics/c.png");
    EXPECT_EQ(c.ResolveTemplatePath(1, "x\\t.jpg"), "/srv/tex/t.jpg");
    EXPECT_EQ(c.ResolveTemplatePath(2, "C:\\w\\s.wav"), "D:\\snd\\s.wav");
    EXPECT_EQ(c.ResolveTemplatePath(3, "C:\\c\\a.cur"), "C:\\c\\a.cur");
    // Addresses are never joined to a folder.
    EXPECT_EQ(c.ResolveTemplatePath(0, "http://example.org/a/p.png"), "http://example.org/a/p.png");
    EXPECT_EQ(c.ResolveTemplatePath(0, "FTP://example.org/m.bmp"), "FTP://example.org/m.bmp");
}

} // namespace
