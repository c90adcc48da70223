// The faces: shape geometry checked by number, the mask that cuts nothing
// of a face, and every shape, surface, state, shadow, effect, texture and
// smoothing compared with the reviewed pictures in testdata/faces.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/gdi/GdiTestSupport.h"
#include "platform/win/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using gditest::Canvas;
using Face = CLumvexCtrl::Face;

constexpr COLORREF kContainer = RGB(0x20, 0x60, 0x90);

class FacesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::SetScreenDpi(96);
        control = lumvextest::NewButton(&button);
        button->m_NSContainerColor = kContainer;
        button->m_colorBack.Set(RGB(0xC0, 0xC0, 0xC0), 4, 1);
        button->m_colorMO.Set(RGB(0xE0, 0xC0, 0x60), 4, 1);
        button->m_colorFocus.Set(RGB(0x90, 0xC0, 0xF0), 4, 1);
        button->m_colorPressed.Set(RGB(0xA0, 0xA0, 0xB0), 4, 1);
        button->m_colorDisabled.Set(RGB(0xD8, 0xD8, 0xD8), 2, 1);
        button->m_colorIntern.Set(RGB(0x60, 0xA0, 0x60), 4, 0);
        button->m_FocusMode = 2;
    }

    QImage render(Face face, int w = 120, int h = 40)
    {
        Canvas canvas(w, h, RGB(255, 0, 255));
        EXPECT_TRUE(button->RenderFace(canvas.dc(), RECT{0, 0, w, h}, face));
        return canvas.Image();
    }

    ::testing::AssertionResult golden(Face face, const std::string& name)
    {
        return gditest::MatchesGoldenIn(lumvextest::FaceGoldens(), render(face), name);
    }

    // Pixels of the image outside the shape region that are not the
    // container colour.
    int cutPixels(const QImage& image, int w, int h)
    {
        HRGN shape = button->BuildShapeRegion(RECT{0, 0, w, h}, FALSE);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!PtInRegion(shape, x, y) && image.pixel(x, y) != gditest::Rgb(kContainer))
                    ++wrong;
        DeleteObject(shape);
        return wrong;
    }

    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
};

const std::pair<Face, const char*> kStates[] = {{Face::Normal, "normal"},
                                                {Face::Pressed, "pressed"},
                                                {Face::MouseOver, "mouseover"},
                                                {Face::Focus, "focused"},
                                                {Face::Disabled, "disabled"}};

// --- Geometry by number ---------------------------------------------------------

TEST_F(FacesTest, RoundnessGivesTheCornerAndAStoredValueItsOwnDivisor)
{
    button->m_Shape = 1;
    // Written as a stream load does: the member alone, no setter.
    button->m_Roundness = 0;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 120, 40}, TRUE));
    EXPECT_EQ(button->m_sizeCorner.cx, 80);
    EXPECT_EQ(button->m_sizeCorner.cy, 80);
    button->m_Roundness = 4;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 120, 40}, TRUE));
    EXPECT_EQ(button->m_sizeCorner.cx, 34);
    EXPECT_EQ(button->m_sizeCorner.cy, 34);
    // Out of range keeps the last valid divisor.
    button->m_Roundness = 0;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 120, 40}, TRUE));
    button->m_Roundness = 9;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 120, 40}, TRUE));
    EXPECT_EQ(button->m_sizeCorner.cx, 80);

    // A face drawn after a load uses the loaded value too.
    button->m_Roundness = 0;
    const QImage round0 = render(Face::Normal);
    button->m_Roundness = 4;
    EXPECT_NE(render(Face::Normal), round0);
}

