// The paint through its owner-draw entry into a bitmap, state by state:
// which cached face is drawn, which picture goes over it, when nothing is
// drawn, and how often the faces are built.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/gdi/GdiTestSupport.h"

#include <QImage>

#include <functional>
#include <memory>

namespace {

using lumvextest::ActiveButton;

// A colour bitmap the paint draws the button's item into, state by state.
class Canvas : public gditest::Canvas {
public:
    using gditest::Canvas::Canvas;
    QImage Paint(CLumvexCtrl& button, UINT state)
    {
        win::DRAWITEMSTRUCT item;
        item.itemState = state;
        item.hDC = dc();
        item.rcItem = RECT{0, 0, Width(), Height()};
        button.OnOcmDrawItem(&item);
        return Image();
    }
};

void fill(CDIB& dib, int w, int h, COLORREF colour)
{
    ASSERT_TRUE(dib.CreateBlank(w, h, 24, colour));
}

TEST(LumvexPaint, AtDesignTimeEveryStateShowsTheNormalFaceButDisabledWithAColour)
{
    ActiveButton b(false);
    CLumvexCtrl& button = *b.button;
    button.SetBackColorMouseOver(RGB(0, 200, 0));
    button.m_bMouseOver = TRUE;
    button.m_bChecked = TRUE;
    Canvas canvas(96, 48);
    for (const UINT state : {0u, win::ODS_SELECTED, win::ODS_FOCUS, win::ODS_SELECTED | win::ODS_FOCUS}) {
        canvas.Paint(button, state);
        EXPECT_EQ(button.m_pFaceDrawn, &button.m_dibFaceNormal) << state;
    }
    // Disabled with no disabled colour: the normal face under the disabled look.
    button.SetBackColorDisabled(0);
    canvas.Paint(button, win::ODS_DISABLED);
    EXPECT_EQ(button.m_pFaceDrawn, &button.m_dibFaceNormal);
    button.SetBackColorDisabled(RGB(90, 90, 90));
    canvas.Paint(button, win::ODS_DISABLED);
    EXPECT_EQ(button.m_pFaceDrawn, &button.m_dibFaceDisabled);
    EXPECT_TRUE(button.m_dibFaceDisabled.IsValid()) << "drawn on demand";
}

TEST(LumvexPaint, AtRunTimeTheStateChoosesTheFace)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    button.SetBackColorMouseOver(RGB(0, 200, 0));
    button.SetFocusMode(2);
    Canvas canvas(96, 48);
    struct Case {
        BOOL mouseOver, focus, checked;
        UINT state;
        const CDIB* face;
    };
    const Case cases[] = {
        {FALSE, FALSE, FALSE, 0, &button.m_dibFaceNormal},
        {TRUE, FALSE, FALSE, 0, &button.m_dibFaceMouseOver},
        {FALSE, TRUE, FALSE, 0, &button.m_dibFaceFocus},
        {FALSE, FALSE, FALSE, win::ODS_SELECTED, &button.m_dibFacePressed},
        {FALSE, TRUE, FALSE, win::ODS_SELECTED, &button.m_dibFacePressedFocus},
        {TRUE, TRUE, FALSE, win::ODS_SELECTED, &button.m_dibFacePressedMouseOver},
        // A checked check box is pressed without the mouse.
        {FALSE, FALSE, TRUE, 0, &button.m_dibFacePressed},
    };
    for (const Case& c : cases) {
        button.m_bMouseOver = c.mouseOver;
        button.m_bFocus = c.focus;
        button.m_bChecked = c.checked;
        canvas.Paint(button, c.state);
        EXPECT_EQ(button.m_pFaceDrawn, c.face) << c.mouseOver << c.focus << c.checked << c.state;
    }
    // Without Clickable a press shows no pressed face.
    button.m_bMouseOver = button.m_bFocus = button.m_bChecked = FALSE;
    button.SetClickable(FALSE);
    canvas.Paint(button, win::ODS_SELECTED);
    EXPECT_EQ(button.m_pFaceDrawn, &button.m_dibFaceNormal);
}

