// The flat combo box through its keyboard and mouse paths: type-ahead, the
// commit, cancel and suppress-click rules, the mouse lock, the drawing.

#include "program/services/FlatComboBox.h"

#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

class frmComboHost : public forms::FormOf<frmComboHost> {
public:
    frmComboHost() : FormOf("frmComboHost")
    {
        Move(0, 0, 4500, 3000);
        FlatComboBox1.Move(150, 150, 1800, 300);
        FlatComboBox1.Click = [this] { clicks.push_back(FlatComboBox1.ListIndex()); };
        txtOther.Move(150, 1200, 1500, 300);
    }
    FlatComboBox FlatComboBox1{*this, "FlatComboBox1"};
    forms::TextBox txtOther{*this, "txtOther"};
    std::vector<long> clicks;
};

class FlatCombo : public ::testing::Test {
protected:
    void SetUp() override
    {
        cursor = std::make_shared<win::FakeCursor>();
        win::SetCursorPort(cursor);
        form = &frmComboHost::Instance();
        form->Show();
        for (const char* m : kMonths)
            combo().AddItem(m);
    }
    void TearDown() override
    {
        forms::ResetForms();
        win::SetCursorPort(nullptr);
    }
    FlatComboBox& combo() { return form->FlatComboBox1; }
    QWidget* edit() { return combo().Text1.Widget(); }
    void type(const char* text) { QTest::keyClicks(edit(), text); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(edit(), k, m); }
    bool dropped() { return combo().combo1()->Dropped(); }

    frmComboHost* form = nullptr;
    std::shared_ptr<win::FakeCursor> cursor;
    forms::ManualTimers clock;
};

TEST_F(FlatCombo, TypeAheadCompletesAndTakesOutWhatNoItemBeginsWith)
{
    type("m");
    EXPECT_TRUE(dropped()) << "typing into a closed list opens it";
    EXPECT_EQ(combo().Text(), "March");
    EXPECT_EQ(combo().Text1.SelStart(), 1);
    EXPECT_EQ(combo().Text1.SelLength(), 4);
    type("ay");
    EXPECT_EQ(combo().Text(), "May");
    EXPECT_EQ(combo().ListIndex(), 4);

    combo().SetText("");
    combo().Clear();
    for (const char* m : kMonths)
        combo().AddItem(m);
    type("janu");
    EXPECT_EQ(combo().Text(), "January");
    EXPECT_EQ(combo().Text1.SelText(), "ary");
    type("x");
    EXPECT_EQ(combo().Text(), "Janu");
    EXPECT_EQ(combo().Text1.SelStart(), 4);
    EXPECT_EQ(combo().Text1.SelLength(), 0);
    EXPECT_TRUE(form->clicks.empty()) << "typing raises no Click";
}

TEST_F(FlatCombo, ShiftTypesCapitalsCtrlAndAltDoNot)
{
    key(Qt::Key_O, Qt::ShiftModifier);
    EXPECT_EQ(combo().Text(), "October");
    combo().SetListIndex(-1);
    combo().Text1.SetText("");
    QTest::keyClick(edit(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(combo().ListIndex(), -1);
}

TEST_F(FlatCombo, EnterCommitsAndClicksOnlyForAnotherItem)
{
    combo().SetListIndex(0);
    EXPECT_EQ(form->clicks, std::vector<long>{0}) << "ListIndex from code clicks";
    form->clicks.clear();

    key(Qt::Key_Return); // opens
    EXPECT_TRUE(dropped());
    key(Qt::Key_Return); // the same item: no Click
    EXPECT_FALSE(dropped());
    EXPECT_TRUE(form->clicks.empty());

    key(Qt::Key_Down); // opens
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(combo().Text(), "March");
    EXPECT_TRUE(form->clicks.empty());
    key(Qt::Key_Return);
    EXPECT_EQ(form->clicks, std::vector<long>{2});
    EXPECT_EQ(combo().Text1.SelLength(), 5) << "the committed text is selected";

    // Up stops at the first item.
    key(Qt::Key_Return);
    for (int i = 0; i < 5; ++i)
        key(Qt::Key_Up);
    EXPECT_EQ(combo().ListIndex(), 0);
}

TEST_F(FlatCombo, EscAndLeavingRestoreOrCommit)
{
    combo().SetListIndex(5);
    form->clicks.clear();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(combo().Text(), "July");
    key(Qt::Key_Escape);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(combo().ListIndex(), 5);
    EXPECT_EQ(combo().Text(), "June");

    // Leaving with the list open commits as Enter does...
    form->hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->hWnd()));
    combo().Text1.SetFocus();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    form->clicks.clear();
    form->txtOther.SetFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dropped());
    EXPECT_EQ(form->clicks, std::vector<long>{6});

    // ...and with a text that is no item brings the item of before back.
    combo().Text1.SetFocus();
    key(Qt::Key_Return);
    combo().Text1.SetText("Smarch");
    form->txtOther.SetFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(combo().Text(), "July");
    EXPECT_EQ(combo().ListIndex(), 6);
}

