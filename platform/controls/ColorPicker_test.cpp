// The colour picker as the options and report colour windows use it: the
// swatch asks the colour dialog from the colour held, only a new choice is
// reported, code and a disabled picker raise nothing; and the container that
// hosts a page per group.

#include "platform/controls/ColorPicker.h"
#include "platform/controls/SmartContainer.h"

#include "platform/forms/CommonDialog.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"

#include <QImage>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Answers from a queue and keeps the colour each request started from.
class ColorDialogs : public forms::ScriptedDialogs {
public:
    std::optional<forms::OLE_COLOR> ChooseColor(forms::OLE_COLOR initial) override
    {
        asked.push_back(initial);
        return ScriptedDialogs::ChooseColor(initial);
    }
    std::vector<forms::OLE_COLOR> asked;
};

class frmColors : public forms::FormOf<frmColors> {
public:
    frmColors() : FormOf("frmColors")
    {
        Move(0, 0, 6000, 5000);
        ColorPicker1.Move(120, 120, 1215, 315);
        ColorPicker1.ColorChanged = [this](forms::OLE_COLOR c) { heard.push_back(c); };
        SmartUIContainer.Move(120, 600, 5000, 3000);
        fraOne.Move(75, 75, 4000, 2000);
    }
    controls::ColorPicker ColorPicker1{*this, "ColorPicker1"};
    controls::SmartContainer SmartUIContainer{*this, "SmartUIContainer"};
    forms::Frame fraOne{SmartUIContainer, "fraOne"};
    std::vector<forms::OLE_COLOR> heard;
};

class ColorPickerTest : public ::testing::Test {
protected:
    void SetUp() override { forms::SetDialogPort(dialogs); }
    void TearDown() override
    {
        forms::ResetForms();
        forms::SetDialogPort(nullptr);
    }
    std::shared_ptr<ColorDialogs> dialogs = std::make_shared<ColorDialogs>();
};

TEST_F(ColorPickerTest, TheSwatchAsksFromTheColourHeldAndReportsOnlyANewChoice)
{
    frmColors& form = frmColors::Instance();
    form.Show();
    controls::ColorPicker& picker = form.ColorPicker1;

    // From code: held, shown, not reported.
    picker.SetColor(0x808000);
    EXPECT_EQ(picker.Color(), 0x808000u);
    EXPECT_TRUE(form.heard.empty());

    // A click on the swatch itself; the dialog answers blue (&HFF0000).
    dialogs->colors = {0xFF0000, std::nullopt, 0xFF0000};
    auto* button = qobject_cast<QToolButton*>(picker.Widget());
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dialogs->asked, std::vector<forms::OLE_COLOR>{0x808000});
    EXPECT_EQ(picker.Color(), 0xFF0000u);
    EXPECT_EQ(form.heard, std::vector<forms::OLE_COLOR>{0xFF0000});

    // Cancel, and the colour already held, change and report nothing.
    picker.Choose();
    picker.Choose();
    EXPECT_EQ(dialogs->asked, (std::vector<forms::OLE_COLOR>{0x808000, 0xFF0000, 0xFF0000}));
    EXPECT_EQ(picker.Color(), 0xFF0000u);
    EXPECT_EQ(form.heard.size(), 1u);

    // Disabled: the dialog is not even asked.
    dialogs->colors = {0x00FF00};
    picker.SetEnabled(false);
    picker.Choose();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dialogs->asked.size(), 3u);
    EXPECT_EQ(picker.Color(), 0xFF0000u);
    picker.SetEnabled(true);
    picker.Choose();
    EXPECT_EQ(form.heard.back(), 0x00FF00u);
}

TEST_F(ColorPickerTest, TheSwatchShowsTheColourNotItsByteOrder)
{
    frmColors& form = frmColors::Instance();
    form.Show();
    // &H0000FF is red: the low byte is red in an OLE colour.
    form.ColorPicker1.SetColor(0x0000FF);
    const QImage shot = form.ColorPicker1.Widget()->grab().toImage();
    const QColor middle = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    EXPECT_EQ(middle, QColor(255, 0, 0));
    // A system colour shows as the palette resolves it (the button face).
    form.ColorPicker1.SetColor(forms::vbButtonFace);
    const QImage face = form.ColorPicker1.Widget()->grab().toImage();
    EXPECT_EQ(face.pixelColor(face.width() / 2, face.height() / 2), forms::ToQColor(forms::vbButtonFace));
}

TEST_F(ColorPickerTest, TheContainerHostsControlsAndKeepsItsGroups)
{
    frmColors& form = frmColors::Instance();
    controls::SmartContainer& box = form.SmartUIContainer;
    EXPECT_EQ(form.fraOne.Widget()->parentWidget(), box.Widget());
    EXPECT_EQ(box.SelectedGroup(), "");
    box.Groups().Add("ONE", "", controls::smuiContainerGroup);
    box.Groups().Add("TWO", "", controls::smuiContainerGroup);
    EXPECT_EQ(box.Groups().Item(1).Kind(), controls::smuiContainerGroup);
    box.Groups().Item("TWO").SetSelected(true);
    EXPECT_EQ(box.SelectedGroup(), "TWO");
    EXPECT_THROW(box.Groups().Add("ONE", "", controls::smuiContainerGroup), vb::RuntimeError);
    // Hiding the container hides what it hosts.
    form.Show();
    EXPECT_TRUE(form.fraOne.Widget()->isVisible());
    box.SetVisible(false);
    EXPECT_FALSE(form.fraOne.Widget()->isVisible());
}

} // namespace