TEST(LumvexPaint, MouseOverWithoutItsColourShowsTheNormalFaceWithTheMouseOverPicture)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    button.SetBackColorMouseOver(0);
    // Keyed by the transparent colour, not by each picture's corner.
    button.m_PictureTranspMode = 0;
    fill(button.m_dibPicture, 20, 10, RGB(0, 0, 250));
    fill(button.m_dibPictureMouseOver, 20, 10, RGB(250, 0, 0));
    fill(button.m_dibPicturePressed, 20, 10, RGB(0, 250, 0));
    Canvas canvas(96, 48);
    button.m_bMouseOver = TRUE;
    QImage image = canvas.Paint(button, 0);
    EXPECT_EQ(button.m_pFaceDrawn, &button.m_dibFaceNormal);
    EXPECT_EQ(image.pixel(48, 24), qRgb(250, 0, 0));
    button.m_bMouseOver = FALSE;
    image = canvas.Paint(button, 0);
    EXPECT_EQ(image.pixel(48, 24), qRgb(0, 0, 250));
    // Pressed, the pressed picture moves with the face by one pixel.
    image = canvas.Paint(button, win::ODS_SELECTED);
    EXPECT_EQ(image.pixel(48, 24), qRgb(0, 250, 0));
    EXPECT_EQ(image.pixel(39, 20), qRgb(0, 250, 0)) << "moved right and down";
    // Disabled at run time shows only a disabled picture.
    image = canvas.Paint(button, win::ODS_DISABLED);
    EXPECT_NE(image.pixel(48, 24), qRgb(0, 0, 250));
}

TEST(LumvexPaint, AButtonWithoutWidthPaintsNothingAndBuildsNoRegion)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    button.m_rcButton = RECT{0, 0, 0, 48};
    DeleteObject(button.m_hWindowRgn);
    button.m_hWindowRgn = nullptr;
    lumvextest::ClearRebuild(button);
    Canvas canvas(96, 48);
    const QImage before = canvas.Image();
    EXPECT_EQ(canvas.Paint(button, 0), before);
    EXPECT_EQ(button.m_nFaceRenders, 0);
    button.BuildWindowRegion();
    EXPECT_EQ(button.m_hWindowRgn, nullptr);

    // Nothing is painted either while automatic refresh is off.
    button.m_rcButton = RECT{0, 0, 96, 48};
    button.m_bAutomaticRefresh = FALSE;
    EXPECT_EQ(canvas.Paint(button, 0), before);
    // Nor at run time for a custom shape whose mask is missing.
    button.m_bAutomaticRefresh = TRUE;
    button.m_Shape = 5;
    button.m_PictureCustom = "/masks/star.bmp";
    // Window creation gave the button the built-in mask; this one never loaded.
    button.m_dibPictureCustom.Empty();
    EXPECT_EQ(canvas.Paint(button, 0), before);
}

TEST(LumvexPaint, FacesAreBuiltOnceAndOnDemandFacesWhenFirstNeeded)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    button.SetBackColorMouseOver(0);
    button.SetBackColorDisabled(RGB(90, 90, 90));
    button.m_bRebuildFaces = TRUE;
    lumvextest::ClearRebuild(button);
    button.m_bRebuildFaces = TRUE;
    Canvas canvas(96, 48);
    canvas.Paint(button, 0);
    // Normal, pressed and pressed with focus (Clickable).
    EXPECT_EQ(button.m_nFaceRenders, 3);
    EXPECT_EQ(button.m_bRebuildFaces, FALSE);
    canvas.Paint(button, 0);
    canvas.Paint(button, win::ODS_SELECTED);
    EXPECT_EQ(button.m_nFaceRenders, 3);
    canvas.Paint(button, win::ODS_DISABLED);
    canvas.Paint(button, win::ODS_DISABLED);
    EXPECT_EQ(button.m_nFaceRenders, 4);
    // A rebuild draws the lot again and forgets the faces drawn on demand.
    button.m_bRebuildFaces = TRUE;
    canvas.Paint(button, 0);
    EXPECT_EQ(button.m_nFaceRenders, 7);
    EXPECT_FALSE(button.m_dibFaceDisabled.IsValid());
}

