// The message box: its layout numbers, every button set answering with the
// released button, the check box, nested boxes, and what it draws.

#include "program/services/MBox.h"
#include "program/services/MBoxMod.h"
#include "program/services/ShellState.h"

#include "platform/basic/App.h"
#include "platform/testing/Screenshots.h"
#include "platform/win/WindowPos.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QFontMetrics>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using MBoxMod::ShowMBox;

// The box waiting for an answer that was shown last.
MBox* openBox()
{
    MBox* found = nullptr;
    for (int i = 0; i < forms::Forms().Count(); ++i)
        if (auto* b = dynamic_cast<MBox*>(&forms::Forms()(i)); b && b->Waiting() && b->Visible())
            found = b;
    return found;
}

// Runs `act` on the open box as soon as the box waits.
void whenOpen(std::function<void(MBox&)> act)
{
    QTimer::singleShot(0, [act] {
        MBox* b = openBox();
        ASSERT_NE(b, nullptr) << "no box is waiting";
        act(*b);
    });
}

void release(MBox& b, int i, Qt::MouseButton button = Qt::LeftButton, bool onLabel = false)
{
    QWidget* w = onLabel ? b.Label1(i).Widget() : b.But1(i).Widget();
    QTest::mousePress(w, button, {}, QPoint(10, 5));
    QTest::mouseRelease(w, button, {}, QPoint(10, 5));
}

class MessageBox : public ::testing::Test {
protected:
    void TearDown() override
    {
        forms::ResetForms();
        tv::ResetShellState();
    }
};

TEST(MBoxLayout, ButtonPlacesAndPromptTop)
{
    using MBoxMod::ButtonCaptions;
    using MBoxMod::ComputeLayout;
    auto one = ComputeLayout(ButtonCaptions(0), false, 13);
    EXPECT_EQ(one.buttonCount, 1);
    EXPECT_EQ(one.buttonLeft[0], 115.5);
    EXPECT_EQ(one.promptTop, 61.5);
    auto two = ComputeLayout(ButtonCaptions(5), false, 130);
    EXPECT_EQ(two.buttonCount, 2);
    EXPECT_EQ(two.buttonLeft[0], 71.5);
    EXPECT_EQ(two.buttonLeft[1], 159.5);
    EXPECT_EQ(two.promptHeight, 78);
    EXPECT_EQ(two.promptTop, 29);
    auto three = ComputeLayout(ButtonCaptions(15), true, 26);
    EXPECT_EQ(three.buttonCount, 3);
    EXPECT_EQ(three.buttonLeft[0], 33.5);
    EXPECT_EQ(three.buttonLeft[1], 115.5);
    EXPECT_EQ(three.buttonLeft[2], 197.5);
    EXPECT_EQ(three.height, 178);
    EXPECT_EQ(three.promptTop, 84 - 13);
    // The tallest prompt in the tall box (the close hint's, with its check
    // box) ends above the buttons instead of under them.
    for (const bool check : {false, true}) {
        const auto full = ComputeLayout(ButtonCaptions(0), check, 200);
        EXPECT_LE(full.promptTop + full.promptHeight, MBoxMod::kButtonTop - MBoxMod::kPromptGap) << check;
        EXPECT_GE(full.promptTop, 3 + MBoxMod::kBandHeight) << check;
    }
    for (int set : {2, 17, -1}) {
        EXPECT_EQ(ButtonCaptions(set), (std::vector<std::string>{"", "", ""}));
        EXPECT_EQ(ComputeLayout(ButtonCaptions(set), false, 13).buttonLeft[0], 115.5);
    }
    EXPECT_EQ(ButtonCaptions(15), (std::vector<std::string>{"Save as New", "Replace", "Cancel"}));
}

TEST(MBoxLayout, GradientRunsFromStartToEnd)
{
    for (int s = 0; s < 10; ++s) {
        const auto c = *MBoxMod::ColorScheme(s);
        const auto rows = MBoxMod::BandGradient(c.bandStart, c.bandEnd);
        ASSERT_EQ(rows.size(), 18u);
        EXPECT_EQ(rows.front(), c.bandStart) << "scheme " << s;
        EXPECT_EQ(rows.back(), c.bandEnd) << "scheme " << s;
    }
    // Scheme 7 alone gets lighter downwards; halves round to even.
    const auto c7 = *MBoxMod::ColorScheme(7);
    EXPECT_LT(c7.bandStart & 0xFF, c7.bandEnd & 0xFF);
    const auto rows = MBoxMod::BandGradient(forms::RGB(0, 0, 0), forms::RGB(17, 0, 34));
    EXPECT_EQ(rows[1], forms::RGB(1, 0, 2));
    EXPECT_FALSE(MBoxMod::ColorScheme(10));
    EXPECT_FALSE(MBoxMod::ColorScheme(-1));
}

