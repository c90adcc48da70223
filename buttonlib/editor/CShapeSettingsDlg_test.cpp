// The shape dialog on three controls: what it enables for each shape and
// surface when it opens and when a shape is chosen, every list writing
// every control, the one-digit raise factor that opening does not write,
// Clickable, the mask preview drawn in its frame, the slot's images, help
// and the editor-open look.

#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/MediaPreview.h"


#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <set>

using namespace editortest;

namespace {

using D = CShapeSettingsDlg;

// Enabled: special effect, roundness, effect factor, flat pillow factor,
// shadow mode, raise factor (edit and spin), the custom group.
struct Enabled {
    bool effect, roundness, effectFactor, flatPillow, shadow, raise, custom;
    bool operator==(const Enabled&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Enabled& e)
{
    return os << e.effect << e.roundness << e.effectFactor << e.flatPillow << e.shadow << e.raise << e.custom;
}

class ShapeDialogTest : public EditorDialogTest {
protected:
    QWidget* open(CShapeSettingsDlg& dlg)
    {
        EXPECT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        return window;
    }

    static Enabled enabled(QWidget* w)
    {
        auto on = [w](int id) { return find(w, id)->isEnabled(); };
        const bool custom = on(D::IDC_CUSTOM_GROUP);
        // The custom group's items go together.
        for (int id : {int(D::IDC_CUSTOM_RAISED), MediaSlot::IDC_BROWSE, MediaSlot::IDC_INTERNET, MediaSlot::IDC_CLEAR,
                       int(D::IDC_MASK_LABEL)})
            EXPECT_EQ(on(id), custom) << id;
        EXPECT_EQ(on(D::IDC_RAISE_FACTOR), on(D::IDC_RAISE_SPIN));
        return {on(D::IDC_SPECIAL_EFFECT), on(D::IDC_ROUNDNESS), on(D::IDC_SPECIAL_EFFECT_FACTOR),
                on(D::IDC_FLAT_PILLOW_FACTOR), on(D::IDC_SHADOW_MODE), on(D::IDC_RAISE_FACTOR), custom};
    }