TEST(LumvexPaint, ARepaintAfterTheLookChangesDrawsWhatANewButtonWould)
{
    // A paint keeps its bitmap, its faces' pixels and where its fill shows:
    // none of it may outlive a change of colour, shape, focus frame or size.
    const std::function<void(CLumvexCtrl&)> steps[] = {
        [](CLumvexCtrl& b) { b.SetBackColor(RGB(200, 30, 30)); },
        [](CLumvexCtrl& b) { b.SetShape(2); },
        [](CLumvexCtrl& b) {
            b.SetFocusMode(1);
            b.m_bFocus = TRUE;
            b.RefreshButton();
        },
        [](CLumvexCtrl& b) { b.SetBackColor(RGB(30, 30, 200)); },
    };
    // In a window (with a clip region) and without one.
    for (const bool windowed : {true, false}) {
        struct Button {
            std::unique_ptr<ActiveButton> active;
            com::ComPtr<IUnknown> bare;
            CLumvexCtrl* button = nullptr;
        };
        const auto make = [&] {
            Button b;
            if (windowed) {
                b.active = std::make_unique<ActiveButton>();
                b.button = b.active->button;
            } else {
                b.bare = lumvextest::NewButton(&b.button);
                b.button->m_rcButton = RECT{0, 0, 96, 48};
            }
            b.button->SetText("Go");
            return b;
        };
        const Button kept = make();
        Canvas canvas(96, 48);
        canvas.Paint(*kept.button, 0);
        for (std::size_t n = 1; n <= std::size(steps); ++n) {
            steps[n - 1](*kept.button);
            const QImage again = canvas.Paint(*kept.button, 0);
            const Button fresh = make();
            for (std::size_t i = 0; i < n; ++i)
                steps[i](*fresh.button);
            Canvas other(96, 48);
            EXPECT_EQ(again, other.Paint(*fresh.button, 0))
                << "after step " << n << (windowed ? "" : " without a window");
        }
    }
}

TEST(LumvexPaint, WithAutomaticRefreshOffTheWindowKeepsItsLastPicture)
{
    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    b.button->SetBackColor(RGB(200, 30, 30));
    w->repaint();
    const QImage shown = w->grab().toImage();
    const QColor centre = shown.pixelColor(48, 24);
    EXPECT_GT(centre.red(), 2 * centre.green()) << "a red face";
    b.button->m_bAutomaticRefresh = FALSE;
    b.button->SetBackColor(RGB(30, 200, 30));
    w->repaint();
    EXPECT_EQ(w->grab().toImage(), shown);
}

TEST(LumvexPaint, ATextShapeDrawsNoCaptionOverItsFace)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    button.SetText("Go on");
    Canvas canvas(96, 48);
    for (const short shape : {short(0), short(4)}) {
        button.SetShape(shape);
        button.m_bTextVisible[0] = TRUE;
        const QImage withCaption = canvas.Paint(button, 0);
        button.m_bTextVisible[0] = FALSE;
        const QImage without = canvas.Paint(button, 0);
        EXPECT_EQ(withCaption == without, shape == 4) << shape;
    }
}

TEST(LumvexPaint, AFocusFrameButtonKeepsItsInsetFaceAfterLosingTheFocus)
{
    ActiveButton b;
    CLumvexCtrl& button = *b.button;
    QWidget* w = b.site->ControlWindow();
    button.SetFocusMode(1);
    win::SendMessage(w, win::WM_SETFOCUS, 0, 0);
    button.m_bRebuildFaces = TRUE;
    Canvas canvas(96, 48);
    QImage image = canvas.Paint(button, win::ODS_FOCUS);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0)) << "the focus frame";
    EXPECT_EQ(image.pixel(95, 47), qRgb(0, 0, 0));
    EXPECT_EQ(button.m_dibFaceNormal.GetWidth(), 95) << "built one pixel inside";

    // What is drawn once the focus has gone: the faces stay as they were
    // built, so the last column and row show the container's colour.
    win::SendMessage(w, win::WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(button.m_bFocus, FALSE);
    image = canvas.Paint(button, 0);
    const COLORREF c = button.GetFaceContainerColor();
    const QRgb container = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    EXPECT_EQ(button.m_dibFaceNormal.GetWidth(), 95);
    EXPECT_EQ(image.pixel(0, 0), container);
    EXPECT_EQ(image.pixel(95, 24), container);
    EXPECT_EQ(image.pixel(48, 47), container);
    EXPECT_NE(image.pixel(48, 24), container);
}

} // namespace
