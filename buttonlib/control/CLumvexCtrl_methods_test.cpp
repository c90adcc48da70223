// The button's methods as a container calls them through IDispatch: text and
// surface descriptors by address, media by handle and from memory, the
// control pointer, the refresh switch and the editor's tables.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/testserver/ComTesting.h"
#include "platform/testing/Command.h"
#include "platform/testing/RiffWriter.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"
#include "platform/win/VirtualKeys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using lumvextest::ActiveButton;
using Step = CLumvexCtrl::Step;

// Calls a member with the arguments in the caller's order.
HRESULT call(IDispatch* d, DISPID id, std::vector<com::ComVariant> args, VARIANT* result = nullptr)
{
    return comtest::Call(d, id, DISPATCH_METHOD, std::move(args), result);
}

com::ComVariant address(const void* p)
{
    return com::ComVariant::I8(std::int64_t(reinterpret_cast<std::intptr_t>(p)));
}

struct Methods : ::testing::Test {
    Methods() : b(true), dispatch(b.site->ControlAs<IDispatch>()) {}
    CLumvexCtrl& c() { return *b.button; }
    bool Repainted() const
    {
        return std::find(b.trace.begin(), b.trace.end(), Step::InvalidateErase) != b.trace.end();
    }

    ActiveButton b;
    com::ComPtr<IDispatch> dispatch;
};

TEST_F(Methods, TextSettingDescriptorHonoursEveryFlagBit)
{
    const CLumvexCtrl::TextSettingDesc start{1, 2, 3, 4, 5, 1, 2, 3, 0};
    const CLumvexCtrl::TextSettingDesc next{11, 12, 13, 14, 15, 2, 3, 4, 0};
    for (int bit = 0; bit < 8; ++bit) {
        ASSERT_EQ(call(dispatch.Get(), dispidSetTextSettingOnPos,
                       {com::ComVariant::I2(3), address(&start), com::ComVariant::I2(0)}),
                  S_OK);
        ASSERT_EQ(call(dispatch.Get(), dispidSetTextSettingOnPos,
                       {com::ComVariant::I2(3), address(&next), com::ComVariant::I2(short(1 << bit))}),
                  S_OK);
        CLumvexCtrl::TextSettingDesc got{};
        got.padding = 0x5A5A;
        ASSERT_EQ(call(dispatch.Get(), dispidGetTextSettingOnPos, {com::ComVariant::I2(3), address(&got)}), S_OK);
        const DWORD colours[3][3] = {{got.color, start.color, next.color},
                                     {got.colorMouseOver, start.colorMouseOver, next.colorMouseOver},
                                     {got.colorPressed, start.colorPressed, next.colorPressed}};
        for (int f = 0; f < 3; ++f)
            EXPECT_EQ(colours[f][0], f == bit ? colours[f][1] : colours[f][2]) << bit << " " << f;
        const short shorts[5][3] = {{got.xOffset, start.xOffset, next.xOffset},
                                    {got.yOffset, start.yOffset, next.yOffset},
                                    {got.effect, start.effect, next.effect},
                                    {got.effectFactor, start.effectFactor, next.effectFactor},
                                    {got.angle, start.angle, next.angle}};
        for (int f = 0; f < 5; ++f)
            EXPECT_EQ(shorts[f][0], f + 3 == bit ? shorts[f][1] : shorts[f][2]) << bit << " " << f;
        EXPECT_EQ(got.padding, 0x5A5A);
    }

    // Out-of-range fields take their defaults.
    const CLumvexCtrl::TextSettingDesc wild{0, 0, 0, 100, -100, 4, 6, 5, 0};
    c().SetTextSettingOnPos(8, &wild, 0);
    EXPECT_EQ(c().m_text[8].GetXOffset(), 0);
    EXPECT_EQ(c().m_text[8].GetYOffset(), 0);
    EXPECT_EQ(c().m_text[8].GetEffect(), 0);
    EXPECT_EQ(c().m_text[8].GetEffectFactor(), 1);
    EXPECT_EQ(c().m_text[8].GetAngle(), 0);

    // Every field skipped still repaints; a position past the last changes
    // and repaints nothing.
    b.trace.clear();
    c().SetTextSettingOnPos(3, &start, 255);
    EXPECT_EQ(c().m_text[3].GetForeColor(), next.color);
    EXPECT_TRUE(Repainted());
    b.trace.clear();
    c().SetTextSettingOnPos(9, &start, 0);
    EXPECT_TRUE(b.trace.empty());
    CLumvexCtrl::TextSettingDesc untouched{7, 7, 7, 7, 7, 7, 7, 7, 7};
    c().GetTextSettingOnPos(9, &untouched);
    EXPECT_EQ(untouched.color, 7u);
}