TEST_F(FacesTest, SlantMovesTheParallelogramsCorners)
{
    button->m_Shape = 2;
    button->m_Slant = 2;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 100, 40}, FALSE));
    const auto& p = button->m_ptParallelogram;
    EXPECT_EQ(p[0].x, 25);
    EXPECT_EQ(p[0].y, 0);
    EXPECT_EQ(p[1].x, 100);
    EXPECT_EQ(p[2].x, 75);
    EXPECT_EQ(p[2].y, 40);
    EXPECT_EQ(p[3].x, 0);
    // A stored Slant of 0 divides by 1.33: trunc(50 / 1.33) = 37.
    button->m_Slant = 0;
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 100, 40}, FALSE));
    EXPECT_EQ(button->m_ptParallelogram[0].x, 37);
}

TEST_F(FacesTest, RingStepsAndCountsFollowTheSize)
{
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 40, 40}, TRUE));
    EXPECT_EQ(button->m_sizeRingStep.cx, 1);
    EXPECT_EQ(button->m_sizeRingStep.cy, 1);
    EXPECT_EQ(button->m_nRings, 40);
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 200, 60}, TRUE));
    EXPECT_EQ(button->m_sizeRingStep.cx, 4);
    EXPECT_EQ(button->m_sizeRingStep.cy, 2);
    EXPECT_EQ(button->m_nRings, 30);
    // The spot covers the whole face around the top-left quarter's centre.
    const RECT& spot = button->m_rcHighlightSpot;
    EXPECT_EQ(spot.left, 50 - 200);
    EXPECT_EQ(spot.top, 15 - 60);
    EXPECT_EQ(spot.right, 51 + 200);
    // The narrower way counts: 59 x 400 steps 1 x 7.
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 59, 59}, TRUE));
    EXPECT_EQ(button->m_nRings, 59);
    DeleteObject(button->BuildShapeRegion(RECT{0, 0, 59, 400}, TRUE));
    EXPECT_EQ(button->m_sizeRingStep.cy, 7);
    EXPECT_EQ(button->m_nRings, 57);
}

TEST_F(FacesTest, ABlackShadowIsDrawnAlmostBlack)
{
    button->m_colorBack.Set(RGB(0, 0, 0), 4, 1);
    ASSERT_EQ(button->m_colorBack.GetShade(63), COLORREF(0));
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    button->GetEdgeColors(FALSE, &highlight, &shadow);
    EXPECT_EQ(shadow, COLORREF(0x010101));
    // The bottom edge of a rectangle face shows it.
    button->m_ShadowColor = 0;
    const QImage face = render(Face::Normal);
    EXPECT_EQ(face.pixel(60, 38), gditest::Rgb(0x010101));
    // A chosen shadow colour is used as it is.
    button->m_ShadowColor = RGB(0x40, 0, 0);
    button->GetEdgeColors(FALSE, &highlight, &shadow);
    EXPECT_EQ(shadow, RGB(0x40, 0, 0));
}

TEST_F(FacesTest, SurfaceTableFollowsTheState)
{
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, win::ODS_DISABLED | win::ODS_SELECTED), &button->m_colorDisabled);
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, win::ODS_SELECTED), &button->m_colorPressed);
    EXPECT_EQ(&button->GetSurfaceTable(FALSE, win::ODS_SELECTED), &button->m_colorBack);
    button->m_bMouseOver = TRUE;
    button->m_bFocus = TRUE;
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, 0), &button->m_colorMO);
    button->m_colorMO.SetBaseColor(0);
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, 0), &button->m_colorFocus);
    button->m_FocusMode = 1;
    button->m_SpecialEffect = 1;
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, 0), &button->m_colorIntern);
    button->m_colorDisabled.SetBaseColor(0);
    EXPECT_EQ(&button->GetSurfaceTable(TRUE, win::ODS_DISABLED), &button->m_colorIntern);
}

// --- The mask cuts nothing ----------------------------------------------------------

