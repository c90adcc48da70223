// Forms on a real desktop (run through tools/desktop-session.sh), framed by
// the window manager: a window opened where part of it would fall off the
// screen comes wholly onto it, and the frame's coming lays the form out.

#include "platform/basic/ProgramSettings.h"
#include "platform/forms/Forms.h"
#include "platform/testing/DesktopWaits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using tv::testing::WaitUntil;
using tv::testing::Framed;

class frmPlaced : public forms::FormOf<frmPlaced> {
public:
    frmPlaced() : FormOf("frmPlaced") { SetCaption("Placed"); }
};

// Lays out by its outer height, as the program's resizable windows do.
class frmLaidOut : public forms::FormOf<frmLaidOut> {
public:
    frmLaidOut() : FormOf("frmLaidOut") { SetCaption("Laid out"); }
    std::vector<double> seenHeights;

protected:
    void Form_Resize() override { seenHeights.push_back(Height()); }
};

class DesktopForms : public ::testing::Test {
protected:
    void TearDown() override { forms::ResetForms(); }
};

TEST_F(DesktopForms, AWindowOpenedPartlyOffTheScreenComesOntoIt)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    frmPlaced& f = frmPlaced::Instance();
    f.SetStartUpPosition(forms::vbStartUpManual);
    f.Move((area.right() - 200) * 15.0, (area.bottom() - 100) * 15.0, 9000, 7500);
    f.Show();
    ASSERT_TRUE(Framed(f.hWnd()));
    EXPECT_TRUE(WaitUntil([&] { return area.contains(f.hWnd()->frameGeometry()); }))
        << "frame at " << f.hWnd()->frameGeometry().x() << "," << f.hWnd()->frameGeometry().y() << " size "
        << f.hWnd()->frameGeometry().width() << "x" << f.hWnd()->frameGeometry().height();
    EXPECT_EQ(f.hWnd()->size(), QSize(600, 500));
}

// A size larger than the screen, as one stored on a larger monitor: a window
// the user may size comes up fitting the screen, frame and all, laid out for
// that size, and stores it; one of fixed size keeps its own.
TEST_F(DesktopForms, AWindowLargerThanTheScreenFitsItWhenItMayBeSized)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    frmLaidOut& f = frmLaidOut::Instance();
    f.Move(0, 0, (area.width() + 600) * 15.0, (area.height() + 900) * 15.0);
    f.Show();
    ASSERT_TRUE(Framed(f.hWnd()));
    EXPECT_TRUE(WaitUntil([&] { return area.contains(f.hWnd()->frameGeometry()); }))
        << "frame at " << f.hWnd()->frameGeometry().x() << "," << f.hWnd()->frameGeometry().y() << " size "
        << f.hWnd()->frameGeometry().width() << "x" << f.hWnd()->frameGeometry().height() << " on "
        << area.width() << "x" << area.height();
    // As large as the screen allows, not smaller.
    EXPECT_GE(f.hWnd()->frameGeometry().height(), area.height() - 2);
    EXPECT_TRUE(WaitUntil([&] {
        return !f.seenHeights.empty() && f.seenHeights.back() == f.hWnd()->frameGeometry().height() * 15.0;
    })) << "laid out for " << (f.seenHeights.empty() ? 0.0 : f.seenHeights.back());
    f.SaveSize();
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmLaidOut", "Height", ""), std::to_string(f.hWnd()->height() * 15));
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmLaidOut", "Width", ""), std::to_string(f.hWnd()->width() * 15));
    vb::DeleteSetting("Tallyvane", "frmLaidOut");

    // Brought onto the screen by its left edge, as wide as it was.
    frmPlaced& fixed = frmPlaced::Instance();
    fixed.SetBorderStyle(forms::vbFixedSingle);
    fixed.SetStartUpPosition(forms::vbStartUpManual);
    fixed.Move((area.left() + 200) * 15.0, (area.top() + 100) * 15.0, (area.width() + 600) * 15.0, 4500);
    fixed.Show();
    ASSERT_TRUE(Framed(fixed.hWnd()));
    EXPECT_TRUE(WaitUntil([&] { return fixed.hWnd()->frameGeometry().left() == area.left(); }));
    EXPECT_EQ(fixed.hWnd()->width(), area.width() + 600);
}

// The window manager frames the window after it is mapped: the form lays
// itself out again for its outer size with the frame.
TEST_F(DesktopForms, TheFrameLaysTheFormOutAgain)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    frmLaidOut& f = frmLaidOut::Instance();
    f.Move(1500, 1500, 6000, 4500);
    f.Show();
    ASSERT_TRUE(Framed(f.hWnd()));
    EXPECT_TRUE(WaitUntil([&] {
        return !f.seenHeights.empty() && f.seenHeights.back() == f.hWnd()->frameGeometry().height() * 15.0;
    })) << "last laid out for " << (f.seenHeights.empty() ? 0.0 : f.seenHeights.back()) << ", window "
        << f.hWnd()->frameGeometry().height() * 15.0;
    EXPECT_EQ(f.hWnd()->size(), QSize(400, 300));
}

} // namespace
