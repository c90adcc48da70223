// The flat spin box through its mouse and keyboard paths, with the timers
// and the cursor injected: auto-repeat, the key filter, the limits, decimal
// input in the user's separator, the glyphs.

#include "program/services/FlatSpin.h"

#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class frmSpinHost : public forms::FormOf<frmSpinHost> {
public:
    frmSpinHost() : FormOf("frmSpinHost") { Move(0, 0, 4500, 3000); }
    std::unique_ptr<FlatSpin> spin;
};

class FlatSpinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cursor = std::make_shared<win::FakeCursor>();
        cursor->position = {300, 200};
        win::SetCursorPort(cursor);
        form = &frmSpinHost::Instance();
        form->Show();
        make();
    }
    void TearDown() override
    {
        form->spin.reset();
        forms::ResetForms();
        win::SetCursorPort(nullptr);
        QLocale::setDefault(QLocale::c());
    }
    // A new instance on the host, as a form's load creates it.
    void make()
    {
        form->spin.reset();
        form->spin = std::make_unique<FlatSpin>(*form, "FlatSpin1");
        spin().Move(150, 150, 1200, 300);
        spin().InitNew();
        spin().Change = [this] { changes.push_back(spin().Value()); };
    }
    FlatSpin& spin() { return *form->spin; }
    QWidget* surface() { return spin().ClientWidget(); }
    QWidget* edit() { return spin().Text1.Widget(); }
    // A point on the upper or lower step button, in pixels.
    QPoint button(bool upper) { return {surface()->width() - 5, upper ? 3 : surface()->height() - 3}; }
    void press(QPoint at) { QTest::mousePress(surface(), Qt::LeftButton, {}, at); }
    void release(QPoint at) { QTest::mouseRelease(surface(), Qt::LeftButton, {}, at); }

    frmSpinHost* form = nullptr;
    std::shared_ptr<win::FakeCursor> cursor;
    forms::ManualTimers clock;
    std::vector<double> changes;
};

TEST_F(FlatSpinTest, HeldButtonRepeatsOnInjectedTime)
{
    spin().SetValue(10);
    // A click shorter than 100 ms steps once, on release.
    press(button(true));
    clock.Advance(60);
    EXPECT_TRUE(changes.empty());
    release(button(true));
    EXPECT_EQ(changes, std::vector<double>{11});

    // Held between 100 and 500 ms: at 100 ms and on release.
    changes.clear();
    press(button(true));
    clock.Advance(300);
    release(button(true));
    EXPECT_EQ(changes, (std::vector<double>{12, 13}));

    // Held longer: 100, 500, then every 50 ms, and once more on release.
    changes.clear();
    press(button(false));
    clock.Advance(700);
    EXPECT_EQ(changes.size(), 6u); // 100, 500, 550, 600, 650, 700
    release(button(false));
    EXPECT_EQ(changes.size(), 7u);
    EXPECT_EQ(spin().Value(), 6);
    EXPECT_FALSE(spin().Timer1.Enabled());
    EXPECT_FALSE(spin().Timer2.Enabled());

    // The mouse moving stops the repeat; the release still steps.
    changes.clear();
    press(button(true));
    clock.Advance(200);
    cursor->position = {301, 200};
    clock.Advance(1000);
    EXPECT_EQ(changes.size(), 1u);
    release(button(true));
    EXPECT_EQ(changes.size(), 2u);
    cursor->position = {300, 200};

    // Outside the buttons nothing steps.
    changes.clear();
    press({1, 1});
    clock.Advance(800);
    release({1, 1});
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(spin().Value(), 8);
}

TEST_F(FlatSpinTest, DoubleClickStepsOnBothReleasesAndStaysInLimits)
{
    spin().SetMax(12);
    spin().SetValue(10);
    QTest::mouseClick(surface(), Qt::LeftButton, {}, button(true));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, button(true), surface()->mapToGlobal(button(true)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface(), &dbl);
    release(button(true));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, button(true));
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(spin().Value(), 12);
    EXPECT_EQ(spin().Text1.Text(), "12");
}