TEST_F(MessageBox, EveryButtonSetAnswersWithTheReleasedButton)
{
    for (int set = -1; set <= 17; ++set) {
        const auto captions = MBoxMod::ButtonCaptions(set);
        const int count = captions[2].empty() ? (captions[1].empty() ? 1 : 2) : 3;
        for (int i = 0; i < count; ++i) {
            whenOpen([i, count](MBox& b) {
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(b.But1(k).Visible(), k < count);
                release(b, i);
            });
            EXPECT_EQ(ShowMBox("Question?", 4, set, 2), i) << "set " << set;
            EXPECT_EQ(tv::Shell().g_MBoxResult, i);
        }
    }
    // The caption label answers as its button; so does the right button.
    whenOpen([](MBox& b) { release(b, 2, Qt::LeftButton, true); });
    EXPECT_EQ(ShowMBox("Save?", 4, 6, 1), 2);
    whenOpen([](MBox& b) { release(b, 1, Qt::RightButton); });
    EXPECT_EQ(ShowMBox("Save?", 4, 6, 1), 1);
}

TEST_F(MessageBox, OpensCentredOnTheWindowTheUserIsIn)
{
    QWidget owner;
    owner.setGeometry(40, 60, 600, 400);
    owner.show();
    QApplication::setActiveWindow(&owner);
    QCoreApplication::processEvents();
    const QRect f = owner.frameGeometry();
    whenOpen([f](MBox& b) {
        EXPECT_NEAR(b.Left() + b.Width() / 2, (f.x() + f.width() / 2.0) * 15, 45);
        EXPECT_NEAR(b.Top() + MBoxMod::kTallHeight * 15 / 2.0, (f.y() + f.height() / 2.0) * 15, 45);
        release(b, 0);
    });
    EXPECT_EQ(ShowMBox("Question?", 4, 0, 2), 0);
}

TEST_F(MessageBox, ReleaseAwayFromTheButtonStillAnswers)
{
    whenOpen([](MBox& b) {
        QWidget* w = b.But1(1).Widget();
        const double left = b.But1(1).Left();
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
        // Pressed: the button sits one pixel right and one down.
        EXPECT_EQ(b.But1(1).Left(), left + 1);
        EXPECT_EQ(b.But1(1).Top(), 118);
        QTest::mouseMove(w, QPoint(200, 60));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(200, 60));
        EXPECT_EQ(b.But1(1).Left(), left);
        EXPECT_EQ(b.But1(1).Top(), 117);
    });
    EXPECT_EQ(ShowMBox("Replace?", 2, 15, 1), 1);
}

TEST_F(MessageBox, CheckBoxReachesTheProgramWideValue)
{
    whenOpen([](MBox& b) {
        EXPECT_EQ(b.ScaleHeight(), 178);
        EXPECT_EQ(b.chkValue.Value(), 0);
        QTest::mouseClick(b.chkValue.Widget(), Qt::LeftButton, {}, QPoint(5, 5));
        release(b, 0);
    });
    EXPECT_EQ(ShowMBox("Closing hides the program.", 4, 0, 2, std::nullopt, true), 0);
    EXPECT_EQ(tv::Shell().g_MBoxCheckValue, 1);

    // The next box without the check box is short, and still reports the tick.
    whenOpen([](MBox& b) {
        EXPECT_EQ(b.ScaleHeight(), 146);
        release(b, 0);
    });
    ShowMBox("Saved.", 4, 0, 2);
    EXPECT_EQ(tv::Shell().g_MBoxCheckValue, 1);
}