    std::vector<short> all(short (CLumvexCtrl::*get)() const) const
    {
        return {(buttons[0]->*get)(), (buttons[1]->*get)(), (buttons[2]->*get)()};
    }
};

TEST_F(ShapeDialogTest, OpeningAndChoosingAShapeEnableWhatTheShapeAndSurfaceUse)
{
    // Opening looks at the first control's shape; the flat pillow factor
    // follows its surface alone and the shadow mode stays as it was.
    const Enabled opened[6] = {
        {true, false, true, false, true, true, false},    {true, true, true, false, true, true, false},
        {false, false, false, false, true, true, false},  {true, false, true, false, true, true, false},
        {false, false, false, false, true, false, false}, {false, false, false, false, true, true, true},
    };
    // Choosing a shape sets all of them; text shapes have no shadow, no
    // raise factor and no flat pillow factor whatever the surface.
    const Enabled chosen[6] = {
        {true, false, true, false, true, true, false},    {true, true, true, false, true, true, false},
        {false, false, false, false, true, true, false},  {true, false, true, false, true, true, false},
        {false, false, false, false, false, false, false}, {false, false, false, false, true, true, true},
    };
    for (short surface : {short(0), short(3)}) {
        for (short shape = 0; shape < 6; ++shape) {
            SCOPED_TRACE(testing::Message() << "shape " << shape << " surface " << surface);
            buttons[0]->SetShape(shape);
            buttons[0]->SetSurface(surface);
            Enabled expected = opened[shape];
            expected.flatPillow = surface == 3;
            {
                CShapeSettingsDlg dlg(page.Get());
                QWidget* window = open(dlg);
                EXPECT_EQ(enabled(window), expected);
                EXPECT_EQ(dlg.CustomGroupEnabled(), shape == 5);
            }

            // Chosen in a dialog opened on a text shape, where most is off.
            buttons[0]->SetShape(4);
            CShapeSettingsDlg dlg(page.Get());
            QWidget* window = open(dlg);
            pick(find<QComboBox>(window, D::IDC_SHAPE), shape);
            expected = chosen[shape];
            expected.flatPillow = surface == 3 && shape != 4;
            EXPECT_EQ(enabled(window), expected);
            EXPECT_EQ(all(&CLumvexCtrl::GetShape), (std::vector<short>{shape, shape, shape}));
        }
    }
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(ShapeDialogTest, EveryListShowsTheFirstControlAndWritesEveryControl)
{
    buttons[0]->SetShape(3);
    buttons[0]->SetFlatPillowFactor(0);
    buttons[1]->SetShape(1);
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    auto* shape = find<QComboBox>(window, D::IDC_SHAPE);
    EXPECT_EQ(shape->count(), 6);
    EXPECT_EQ(shape->currentText(), "3 - Ellipse");
    EXPECT_EQ(find<QComboBox>(window, D::IDC_FLAT_PILLOW_FACTOR)->currentText(), "0 - Very Low");
    EXPECT_EQ(find<QComboBox>(window, D::IDC_SHADOW_MODE)->itemText(2), "2 - Half blurred shadow");
    EXPECT_EQ(find<QComboBox>(window, D::IDC_SPECIAL_EFFECT_FACTOR)->itemText(4), "4 - Very Low (Small buttons)");

    // The surface switches the flat pillow factor.
    pick(find<QComboBox>(window, D::IDC_SURFACE), 3);
    EXPECT_TRUE(find(window, D::IDC_FLAT_PILLOW_FACTOR)->isEnabled());
    EXPECT_EQ(all(&CLumvexCtrl::GetSurface), (std::vector<short>{3, 3, 3}));
    pick(find<QComboBox>(window, D::IDC_SURFACE), 1);
    EXPECT_FALSE(find(window, D::IDC_FLAT_PILLOW_FACTOR)->isEnabled());

    struct List {
        int id;
        short value;
        short (CLumvexCtrl::*get)() const;
    };
    const List lists[] = {
        {D::IDC_SPECIAL_EFFECT, 2, &CLumvexCtrl::GetSpecialEffect},
        {D::IDC_SHADOW_MODE, 3, &CLumvexCtrl::GetShadowMode},
        {D::IDC_ROUNDNESS, 1, &CLumvexCtrl::GetRoundness},
        {D::IDC_SMOOTH_EDGES, 2, &CLumvexCtrl::GetSmoothEdges},
        {D::IDC_SPECIAL_EFFECT_FACTOR, 4, &CLumvexCtrl::GetSpecialEffectFactor},
        {D::IDC_FLAT_PILLOW_FACTOR, 2, &CLumvexCtrl::GetFlatPillowFactor},
    };
    for (const List& list : lists) {
        pick(find<QComboBox>(window, list.id), list.value);
        EXPECT_EQ(all(list.get), (std::vector<short>{list.value, list.value, list.value})) << list.id;
    }
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(ShapeDialogTest, OpeningWritesNoRaiseFactorAndTheFieldTakesOneDigit)
{
    buttons[0]->SetButtonRaiseFactor(3);
    buttons[1]->SetButtonRaiseFactor(7);
    for (CLumvexCtrl* button : buttons)
        button->SetModifiedFlag(FALSE);
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    auto* edit = find<QLineEdit>(window, D::IDC_RAISE_FACTOR);
    EXPECT_EQ(edit->text(), "3");
    EXPECT_EQ(all(&CLumvexCtrl::GetButtonRaiseFactor), (std::vector<short>{3, 7, 1}));
    for (CLumvexCtrl* button : buttons)
        EXPECT_FALSE(button->IsModified());

    // A second digit is refused; a new one goes to every control.
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, "5");
    EXPECT_EQ(edit->text(), "3");
    EXPECT_EQ(all(&CLumvexCtrl::GetButtonRaiseFactor), (std::vector<short>{3, 7, 1}));
    edit->selectAll();
    QTest::keyClicks(edit, "6");
    EXPECT_EQ(all(&CLumvexCtrl::GetButtonRaiseFactor), (std::vector<short>{6, 6, 6}));
    // The arrows step it, up to 9.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "9");
    EXPECT_EQ(all(&CLumvexCtrl::GetButtonRaiseFactor), (std::vector<short>{9, 9, 9}));
    // An emptied field is 0: no edge lines.
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(all(&CLumvexCtrl::GetButtonRaiseFactor), (std::vector<short>{0, 0, 0}));
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(ShapeDialogTest, ClickableChangesEveryControlAtOnceWithoutMarkingThem)
{
    buttons[0]->SetShape(5);
    buttons[0]->SetButtonCustomRaised(FALSE);
    for (CLumvexCtrl* button : buttons)
        button->SetModifiedFlag(FALSE);
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    EXPECT_TRUE(find<QAbstractButton>(window, D::IDC_CLICKABLE)->isChecked());
    EXPECT_FALSE(find<QAbstractButton>(window, D::IDC_CUSTOM_RAISED)->isChecked());

    click(find(window, D::IDC_CLICKABLE));
    for (CLumvexCtrl* button : buttons) {
        EXPECT_FALSE(button->m_Clickable);
        EXPECT_FALSE(button->IsModified());
    }
    // What hiding the page does afterwards marks them.
    for (CLumvexCtrl* button : buttons)
        button->RefreshButton();
    for (CLumvexCtrl* button : buttons)
        EXPECT_TRUE(button->IsModified());

    click(find(window, D::IDC_CUSTOM_RAISED));
    for (CLumvexCtrl* button : buttons)
        EXPECT_TRUE(button->GetButtonCustomRaised());
}

TEST_F(ShapeDialogTest, TheMaskIsDrawnInItsFrameWhileTheCustomShapeIsChosen)
{
    editortest::EditorMediaFiles files;
    buttons[0]->SetShape(5);
    buttons[0]->SetPictureCustom(files.path("mask.bmp"));
    ASSERT_EQ(buttons[0]->m_dibPictureCustom.GetWidth(), 42);
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    // The mask (42 x 22: a frame of index 0, black, a white field with a
    // black square at 6..15) in the middle of the frame's inside.
    const RECT inside = MediaPreview::FrameInside(dlg);
    const RECT at = MediaPreview::TargetRect(inside, 42, 22);
    EXPECT_EQ(at.right - at.left, 42);
    QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(at.left, at.top), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(at.left + 10, at.top + 10), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(at.left + 30, at.top + 12), QColor(255, 255, 255));
    const QColor empty = shot.pixelColor(inside.left + 1, inside.top + 1);

    // Another shape: the preview goes.
    pick(find<QComboBox>(window, D::IDC_SHAPE), 0);
    shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(at.left, at.top), empty);
    EXPECT_EQ(shot.pixelColor(at.left + 10, at.top + 10), empty);
}

TEST_F(ShapeDialogTest, TheSlotButtonsShowTheirImagesWhileTheDialogIsOpen)
{
    CShapeSettingsDlg dlg(page.Get());
    open(dlg);
    std::set<win::LRESULT> images;
    for (int id : {MediaSlot::IDC_BROWSE, MediaSlot::IDC_INTERNET, MediaSlot::IDC_CLEAR})
        images.insert(dlg.SendDlgItemMessage(id, BM_GETIMAGE, IMAGE_BITMAP));
    EXPECT_EQ(images.size(), 3u);
    EXPECT_EQ(images.count(0), 0u);
    EXPECT_EQ(dlg.SendDlgItemMessage(D::IDC_CLOSE, BM_GETIMAGE, IMAGE_BITMAP), 0);
}

TEST_F(ShapeDialogTest, EditorOpenColoursAndTheHostsHelpButton)
{
    buttons[0]->m_bEditorOpen = TRUE;
    buttons[0]->m_EditColorText = RGB(255, 255, 0);
    buttons[0]->m_EditColorBack = RGB(0, 0, 96);
    const auto savedShow = CLumvexCtrl::g_editButtonShow[0];
    CLumvexCtrl::g_editButtonShow[0] = 0;
    {
        CShapeSettingsDlg dlg(page.Get());
        QWidget* window = open(dlg);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_TRUE(find(window, D::IDC_HELP_BUTTON)->isHidden());
        const QImage shot = window->grab().toImage();
        EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 96));
        // The Close button's face.
        const QRect close = find(window, D::IDC_CLOSE)->geometry();
        EXPECT_EQ(shot.pixelColor(close.left() + 4, close.center().y()), QColor(0, 0, 96));
    }
    CLumvexCtrl::g_editButtonShow[0] = 5;
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    EXPECT_FALSE(find(window, D::IDC_HELP_BUTTON)->isHidden());
    CLumvexCtrl::g_editButtonShow[0] = savedShow;
    buttons[0]->m_bEditorOpen = FALSE;
}

} // namespace