TEST_F(FlatSpinTest, KeyFilterAndChange)
{
    spin().SetValue(5);
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin().Value(), 6);
    EXPECT_EQ(spin().Text1.Text(), "6");
    QTest::keyClick(edit(), Qt::Key_Down);
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(spin().Value(), 4);
    EXPECT_EQ(changes, (std::vector<double>{6, 5, 4}));

    // Backspace empties the box and sets 0, without Change.
    changes.clear();
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(spin().Text1.Text(), "");
    EXPECT_EQ(spin().Value(), 0);
    EXPECT_TRUE(changes.empty());

    // Digits go in, letters do not; each key's release reads the text again.
    QTest::keyClicks(edit(), "4x2");
    EXPECT_EQ(spin().Text1.Text(), "42");
    EXPECT_EQ(changes, (std::vector<double>{4, 4, 42}));

    // Enter: twice from the key press, once more from the key up.
    changes.clear();
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(changes.size(), 3u);

    // The minus sign empties the box first, and only when Min is below 0.
    QTest::keyClicks(edit(), "-7");
    EXPECT_EQ(spin().Text1.Text(), "-7");
    EXPECT_EQ(spin().Value(), -7);
    spin().SetMin(0);
    spin().Text1.SetText("3");
    spin().Text1.SetSelStart(1);
    QTest::keyClicks(edit(), "-");
    EXPECT_EQ(spin().Text1.Text(), "3");
}

TEST_F(FlatSpinTest, TypedYearBelowMinShowsTheDigitButReadsMin)
{
    spin().SetMin(1900);
    spin().SetMax(9999);
    spin().SetValue(2002);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    changes.clear();
    QTest::keyClicks(edit(), "2");
    EXPECT_EQ(spin().Text1.Text(), "2");
    EXPECT_EQ(spin().Value(), 1900);
    EXPECT_EQ(changes, std::vector<double>{1900});
    QTest::keyClicks(edit(), "024");
    EXPECT_EQ(spin().Value(), 2024);
}

TEST_F(FlatSpinTest, DecimalsInTheUsersSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    make();
    EXPECT_EQ(spin().DecimalSeparator(), ",");
    spin().SetPlaces(2);
    spin().SetValue(2.5);
    EXPECT_EQ(spin().Text1.Text(), "2,50");
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QTest::keyClicks(edit(), "2,5");
    EXPECT_EQ(spin().Value(), 2.5);
    QTest::keyClicks(edit(), ",");
    EXPECT_EQ(spin().Text1.Text(), "2,5") << "a second separator is refused";
    spin().Text1.SetSelStart(0);
    spin().Text1.SetSelLength(3);
    QTest::keyClicks(edit(), ",");
    EXPECT_EQ(spin().Text1.Text(), ",") << "unless the whole text is selected";
    EXPECT_EQ(spin().FormatValue(1.005), "1,01") << "halves round away from zero";

    spin().SetPlaces(0);
    spin().Text1.SetText("7");
    spin().Text1.SetSelStart(1);
    QTest::keyClicks(edit(), ",");
    EXPECT_EQ(spin().Text1.Text(), "7");
}

TEST_F(FlatSpinTest, LimitsDigitsAndSize)
{
    spin().SetValue(5);
    spin().SetMin(10);
    EXPECT_EQ(spin().Value(), 10);
    spin().SetMax(3);
    EXPECT_EQ(spin().Min(), 3);
    EXPECT_EQ(spin().Value(), 3);
    spin().SetDigits(-3);
    EXPECT_EQ(spin().Digits(), 0);
    EXPECT_EQ(spin().CreateFormat(4, 0), "0000");
    EXPECT_EQ(spin().CreateFormat(0, 2), "0.00");
    spin().SetMax(100);
    spin().SetDigits(4);
    spin().SetValue(5);
    EXPECT_EQ(spin().Text1.Text(), "0005");
    EXPECT_TRUE(changes.empty()) << "Value, Min and Max from code raise no Change";

    spin().SetHeight(150);
    EXPECT_EQ(spin().ExtentHeight(), 285);
    spin().SetWidth(200);
    EXPECT_EQ(spin().Text1.Width(), spin().ScaleWidth()) << "no room for the buttons";
}

TEST_F(FlatSpinTest, PropertiesInOrder)
{
    spin().SetMin(1900);
    spin().SetMax(9999);
    spin().SetValue(2024);
    spin().SetStyle(1);
    forms::PropertyBag bag;
    spin().WriteTo(bag);
    EXPECT_EQ(bag.WriteOrder(), (std::vector<std::string>{"ColorMode", "Enabled", "Font", "MouseIcon", "MousePointer",
                                                          "Digits", "Max", "Min", "Places", "Style", "Value",
                                                          "Border"}));
    EXPECT_FALSE(bag.Contains("Digits"));
    FlatSpin other(*form, "FlatSpin2");
    other.ReadFrom(bag);
    EXPECT_EQ(other.Min(), 1900);
    EXPECT_EQ(other.Max(), 9999);
    EXPECT_EQ(other.Value(), 2024);
    EXPECT_EQ(other.Style(), 1);
    EXPECT_TRUE(other.Border());
    EXPECT_EQ(bag.ReadOrder(), bag.WriteOrder());

    // Max is read before Min, the value after both.
    forms::PropertyBag ordered;
    ordered.WriteProperty("Max", vb::Variant(-5.0));
    ordered.WriteProperty("Min", vb::Variant(-20.0));
    ordered.WriteProperty("Value", vb::Variant(-10.0));
    other.ReadFrom(ordered);
    EXPECT_EQ(other.Max(), -5);
    EXPECT_EQ(other.Min(), -20);
    EXPECT_EQ(other.Value(), -10);

    long pointer = -1;
    other.PointerMove = [&](long p) { pointer = p; };
    other.SetMousePointer(forms::vbCrosshair);
    QTest::mouseMove(other.ClientWidget(), QPoint(other.ClientWidget()->width() - 3, 3));
    EXPECT_EQ(pointer, forms::vbCrosshair);
}