TEST_F(MessageBox, NestedBoxesAnswerTheirOwnCallers)
{
    int16_t inner = -5;
    whenOpen([&](MBox& outer) {
        // A timer's notice while the first box waits.
        whenOpen([&](MBox& second) {
            EXPECT_NE(&second, &outer);
            EXPECT_TRUE(outer.Visible());
            EXPECT_EQ(second.Label1(0).Caption(), "OK");
            release(second, 0);
        });
        inner = ShowMBox("Report generated!", 2, 0, 2, std::string("Report Complete"));
        EXPECT_EQ(outer.Label1(0).Caption(), "Save as New") << "the first box keeps its own layout";
        release(outer, 2);
    });
    EXPECT_EQ(ShowMBox("Company not found", 4, 15, 1), 2);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(tv::Shell().g_MBoxResult, 2);
}

TEST_F(MessageBox, EscAndTheCloseBoxDoNotEndTheBox)
{
    whenOpen([](MBox& b) {
        QTest::keyClick(b.hWnd(), Qt::Key_Escape);
        b.hWnd()->close();
        QCoreApplication::processEvents();
        EXPECT_TRUE(b.Visible());
        EXPECT_TRUE(b.Waiting());
        release(b, 1);
    });
    tv::Shell().g_MBoxResult = 0;
    EXPECT_EQ(ShowMBox("Really?", 4, 5, 1), 1);
}

TEST_F(MessageBox, TitlesIconsAndSchemesOutOfRange)
{
    whenOpen([](MBox& b) {
        EXPECT_EQ(b.Label3.Caption(), vb::App::Title());
        EXPECT_FALSE(b.Image1.Picture().isNull());
        release(b, 0);
    });
    ShowMBox("One", 4, 0, 8);
    const QImage skull = MBox::Instance().Image1.Picture().toImage();
    whenOpen([&](MBox& b) {
        EXPECT_EQ(b.Label3.Caption(), "");
        // An icon out of range keeps the last one; a scheme out of range draws black.
        EXPECT_EQ(b.Image1.Picture().toImage(), skull);
        EXPECT_EQ(b.Pic1.Point(10, 0), 0);
        EXPECT_EQ(b.Point(0, 0), 0);
        EXPECT_EQ(b.BackColor(), MBoxMod::ColorScheme(4)->window) << "the window keeps its colour";
        release(b, 0);
    });
    ShowMBox("Two", 12, 0, 11, std::string());
}

TEST_F(MessageBox, DrawsBandFramesAndSunkenButton)
{
    for (int s : {0, 4, 7}) {
        const auto c = *MBoxMod::ColorScheme(s);
        whenOpen([&](MBox& b) {
            EXPECT_EQ(b.Pic1.Point(5, 0), c.bandStart);
            EXPECT_EQ(b.Pic1.Point(5, 17), c.bandEnd);
            EXPECT_EQ(b.But1(0).Point(5, 9), b.Pic1.Point(5, 9)) << "button faces repeat the band";
            EXPECT_EQ(b.Point(0, 0), c.light);
            EXPECT_EQ(b.Point(306, 145), c.light);
            EXPECT_EQ(b.Point(1, 1), c.dark);
            EXPECT_EQ(b.Point(305, 144), c.dark);
            EXPECT_EQ(b.But1(0).Point(0, 0), c.light);
            EXPECT_EQ(b.But1(0).Point(75, 17), c.dark);
            EXPECT_EQ(b.But1(0).Point(75, 0), c.dark);
            EXPECT_EQ(b.But1(0).Point(0, 17), c.dark);
            QTest::mousePress(b.But1(0).Widget(), Qt::LeftButton, {}, QPoint(5, 5));
            EXPECT_EQ(b.But1(0).Point(0, 0), c.dark);
            EXPECT_EQ(b.But1(0).Point(75, 17), c.light);
            EXPECT_EQ(b.But1(0).Widget()->pos(), QPoint(116, 118));
            QTest::mouseRelease(b.But1(0).Widget(), Qt::LeftButton, {}, QPoint(5, 5));
        });
        ShowMBox("", s, 0, 1, std::string());
    }
    EXPECT_TRUE(win::IsTopMost(MBox::Instance().hWnd()));
}