TEST_F(Methods, SurfaceDescriptorAndColours)
{
    const CLumvexCtrl::SurfaceColorDesc in{0x336699, 3, 0};
    ASSERT_EQ(call(dispatch.Get(), dispidSetSurfaceColorDesc, {com::ComVariant::I2(5), address(&in)}), S_OK);
    EXPECT_EQ(c().GetBackColorPressed(), 0x336699u);
    CLumvexCtrl::SurfaceColorDesc out{};
    ASSERT_EQ(call(dispatch.Get(), dispidGetSurfaceColorDesc, {com::ComVariant::I2(5), address(&out)}), S_OK);
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);

    // By reference; an element past the last leaves the outputs alone.
    std::int32_t colour = -1;
    std::int16_t factor = -1, render = -1;
    ASSERT_EQ(call(dispatch.Get(), dispidSetSurfaceColor,
                   {com::ComVariant::I2(1), com::ComVariant::I4(0x010203), com::ComVariant::I2(6),
                    com::ComVariant::I2(1)}),
              S_OK);
    ASSERT_EQ(call(dispatch.Get(), dispidGetSurfaceColor,
                   {com::ComVariant::I2(1), com::ComVariant::I4Ref(&colour), com::ComVariant::I2Ref(&factor),
                    com::ComVariant::I2Ref(&render)}),
              S_OK);
    EXPECT_EQ(colour, 0x010203);
    EXPECT_EQ(c().GetBackColorMouseOver(), 0x010203u);
    EXPECT_EQ(factor, 6);
    EXPECT_EQ(render, 1);
    colour = -1;
    ASSERT_EQ(call(dispatch.Get(), dispidGetSurfaceColor,
                   {com::ComVariant::I2(6), com::ComVariant::I4Ref(&colour), com::ComVariant::I2Ref(&factor),
                    com::ComVariant::I2Ref(&render)}),
              S_OK);
    EXPECT_EQ(colour, -1);
    // An unknown element still rebuilds the faces.
    c().m_bRebuildFaces = FALSE;
    c().SetSurfaceColor(9, 0, 0, 0);
    EXPECT_TRUE(c().m_bRebuildFaces);
}

TEST_F(Methods, TextsByPosition)
{
    c().SetCaptionText("&Go", 0x0000FF, 0x00FF00, 150, -3, 9, 6, 4);
    EXPECT_EQ(c().GetText(), "&Go");
    std::int32_t colour = 0, over = 0;
    std::int16_t x = 0, y = 0, effect = 0, factor = 0, angle = 0;
    VARIANT result{};
    ASSERT_EQ(call(dispatch.Get(), dispidGetCaptionText,
                   {com::ComVariant::I4Ref(&colour), com::ComVariant::I4Ref(&over), com::ComVariant::I2Ref(&x),
                    com::ComVariant::I2Ref(&y), com::ComVariant::I2Ref(&effect), com::ComVariant::I2Ref(&factor),
                    com::ComVariant::I2Ref(&angle)},
                   &result),
              S_OK);
    EXPECT_EQ(com::Utf8FromBstr(result.bstrVal), "&Go");
    VariantClear(&result);
    EXPECT_EQ(colour, 0x0000FF);
    EXPECT_EQ(over, 0x00FF00);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -3);
    EXPECT_EQ(effect, 0);
    EXPECT_EQ(factor, 1);
    EXPECT_EQ(angle, 4);

    // Position 0 is the caption; others keep their angle.
    c().m_text[5].SetAngle(2);
    c().SetAuxText(5, "five", 1, 2, 3, 4, 2, 5);
    EXPECT_EQ(c().m_text[5].GetAngle(), 2);
    c().SetAuxText(0, "zero", 1, 2, 3, 4, 2, 5);
    EXPECT_EQ(c().GetText(), "zero");
    c().SetTextOnPos(0, "again");
    EXPECT_EQ(c().GetText(), "again");
    EXPECT_EQ(c().GetTextOnPos(5), "five");

    // Past the last position: "" and the outputs as the caller set them.
    x = 77;
    ASSERT_EQ(call(dispatch.Get(), dispidGetAuxText,
                   {com::ComVariant::I2(9), com::ComVariant::I4Ref(&colour), com::ComVariant::I4Ref(&over),
                    com::ComVariant::I2Ref(&x), com::ComVariant::I2Ref(&y), com::ComVariant::I2Ref(&effect),
                    com::ComVariant::I2Ref(&factor)},
                   &result),
              S_OK);
    EXPECT_EQ(com::Utf8FromBstr(result.bstrVal), "");
    VariantClear(&result);
    EXPECT_EQ(x, 77);
    c().SetAuxTextString(-1, "x");
    c().SetTextVisible(9, FALSE);
    EXPECT_EQ(c().GetTextOnPos(-1), "");

    // Hiding a text is no change of the design.
    c().SetModifiedFlag(FALSE);
    c().SetTextVisible(4, FALSE);
    EXPECT_FALSE(c().m_bTextVisible[4]);
    EXPECT_FALSE(c().IsModified());
}