TEST_F(FlatCombo, TextAndListMembers)
{
    combo().SetListIndex(1);
    form->clicks.clear();
    combo().SetText("april");
    EXPECT_EQ(combo().ListIndex(), 1) << "case counts";
    combo().SetText("Thermidor");
    EXPECT_EQ(combo().Text(), "February");
    combo().SetText("April");
    EXPECT_EQ(combo().Text(), "April");
    EXPECT_TRUE(form->clicks.empty()) << "Text never clicks";

    EXPECT_TRUE(combo().InList(vb::Variant("mAY")));
    EXPECT_FALSE(combo().InList(vb::Variant("Ma")));
    EXPECT_EQ(combo().Count(), "12");
    EXPECT_EQ(combo().ListCount(), "12");
    combo().SetItemData(0, 31);
    EXPECT_EQ(combo().ItemData(0), 31);
    combo().SetItemData(-1, 5);
    combo().SetItemData(12, 5);
    EXPECT_EQ(combo().ItemData(-1), 0);
    EXPECT_EQ(combo().ItemData(12), 0);
    EXPECT_THROW(combo().List(12), vb::RuntimeError);
    combo().AddItem("Leap", 1);
    EXPECT_EQ(combo().List(1), "Leap");
    combo().Clear();
    EXPECT_EQ(combo().Count(), "0");
    EXPECT_EQ(combo().Text(), "");
}

TEST_F(FlatCombo, MouseOpensPicksAndTheLockFollowsTheCursor)
{
    combo().SetListIndex(0);
    form->clicks.clear();
    QWidget* surface = combo().ClientWidget();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(dropped()) << "the text area opens nothing";
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(surface->width() - 4, 5));
    ASSERT_TRUE(dropped());

    QListWidget* popup = combo().combo1()->PopupWidget();
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->window()->windowType(), Qt::ToolTip);
    const QPoint third = popup->visualItemRect(popup->item(2)).center();
    QTest::mouseMove(popup->viewport(), third);
    EXPECT_EQ(combo().ListIndex(), 2) << "an unlocked list follows the mouse";
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, third);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(combo().Text(), "March");
    EXPECT_EQ(form->clicks, std::vector<long>{2});

    // Typing locks the list against the mouse resting over it.
    cursor->position = {100, 100};
    type("a");
    ASSERT_TRUE(dropped());
    EXPECT_TRUE(combo().combo1()->Locked());
    const QPoint first = popup->visualItemRect(popup->item(0)).center();
    QTest::mouseMove(popup->viewport(), first);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(combo().Text(), "April");
    EXPECT_TRUE(dropped());
    clock.Advance(5);
    EXPECT_TRUE(combo().combo1()->Locked()) << "the cursor has not moved";
    cursor->position = {101, 100};
    clock.Advance(1);
    EXPECT_FALSE(combo().combo1()->Locked());
    EXPECT_FALSE(combo().Timer1.Enabled()) << "the poll stops once unlocked";

    // A pick after a key that found nothing still tells the host.
    form->clicks.clear();
    type("q");
    cursor->position = {102, 100};
    clock.Advance(1);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(combo().Text(), "January");
    EXPECT_EQ(form->clicks, std::vector<long>{0});

    // A key released with the list closed does not keep the poll running
    // while the mouse rests.
    ASSERT_FALSE(dropped());
    key(Qt::Key_Home);
    EXPECT_TRUE(combo().Timer1.Enabled());
    clock.Advance(1);
    EXPECT_FALSE(combo().Timer1.Enabled()) << "a closed list stops the poll";
}