TEST_F(MessageBox, LongPromptIsCutAndTitleKeepsOneLine)
{
    std::string prompt;
    for (int i = 0; i < 12; ++i)
        prompt += "Line " + std::to_string(i) + " of a long notice.\r\n";
    whenOpen([](MBox& b) {
        EXPECT_EQ(b.Label2.Height(), 78);
        EXPECT_EQ(b.Label2.Top(), 29);
        EXPECT_EQ(b.Label2.Width(), 249);
        EXPECT_EQ(b.Label3.Height(), 13);
        release(b, 0);
    });
    ShowMBox(prompt, 1, 0, 2, std::string(200, 'T'));
    whenOpen([](MBox& b) {
        const double h = b.Label2.Height();
        EXPECT_LT(h, 30);
        EXPECT_EQ(b.Label2.Top(), 146 / 2.0 - h / 2 - 5);
        release(b, 0);
    });
    ShowMBox("One line.", 1, 0, 2);
}

// A prompt shortened for the box shows whole: nothing is cut at six lines.
TEST_F(MessageBox, AFittedPromptShowsWhole)
{
    std::string name;
    while (name.size() < 340)
        name += "Harbor Point Outlet Center ";
    name.resize(340);
    const std::string warning = "\" with its rents, sales, reminders and notes?  This cannot be undone.";
    const std::string whole = "Delete the store \"" + name + warning;
    EXPECT_FALSE(MBoxMod::PromptFits(whole));
    const std::string prompt = MBoxMod::FitPrompt("Delete the store \"", name, warning);
    EXPECT_TRUE(MBoxMod::PromptFits(prompt));
    EXPECT_GT(prompt.size(), 150u) << "the name gave way more than it needed to";
    whenOpen([](MBox& b) {
        EXPECT_LT(b.Label2.Height(), MBoxMod::kPromptMaxHeight + 1);
        const QFontMetrics metrics(b.Label2.Font());
        const QRect need = metrics.boundingRect(QRect(0, 0, MBoxMod::kPromptWidth, 100000),
                                                Qt::TextWordWrap | Qt::AlignLeft,
                                                QString::fromStdString(b.Label2.Caption()));
        EXPECT_LE(need.height(), b.Label2.Height());
        tv::testing::SaveScreenshot(tv::testing::CheckedPicture(b.hWnd(), "mbox_delete_long_store_name"),
                                    "mbox_delete_long_store_name");
        release(b, 1);
    });
    EXPECT_EQ(ShowMBox(prompt, 4, 5, 2, std::string("Delete Store")), 1);
}

TEST_F(MessageBox, ScriptedAnswersAndAnEndWithoutAButton)
{
    auto script = std::make_shared<MBoxMod::ScriptedMBox>();
    script->answers.push_back({1, 1});
    MBoxMod::SetPresenter(script);
    EXPECT_EQ(ShowMBox("Delete the store?", 4, 5, 8), 1);
    EXPECT_EQ(tv::Shell().g_MBoxCheckValue, 1);
    EXPECT_EQ(ShowMBox("Saved.", 4, 0, 2, std::string("")), 0);
    MBoxMod::SetPresenter(nullptr);
    ASSERT_EQ(script->shown.size(), 2u);
    EXPECT_EQ(script->shown[0].title, vb::App::Title());
    EXPECT_EQ(script->shown[0].buttonSet, 5);
    EXPECT_EQ(script->shown[1].title, "");
    EXPECT_EQ(tv::Shell().g_MBoxResult, 0);

    // The program closing all its windows ends a waiting box without an answer.
    tv::Shell().g_MBoxResult = 2;
    whenOpen([](MBox& b) { b.Unload(); });
    EXPECT_EQ(ShowMBox("Waiting", 4, 0, 2), -1);
    EXPECT_EQ(tv::Shell().g_MBoxResult, 2);
}

// Pictures of the box in every scheme, for people to look at.
TEST_F(MessageBox, PicturesOfEachScheme)
{
    const std::vector<int> sets = {0, 5, 6, 15, 16, 3, 9, 11, 13, 14};
    for (int s = 0; s < 10; ++s) {
        whenOpen([&](MBox& b) {
            const QString name = QStringLiteral("mbox_scheme_%1").arg(s);
            tv::testing::SaveScreenshot(tv::testing::CheckedPicture(b.hWnd(), name), name);
            release(b, 0);
        });
        ShowMBox("Colour scheme " + std::to_string(s) +
                     ": the report was generated and sent to every recipient on its list.\r\nSecond line.",
                 s, sets[static_cast<size_t>(s)], s + 1, std::string("Scheme ") + std::to_string(s), s == 4);
    }
}

} // namespace