TEST_F(FlatSpinTest, GlyphPixels)
{
    auto& s = spin();
    s.SetBorder(false);
    s.Move(150, 150, 1200, 300); // 80 x 20 pixels inside
    const double sw = s.ScaleWidth();
    const long middle = static_cast<long>(vb::RoundHalfEven(s.ScaleHeight())) / 2;
    const int c = static_cast<int>(vb::RoundHalfEven(sw - 105)) / 15;
    const int u = static_cast<int>(vb::RoundHalfEven(middle * 0.5)) / 15;
    const int d = static_cast<int>(vb::RoundHalfEven(middle * 1.6)) / 15;
    auto px = [&](int x, int y) { return s.Point(x * 15, y * 15); };
    auto run = [&](int y, int from, int to, long color) {
        for (int x = from; x <= to; ++x)
            if (px(x, y) != color)
                return false;
        return px(from - 1, y) != color && px(to + 1, y) != color;
    };
    const long black = 0;
    // Up arrow: rows of 1, 3, 5 and 7 pixels; down arrow the other way.
    EXPECT_TRUE(run(u - 2, c, c, black));
    EXPECT_TRUE(run(u - 1, c - 1, c + 1, black));
    EXPECT_TRUE(run(u, c - 2, c + 2, black));
    EXPECT_TRUE(run(u + 1, c - 3, c + 3, black));
    EXPECT_TRUE(run(d + 1, c, c, black));
    EXPECT_TRUE(run(d - 2, c - 3, c + 3, black));
    EXPECT_EQ(px(c - 3, d - 2 + 1), forms::RGB(255, 255, 255));

    s.SetStyle(1);
    const long green = forms::RGB(0, 128, 0);
    const long red = forms::RGB(128, 0, 0);
    EXPECT_TRUE(run(u, c - 2, c + 3, green));
    EXPECT_TRUE(run(u - 1, c - 2, c + 3, green));
    EXPECT_EQ(px(c, u - 3), green);
    EXPECT_EQ(px(c + 1, u + 2), green);
    EXPECT_TRUE(run(d, c - 2, c + 3, red));
    EXPECT_TRUE(run(d + 1, c - 2, c + 3, red));
    s.SetEnabled(false);
    EXPECT_EQ(px(c, d), forms::RGB(128, 128, 128));
    s.SetEnabled(true);

    // Side by side: the separator at the wide edge and one 140 twips on.
    s.SetStyle(2);
    const long wide = static_cast<long>(vb::RoundHalfEven(sw - 270));
    EXPECT_EQ(s.Point(wide, 30), black);
    EXPECT_EQ(s.Point(wide + 140, 30), black);
    const int m = static_cast<int>(middle) / 15;
    const int l = static_cast<int>(vb::RoundHalfEven(sw - 190)) / 15;
    EXPECT_EQ(px(l - 2, m), black);
    EXPECT_EQ(px(l + 1, m + 3), black);
    EXPECT_EQ(s.Text1.Width(), sw - 310);
    // The left half steps down, the right half up.
    changes.clear();
    s.SetValue(50);
    QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(static_cast<int>(wide / 15) + 2, 5));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(surface()->width() - 2, 5));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(surface()->width() - 2, 5));
    EXPECT_EQ(changes, (std::vector<double>{49, 50, 51}));
}

// Pictures of the control in its states, for people to look at.
TEST_F(FlatSpinTest, PicturesOfEachState)
{
    auto shot = [&](const char* name) {
        const QString file = QStringLiteral("flatspin_") + QLatin1String(name);
        tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), file).copy(0, 0, 110, 35), file);
    };
    spin().SetValue(2024);
    shot("updown");
    QTest::mouseMove(surface(), button(true));
    shot("hot");
    press(button(true));
    clock.Advance(600);
    shot("pressed");
    release(button(true));
    spin().SetStyle(1);
    shot("plusminus");
    spin().SetStyle(2);
    shot("leftright");
    spin().SetColorMode(1);
    shot("colormode1");
    spin().SetColorMode(0);
    spin().SetStyle(0);
    spin().SetEnabled(false);
    shot("disabled");
}

} // namespace