TEST_F(FlatCombo, LayoutDrawingAndColourModes)
{
    auto& c = combo();
    EXPECT_EQ(c.ExtentHeight(), c.combo1()->Height() - 30) << "the height follows the font";
    const double sw = c.ScaleWidth();
    EXPECT_EQ(c.Text1.Width(), sw - 240);
    EXPECT_EQ(c.Text1.Left(), 30);
    const int edge = static_cast<int>(vb::RoundHalfEven(sw - 210)) / 15;
    const int middle = static_cast<int>(vb::RoundHalfEven(c.ScaleHeight())) / 2 / 15;
    EXPECT_EQ(c.Point((edge + 3) * 15, 0), forms::RGB(255, 255, 255));
    EXPECT_EQ(c.Point(edge * 15, 15), 0) << "the separator";
    EXPECT_EQ(c.Point((edge + 7) * 15, (middle + 1) * 15), 0) << "the glyph";

    c.SetColorMode(1);
    EXPECT_EQ(c.Point((edge + 2) * 15, 15), forms::ToOleColor(forms::ToQColor(forms::vbButtonFace)));
    c.SetEnabled(false);
    EXPECT_EQ(c.Point((edge + 7) * 15, (middle + 1) * 15), forms::ToOleColor(forms::ToQColor(forms::vbButtonShadow)));
    c.SetColorMode(2);
    c.Cls();
    c.SetEnabled(true); // a refresh
    EXPECT_EQ(c.Point((edge + 7) * 15, (middle + 1) * 15), c.Point(15, 15)) << "colour mode 2 paints nothing";
    EXPECT_EQ(c.Point(edge * 15, 15), c.Point(15, 15));
    c.SetColorMode(0);

    c.SetWidth(240);
    EXPECT_EQ(c.Text1.Width(), 0);
}

TEST_F(FlatCombo, PropertiesReadAndWrittenInOrder)
{
    auto& c = combo();
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(12);
    form->SetFont(font);
    c.InitNew();
    EXPECT_EQ(c.Font().family(), "DejaVu Serif") << "a new instance takes the host's font";
    c.SetColorMode(1);
    EXPECT_EQ(c.ChangedProperties().count("ColorMode"), 1u);

    forms::PropertyBag bag;
    c.WriteTo(bag);
    EXPECT_EQ(bag.WriteOrder(), (std::vector<std::string>{"Font", "ColorMode", "MousePointer", "MouseIcon", "Enabled"}));
    EXPECT_TRUE(bag.Contains("MousePointer")) << "written even at its default";
    EXPECT_FALSE(bag.Contains("Enabled")) << "a default is not written";

    FlatComboBox other(*form, "FlatComboBox2");
    bag.WriteProperty("MousePointer", vb::Variant("hand")); // unreadable: skipped
    other.ReadFrom(bag);
    EXPECT_EQ(bag.ReadOrder(), (std::vector<std::string>{"Font", "ColorMode", "MousePointer", "MouseIcon", "Enabled"}));
    EXPECT_EQ(other.ColorMode(), 1);
    EXPECT_EQ(other.Font().family(), "DejaVu Serif");
    EXPECT_EQ(other.MousePointer(), 0);
    EXPECT_TRUE(other.Enabled());
}

// Pictures of the control in its states, for people to look at.
TEST_F(FlatCombo, PicturesOfEachState)
{
    auto shot = [&](const char* name) {
        const QString file = QStringLiteral("flatcombo_") + QLatin1String(name);
        tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), file).copy(0, 0, 160, 30), file);
    };
    combo().SetListIndex(2);
    shot("normal");
    QTest::mouseMove(combo().ClientWidget(), QPoint(combo().ClientWidget()->width() - 5, 5));
    shot("hot");
    combo().SetColorMode(1);
    shot("colormode1");
    combo().SetColorMode(0);
    combo().SetEnabled(false);
    shot("disabled");
    combo().SetEnabled(true);
    combo().Text1.SetSelStart(0); // as getting the focus selects it
    combo().Text1.SetSelLength(5);
    type("o");
    EXPECT_EQ(combo().Text(), "October");
    // Dropped down: the window with the pop-up where it shows on screen.
    QListWidget* popup = combo().combo1()->PopupWidget();
    QImage both(160, 30 + popup->height(), QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, form->hWnd()->grab(QRect(0, 0, 160, 30)));
    const QPoint at = form->hWnd()->mapFromGlobal(popup->pos());
    painter.drawPixmap(at, popup->grab());
    painter.end();
    tv::testing::SaveScreenshot(both, QStringLiteral("flatcombo_dropped"));
}

} // namespace