TEST_F(FacesTest, NothingOfAFaceLiesOutsideItsShape)
{
    // Wide, square, tall, odd and tiny; 200 x 60 already steps its rings by more than one pixel.
    const SIZE sizes[] = {{120, 40}, {40, 40}, {200, 60}, {33, 77}, {9, 9}};
    for (short shape = 0; shape <= 5; ++shape)
        for (short surface = 0; surface <= 3; ++surface)
            for (const SIZE& size : sizes) {
                button->m_Shape = shape;
                button->m_Surface = surface;
                button->m_SpecialEffect = short(surface % 3);
                button->m_ButtonRaiseFactor = short(1 + surface % 2);
                for (Face face : {Face::Normal, Face::Pressed}) {
                    const QImage image = render(face, int(size.cx), int(size.cy));
                    EXPECT_EQ(cutPixels(image, int(size.cx), int(size.cy)), 0)
                        << "shape " << shape << " surface " << surface << " size " << size.cx << " x " << size.cy
                        << (face == Face::Pressed ? " pressed" : "");
                }
            }
}

TEST_F(FacesTest, TheInnerRegionIsErodedFromEveryEdge)
{
    // A one-bit picture black but for its top-left pixel: the shape is the
    // black, up to every edge, in widths that do and do not fill whole
    // 32-bit words.
    button->m_Shape = 5;
    const int h = 30;
    for (int w : {33, 64, 100}) {
        const int stride = ((w + 15) / 16) * 2;
        std::vector<BYTE> bits(std::size_t(stride) * h, 0);
        bits[0] = 0x80;
        HBITMAP picture = CreateBitmap(w, h, 1, 1, bits.data());
        ASSERT_TRUE(button->m_dibPictureCustom.Create(picture, nullptr));
        DeleteObject(picture);
        DeleteObject(button->BuildShapeRegion(RECT{0, 0, w, h}, FALSE));
        RECT box{};
        ASSERT_NE(GetRgnBox(button->m_hInnerRgn.get(), &box), NULLREGION) << w;
        const int n = std::clamp(std::max(w / 24, h / 24), 1, 5);
        EXPECT_EQ(box.left, n) << w;
        EXPECT_EQ(box.top, n) << w;
        EXPECT_EQ(box.right, w - n) << w;
        EXPECT_EQ(box.bottom, h - n) << w;
    }
}

// --- Reviewed pictures ---------------------------------------------------------------

TEST_F(FacesTest, EveryShapeSurfaceAndState)
{
    button->m_text[0].SetText("Fancy");
    for (short shape = 0; shape <= 5; ++shape)
        for (short surface = 0; surface <= 3; ++surface)
            for (const auto& [face, state] : kStates) {
                button->m_Shape = shape;
                button->m_Surface = surface;
                EXPECT_TRUE(golden(face, "shape" + std::to_string(shape) + "-surface" + std::to_string(surface) +
                                             "-" + state));
            }
}

TEST_F(FacesTest, ShadowsEffectsAndSmoothing)
{
    for (short shape : {0, 1, 3, 5})
        for (short mode = 1; mode <= 3; ++mode) {
            button->m_Shape = shape;
            button->m_ShadowMode = mode;
            button->m_ShadowColor = RGB(0x30, 0x30, 0x30);
            EXPECT_TRUE(golden(Face::Normal, "shadow" + std::to_string(mode) + "-shape" + std::to_string(shape)));
        }
    button->m_ShadowMode = 0;
    for (short effect = 1; effect <= 2; ++effect)
        for (short factor : {0, 2, 4}) {
            button->m_Shape = 1;
            button->m_SpecialEffect = effect;
            button->m_SpecialEffectFactor = factor;
            const std::string name = "effect" + std::to_string(effect) + "-factor" + std::to_string(factor);
            EXPECT_TRUE(golden(Face::Normal, name));
            EXPECT_TRUE(golden(Face::Pressed, name + "-pressed"));
        }
    // A factor no setter lets through leaves container, shadow and edges.
    button->m_SpecialEffectFactor = 7;
    button->m_Shape = 0;
    button->m_ShadowMode = 1;
    EXPECT_TRUE(golden(Face::Normal, "effect-factor7"));
    button->m_ShadowMode = 0;
    button->m_SpecialEffect = 0;
    button->m_SpecialEffectFactor = 0;
    for (short smooth = 0; smooth <= 3; ++smooth) {
        button->m_Shape = 3;
        button->m_SmoothEdges = smooth;
        EXPECT_TRUE(golden(Face::Normal, "smooth" + std::to_string(smooth)));
    }
    button->m_SmoothEdges = 0;
    for (short raise : {0, 3}) {
        button->m_Shape = 0;
        button->m_ButtonRaiseFactor = raise;
        EXPECT_TRUE(golden(Face::Normal, "raise" + std::to_string(raise)));
    }
}