TEST_F(Methods, ControlPointerIsCountedAndLeadsToTheObject)
{
    VARIANT result{};
    ASSERT_EQ(call(dispatch.Get(), dispidGetControlPtr, {}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_UNKNOWN);
    EXPECT_EQ(COleControl::FromIDispatch(result.punkVal), b.button);
    // The client lets go of what it got; the control lives on.
    VariantClear(&result);
    dispatch->AddRef();
    EXPECT_EQ(dispatch->Release(), dispatch->AddRef() - 1);
    dispatch->Release();
    c().SetShape(2);
    EXPECT_EQ(c().GetShape(), 2);
}

// A packed 4 x 3 picture at 24 bits: header, no table, rows of 12 bytes.
std::vector<BYTE> packedDib(COLORREF colour)
{
    std::vector<BYTE> b(40 + 12 * 3);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 4;
    h.biHeight = 3;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(b.data(), &h, sizeof h);
    for (int i = 0; i < 12; ++i) {
        b[40 + 3 * std::size_t(i)] = GetBValue(colour);
        b[41 + 3 * std::size_t(i)] = GetGValue(colour);
        b[42 + 3 * std::size_t(i)] = GetRValue(colour);
    }
    return b;
}

TEST_F(Methods, PicturesFromMemoryAreBoundedByTheirSize)
{
    const std::vector<BYTE> dib = packedDib(RGB(255, 0, 0));
    const auto setFromMemory = [&](short index, const void* p, LONG size) {
        VARIANT result{};
        EXPECT_EQ(call(dispatch.Get(), dispidSetPictureFromMemory,
                       {com::ComVariant::I2(index), address(p), com::ComVariant::I4(size)}, &result),
                  S_OK);
        return result.lVal;
    };
    EXPECT_EQ(setFromMemory(0, dib.data(), 39), FALSE);
    EXPECT_EQ(setFromMemory(0, dib.data(), LONG(dib.size() - 1)), FALSE);
    EXPECT_EQ(setFromMemory(0, nullptr, LONG(dib.size())), FALSE);
    EXPECT_EQ(c().GetPicture(), "");
    EXPECT_FALSE(c().m_dibPicture.IsValid());

    EXPECT_EQ(setFromMemory(1, dib.data(), LONG(dib.size())), TRUE);
    EXPECT_EQ(c().GetPicturePressed(), "Bmp");
    EXPECT_EQ(c().m_dibPicturePressed.GetWidth(), 4);
    COLORREF pixel = 0;
    ASSERT_TRUE(c().m_dibPicturePressed.GetRGB(1, 1, &pixel));
    EXPECT_EQ(pixel, RGB(255, 0, 0));
    // Unbounded, as callers that pass no size always were.
    EXPECT_EQ(setFromMemory(5, dib.data(), 0), TRUE);
    EXPECT_EQ(c().GetPictureDisabled(), "Bmp");
    EXPECT_EQ(setFromMemory(4, dib.data(), LONG(dib.size())), TRUE);
    EXPECT_EQ(c().GetTexture(), "Bmp");
    EXPECT_TRUE(c().m_dibTexture.IsValid());

    // A block that starts with a 12-byte OS/2 header is no packed Windows
    // DIB: its fields do not lie where a 40-byte header's do, and its table
    // entries are 3 bytes, not 4. Refused, without reading past the block
    // (this one's bytes also read as a 5 x 3 picture at 1 bit).
    const std::vector<BYTE> core = {0x0c, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,
                                    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0,    0, 0, 0, 0, 0, 0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto exact = std::make_unique<BYTE[]>(core.size());
    std::memcpy(exact.get(), core.data(), core.size());
    EXPECT_EQ(setFromMemory(2, exact.get(), LONG(core.size())), FALSE);
    EXPECT_EQ(c().GetPictureMouseOver(), "");
}

TEST_F(Methods, ColourPictureByHandleBecomesAOneBitShapeMask)
{
    CDIB picture;
    ASSERT_TRUE(picture.CreateBlank(6, 5, 24, RGB(255, 255, 255)));
    const COLORREF black = RGB(0, 0, 0);
    for (int x = 1; x < 4; ++x)
        ASSERT_TRUE(picture.SetRGB(x, 2, &black));
    HBITMAP hbm = picture.CreateBitmap(nullptr);
    const OLE_HANDLE h = com::Handles().Add(com::HandleKind::Bitmap, hbm);

    VARIANT result{};
    ASSERT_EQ(call(dispatch.Get(), dispidSetPictureFromHandle, {com::ComVariant::I2(3), com::ComVariant::I4(LONG(h))},
                   &result),
              S_OK);
    EXPECT_EQ(result.lVal, TRUE);
    EXPECT_EQ(c().GetPictureCustom(), "Bmp");
    ASSERT_EQ(c().m_dibPictureCustom.GetBitCount(), 1);
    // The picture's black is 0, the white around it 1 (the middle row is
    // the same counted from either end).
    EXPECT_EQ(c().m_dibPictureCustom.GetPixelIndex(2, 2), 0);
    EXPECT_EQ(c().m_dibPictureCustom.GetPixelIndex(0, 2), 1);
    EXPECT_EQ(c().m_dibPictureCustom.GetPixelIndex(2, 0), 1);

    // Index 0 keeps its path; a handle of another kind or gone changes nothing.
    c().m_Picture = "a.png";
    EXPECT_EQ(c().SetPictureFromHandle(0, h), TRUE);
    EXPECT_EQ(c().GetPicture(), "a.png");
    EXPECT_EQ(c().m_dibPicture.GetWidth(), 6);
    com::Handles().Remove(h);
    DeleteObject(hbm);
    EXPECT_EQ(c().SetPictureFromHandle(4, h), FALSE);
    EXPECT_EQ(c().GetTexture(), "");
}

TEST_F(Methods, AnimationsSoundsAndCursorsFromTheCaller)
{
    tv::testing::TempRoot root;
    const auto gif = root.Path() / "two.gif";
    ASSERT_TRUE(tv::testing::Run("convert-im6.q16 -size 4x4 xc:red xc:blue -delay 10 " + tv::testing::Quote(gif)));
    const std::string bytes = tv::testing::ReadRaw(gif);
    const std::string junk = "RIFF....AVI nothing here";
    EXPECT_EQ(c().SetAnimFromMemory(0, junk.data(), LONG(junk.size())), FALSE);
    EXPECT_EQ(c().SetAnimFromMemory(0, nullptr, 10), FALSE);
    EXPECT_EQ(c().GetPicture(), "");
    EXPECT_EQ(c().SetAnimFromMemory(2, bytes.data(), LONG(bytes.size())), TRUE);
    EXPECT_EQ(c().GetPictureMouseOver(), "Avi");
    EXPECT_EQ(c().m_aviPictureMouseOver.GetFrameCount(), 2);

    tv::testing::ByteVector fmt;
    tv::testing::AppendLe16(fmt, 1);
    tv::testing::AppendLe16(fmt, 1);
    tv::testing::AppendLe32(fmt, 8000);
    tv::testing::AppendLe32(fmt, 8000);
    tv::testing::AppendLe16(fmt, 1);
    tv::testing::AppendLe16(fmt, 8);
    tv::testing::ByteVector chunks;
    tv::testing::AppendChunk(chunks, "fmt ", fmt);
    tv::testing::AppendChunk(chunks, "data", tv::testing::ByteVector(80, 0x80));
    const tv::testing::ByteVector wave = tv::testing::MakeRiff("WAVE", chunks);
    EXPECT_EQ(c().SetSoundFromMemory(1, nullptr, 10), FALSE);
    EXPECT_EQ(c().GetSoundUp(), "");
    EXPECT_EQ(c().SetSoundFromMemory(1, wave.data(), LONG(wave.size())), TRUE);
    EXPECT_EQ(c().GetSoundUp(), "Wav");
    EXPECT_TRUE(c().m_sndUp.IsAvailable());

    const auto cur = win::testing::MakeCur({win::testing::CurEntry(
        win::testing::MakeDib({16, 16, 1, {0x000000, 0xFFFFFF}, [](int x, int) { return std::uint32_t(x & 1); }}),
        16, 16, QPoint(2, 3))});
    const win::HCURSOR theirs = win::LoadCursorFromBytes(cur);
    ASSERT_NE(theirs, nullptr);
    const OLE_HANDLE h = com::Handles().Add(com::HandleKind::Cursor, theirs);
    const std::size_t cursors = win::CursorHandleCount();
    EXPECT_EQ(c().SetCursorFromHandle(h), TRUE);
    EXPECT_EQ(c().SetCursorFromHandle(h), TRUE);
    // One copy of the control's own, the one before it destroyed.
    EXPECT_EQ(win::CursorHandleCount(), cursors + 1);
    EXPECT_NE(c().m_hCursor, theirs);
    EXPECT_EQ(win::CursorFromHandle(c().m_hCursor)->hotSpot(), QPoint(2, 3));
    com::Handles().Remove(h);
    win::DestroyCursor(theirs);
    EXPECT_TRUE(win::CursorFromHandle(c().m_hCursor).has_value());
    EXPECT_EQ(c().SetCursorFromHandle(h), FALSE);
}

TEST_F(Methods, AutomaticRefreshHoldsAndReleasesARebuild)
{
    c().SetAutomaticRefresh(FALSE);
    b.trace.clear();
    c().SetShape(2);
    EXPECT_TRUE(c().m_bRefreshPending);
    EXPECT_EQ(std::count(b.trace.begin(), b.trace.end(), Step::RefreshButton), 0);
    b.trace.clear();
    c().SetAutomaticRefresh(TRUE);
    EXPECT_FALSE(c().m_bRefreshPending);
    ASSERT_GE(b.trace.size(), 2u);
    EXPECT_EQ(b.trace[0], Step::WindowRegion);
    EXPECT_EQ(b.trace[1], Step::RefreshButton);
    b.trace.clear();
    c().SetAutomaticRefresh(TRUE);
    EXPECT_TRUE(b.trace.empty());
    c().SetAutomaticRefresh(FALSE);
    c().SetAutomaticRefresh(TRUE);
    EXPECT_EQ(b.trace, std::vector<Step>{Step::InvalidateNoErase});
}

TEST_F(Methods, SwitchesAndEditorTablesTakeOnlyTheirRange)
{
    c().EnableSound(3, FALSE);
    c().EnableSound(4, FALSE);
    c().SetSoundSync(0, TRUE);
    c().SetSoundSync(-1, TRUE);
    EXPECT_EQ(c().m_bSoundEnabled, (std::array<BOOL, 4>{TRUE, TRUE, TRUE, FALSE}));
    EXPECT_EQ(c().m_bSoundThread, (std::array<BOOL, 4>{TRUE, FALSE, FALSE, FALSE}));

    c().SetHelpLink(9, "https://example.org/help");
    c().SetHelpLink(10, "lost");
    EXPECT_EQ(CLumvexCtrl::g_helpLinks[9], "https://example.org/help");
    c().SetHelpLink(9, "");

    ASSERT_EQ(call(dispatch.Get(), dispidShowEditingButtons, {com::ComVariant::I2(0x1001), com::ComVariant::I2(0)}),
              S_OK);
    EXPECT_EQ(CLumvexCtrl::g_editButtonShow[0], 0);
    EXPECT_EQ(CLumvexCtrl::g_editButtonShow[1], 1);
    EXPECT_EQ(CLumvexCtrl::g_editButtonShow[12], 0);
    c().ShowEditingButtons(short(0x7FFF), 1);
    EXPECT_EQ(CLumvexCtrl::g_editButtonShow, (std::array<int, 13>{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    CLumvexCtrl::g_editButtonShow.fill(1);

    c().SetNSContainerColor(0x00FF00);
    EXPECT_EQ(c().m_NSContainerColor, 0x00FF00u);
    ASSERT_EQ(call(dispatch.Get(), dispidSetEditingTplMode, {com::ComVariant::I2(2)}), S_OK);
    EXPECT_EQ(c().m_nEditingTplMode, 2);
}

// The reviewed exports of a simple face.
std::filesystem::path exportGolden(const char* name)
{
    return std::filesystem::path(__FILE__).parent_path() / "testdata" / "export" / name;
}

QImage rgb(const std::filesystem::path& file)
{
    return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
}

TEST_F(Methods, ExportWritesTheLookAskedFor)
{
    tv::testing::TempRoot root;
    c().SetBackColor(0x3080E0);
    c().SetBackColorMouseOver(0x30E080);
    c().SetSurface(2);
    const auto file = [&](const char* name) { return (root.Path() / name).string(); };
    ASSERT_EQ(c().ExportBtnImage(0, file("normal.png"), 1), TRUE);
    ASSERT_EQ(c().ExportBtnImage(0, file("normal.bmp"), 0), TRUE);
    ASSERT_EQ(c().ExportBtnImage(0, file("normal.jpg"), 2), TRUE);
    ASSERT_EQ(c().ExportBtnImage(2, file("pressed.png"), 1), TRUE);
    const QImage png = rgb(file("normal.png"));
    // One column and one row short of the button, as always.
    ASSERT_EQ(png.size(), QSize(95, 47));
    EXPECT_EQ(rgb(file("normal.bmp")), png);
    const QImage jpeg = rgb(file("normal.jpg"));
    ASSERT_EQ(jpeg.size(), png.size());
    const QRgb centre = png.pixel(47, 23);
    EXPECT_LE(std::abs(qRed(jpeg.pixel(47, 23)) - qRed(centre)) + std::abs(qBlue(jpeg.pixel(47, 23)) - qBlue(centre)),
              24);
    EXPECT_NE(rgb(file("pressed.png")), png);

    if (std::getenv("TV_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(exportGolden("").parent_path());
        std::filesystem::copy_file(file("normal.png"), exportGolden("normal.png"),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(file("pressed.png"), exportGolden("pressed.png"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    EXPECT_EQ(png, rgb(exportGolden("normal.png")));
    EXPECT_EQ(rgb(file("pressed.png")), rgb(exportGolden("pressed.png")));

    // The states are the control's own again afterwards.
    EXPECT_FALSE(c().m_bMouseOver);
    // Nothing to write to, or no such format: FALSE and no file.
    EXPECT_EQ(c().ExportBtnImage(0, file("no/such/x.png"), 1), FALSE);
    EXPECT_EQ(c().ExportBtnImage(0, file("other.png"), 4), FALSE);
    EXPECT_FALSE(std::filesystem::exists(file("other.png")));

    VARIANT result{};
    ASSERT_EQ(call(dispatch.Get(), dispidExportBtnImage,
                   {com::ComVariant::I2(4), com::ComVariant::Text(""), com::ComVariant::I2(3)}, &result),
              S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_NE(result.boolVal, 0);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("image/bmp"));
    EXPECT_TRUE(mime->hasFormat("image/png"));
    const QImage copied = QImage::fromData(mime->data("image/png"), "PNG");
    EXPECT_EQ(copied.size(), QSize(95, 47));
}

TEST_F(Methods, InternalRefreshBuildsTheFacesOnlyWhileHeld)
{
    c().m_bRebuildFaces = TRUE;
    const int renders = c().m_nFaceRenders;
    c().InternalRefresh();
    EXPECT_EQ(c().m_nFaceRenders, renders);
    c().SetAutomaticRefresh(FALSE);
    c().m_bRebuildFaces = TRUE;
    b.trace.clear();
    c().InternalRefresh();
    EXPECT_GT(c().m_nFaceRenders, renders);
    EXPECT_FALSE(c().m_bRebuildFaces);
    EXPECT_TRUE(c().m_dibFaceNormal.IsValid());
    // Nothing is painted.
    EXPECT_TRUE(b.trace.empty());
}

TEST_F(Methods, SpaceChecksCheckBoxesAndRadioButtons)
{
    const auto space = [&] {
        win::SendMessage(c().m_hWnd, win::WM_KEYDOWN, win::VK_SPACE, 0);
        QCoreApplication::processEvents();
    };
    c().SetStyle(1);
    space();
    EXPECT_TRUE(c().m_bChecked);
    space();
    EXPECT_FALSE(c().m_bChecked);
    c().SetStyle(2);
    space();
    space();
    EXPECT_TRUE(c().m_bChecked);
    c().SetStyle(0);
    c().m_bChecked = FALSE;
    space();
    EXPECT_FALSE(c().m_bChecked);
}

} // namespace