TEST_F(FacesTest, LargeMaskFacesWithTheirBevels)
{
    // Wide enough for a bevel of several pixels, a stretched focus mask and
    // the shapes' own erosion of five pixels.
    button->m_text[0].SetText("Fancy");
    button->m_ButtonCustomRaised = TRUE;
    for (short shape : {4, 5}) {
        button->m_Shape = shape;
        button->m_ButtonRaiseFactor = 3;
        for (const auto& [face, state] : {kStates[0], kStates[1]})
            EXPECT_TRUE(gditest::MatchesGoldenIn(lumvextest::FaceGoldens(), render(face, 400, 200),
                                                 "large-shape" + std::to_string(shape) + "-" + state));
        button->m_FocusMode = 1;
        EXPECT_TRUE(gditest::MatchesGoldenIn(lumvextest::FaceGoldens(), render(Face::PressedFocus, 400, 200),
                                             "large-shape" + std::to_string(shape) + "-focusframe"));
        button->m_FocusMode = 2;
    }
}

TEST_F(FacesTest, TexturedFaces)
{
    // A 12 x 12 checker of two browns.
    Canvas tile(12, 12, RGB(0x90, 0x60, 0x30));
    HBRUSH dark = CreateSolidBrush(RGB(0x50, 0x30, 0x10));
    const RECT a{0, 0, 6, 6};
    const RECT b{6, 6, 12, 12};
    FillRect(tile.dc(), &a, dark);
    FillRect(tile.dc(), &b, dark);
    DeleteObject(dark);
    HBITMAP bm = lumvextest::BitmapCopyOf(tile.dc(), 12, 12);
    ASSERT_TRUE(button->m_dibTexture.Create(bm, nullptr));
    DeleteObject(bm);

    for (short mode = 1; mode <= 3; ++mode)
        for (short shape : {1, 5}) {
            button->m_TextureMode = mode;
            button->m_Shape = shape;
            button->m_SpecialEffect = 1;
            button->m_SpecialEffectFactor = 1;
            button->m_dibTexturedBtn.Empty();
            button->m_dibTexturedBtnPressed.Empty();
            const std::string name = "texture" + std::to_string(mode) + "-shape" + std::to_string(shape);
            EXPECT_TRUE(golden(Face::Normal, name));
            EXPECT_TRUE(golden(Face::Pressed, name + "-pressed"));
        }
    // The grey tables and the mode come back after the bevel maps.
    EXPECT_EQ(button->m_colorBack.GetBaseColor(), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(button->m_colorIntern.GetBaseColor(), RGB(0x60, 0xA0, 0x60));
    EXPECT_EQ(button->m_TextureMode, 3);
}

TEST_F(FacesTest, DisabledLookGreysEveryOtherPixel)
{
    Canvas canvas(16, 8, RGB(0x10, 0x80, 0x20));
    button->DrawDisabledLook(canvas.dc(), RECT{2, 1, 14, 7});
    const QImage image = canvas.Image();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 14 && y >= 1 && y < 7;
            const bool grey = inside && (x + y) % 2 == 0;
            EXPECT_EQ(image.pixel(x, y), gditest::Rgb(grey ? GetSysColor(COLOR_GRAYTEXT) : RGB(0x10, 0x80, 0x20)))
                << x << ", " << y;
        }
}

} // namespace
